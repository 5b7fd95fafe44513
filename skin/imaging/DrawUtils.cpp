#include "imaging/DrawUtils.h"

#include "imaging/GdiObject.h"
#include "imaging/Image.h"

#include <algorithm>
#include <optional>

namespace {

// The colour-key copies draw the picture into a w x h image DC first and
// then combine it with the destination through a mask.
template <typename FillImage>
void BlitThroughMask(HDC hdc, int x, int y, int w, int h, COLORREF transparentColour, HPALETTE palette,
                     FillImage fillImage)
{
    if (w <= 0 || h <= 0)
        return;
    OwnedDC imageDc(CreateCompatibleDC(hdc));
    Bitmap imageBitmap(CreateCompatibleBitmap(hdc, w, h));
    if (!imageDc || !imageBitmap)
        return;
    ObjectSelector imageSelection(imageDc, imageBitmap);
    std::optional<PaletteSelector> destinationPalette, imagePalette;
    if (palette && (GetDeviceCaps(hdc, RASTERCAPS) & RC_PALETTE)) {
        destinationPalette.emplace(hdc, palette);
        RealizePalette(hdc);
        imagePalette.emplace(imageDc, palette);
    }
    fillImage(imageDc);
    TransparentBlitScratch(hdc, x, y, w, h, imageDc, transparentColour);
}

RGBQUAD QuadOf(COLORREF colour)
{
    return RGBQUAD{GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
}

// The palette index whose entry has exactly the key's colour, or -1.
int PaletteIndexOf(const Image& image, COLORREF colour)
{
    for (int index = 0; index < image.GetColourCount(); ++index) {
        const RGBQUAD entry = image.GetPaletteColour(index);
        if (RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue) == colour)
            return index;
    }
    return -1;
}

}  // namespace

// An opaque empty text run fills with the background colour: the same
// pixels as a solid brush, without making and deleting one.
void FillSolidRect(HDC hdc, const RECT& rect, COLORREF colour)
{
    const COLORREF previous = SetBkColor(hdc, colour);
    ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(hdc, previous);
}

void FillTriangle(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, COLORREF colour)
{
    Brush brush(CreateSolidBrush(colour));
    if (!brush)
        return;
    ObjectSelector selection(hdc, brush);
    const POINT corners[3] = {{x1, y1}, {x2, y2}, {x3, y3}};
    Polygon(hdc, corners, 3);
}

void TransparentBlitScratch(HDC hdc, int x, int y, int w, int h, HDC scratch, COLORREF transparentColour)
{
    if (w <= 0 || h <= 0)
        return;
    OwnedDC maskDc(CreateCompatibleDC(hdc));
    Bitmap maskBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    if (!maskDc || !maskBitmap)
        return;
    ObjectSelector maskSelection(maskDc, maskBitmap);
    {
        // Mask bits are set where the picture has the key colour; key
        // pixels of the picture then become black, so that OR leaves the
        // destination there. The scratch DC's colours are put back: the
        // caller may draw on with it.
        SavedDCState scratchState(scratch);
        SetBkColor(scratch, transparentColour);
        BitBlt(maskDc, 0, 0, w, h, scratch, 0, 0, SRCCOPY);
        SetBkColor(scratch, RGB(0, 0, 0));
        SetTextColor(scratch, RGB(255, 255, 255));
        BitBlt(scratch, 0, 0, w, h, maskDc, 0, 0, SRCAND);
    }
    // Mono-to-colour blits take white and black from the DC's colours; set
    // for this scope only, so the caller's text colours come back.
    TextColours colours(hdc, RGB(0, 0, 0), RGB(255, 255, 255));
    BitBlt(hdc, x, y, w, h, maskDc, 0, 0, SRCAND);
    BitBlt(hdc, x, y, w, h, scratch, 0, 0, SRCPAINT);
}

void TransparentBlitBitmap(HDC hdc, int x, int y, int w, int h, HBITMAP bitmap, int xSrc, int ySrc,
                           COLORREF transparentColour, HPALETTE palette)
{
    BlitThroughMask(hdc, x, y, w, h, transparentColour, palette, [&](HDC imageDc) {
        OwnedDC sourceDc(CreateCompatibleDC(hdc));
        ObjectSelector sourceSelection(sourceDc, bitmap);
        BitBlt(imageDc, 0, 0, w, h, sourceDc, xSrc, ySrc, SRCCOPY);
    });
}

void TransparentStretchBlit(HDC hdcDest, int x, int y, int w, int h, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                            int hSrc, COLORREF transparentColour)
{
    BlitThroughMask(hdcDest, x, y, w, h, transparentColour, nullptr, [&](HDC imageDc) {
        if (w == wSrc && h == hSrc) {
            BitBlt(imageDc, 0, 0, w, h, hdcSrc, xSrc, ySrc, SRCCOPY);
            return;
        }
        // Averaging modes would mix key pixels into their neighbours and
        // let the key colour leak out as a fringe.
        SetStretchBltMode(imageDc, COLORONCOLOR);
        StretchBlt(imageDc, 0, 0, w, h, hdcSrc, xSrc, ySrc, wSrc, hSrc, SRCCOPY);
    });
}

int DrawImageKeyed(HDC hdc, const Image& image, const RECT& destRect, COLORREF transparentColour)
{
    Bitmap bitmap(image.MakeBitmap(hdc));
    if (!bitmap)
        return 1;
    const int w = std::min<LONG>(image.GetWidth(), destRect.right - destRect.left);
    const int h = std::min<LONG>(image.GetHeight(), destRect.bottom - destRect.top);
    TransparentBlitBitmap(hdc, destRect.left, destRect.top, w, h, bitmap, 0, 0, transparentColour, nullptr);
    return 1;
}

int DrawBitmapMasked(HDC hdc, HBITMAP bitmap, const RECT& destRect, COLORREF transparentColour)
{
    Image image;
    if (IsRectEmpty(&destRect) || !image.CreateFromBitmap(bitmap))
        return 1;
    // The key of a palette image is a palette entry: use the entry of the
    // key colour, or none when the palette lacks it.
    if (image.GetBpp() < 24) {
        image.SetTransparentIndex(PaletteIndexOf(image, transparentColour));
    } else {
        image.SetTransparentIndex(0);
        image.SetTransparentColour(QuadOf(transparentColour));
    }
    image.DrawMasked(hdc, destRect.left, destRect.top, destRect.right - destRect.left,
                     destRect.bottom - destRect.top);
    return 1;
}
