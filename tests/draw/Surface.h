// Test helpers: a 32-bit top-down DIB section in a memory DC whose pixels a
// test writes and reads directly, and device bitmaps of any depth made
// from a list of colours.
#pragma once

#include "imaging/GdiObject.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// Pixel values below are COLORREFs (0x00BBGGRR), as GetPixel answers.
class Surface {
public:
    Surface(int width, int height, COLORREF fill = RGB(0, 0, 0));
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC Dc() const { return dc_.Get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }

    COLORREF At(int x, int y) const;
    void Set(int x, int y, COLORREF colour);
    void Fill(COLORREF colour);
    // Fills the rectangle (left, top, right, bottom) with a colour.
    void FillRect(int left, int top, int right, int bottom, COLORREF colour);
    // Number of pixels of the rectangle that have the colour.
    int Count(int left, int top, int right, int bottom, COLORREF colour) const;
    bool AllAre(int left, int top, int right, int bottom, COLORREF colour) const
    {
        return Count(left, top, right, bottom, colour) == (right - left) * (bottom - top);
    }

private:
    int width_;
    int height_;
    uint32_t* bits_ = nullptr;
    OwnedDC dc_;
    Bitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
};

// A DIB section of the given depth (8, 16, 24 or 32) holding `pixels`
// (top-down rows, COLORREFs). 8-bit bitmaps get a palette of the distinct
// colours used.
HBITMAP MakeBitmapOfDepth(int width, int height, int bitsPerPixel, const std::vector<COLORREF>& pixels);

// The rectangles of a region, in GetRegionData order.
std::vector<RECT> RegionRects(HRGN region);
