// Painters written for one orientation (a horizontal scroll bar, tabs on
// top, a horizontal toolbar's background) draw the other orientations
// through a turned surface: they paint the un-turned picture, and its
// pixels are turned onto the target. The result is what turning the
// picture as an image (Image::Rotate by 90, 180 or 270 degrees clockwise)
// and drawing it without a key would show, without making an image.
#pragma once

#include <windows.h>

#include <utility>

enum QuarterTurn { TurnNone = 0, TurnClockwise = 1, TurnHalf = 2, TurnAnticlockwise = 3 };

// `dest` with width and height exchanged for a quarter turn, at the origin:
// the frame a painter draws the un-turned picture in.
RECT UnturnedFrame(const RECT& dest, QuarterTurn turn);

// Calls paint(hdc, frame) for the un-turned picture and puts it turned
// into `dest` of `target`. Without a turn the painter draws straight into
// the target with frame = dest. False when no surface could be made (the
// target is then left as it was).
bool DrawTurnedWith(HDC target, const RECT& dest, QuarterTurn turn, void (*paint)(void*, HDC, const RECT&),
                    void* context);

// The same, always composed off-screen and copied with one blit, also
// without a turn: for painters that lay several pieces over each other.
bool DrawComposedWith(HDC target, const RECT& dest, QuarterTurn turn, void (*paint)(void*, HDC, const RECT&),
                      void* context);

// Hands any callable painter (a lambda, a function) to a drawing function
// that takes a plain function and its context.
template <typename Paint, typename Draw>
bool WithPainter(Paint& paint, Draw draw)
{
    auto call = [&paint](HDC hdc, const RECT& frame) { paint(hdc, frame); };
    using Call = decltype(call);
    return draw([](void* context, HDC hdc, const RECT& frame) { (*static_cast<Call*>(context))(hdc, frame); },
                static_cast<void*>(&call));
}

template <typename Paint>
bool DrawComposed(HDC target, const RECT& dest, QuarterTurn turn, Paint&& paint)
{
    return WithPainter(
        paint, [&](auto function, void* context) { return DrawComposedWith(target, dest, turn, function, context); });
}

template <typename Paint>
bool DrawTurned(HDC target, const RECT& dest, QuarterTurn turn, Paint&& paint)
{
    return WithPainter(
        paint, [&](auto function, void* context) { return DrawTurnedWith(target, dest, turn, function, context); });
}

// The same, with the turned picture copied through a colour key: pixels of
// `key` leave the target unchanged. The painter's surface starts as `key`
// everywhere, so whatever it leaves unpainted stays transparent. For
// pictures with transparent parts: a tab turned to a side, a thumb stood
// upright.
bool DrawTurnedKeyedWith(HDC target, const RECT& dest, QuarterTurn turn, COLORREF key,
                         void (*paint)(void*, HDC, const RECT&), void* context);

template <typename Paint>
bool DrawTurnedKeyed(HDC target, const RECT& dest, QuarterTurn turn, COLORREF key, Paint&& paint)
{
    return WithPainter(paint, [&](auto function, void* context) {
        return DrawTurnedKeyedWith(target, dest, turn, key, function, context);
    });
}
