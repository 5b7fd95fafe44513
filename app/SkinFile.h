#pragma once

// The command line "--skin=FILE": the program starts with the skin
// container in FILE instead of its built-in skin, for skin authors and
// support.

// Makes the container in the file the current skin. On failure names the
// file and the reason in one line on standard error and returns false; the
// caller then loads the built-in skin.
bool LoadSkinFile(const char* path);
