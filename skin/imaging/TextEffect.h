// Text with an optional drop shadow, and the skin's 16-byte TextEffect
// value that describes it. Colours inside a TextEffect are three bytes
// red, green, blue; everywhere else they are COLORREFs.
#pragma once

#include <windows.h>

#include "imaging/WindowText.h"

#include <cstdint>

enum TextEffectFlags : int32_t {
    TextEffectShadow = 0x1,  // draw the shadow
};

// 16 bytes, stored as such in skin objects.
struct TextEffect {
    int32_t shadowOffset;  // bits 0-7 dx, bits 8-15 dy, each a signed byte
    uint8_t textColour[3];
    uint8_t reserved1;
    uint8_t shadowColour[3];
    uint8_t reserved2;
    int32_t flags;
};

static_assert(sizeof(TextEffect) == 16, "TextEffect is a 16-byte skin value");

// Byte-level code (the skin records) uses these too, without the drawing
// code or GDI's colour macros.
inline COLORREF LoadColour3(const uint8_t* bytes)
{
    return static_cast<COLORREF>(bytes[0] | bytes[1] << 8 | bytes[2] << 16);
}

inline void StoreColour3(uint8_t* bytes, COLORREF colour)
{
    for (int i = 0; i < 3; ++i)
        bytes[i] = static_cast<uint8_t>(colour >> (8 * i));
}

// Draws `text` into rect with DrawText's `format`; with flags bit 0 first
// a shadow in shadowColour moved by the signed bytes of shadowOffset.
// Leaves the DC as it found it.
void DrawShadowedText(HDC hdc, const RECT& rect, int32_t shadowOffset, int32_t flags, COLORREF shadowColour,
                      COLORREF textColour, const WindowText& text, UINT format);
void DrawTextWithEffect(HDC hdc, const TextEffect& effect, const RECT& rect, const WindowText& text, UINT format);
