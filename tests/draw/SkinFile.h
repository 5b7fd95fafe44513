// A compiled skin container read from disk, for the drawing tests that
// draw the real skin's pieces.
#pragma once

#include "data/SkinStore.h"

#include <memory>
#include <vector>

// The file's bytes; empty when it cannot be read.
std::vector<char> ReadSkinFile(const char* path);
// A store loaded from the file; null when it cannot be read or loaded.
std::unique_ptr<SkinStore> LoadSkinFile(const char* path);
