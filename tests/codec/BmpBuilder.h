// Builds BMP files byte by byte for the decoder tests, independently of the
// codec under test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

class BmpBuilder {
public:
    BmpBuilder(int32_t width, int32_t height, uint16_t bitCount);

    // 12 (core), 40, 64 or any other value to write as the header size.
    BmpBuilder& HeaderSize(uint32_t size);
    BmpBuilder& Compression(uint32_t compression);
    BmpBuilder& ColoursUsed(uint32_t count);
    BmpBuilder& PixelsPerMetre(int32_t x, int32_t y);
    // Written after the header with 3 bytes per entry for a core header,
    // else 4 (see PaletteEntrySize).
    BmpBuilder& Palette(const std::vector<RGBQUAD>& entries);
    BmpBuilder& PaletteEntrySize(int bytes);
    BmpBuilder& Masks(uint32_t red, uint32_t green, uint32_t blue);
    BmpBuilder& Pixels(const std::vector<BYTE>& bytes);
    // A bare bitmap: the info header comes first, no "BM" file header.
    BmpBuilder& WithoutFileHeader();
    // Extra bytes between palette and pixels; the pixel offset skips them.
    BmpBuilder& Gap(uint32_t bytes);

    std::vector<BYTE> Build() const;

private:
    int32_t width_;
    int32_t height_;
    uint16_t bitCount_;
    uint32_t headerSize_ = 40;
    uint32_t compression_ = 0;
    uint32_t coloursUsed_ = 0;
    int32_t xPerMetre_ = 3780;
    int32_t yPerMetre_ = 3780;
    std::vector<RGBQUAD> palette_;
    int paletteEntrySize_ = 0;
    bool hasMasks_ = false;
    uint32_t masks_[3] = {};
    std::vector<BYTE> pixels_;
    bool fileHeader_ = true;
    uint32_t gap_ = 0;
};

// Helpers for the expected values.
RGBQUAD Rgb(BYTE red, BYTE green, BYTE blue);
bool SameRgb(RGBQUAD a, RGBQUAD b);
// A palette whose entry i is (i, 255 - i, i * 7) in red, green, blue.
std::vector<RGBQUAD> RampPalette(int count);
// Pixel row bytes of an uncompressed row of that depth, padded to 4.
int RowBytes(int width, int bitCount);
