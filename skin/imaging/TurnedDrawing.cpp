#include "imaging/TurnedDrawing.h"

#include "imaging/DeviceCopies.h"
#include "imaging/DrawUtils.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {

// The two sections a turn goes through. Scroll bars and tabs turn on every
// paint, so one pair is kept per thread; a turn that starts while another
// uses them (a painter turning inside a turned painter) makes its own.
struct TurnSurfaces {
    KeptSection picture;
    KeptSection turned;
    bool inUse = false;
};

bool Fit(KeptSection& section, HDC reference, int width, int height)
{
    if (section.IsValid() && section.Width() >= width && section.Height() >= height)
        return true;
    return section.Create(reference, std::max(width, section.Width()), std::max(height, section.Height()));
}

// Pixel (x, y) of the turned picture comes from the picture's pixel that
// the turn carries there; the picture is w x h.
void TurnPixels(const KeptSection& picture, int w, int h, QuarterTurn turn, const KeptSection& turned)
{
    const int tw = turn == TurnHalf ? w : h;
    const int th = turn == TurnHalf ? h : w;
    for (int y = 0; y < th; ++y) {
        uint32_t* out = turned.Row(y);
        for (int x = 0; x < tw; ++x) {
            switch (turn) {
            case TurnClockwise:
                out[x] = picture.Row(h - 1 - x)[y];
                break;
            case TurnHalf:
                out[x] = picture.Row(h - 1 - y)[w - 1 - x];
                break;
            default:  // anticlockwise
                out[x] = picture.Row(x)[w - 1 - y];
                break;
            }
        }
    }
}

bool TurnInto(TurnSurfaces& surfaces, HDC target, const RECT& dest, QuarterTurn turn,
              void (*paint)(void*, HDC, const RECT&), void* context)
{
    const RECT frame = UnturnedFrame(dest, turn);
    const int w = frame.right, h = frame.bottom;
    if (!Fit(surfaces.picture, target, w, h))
        return false;
    paint(context, surfaces.picture.Dc(), frame);
    const KeptSection* shown = &surfaces.picture;
    if (turn != TurnNone) {
        if (!Fit(surfaces.turned, target, dest.right - dest.left, dest.bottom - dest.top))
            return false;
        GdiFlush();
        TurnPixels(surfaces.picture, w, h, turn, surfaces.turned);
        shown = &surfaces.turned;
    }
    return BitBlt(target, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, shown->Dc(), 0, 0,
                  SRCCOPY) != FALSE;
}

}  // namespace

RECT UnturnedFrame(const RECT& dest, QuarterTurn turn)
{
    const int width = dest.right - dest.left, height = dest.bottom - dest.top;
    const bool across = turn == TurnClockwise || turn == TurnAnticlockwise;
    return RECT{0, 0, across ? height : width, across ? width : height};
}

bool DrawTurnedWith(HDC target, const RECT& dest, QuarterTurn turn, void (*paint)(void*, HDC, const RECT&),
                    void* context)
{
    if (turn == TurnNone) {
        paint(context, target, dest);
        return true;
    }
    return DrawComposedWith(target, dest, turn, paint, context);
}

bool DrawComposedWith(HDC target, const RECT& dest, QuarterTurn turn, void (*paint)(void*, HDC, const RECT&),
                      void* context)
{
    if (dest.right <= dest.left || dest.bottom <= dest.top)
        return true;
    thread_local TurnSurfaces kept;
    if (!kept.inUse) {
        kept.inUse = true;
        const bool drawn = TurnInto(kept, target, dest, turn, paint, context);
        kept.inUse = false;
        return drawn;
    }
    TurnSurfaces own;
    return TurnInto(own, target, dest, turn, paint, context);
}

namespace {

struct KeyedScratch {
    KeptSection section;
    bool inUse = false;
};

struct KeyedPaint {
    COLORREF key;
    void (*paint)(void*, HDC, const RECT&);
    void* context;
};

void PaintOverKey(void* context, HDC hdc, const RECT& frame)
{
    const auto* keyed = static_cast<const KeyedPaint*>(context);
    FillSolidRect(hdc, frame, keyed->key);
    keyed->paint(keyed->context, hdc, frame);
}

bool TurnKeyedInto(KeptSection& scratch, HDC target, const RECT& dest, QuarterTurn turn, KeyedPaint& keyed)
{
    const int width = dest.right - dest.left, height = dest.bottom - dest.top;
    if (!Fit(scratch, target, width, height))
        return false;
    if (!DrawTurnedWith(scratch.Dc(), RECT{0, 0, width, height}, turn, PaintOverKey, &keyed))
        return false;
    TransparentBlitScratch(target, dest.left, dest.top, width, height, scratch.Dc(), keyed.key);
    return true;
}

}  // namespace

bool DrawTurnedKeyedWith(HDC target, const RECT& dest, QuarterTurn turn, COLORREF key,
                         void (*paint)(void*, HDC, const RECT&), void* context)
{
    if (dest.right <= dest.left || dest.bottom <= dest.top)
        return true;
    KeyedPaint keyed = {key, paint, context};
    // One scratch per thread, as for the turn itself; a keyed turn inside
    // a keyed painter makes its own.
    thread_local KeyedScratch kept;
    if (!kept.inUse) {
        kept.inUse = true;
        const bool drawn = TurnKeyedInto(kept.section, target, dest, turn, keyed);
        kept.inUse = false;
        return drawn;
    }
    KeptSection own;
    return TurnKeyedInto(own, target, dest, turn, keyed);
}
