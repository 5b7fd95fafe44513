#include "BmpBuilder.h"

namespace {

void Put16(std::vector<BYTE>& out, uint32_t value)
{
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}

void Put32(std::vector<BYTE>& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

BmpBuilder::BmpBuilder(int32_t width, int32_t height, uint16_t bitCount)
    : width_(width), height_(height), bitCount_(bitCount)
{
}

BmpBuilder& BmpBuilder::HeaderSize(uint32_t size) { headerSize_ = size; return *this; }
BmpBuilder& BmpBuilder::Compression(uint32_t compression) { compression_ = compression; return *this; }
BmpBuilder& BmpBuilder::ColoursUsed(uint32_t count) { coloursUsed_ = count; return *this; }
BmpBuilder& BmpBuilder::PixelsPerMetre(int32_t x, int32_t y) { xPerMetre_ = x; yPerMetre_ = y; return *this; }
BmpBuilder& BmpBuilder::Palette(const std::vector<RGBQUAD>& entries) { palette_ = entries; return *this; }
BmpBuilder& BmpBuilder::PaletteEntrySize(int bytes) { paletteEntrySize_ = bytes; return *this; }
BmpBuilder& BmpBuilder::Pixels(const std::vector<BYTE>& bytes) { pixels_ = bytes; return *this; }
BmpBuilder& BmpBuilder::WithoutFileHeader() { fileHeader_ = false; return *this; }
BmpBuilder& BmpBuilder::Gap(uint32_t bytes) { gap_ = bytes; return *this; }

BmpBuilder& BmpBuilder::Masks(uint32_t red, uint32_t green, uint32_t blue)
{
    hasMasks_ = true;
    masks_[0] = red;
    masks_[1] = green;
    masks_[2] = blue;
    return *this;
}

std::vector<BYTE> BmpBuilder::Build() const
{
    std::vector<BYTE> info;
    Put32(info, headerSize_);
    if (headerSize_ == 12) {
        Put16(info, static_cast<uint32_t>(width_));
        Put16(info, static_cast<uint32_t>(height_));
        Put16(info, 1);
        Put16(info, bitCount_);
    } else {
        Put32(info, static_cast<uint32_t>(width_));
        Put32(info, static_cast<uint32_t>(height_));
        Put16(info, 1);
        Put16(info, bitCount_);
        Put32(info, compression_);
        Put32(info, static_cast<uint32_t>(pixels_.size()));
        Put32(info, static_cast<uint32_t>(xPerMetre_));
        Put32(info, static_cast<uint32_t>(yPerMetre_));
        Put32(info, coloursUsed_);
        Put32(info, 0);
        info.resize(headerSize_ > 40 ? headerSize_ : 40, 0);
    }
    if (hasMasks_)
        for (uint32_t mask : masks_)
            Put32(info, mask);
    int entrySize = paletteEntrySize_ ? paletteEntrySize_ : (headerSize_ == 12 ? 3 : 4);
    for (const RGBQUAD& entry : palette_) {
        info.push_back(entry.rgbBlue);
        info.push_back(entry.rgbGreen);
        info.push_back(entry.rgbRed);
        if (entrySize == 4)
            info.push_back(entry.rgbReserved);
    }
    info.resize(info.size() + gap_, 0xEE);

    std::vector<BYTE> file;
    if (fileHeader_) {
        uint32_t offset = static_cast<uint32_t>(14 + info.size());
        Put16(file, 0x4D42);
        Put32(file, offset + static_cast<uint32_t>(pixels_.size()));
        Put32(file, 0);
        Put32(file, offset);
    }
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), pixels_.begin(), pixels_.end());
    return file;
}

RGBQUAD Rgb(BYTE red, BYTE green, BYTE blue)
{
    RGBQUAD colour = {blue, green, red, 0};
    return colour;
}

bool SameRgb(RGBQUAD a, RGBQUAD b)
{
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

std::vector<RGBQUAD> RampPalette(int count)
{
    std::vector<RGBQUAD> palette;
    for (int i = 0; i < count; ++i)
        palette.push_back(Rgb(static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7)));
    return palette;
}

int RowBytes(int width, int bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}
