// The skin's own value types beside ImageRef, FrameImageRef and TextEffect,
// and the default values that several object types share.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include <windows.h>

#include <cstdint>

#include "imaging/TextEffect.h"

// 64 bytes, stored as such in skin objects: the font and its text colour.
struct SkinFont {
    LOGFONTA logFont;
    COLORREF colour;
};

static_assert(sizeof(LOGFONTA) == 60, "a skin font begins with a 60-byte LOGFONTA");
static_assert(sizeof(SkinFont) == 64, "SkinFont is a 64-byte skin value");
static_assert(sizeof(RECT) == 16 && sizeof(COLORREF) == 4, "rectangles and colours are stored as int32");

// Height -12, weight 400, output precision 3, clip precision 2, quality 1,
// the given face and text colour 0: the default font of frames, menu bars
// and controls.
SkinFont MakeDefaultFont(const char* face);

// Shadow offset 0, text colour COLOR_BTNTEXT, 255, shadow colour
// COLOR_BTNSHADOW, flags 0x8004 (no shadow). Byte 11 is left as it was.
void SetDefaultTextEffect(TextEffect& effect);
// The default text effect with the text colour of `colour`.
void SetDefaultTextEffect(TextEffect& effect, COLORREF colour);
