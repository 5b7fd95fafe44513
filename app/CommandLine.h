#pragma once

// The program's command line, split by the rules Windows programs use
// (CommandLineToArgvW's, applied to the ANSI line WinMain receives, which
// holds the arguments only):
//   - blanks and tabs separate arguments, except inside double quotes;
//   - a double quote opens or closes a quoted part and is dropped; inside
//     quotes, two double quotes stand for one;
//   - 2n backslashes before a double quote become n backslashes, 2n+1 become
//     n backslashes and a literal double quote; other backslashes are kept;
//   - a double-byte character of the ANSI code page is copied whole.

#include <string>
#include <vector>

std::vector<std::string> SplitCommandLine(const char* commandLine);

// Options are arguments "--NAME=VALUE". True when NAME is given with a value
// (the last one wins); value receives it.
bool FindOption(const char* commandLine, const char* name, std::string& value);

// The first argument that starts with "--" but is not "--NAME=VALUE" with a
// non-empty value for one of the known names; empty when there is none.
// Such an argument ends the program before any window is opened: a script
// that mistyped an option must not be left waiting on a window.
std::string FindBadOption(const char* commandLine, const std::vector<std::string>& knownNames);
