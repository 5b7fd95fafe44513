#include "Surface.h"

#include <algorithm>

namespace {

uint32_t ToDibPixel(COLORREF colour)
{
    return static_cast<uint32_t>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

COLORREF FromDibPixel(uint32_t pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

BITMAPINFOHEADER TopDownHeader(int width, int height, int bitsPerPixel)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitsPerPixel);
    header.biCompression = BI_RGB;
    return header;
}

}  // namespace

Surface::Surface(int width, int height, COLORREF fill) : width_(width), height_(height)
{
    BITMAPINFO info = {};
    info.bmiHeader = TopDownHeader(width, height, 32);
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<uint32_t*>(bits);
    dc_.Reset(CreateCompatibleDC(nullptr));
    previous_ = SelectObject(dc_, bitmap_);
    Fill(fill);
}

Surface::~Surface()
{
    SelectObject(dc_, previous_);
}

COLORREF Surface::At(int x, int y) const
{
    GdiFlush();
    return FromDibPixel(bits_[y * width_ + x]);
}

void Surface::Set(int x, int y, COLORREF colour)
{
    GdiFlush();
    bits_[y * width_ + x] = ToDibPixel(colour);
}

void Surface::Fill(COLORREF colour)
{
    FillRect(0, 0, width_, height_, colour);
}

void Surface::FillRect(int left, int top, int right, int bottom, COLORREF colour)
{
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            Set(x, y, colour);
}

int Surface::Count(int left, int top, int right, int bottom, COLORREF colour) const
{
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            count += At(x, y) == colour;
    return count;
}

HBITMAP MakeBitmapOfDepth(int width, int height, int bitsPerPixel, const std::vector<COLORREF>& pixels)
{
    std::vector<COLORREF> palette;
    for (COLORREF colour : pixels)
        if (std::find(palette.begin(), palette.end(), colour) == palette.end())
            palette.push_back(colour);
    std::vector<BYTE> infoBlock(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(infoBlock.data());
    info->bmiHeader = TopDownHeader(width, height, bitsPerPixel);
    if (bitsPerPixel == 8) {
        info->bmiHeader.biClrUsed = static_cast<DWORD>(palette.size());
        for (size_t i = 0; i < palette.size(); ++i)
            info->bmiColors[i] = RGBQUAD{GetBValue(palette[i]), GetGValue(palette[i]), GetRValue(palette[i]), 0};
    }
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    // Let GDI convert 32-bit source pixels into the bitmap's own format.
    std::vector<uint32_t> source(pixels.size());
    std::transform(pixels.begin(), pixels.end(), source.begin(), ToDibPixel);
    BITMAPINFO sourceInfo = {};
    sourceInfo.bmiHeader = TopDownHeader(width, height, 32);
    OwnedDC dc(CreateCompatibleDC(nullptr));
    SetDIBits(dc, bitmap, 0, static_cast<UINT>(height), source.data(), &sourceInfo, DIB_RGB_COLORS);
    return bitmap;
}

std::vector<RECT> RegionRects(HRGN region)
{
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<BYTE> block(size);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(block.data());
    GetRegionData(region, size, data);
    const RECT* first = reinterpret_cast<const RECT*>(data->Buffer);
    return std::vector<RECT>(first, first + data->rdh.nCount);
}
