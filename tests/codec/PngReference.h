// Reference renderings of the BMP corpus are PNG files; the system's
// imaging codecs read them so the decoder under test is compared with an
// independent one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ReferencePixels {
    int width = 0;
    int height = 0;
    // Rows top-down, 4 bytes per pixel: blue, green, red, alpha.
    std::vector<BYTE> bgra;

    RGBQUAD At(int x, int topDownY) const;
};

// Reads a PNG file; false (with an empty result) when it cannot be read.
bool LoadReferencePng(const std::string& path, ReferencePixels& out);
