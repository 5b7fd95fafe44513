#pragma once

#include <string>

// The report's Big5 bytes (code page 950) as Unicode, whatever the
// system's own code page; empty when they cannot be converted.
std::wstring Big5ToUnicode(const char* text, size_t length);
