#pragma once

#include "CardNumber.h"

// Runs every check in its fixed order and writes the Big5 report into the
// caller's 20,480-byte buffer, which is cleared first. Returns 0.
int BuildReport(char* report, ProbeErrorHandler onError = ShowProbeErrorBox);
