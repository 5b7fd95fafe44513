// Building small Images with known pixels for the drawing tests. Rows are
// addressed top-down here, as on the screen.
#pragma once

#include "imaging/Image.h"

#include <windows.h>

#include <initializer_list>

inline RGBQUAD Quad(COLORREF colour, BYTE reserved = 0)
{
    return RGBQUAD{GetBValue(colour), GetGValue(colour), GetRValue(colour), reserved};
}

inline void SetTopDown(Image& image, int x, int row, COLORREF colour)
{
    image.SetPixelColour(x, image.GetHeight() - 1 - row, Quad(colour));
}

inline COLORREF GetTopDown(const Image& image, int x, int row)
{
    const RGBQUAD quad = image.GetPixelColour(x, image.GetHeight() - 1 - row);
    return RGB(quad.rgbRed, quad.rgbGreen, quad.rgbBlue);
}

// A 24-bit image filled with one colour.
inline void MakeSolid(Image& image, int width, int height, COLORREF fill)
{
    image.Create(width, height, 24, Image::FormatBmp);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x)
            SetTopDown(image, x, row, fill);
}

// A 24-bit image whose pixel (x, row) is colours[row * width + x].
inline void MakeFromColours(Image& image, int width, int height, std::initializer_list<COLORREF> colours)
{
    image.Create(width, height, 24, Image::FormatBmp);
    int i = 0;
    for (COLORREF colour : colours) {
        SetTopDown(image, i % width, i / width, colour);
        ++i;
    }
}

// An 8-bit image with the given palette, every pixel index 0.
inline void MakePaletted(Image& image, int width, int height, std::initializer_list<RGBQUAD> palette)
{
    image.Create(width, height, 8, Image::FormatBmp);
    image.SetPalette(palette.begin(), static_cast<int>(palette.size()));
}

// Keys a 24-bit image on `key`.
inline void KeyOn(Image& image, COLORREF key)
{
    image.SetTransparentIndex(0);
    image.SetTransparentColour(Quad(key));
}
