// The report is Big5 whatever the system's code page; where it leaves the
// program as text (drawn, copied), it is converted explicitly from code
// page 950, never through the system's ANSI page.
#pragma once

#include <windows.h>

#include <string>

const UINT kBig5CodePage = 950;

// Empty when the bytes are not Big5 text.
std::wstring WideFromBig5(const char* text, int length);
