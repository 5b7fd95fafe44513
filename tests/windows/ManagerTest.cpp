#include "WindowTestSupport.h"
