#include "imaging/ImageRef.h"

#include "imaging/DeviceCopies.h"
#include "imaging/DrawUtils.h"
#include "imaging/GdiObject.h"
#include "imaging/Image.h"
#include "imaging/MemoryDC.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <mutex>

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

// A destination DC with what the kept copies ask of it, asked once however
// many pieces are drawn there: the depth of a window's DC is a query of the
// display settings under Wine, dearer than the blits it decides.
class CopyTarget {
public:
    explicit CopyTarget(HDC hdc) : hdc_(hdc) {}

    HDC Dc() const { return hdc_; }
    // Not scaled and not of a low depth.
    bool TakesCopies()
    {
        if (!known_) {
            takesCopies_ =
                GetMapMode(hdc_) == MM_TEXT && GetGraphicsMode(hdc_) == GM_COMPATIBLE && IsTrueColourTarget(hdc_);
            known_ = true;
        }
        return takesCopies_;
    }

private:
    HDC hdc_;
    bool known_ = false;
    bool takesCopies_ = false;
};

// Whether the bitmap's kept copies draw its pieces into the target exactly
// as cutting and drawing them would: they hold plain colours, so keyed,
// alpha, palette-alpha and disabled bitmaps, and scaled or low-depth
// targets, take the plain path.
bool CopiesServe(CopyTarget& target, const Image& bitmap)
{
    return DeviceCopiesEnabled() && bitmap.IsValid() && bitmap.IsEnabled() && !bitmap.HasAlpha() &&
           bitmap.GetTransparentIndex() == -1 && !(bitmap.IsPaletteAlpha() && bitmap.GetBpp() < 24) &&
           target.TakesCopies();
}

// The part of `source` that Crop would cut out of the bitmap; false when
// nothing is left.
bool CroppedSource(const Image& bitmap, long long left, long long top, long long right, long long bottom, RECT& out)
{
    auto clamp = [](long long value, int limit) {
        return static_cast<LONG>(std::max(0LL, std::min<long long>(value, limit)));
    };
    out = RECT{clamp(left, bitmap.GetWidth()), clamp(top, bitmap.GetHeight()), clamp(right, bitmap.GetWidth()),
               clamp(bottom, bitmap.GetHeight())};
    return out.left < out.right && out.top < out.bottom;
}

const DWORD kPatternAnd = 0x00A000C9;  // DPa
const DWORD kPatternOr = 0x00FA0089;   // DPo

enum class CopyDraw { Drawn, Missing, Unserved };

// The piece's copies 1:1 at the destination's corner, cut to it.
void BlitPiece(HDC hdc, const RECT& destRect, const PieceCopies& piece, const PieceCopies::Keyed* keyed)
{
    const int cx = std::min<int>(destRect.right - destRect.left, piece.pixels.Width());
    const int cy = std::min<int>(destRect.bottom - destRect.top, piece.pixels.Height());
    if (keyed && keyed->holdsKey) {
        BitBlt(hdc, destRect.left, destRect.top, cx, cy, keyed->mask.Dc(), 0, 0, SRCAND);
        BitBlt(hdc, destRect.left, destRect.top, cx, cy, keyed->blackened.Dc(), 0, 0, SRCPAINT);
        return;
    }
    BitBlt(hdc, destRect.left, destRect.top, cx, cy, piece.pixels.Dc(), 0, 0, SRCCOPY);
}

// A piece of one colour and no key pixels stretches and tiles as a solid
// fill of that colour: the same pixels, without sampling the piece.
bool FilledIfUniform(HDC hdc, const RECT& destRect, const PieceCopies& piece, const PieceCopies::Keyed* keyed)
{
    if (!piece.uniform || (keyed && keyed->holdsKey))
        return false;
    FillSolidRect(hdc, destRect, RGB(piece.colour >> 16 & 0xFF, piece.colour >> 8 & 0xFF, piece.colour & 0xFF));
    return true;
}

bool TileFromCopies(HDC hdc, const RECT& destRect, PieceCopies& piece, PieceCopies::Keyed* keyed)
{
    if (FilledIfUniform(hdc, destRect, piece, keyed))
        return true;
    // One tile is all that shows: a blit is cheaper than a pattern fill.
    if (destRect.right - destRect.left <= piece.pixels.Width() &&
        destRect.bottom - destRect.top <= piece.pixels.Height()) {
        BlitPiece(hdc, destRect, piece, keyed);
        return true;
    }
    if (!ImageDeviceCopies::TilingPatterns(piece, keyed))
        return false;
    // Tiles start at the destination's corner, wherever the DC's origin is;
    // the pattern repeats the piece, so any whole number of pieces away
    // from that corner is as good a brush origin.
    POINT origin = {destRect.left, destRect.top};
    LPtoDP(hdc, &origin, 1);
    const int width = piece.pixels.Width(), height = piece.pixels.Height();
    const POINT phase = {(origin.x % width + width) % width, (origin.y % height + height) % height};
    const BrushOriginScope brushOrigin(hdc, phase);
    const int cx = destRect.right - destRect.left, cy = destRect.bottom - destRect.top;
    if (keyed && keyed->holdsKey) {
        {
            const ObjectSelector mask(hdc, keyed->maskPattern);
            PatBlt(hdc, destRect.left, destRect.top, cx, cy, kPatternAnd);
        }
        const ObjectSelector blackened(hdc, keyed->blackenedPattern);
        PatBlt(hdc, destRect.left, destRect.top, cx, cy, kPatternOr);
        return true;
    }
    const ObjectSelector pattern(hdc, piece.pattern);
    PatBlt(hdc, destRect.left, destRect.top, cx, cy, PATCOPY);
    return true;
}

void StretchFromCopy(HDC hdc, const RECT& destRect, const KeptSection& piece)
{
    // Closest-pixel sampling, as the pieces' own stretch uses: averaging
    // would also mix key pixels into their neighbours.
    const StretchModeScope mode(hdc, COLORONCOLOR);
    StretchDIBits(hdc, destRect.left, destRect.top, destRect.right - destRect.left, destRect.bottom - destRect.top, 0,
                  0, piece.Width(), piece.Height(), piece.Bits(), &piece.Info(), DIB_RGB_COLORS, SRCCOPY);
}

// Stretches kept for the next draw are at most this many pixels (a frame's
// edges at any usual size); larger ones, a window's whole client area, are
// made afresh each time: their owners keep what they drew, and making and
// first touching a section that size costs more than the stretch itself.
const long long kMaxKeptStretch = 1 << 17;

// `kept` holds the sources stretched to cx x cy, one below the other, made
// now unless the last draw left them at that size.
bool KeepStretched(HDC reference, KeptSection& kept, int cx, int cy, std::initializer_list<const KeptSection*> sources)
{
    const int count = static_cast<int>(sources.size());
    if (kept.IsValid() && kept.Width() == cx && kept.Height() == cy * count)
        return true;
    if (static_cast<long long>(cx) * cy * count > kMaxKeptStretch || !kept.Create(reference, cx, cy * count)) {
        kept.Reset();
        return false;
    }
    int top = 0;
    for (const KeptSection* source : sources) {
        StretchFromCopy(kept.Dc(), RECT{0, top, cx, top + cy}, *source);
        top += cy;
    }
    return true;
}

bool StretchFromCopies(HDC hdc, const RECT& destRect, PieceCopies& piece, PieceCopies::Keyed* keyed,
                       ImageDeviceCopies& copies)
{
    if (FilledIfUniform(hdc, destRect, piece, keyed))
        return true;
    const int cx = destRect.right - destRect.left, cy = destRect.bottom - destRect.top;
    if (!keyed || !keyed->holdsKey) {
        if (KeepStretched(hdc, piece.stretched, cx, cy, {&piece.pixels}))
            BitBlt(hdc, destRect.left, destRect.top, cx, cy, piece.stretched.Dc(), 0, 0, SRCCOPY);
        else
            StretchFromCopy(hdc, destRect, piece.pixels);
        return true;
    }
    if (cx == piece.pixels.Width() && cy == piece.pixels.Height()) {
        BlitPiece(hdc, destRect, piece, keyed);
        return true;
    }
    if (KeepStretched(hdc, keyed->stretched, cx, cy, {&keyed->mask, &keyed->blackened})) {
        BitBlt(hdc, destRect.left, destRect.top, cx, cy, keyed->stretched.Dc(), 0, 0, SRCAND);
        BitBlt(hdc, destRect.left, destRect.top, cx, cy, keyed->stretched.Dc(), 0, cy, SRCPAINT);
        return true;
    }
    // A stretch that combines with the destination picks its source pixels
    // differently from a plain copying stretch: mask and picture are first
    // stretched by copying, so they sample exactly the pixels the piece's
    // own stretch samples, and then combined 1:1.
    KeptSection* scratch = copies.Scratch(hdc, cx, 2 * cy);
    if (!scratch)
        return false;
    StretchFromCopy(scratch->Dc(), RECT{0, 0, cx, cy}, keyed->mask);
    StretchFromCopy(scratch->Dc(), RECT{0, cy, cx, 2 * cy}, keyed->blackened);
    BitBlt(hdc, destRect.left, destRect.top, cx, cy, scratch->Dc(), 0, 0, SRCAND);
    BitBlt(hdc, destRect.left, destRect.top, cx, cy, scratch->Dc(), 0, cy, SRCPAINT);
    return true;
}

// A piece drawn once, 1:1, straight from the whole bitmap's copies.
bool BlitFromCopies(HDC hdc, const RECT& destRect, const RECT& source, ImageDeviceCopies& copies,
                    const PieceCopies::Keyed* keyed, const COLORREF* key)
{
    const int width = source.right - source.left, height = source.bottom - source.top;
    if (keyed && keyed->holdsKey) {
        const KeyCopies* keyCopies = copies.KeyedPixels(hdc, *key);
        if (!keyCopies || !keyCopies->mask.IsValid() || !keyCopies->blackened.IsValid())
            return false;
        BitBlt(hdc, destRect.left, destRect.top, width, height, keyCopies->mask.Dc(), source.left, source.top, SRCAND);
        BitBlt(hdc, destRect.left, destRect.top, width, height, keyCopies->blackened.Dc(), source.left, source.top,
               SRCPAINT);
        return true;
    }
    const KeptSection* pixels = copies.Pixels(hdc);
    if (!pixels->IsValid())
        return false;
    BitBlt(hdc, destRect.left, destRect.top, width, height, pixels->Dc(), source.left, source.top, SRCCOPY);
    return true;
}

// The reference drawn from the bitmap's kept copies; with a key, pixels of
// that colour leave the destination unchanged.
CopyDraw DrawFromCopies(HDC hdc, const RECT& destRect, const ImageRef& ref, const Image& bitmap, const COLORREF* key)
{
    const SourceRect& s = ref.source;
    long long right = s.right, bottom = s.bottom;
    if (ref.drawMode == DrawModeOnce) {
        right = static_cast<long long>(s.left) +
                std::min(Extent(destRect.left, destRect.right), Extent(s.left, s.right));
        bottom = static_cast<long long>(s.top) +
                 std::min(Extent(destRect.top, destRect.bottom), Extent(s.top, s.bottom));
    }
    RECT source;
    if (!CroppedSource(bitmap, s.left, s.top, right, bottom, source))
        return CopyDraw::Missing;
    const std::shared_ptr<ImageDeviceCopies> copies = ImageDeviceCopies::Of(bitmap);
    if (!copies)
        return CopyDraw::Unserved;
    return copies->Serve(CopyDraw::Unserved, [&] {
        PieceCopies::Keyed* keyed = key ? copies->KeyedPiece(hdc, source, *key, ref.drawMode != DrawModeOnce) : nullptr;
        if (key && !keyed)
            return CopyDraw::Unserved;
        if (ref.drawMode == DrawModeOnce)
            return BlitFromCopies(hdc, destRect, source, *copies, keyed, key) ? CopyDraw::Drawn : CopyDraw::Unserved;
        PieceCopies* piece = copies->Piece(hdc, source);
        if (!piece)
            return CopyDraw::Unserved;
        if (ref.drawMode == DrawModeTile)
            return TileFromCopies(hdc, destRect, *piece, keyed) ? CopyDraw::Drawn : CopyDraw::Unserved;
        return StretchFromCopies(hdc, destRect, *piece, keyed, *copies) ? CopyDraw::Drawn : CopyDraw::Unserved;
    });
}

// Draws the reference; false when there is nothing to draw from.
bool DrawFromSource(CopyTarget& target, const RECT& destRect, const ImageRef& ref, const ImageSource& images)
{
    const HDC hdc = target.Dc();
    const RECT source = RectOf(ref.source);
    if (IsRectEmpty(&source))
        return false;
    Image* bitmap = images.FindImage(BoundedName(ref.name).text);
    if (!bitmap)
        return false;
    if (CopiesServe(target, *bitmap)) {
        const CopyDraw drawn = DrawFromCopies(hdc, destRect, ref, *bitmap, nullptr);
        if (drawn != CopyDraw::Unserved)
            return drawn == CopyDraw::Drawn;
    }
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

// DrawImageRef into a target the other pieces of a frame share.
bool DrawPiece(CopyTarget& target, const RECT& destRect, const ImageRef& ref, COLORREF fallbackColour,
               bool fillIfMissing, const ImageSource& images)
{
    // Inverted destinations (a frame narrower than its margins) draw
    // nothing rather than a mirrored picture.
    if (IsRectEmpty(&destRect))
        return false;
    if (DrawFromSource(target, destRect, ref, images))
        return true;
    if (fillIfMissing)
        FillSolidRect(target.Dc(), destRect, fallbackColour);
    return false;
}

void DrawPieces(HDC hdc, const RECT& destRect, const FrameImageRef& frame, COLORREF fallbackColour,
                bool fillIfMissing, const ImageSource& images, bool withCentre)
{
    CopyTarget target(hdc);
    for (int piece = 0; piece < FramePieceCount; ++piece) {
        if (piece == PieceCentre && !withCentre)
            continue;
        DrawPiece(target, FramePieceDest(frame, destRect, piece), FramePieceRef(frame, piece), fallbackColour,
                  fillIfMissing, images);
    }
}

// Whether the pieces of the frame lie inside a width x height destination
// without overlapping: only then may each go straight to the destination.
bool PiecesTile(const FrameImageRef& frame, int width, int height)
{
    return frame.marginLeft >= 0 && frame.marginRight >= 0 && frame.marginTop >= 0 && frame.marginBottom >= 0 &&
           static_cast<long long>(frame.marginLeft) + frame.marginRight <= width &&
           static_cast<long long>(frame.marginTop) + frame.marginBottom <= height;
}

// What `paint` draws on a surface of key colour the size of `destRect`,
// copied to the destination without its key pixels.
template <typename Paint>
void ComposeKeyed(HDC hdc, const RECT& destRect, COLORREF transparentColour, Paint paint)
{
    const int width = destRect.right - destRect.left;
    const int height = destRect.bottom - destRect.top;
    MemoryDC surface(hdc, width, height);
    if (!surface.IsValid())
        return;
    // The surface starts as key colour, not black: key pixels of keyed
    // pieces and missing pieces leave it as it was and must stay
    // transparent too.
    const RECT area = {0, 0, width, height};
    FillSolidRect(surface.Dc(), area, transparentColour);
    paint(surface.Dc(), area);
    TransparentBlitScratch(hdc, destRect.left, destRect.top, width, height, surface.Dc(), transparentColour);
}

// The reference, found as `bitmap`, with its key pixels leaving the
// destination unchanged: from the kept copies when they serve. Copies cost
// handles; when GDI refuses them (a process near its handle limit), or
// they cannot stand for the bitmap, the picture is composed on its own,
// which needs a surface only for the length of the draw. False when there
// was nothing to draw from.
bool DrawKeyedPiece(HDC hdc, const RECT& destRect, const ImageRef& ref, const Image& bitmap, bool copiesServe,
                    COLORREF transparentColour, const ImageSource& images)
{
    const RECT source = RectOf(ref.source);
    if (IsRectEmpty(&destRect) || IsRectEmpty(&source))
        return false;
    if (copiesServe) {
        const CopyDraw drawn = DrawFromCopies(hdc, destRect, ref, bitmap, &transparentColour);
        if (drawn != CopyDraw::Unserved)
            return drawn == CopyDraw::Drawn;
    }
    bool drawn = false;
    ComposeKeyed(hdc, destRect, transparentColour, [&](HDC surface, const RECT& area) {
        CopyTarget target(surface);
        drawn = DrawFromSource(target, area, ref, images);
    });
    return drawn;
}

// The keyed frame piece by piece through the kept masks: what composing it
// off-screen shows, without the surface and without building a mask per
// draw. False when the frame must be composed.
bool DrawKeyedFromCopies(HDC hdc, const RECT& destRect, const FrameImageRef& frame, COLORREF transparentColour,
                         const ImageSource& images)
{
    if (!PiecesTile(frame, destRect.right - destRect.left, destRect.bottom - destRect.top))
        return false;
    const Image* bitmap = images.FindImage(BoundedName(frame.name).text);
    // Missing pieces would be key colour on the surface: nothing shows.
    if (!bitmap)
        return true;
    CopyTarget target(hdc);
    if (!CopiesServe(target, *bitmap))
        return false;
    for (int piece = 0; piece < FramePieceCount; ++piece)
        DrawKeyedPiece(hdc, FramePieceDest(frame, destRect, piece), FramePieceRef(frame, piece), *bitmap, true,
                       transparentColour, images);
    return true;
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

bool DrawImageRef(HDC hdc, const RECT& destRect, const ImageRef& ref, COLORREF fallbackColour, bool fillIfMissing,
                  const ImageSource& images)
{
    CopyTarget target(hdc);
    return DrawPiece(target, destRect, ref, fallbackColour, fillIfMissing, images);
}

bool DrawImageRefKeyed(HDC hdc, const RECT& destRect, const ImageRef& ref, COLORREF transparentColour,
                       const ImageSource& images)
{
    const Image* bitmap = images.FindImage(BoundedName(ref.name).text);
    CopyTarget target(hdc);
    return bitmap &&
           DrawKeyedPiece(hdc, destRect, ref, *bitmap, CopiesServe(target, *bitmap), transparentColour, images);
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
    if (width <= 0 || height <= 0 || DrawKeyedFromCopies(hdc, destRect, frame, transparentColour, images))
        return 1;
    ComposeKeyed(hdc, destRect, transparentColour, [&](HDC surface, const RECT& area) {
        DrawFrameImage(surface, area, frame, transparentColour, true, images);
    });
    return 1;
}
