#include "imaging/Regions.h"

#include "imaging/DeviceCopies.h"
#include "imaging/GdiObject.h"
#include "imaging/Image.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>

namespace {

// Bitmaps are read as 32-bit pixels whatever their own depth; pixels
// kept at 16 bits come back with each channel widened from 5 or 6 bits,
// so only the bits such a pixel really holds take part in the comparison
// (a full compare would miss a 16-bit key entirely).
uint32_t CompareMaskForDepth(int bitsPerPixel)
{
    return bitsPerPixel == 16 ? 0xF8F8F8u : 0xFFFFFFu;
}

// A COLORREF (0x00BBGGRR) as the value of a 32-bit DIB pixel (0x00RRGGBB).
uint32_t PixelValueOf(COLORREF colour)
{
    return static_cast<uint32_t>(GetRValue(colour)) << 16 | static_cast<uint32_t>(GetGValue(colour)) << 8 |
           GetBValue(colour);
}

// Large enough for any window, small enough that a row of 32-bit pixels
// cannot overflow a 32-bit size.
const int kMaxRegionSide = 16384;

// Pixels are read in bands of about this many bytes: fresh memory costs a
// page fault per page on first touch, so a small buffer reused for every
// band beats one the size of the bitmap.
const int kBandBytes = 64 * 1024;

// Reads the bitmap's rows as 32-bit pixels, a band at a time from the
// top, and hands each row with its top-down index to `row`.
template <typename RowHandler>
bool ForEachRowFromTop(HBITMAP bitmap, int width, int height, RowHandler row)
{
    const int bandRows = std::max(1, std::min(height, kBandBytes / (width * 4)));
    std::vector<uint32_t> band(static_cast<size_t>(width) * bandRows);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up: scan 0 is the lowest row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    OwnedDC dc(CreateCompatibleDC(nullptr));
    if (!dc)
        return false;
    for (int top = 0; top < height; top += bandRows) {
        const int rows = std::min(bandRows, height - top);
        const int firstScan = height - top - rows;
        if (GetDIBits(dc, bitmap, static_cast<UINT>(firstScan), static_cast<UINT>(rows), band.data(), &info,
                      DIB_RGB_COLORS) != rows)
            return false;
        for (int i = 0; i < rows; ++i)
            row(&band[static_cast<size_t>(rows - 1 - i) * width], top + i);
    }
    return true;
}

RECT BoundsOf(const std::vector<RECT>& rects)
{
    RECT bounds = {};
    for (const RECT& rect : rects)
        UnionRect(&bounds, &bounds, &rect);
    return bounds;
}

HRGN CreateEmptyRegion()
{
    return CreateRectRgn(0, 0, 0, 0);
}

HRGN CreateRegionFromBitmapUnchecked(HBITMAP bitmap, COLORREF transparentColour)
{
    BITMAP info = {};
    if (!bitmap || !GetObject(bitmap, sizeof info, &info))
        return nullptr;
    if (info.bmWidth <= 0 || info.bmHeight <= 0 || info.bmWidth > kMaxRegionSide || info.bmHeight > kMaxRegionSide)
        return nullptr;
    std::vector<RECT> runs;
    runs.reserve(static_cast<size_t>(info.bmHeight));
    const uint32_t key = PixelValueOf(transparentColour);
    const uint32_t mask = CompareMaskForDepth(info.bmBitsPixel);
    const bool read = ForEachRowFromTop(bitmap, info.bmWidth, info.bmHeight, [&](const uint32_t* row, int y) {
        AppendOpaqueRuns(row, info.bmWidth, y, key, mask, runs);
    });
    if (!read)
        return nullptr;
    return CreateRegionFromRects(runs);
}

HRGN CreateRegionFromImageUnchecked(const Image& image, COLORREF transparentColour)
{
    const int width = image.GetWidth(), height = image.GetHeight();
    if (!image.IsValid() || width > kMaxRegionSide || height > kMaxRegionSide)
        return nullptr;
    std::vector<RECT> runs;
    runs.reserve(static_cast<size_t>(height));
    std::vector<uint32_t> row(static_cast<size_t>(width));
    const uint32_t key = PixelValueOf(transparentColour);
    for (int y = 0; y < height; ++y) {
        const BYTE* source = image.GetBits(height - 1 - y);
        for (int x = 0; x < width; ++x)
            row[static_cast<size_t>(x)] = SourcePixel(image, source, x);
        AppendOpaqueRuns(row.data(), width, y, key, 0xFFFFFFu, runs);
    }
    return CreateRegionFromRects(runs);
}

}  // namespace

void AppendOpaqueRuns(const uint32_t* row, int width, int y, uint32_t key, uint32_t compareMask,
                      std::vector<RECT>& runs)
{
    const uint32_t maskedKey = key & compareMask;
    int x = 0;
    while (x < width) {
        while (x < width && (row[x] & compareMask) == maskedKey)
            ++x;
        const int start = x;
        while (x < width && (row[x] & compareMask) != maskedKey)
            ++x;
        if (x > start)
            runs.push_back(RECT{start, y, x, y + 1});
    }
}

HRGN CreateRegionFromRects(const std::vector<RECT>& rects)
{
    if (rects.empty())
        return CreateEmptyRegion();
    const size_t maxRects = (0x7FFFFFFF - sizeof(RGNDATAHEADER)) / sizeof(RECT);
    if (rects.size() > maxRects)
        return nullptr;
    const size_t size = sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT);
    std::vector<unsigned char> block(size);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(block.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(rects.size());
    data->rdh.rcBound = BoundsOf(rects);
    std::copy(rects.begin(), rects.end(), reinterpret_cast<RECT*>(data->Buffer));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(size), data);
}

HRGN CreateRegionFromBitmap(HBITMAP bitmap, COLORREF transparentColour)
{
    try {
        return CreateRegionFromBitmapUnchecked(bitmap, transparentColour);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HRGN CreateRegionFromImage(const Image& image, COLORREF transparentColour)
{
    try {
        return CreateRegionFromImageUnchecked(image, transparentColour);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HRGN ScaleRegion(HRGN region, float scaleX, float scaleY, int dx, int dy)
{
    const DWORD size = GetRegionData(region, 0, nullptr);
    if (size == 0)
        return nullptr;
    std::vector<unsigned char> block;
    try {
        block.resize(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    RGNDATA* data = reinterpret_cast<RGNDATA*>(block.data());
    if (GetRegionData(region, size, data) != size)
        return nullptr;
    XFORM scale = {};
    scale.eM11 = scaleX;
    scale.eM22 = scaleY;
    HRGN scaled = ExtCreateRegion(&scale, size, data);
    if (scaled)
        OffsetRgn(scaled, dx, dy);
    return scaled;
}

HRGN TileRegion(HRGN region, int cellWidth, int cellHeight, int left, int top, int right, int bottom)
{
    Region result(CreateEmptyRegion());
    Region cell(CreateEmptyRegion());
    Region frame(CreateRectRgn(left, top, right, bottom));
    if (!result || !cell || !frame)
        return nullptr;
    CombineRgn(result, region, nullptr, RGN_COPY);
    OffsetRgn(result, left, top);
    // A cell size of 0 would never advance; the single copy at (left, top)
    // is then all there is.
    if (cellWidth > 0 && cellHeight > 0) {
        // Wide counters: a step past the last cell must not overflow.
        for (long long y = top; y < bottom; y += cellHeight) {
            for (long long x = left; x < right; x += cellWidth) {
                CombineRgn(cell, region, nullptr, RGN_COPY);
                OffsetRgn(cell, static_cast<int>(x), static_cast<int>(y));
                CombineRgn(result, result, cell, RGN_OR);
            }
        }
    }
    CombineRgn(result, result, frame, RGN_AND);
    return result.Release();
}
