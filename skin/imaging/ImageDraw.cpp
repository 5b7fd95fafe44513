// The device-drawing members of Image: taking pixels from a device bitmap,
// drawing with colour key and alpha, masked and plain stretching, tiling.
#include "imaging/Image.h"

#include "imaging/DeviceCopies.h"
#include "imaging/GdiObject.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

namespace {

// Limits drawing to `clip` for the length of a scope; the DC's previous
// clip region (or the absence of one) is restored exactly afterwards.
// SaveDC rather than clearing the clip at the end: a caller's own clip
// region must survive the draw.
class ClipScope {
public:
    ClipScope(HDC dc, const RECT* clip) : saved_(dc, clip != nullptr)
    {
        if (saved_.Saved())
            IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
    }

private:
    SavedDCState saved_;
};

// Large enough for any screen; keeps a section's byte size far from
// overflowing 32 bits.
const int kMaxSectionSide = 16384;

// The paint box is composed in horizontal bands of about this many bytes:
// a small section stays in the cache, and fresh memory, which costs a
// page fault per page on first touch, is allocated only once per call.
const int kBandBytes = 64 * 1024;

int RowStride24(int width)
{
    return ((24 * width + 31) / 32) * 4;
}

int BandRows(int width, int height)
{
    return std::max(1, std::min(height, kBandBytes / RowStride24(width)));
}

// A 24-bit bottom-up DIB section as wide as the paint box and one band
// high, selected into a memory DC compatible with the destination. A band
// of fewer rows uses the section's bottom rows.
class PaintSection {
public:
    PaintSection(HDC reference, int width, int height)
        : info_(SectionInfo(width, height)),
          stride_(RowStride24(width)),
          dc_(CreateCompatibleDC(reference)),
          bitmap_(CreateDIBSection(reference, &info_, DIB_RGB_COLORS, &bits_, nullptr, 0)),
          selection_(dc_, bitmap_)
    {
    }

    bool IsValid() const { return bits_ && selection_.Selected(); }
    int Width() const { return info_.bmiHeader.biWidth; }
    int Height() const { return info_.bmiHeader.biHeight; }
    // Row k counted from the bottom of the band.
    BYTE* Row(int k) { return static_cast<BYTE*>(bits_) + static_cast<size_t>(k) * stride_; }

    void CaptureFrom(HDC dc, int left, int top, int rows)
    {
        BitBlt(dc_, 0, Height() - rows, Width(), rows, dc, left, top, SRCCOPY);
        GdiFlush();
    }

    void CopyTo(HDC dc, int left, int top, int rows) const
    {
        SetDIBitsToDevice(dc, left, top, Width(), rows, 0, 0, 0, Height(), bits_, &info_, DIB_RGB_COLORS);
    }

private:
    static BITMAPINFO SectionInfo(int width, int height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        return info;
    }

    BITMAPINFO info_;
    int stride_;
    void* bits_ = nullptr;
    OwnedDC dc_;
    Bitmap bitmap_;
    ObjectSelector selection_;
};

// The part of the destination (x, y, x + cx, y + cy) inside the clip box,
// each edge clamped into the box.
RECT PaintBox(const RECT& clip, int x, int y, int cx, int cy)
{
    const long long right = static_cast<long long>(x) + cx;
    const long long bottom = static_cast<long long>(y) + cy;
    RECT box;
    box.left = std::min<LONG>(clip.right, std::max<LONG>(clip.left, x));
    box.right = static_cast<LONG>(std::max<long long>(clip.left, std::min<long long>(clip.right, right)));
    box.top = std::min<LONG>(clip.bottom, std::max<LONG>(clip.top, y));
    box.bottom = static_cast<LONG>(std::max<long long>(clip.top, std::min<long long>(clip.bottom, bottom)));
    return box;
}

void StoreColour(BYTE* pixel, const RGBQUAD& colour)
{
    pixel[0] = colour.rgbBlue;
    pixel[1] = colour.rgbGreen;
    pixel[2] = colour.rgbRed;
}

BYTE Blend(BYTE source, BYTE destination, int alpha)
{
    return static_cast<BYTE>((source * alpha + destination * (255 - alpha)) >> 8);
}

void BlendColour(BYTE* pixel, const RGBQUAD& colour, int alpha)
{
    pixel[0] = Blend(colour.rgbBlue, pixel[0], alpha);
    pixel[1] = Blend(colour.rgbGreen, pixel[1], alpha);
    pixel[2] = Blend(colour.rgbRed, pixel[2], alpha);
}

// One band of the paint box: `rows` rows whose lowest is row `firstRow`
// of the box counted from its bottom.
struct Band {
    int firstRow;
    int rows;
};

void ComposeBand(PaintSection& section, const Band& band, const Image& image, const SamplingMap& map,
                 const Composition& composition)
{
    const int width = image.GetWidth();
    for (int k = 0; k < band.rows; ++k) {
        const int sourceRow = map.rows[static_cast<size_t>(band.firstRow + k)];
        const BYTE* source = image.GetBits(sourceRow);
        const BYTE* alphaRow =
            composition.alphaPlane ? composition.alphaPlane + static_cast<size_t>(sourceRow) * width : nullptr;
        BYTE* pixel = section.Row(k);
        for (size_t i = 0; i < map.columns.size(); ++i, pixel += 3) {
            const int column = map.columns[i];
            const RGBQUAD colour = SourceColour(image, source, column);
            const int opacity = composition.Opacity(colour, alphaRow ? alphaRow[column] : 255);
            if (opacity == 0 || (composition.keyed && SameColour(colour, composition.key)))
                continue;
            if (opacity == 255)
                StoreColour(pixel, colour);
            else
                BlendColour(pixel, colour, opacity);
        }
    }
}

void SampleBand(PaintSection& section, const Band& band, const Image& image, const SamplingMap& map)
{
    for (int k = 0; k < band.rows; ++k) {
        const BYTE* source = image.GetBits(map.rows[static_cast<size_t>(band.firstRow + k)]);
        BYTE* pixel = section.Row(k);
        for (size_t i = 0; i < map.columns.size(); ++i, pixel += 3)
            StoreColour(pixel, SourceColour(image, source, map.columns[i]));
    }
}

// Composes the paint box band by band from its top and copies each band
// to the destination.
int PaintBands(HDC hdc, const RECT& box, const Image& image, const SamplingMap& map, const Composition& composition)
{
    const int width = box.right - box.left, height = box.bottom - box.top;
    const int bandRows = BandRows(width, height);
    PaintSection section(hdc, width, bandRows);
    if (!section.IsValid())
        return 0;
    for (int top = box.top; top < box.bottom; top += bandRows) {
        const int rows = std::min<int>(bandRows, box.bottom - top);
        const Band band = {box.bottom - (top + rows), rows};
        if (composition.NeedsBackground()) {
            section.CaptureFrom(hdc, box.left, top, band.rows);
            ComposeBand(section, band, image, map, composition);
        } else {
            SampleBand(section, band, image, map);
        }
        section.CopyTo(hdc, box.left, top, band.rows);
    }
    return 1;
}

// Composed or resampled draws from the kept copies build the paint box in
// one kept section of at most this many pixels; larger boxes go by bands.
const long long kMaxKeptBoxPixels = 1 << 20;

uint32_t BlendPixel(uint32_t source, uint32_t destination, int alpha)
{
    uint32_t blended = 0;
    for (int shift = 0; shift < 24; shift += 8)
        blended |= static_cast<uint32_t>(Blend(static_cast<BYTE>(source >> shift),
                                                static_cast<BYTE>(destination >> shift), alpha))
                   << shift;
    return blended;
}

// The paint box from the image's kept 32-bit copy: each pixel computed as
// the bands compute it, so the result is the same. Returns -1 when the
// copies cannot serve the draw.
int PaintFromCopies(HDC hdc, const RECT& box, const Image& image, ImageDeviceCopies& copies, int x, int y, int cx,
                    int cy, const Composition& composition)
{
    const int width = box.right - box.left, height = box.bottom - box.top;
    if (static_cast<long long>(width) * height > kMaxKeptBoxPixels)
        return -1;
    const KeptSection* pixels = copies.Pixels(hdc);
    const bool background = composition.NeedsBackground();
    const std::vector<BYTE>* opacities = background ? copies.Opacities() : nullptr;
    KeptSection* scratch = copies.Scratch(hdc, width, height);
    if (!pixels->IsValid() || !scratch || (background && !opacities))
        return -1;
    const SamplingMap& map = copies.Map(x, y, cx, cy, box);
    if (background)
        BitBlt(scratch->Dc(), 0, 0, width, height, hdc, box.left, box.top, SRCCOPY);
    GdiFlush();
    const int imageWidth = image.GetWidth(), imageHeight = image.GetHeight();
    for (int r = 0; r < height; ++r) {
        const int sourceRow = imageHeight - 1 - map.rows[static_cast<size_t>(height - 1 - r)];
        const uint32_t* source = pixels->Row(sourceRow);
        uint32_t* out = scratch->Row(r);
        if (!background) {
            // Enlarged images repeat rows: the row above is the same.
            if (r > 0 && map.rows[static_cast<size_t>(height - r)] == map.rows[static_cast<size_t>(height - 1 - r)])
                std::copy_n(scratch->Row(r - 1), width, out);
            else
                for (int i = 0; i < width; ++i)
                    out[i] = source[map.columns[static_cast<size_t>(i)]];
            continue;
        }
        const BYTE* opacity = opacities->data() + static_cast<size_t>(sourceRow) * imageWidth;
        for (int i = 0; i < width; ++i) {
            const int column = map.columns[static_cast<size_t>(i)];
            const int alpha = opacity[column];
            // What stays keeps only its colour: the bands write 24-bit pixels.
            if (alpha == 0)
                out[i] &= 0x00FFFFFFu;
            else if (alpha == 255)
                out[i] = source[column];
            else
                out[i] = BlendPixel(source[column], out[i], alpha);
        }
    }
    BitBlt(hdc, box.left, box.top, width, height, scratch->Dc(), 0, 0, SRCCOPY);
    return 1;
}

// Draw through the image's kept copies: a natural-size plain image is one
// blit of its copy. Returns -1 when the copies cannot serve the draw.
int DrawFromCopies(HDC hdc, const Image& image, int x, int y, int cx, int cy, const Composition& composition)
{
    const std::shared_ptr<ImageDeviceCopies> copies = ImageDeviceCopies::Of(image);
    if (!copies)
        return -1;
    return copies->Serve(-1, [&] {
        if (!composition.NeedsBackground() && cx == image.GetWidth() && cy == image.GetHeight()) {
            const KeptSection* pixels = copies->Pixels(hdc);
            if (!pixels->IsValid())
                return -1;
            BitBlt(hdc, x, y, cx, cy, pixels->Dc(), 0, 0, SRCCOPY);
            return 1;
        }
        RECT clipBox;
        if (GetClipBox(hdc, &clipBox) == ERROR)
            return 0;
        const RECT box = PaintBox(clipBox, x, y, cx, cy);
        if (IsRectEmpty(&box))
            return 1;
        try {
            return PaintFromCopies(hdc, box, image, *copies, x, y, cx, cy, composition);
        } catch (const std::bad_alloc&) {
            return -1;
        }
    });
}

const BITMAPINFO* DibInfo(const Image& image)
{
    return reinterpret_cast<const BITMAPINFO*>(image.GetDib());
}

int StretchWhole(const Image& image, HDC hdc, int x, int y, int cx, int cy, DWORD rop)
{
    StretchModeScope mode(hdc, COLORONCOLOR);
    StretchDIBits(hdc, x, y, cx, cy, 0, 0, image.GetWidth(), image.GetHeight(), image.GetBits(0), DibInfo(image),
                  DIB_RGB_COLORS, rop);
    return 1;
}

COLORREF ColourRefOf(const RGBQUAD& colour)
{
    return RGB(colour.rgbRed, colour.rgbGreen, colour.rgbBlue);
}

}  // namespace

bool Image::CreateFromBitmap(HBITMAP bitmap)
{
    Destroy();
    BITMAP info = {};
    if (!bitmap || !GetObject(bitmap, sizeof info, &info))
        return false;
    if (!Create(info.bmWidth, info.bmHeight, info.bmBitsPixel, GetFormatType()))
        return false;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } request = {};
    request.header = GetHeader();
    WindowDC screen(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(GetHeight()), GetBits(0),
                               reinterpret_cast<BITMAPINFO*>(&request), DIB_RGB_COLORS);
    if (rows != GetHeight()) {
        Destroy();
        SetLastError("GetDIBits failed");
        return false;
    }
    SetPalette(request.colours, GetColourCount());
    return true;
}

namespace {

// Draw and DrawMasked take a negative size as the image's natural size; a
// zero size, no DC or an unusable image draws nothing.
bool ResolveDrawSize(const Image& image, HDC hdc, int& cx, int& cy)
{
    if (!image.IsValid() || !hdc || cx == 0 || cy == 0 || !image.IsEnabled())
        return false;
    if (cx < 0)
        cx = image.GetWidth();
    if (cy < 0)
        cy = image.GetHeight();
    return true;
}

}  // namespace

int Image::Draw(HDC hdc, int x, int y, int cx, int cy, const RECT* clipRect)
{
    if (!ResolveDrawSize(*this, hdc, cx, cy))
        return 0;
    ClipScope clip(hdc, clipRect);
    const Composition composition = CompositionOf(*this);
    if (DeviceCopiesEnabled() && IsTrueColourTarget(hdc)) {
        const int drawn = DrawFromCopies(hdc, *this, x, y, cx, cy, composition);
        if (drawn >= 0)
            return drawn;
    }
    if (!composition.NeedsBackground() && cx == GetWidth() && cy == GetHeight()) {
        SetDIBitsToDevice(hdc, x, y, cx, cy, 0, 0, 0, cy, GetBits(0), DibInfo(*this), DIB_RGB_COLORS);
        return 1;
    }
    RECT clipBox;
    if (GetClipBox(hdc, &clipBox) == ERROR)
        return 0;
    const RECT box = PaintBox(clipBox, x, y, cx, cy);
    if (IsRectEmpty(&box))
        return 1;
    if (box.right - box.left > kMaxSectionSide || box.bottom - box.top > kMaxSectionSide)
        return 0;
    try {
        return PaintBands(hdc, box, *this, MapPaintBox(GetWidth(), GetHeight(), x, y, cx, cy, box), composition);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int Image::DrawMasked(HDC hdc, int x, int y, int cx, int cy)
{
    if (!ResolveDrawSize(*this, hdc, cx, cy))
        return 0;
    if (GetTransparentIndex() == -1)
        return StretchWhole(*this, hdc, x, y, cx, cy, SRCCOPY);
    const RECT destination = {x, y, x + cx, y + cy};
    if (!RectVisible(hdc, &destination))
        return 1;
    const int width = GetWidth(), height = GetHeight();
    OwnedDC imageDc(CreateCompatibleDC(hdc));
    Bitmap imageBitmap(CreateCompatibleBitmap(hdc, width, height));
    OwnedDC maskDc(CreateCompatibleDC(hdc));
    Bitmap maskBitmap(CreateBitmap(width, height, 1, 1, nullptr));
    if (!imageDc || !imageBitmap || !maskDc || !maskBitmap)
        return 0;
    ObjectSelector imageSelection(imageDc, imageBitmap);
    ObjectSelector maskSelection(maskDc, maskBitmap);
    StretchWhole(*this, imageDc, 0, 0, width, height, SRCCOPY);
    // Colour-to-monochrome blits set the mask bits where the source has
    // the background colour: white marks the key.
    SetBkColor(imageDc, ColourRefOf(GetTransparentColour()));
    BitBlt(maskDc, 0, 0, width, height, imageDc, 0, 0, SRCCOPY);
    // The mask reaches the destination as background colour for set bits
    // and text colour for clear ones; they must be white and black, for
    // this scope only, so the caller's colours come back.
    TextColours colours(hdc, RGB(0, 0, 0), RGB(255, 255, 255));
    StretchModeScope mode(hdc, COLORONCOLOR);
    StretchBlt(hdc, x, y, cx, cy, imageDc, 0, 0, width, height, SRCINVERT);
    StretchBlt(hdc, x, y, cx, cy, maskDc, 0, 0, width, height, SRCAND);
    StretchBlt(hdc, x, y, cx, cy, imageDc, 0, 0, width, height, SRCINVERT);
    return 1;
}

int Image::Stretch(HDC hdc, int x, int y, int cx, int cy)
{
    if (!IsValid() || !hdc)
        return 0;
    return StretchWhole(*this, hdc, x, y, cx, cy, SRCCOPY);
}

int Image::Tile(HDC hdc, const RECT* rect)
{
    if (!IsValid() || !hdc || !rect)
        return 0;
    const int width = GetWidth(), height = GetHeight();
    for (long long top = rect->top; top < rect->bottom; top += height) {
        for (long long left = rect->left; left < rect->right; left += width) {
            const RECT clip = {static_cast<LONG>(left), static_cast<LONG>(top),
                               static_cast<LONG>(std::min<long long>(left + width, rect->right)),
                               static_cast<LONG>(std::min<long long>(top + height, rect->bottom))};
            // Only cut tiles need the clip; whole ones cover just their cell.
            const bool whole = clip.right - clip.left == width && clip.bottom - clip.top == height;
            Draw(hdc, clip.left, clip.top, -1, -1, whole ? nullptr : &clip);
        }
    }
    return 1;
}
