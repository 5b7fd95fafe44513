#include "imaging/ImageRef.h"

#include "imaging/DrawUtils.h"
#include "imaging/GdiObject.h"
#include "imaging/Image.h"
#include "imaging/MemoryDC.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

RECT RectOf(const SourceRect& source)
{
    return RECT{source.left, source.top, source.right, source.bottom};
}

// Margins come from skin files; sums of hostile values must not overflow.
int32_t Saturate(long long value)
{
    return static_cast<int32_t>(std::max<long long>(INT32_MIN, std::min<long long>(INT32_MAX, value)));
}

// Column (or row) `index` of a span [start, end) cut by two margins:
// [start, start + first), [start + first, end - last), [end - last, end).
void CutSpan(int32_t start, int32_t end, int32_t first, int32_t last, int index, int32_t& from, int32_t& to)
{
    const long long inner[2] = {static_cast<long long>(start) + first, static_cast<long long>(end) - last};
    from = index == 0 ? start : Saturate(inner[index - 1]);
    to = index == 2 ? end : Saturate(inner[index]);
}

// The name as a C string even when the stored field lacks its terminator.
struct BoundedName {
    explicit BoundedName(const char (&field)[kImageNameSize])
    {
        std::memcpy(text, field, kImageNameSize);
        text[kImageNameSize] = '\0';
    }
    char text[kImageNameSize + 1];
};

int32_t Extent(int32_t from, int32_t to)
{
    return Saturate(static_cast<long long>(to) - from);
}

// Draws the reference; false when there is nothing to draw from.
bool DrawFromSource(HDC hdc, const RECT& destRect, const ImageRef& ref, const ImageSource& images)
{
    const RECT source = RectOf(ref.source);
    if (IsRectEmpty(&source))
        return false;
    Image* bitmap = images.FindImage(BoundedName(ref.name).text);
    if (!bitmap)
        return false;
    Image piece;
    if (ref.drawMode == DrawModeOnce) {
        const int32_t width = std::min(Extent(destRect.left, destRect.right), Extent(source.left, source.right));
        const int32_t height = std::min(Extent(destRect.top, destRect.bottom), Extent(source.top, source.bottom));
        if (!bitmap->Crop(source.left, source.top, source.left + width, source.top + height, &piece) ||
            !piece.IsValid())
            return false;
        piece.Draw(hdc, destRect.left, destRect.top);
        return true;
    }
    if (!bitmap->Crop(source.left, source.top, source.right, source.bottom, &piece) || !piece.IsValid())
        return false;
    if (ref.drawMode == DrawModeTile)
        piece.Tile(hdc, &destRect);
    else
        piece.Stretch(hdc, destRect.left, destRect.top, destRect.right - destRect.left,
                      destRect.bottom - destRect.top);
    return true;
}

void DrawPieces(HDC hdc, const RECT& destRect, const FrameImageRef& frame, COLORREF fallbackColour,
                bool fillIfMissing, const ImageSource& images, bool withCentre)
{
    for (int piece = 0; piece < FramePieceCount; ++piece) {
        if (piece == PieceCentre && !withCentre)
            continue;
        DrawImageRef(hdc, FramePieceDest(frame, destRect, piece), FramePieceRef(frame, piece), fallbackColour,
                     fillIfMissing, images);
    }
}

}  // namespace

bool IsImageRefEmpty(const ImageRef& ref)
{
    const RECT source = RectOf(ref.source);
    return IsRectEmpty(&source) || ref.name[0] == '\0';
}

int32_t PieceDrawMode(int32_t stretchMode, int piece)
{
    static const unsigned kStretchedPieces[] = {
        0,                                                                  // 0: none
        0x1FF,                                                              // 1: all nine
        1u << PieceBottom,                                                  // 2
        1u << PieceCentre,                                                  // 3
        1u << PieceLeft,                                                    // 4
        1u << PieceTop | 1u << PieceLeft | 1u << PieceRight | 1u << PieceBottom,  // 5: the edges
        1u << PieceRight,                                                   // 6
        1u << PieceTop,                                                     // 7
    };
    const int modes = sizeof kStretchedPieces / sizeof kStretchedPieces[0];
    const bool stretched =
        stretchMode >= 0 && stretchMode < modes && (kStretchedPieces[stretchMode] >> piece & 1u) != 0;
    return stretched ? DrawModeStretch : DrawModeTile;
}

ImageRef FramePieceRef(const FrameImageRef& frame, int piece)
{
    ImageRef ref = {};
    std::memcpy(ref.name, frame.name, kImageNameSize);
    const SourceRect& s = frame.source;
    CutSpan(s.left, s.right, frame.marginLeft, frame.marginRight, piece % 3, ref.source.left, ref.source.right);
    CutSpan(s.top, s.bottom, frame.marginTop, frame.marginBottom, piece / 3, ref.source.top, ref.source.bottom);
    ref.drawMode = PieceDrawMode(frame.stretchMode, piece);
    return ref;
}

RECT FramePieceDest(const FrameImageRef& frame, const RECT& destRect, int piece)
{
    int32_t left, top, right, bottom;
    CutSpan(destRect.left, destRect.right, frame.marginLeft, frame.marginRight, piece % 3, left, right);
    CutSpan(destRect.top, destRect.bottom, frame.marginTop, frame.marginBottom, piece / 3, top, bottom);
    return RECT{left, top, right, bottom};
}

void DrawImageRef(HDC hdc, const RECT& destRect, const ImageRef& ref, COLORREF fallbackColour, bool fillIfMissing,
                  const ImageSource& images)
{
    // Inverted destinations (a frame narrower than its margins) draw
    // nothing rather than a mirrored picture.
    if (IsRectEmpty(&destRect))
        return;
    if (!DrawFromSource(hdc, destRect, ref, images) && fillIfMissing)
        FillSolidRect(hdc, destRect, fallbackColour);
}

void DrawFrameImage(HDC hdc, const RECT& destRect, const FrameImageRef& frame, COLORREF fallbackColour,
                    bool fillIfMissing, const ImageSource& images)
{
    DrawPieces(hdc, destRect, frame, fallbackColour, fillIfMissing, images, true);
}

void DrawFrameBorder(HDC hdc, const RECT& destRect, const FrameImageRef& frame, COLORREF fallbackColour,
                     bool fillIfMissing, const ImageSource& images)
{
    DrawPieces(hdc, destRect, frame, fallbackColour, fillIfMissing, images, false);
}

int DrawFrameImageKeyed(HDC hdc, const RECT& destRect, const FrameImageRef& frame, COLORREF transparentColour,
                        const ImageSource& images)
{
    const int width = destRect.right - destRect.left;
    const int height = destRect.bottom - destRect.top;
    if (width <= 0 || height <= 0)
        return 1;
    MemoryDC surface(hdc, width, height);
    if (!surface.IsValid())
        return 1;
    // The surface starts as key colour: key pixels of keyed pieces leave
    // it as it was and must stay transparent too.
    const RECT area = {0, 0, width, height};
    FillSolidRect(surface.Dc(), area, transparentColour);
    DrawFrameImage(surface.Dc(), area, frame, transparentColour, true, images);
    TransparentBlitScratch(hdc, destRect.left, destRect.top, width, height, surface.Dc(), transparentColour);
    return 1;
}
