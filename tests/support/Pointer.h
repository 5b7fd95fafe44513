#pragma once

#include <windows.h>

// Puts the real pointer at `screen` and drops the mouse messages the
// system queued for the move, so a window sees only the test's own and a
// poll of the pointer agrees with them.
void PlacePointer(POINT screen);
