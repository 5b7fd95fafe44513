// Stateless drawing helpers shared by every painter: solid fills, a
// triangle, and colour-key copies through monochrome masks. Each leaves
// the DC it is given as it found it.
#pragma once

#include <windows.h>

class Image;

void FillSolidRect(HDC hdc, const RECT& rect, COLORREF colour);

// A filled triangle in `colour`, outlined with the DC's current pen.
void FillTriangle(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, COLORREF colour);

// Copies w x h pixels of `bitmap` from (xSrc, ySrc) to (x, y); pixels of
// exactly `transparentColour` leave the destination unchanged. The palette
// (may be null) is used on palette devices only. The bitmap stays the
// caller's and must not be selected into a DC.
void TransparentBlitBitmap(HDC hdc, int x, int y, int w, int h, HBITMAP bitmap, int xSrc, int ySrc,
                           COLORREF transparentColour, HPALETTE palette);

// Like TransparentBlitBitmap with the source taken from a DC; the source
// rectangle is stretched to w x h when the sizes differ.
void TransparentStretchBlit(HDC hdcDest, int x, int y, int w, int h, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                            int hSrc, COLORREF transparentColour);

// The colour-key copy from the w x h picture at (0, 0) of `scratch`, a DC
// the caller owns: its pixels are changed (key pixels become black). It
// spares the copy of the picture the two functions above make.
void TransparentBlitScratch(HDC hdc, int x, int y, int w, int h, HDC scratch, COLORREF transparentColour);

// Draws `image` at destRect's top-left corner, cut to destRect, with
// `transparentColour` as key. Returns 1.
int DrawImageKeyed(HDC hdc, const Image& image, const RECT& destRect, COLORREF transparentColour);

// Stretches a device bitmap into destRect; pixels of `transparentColour`
// leave the destination unchanged. Returns 1.
int DrawBitmapMasked(HDC hdc, HBITMAP bitmap, const RECT& destRect, COLORREF transparentColour);
