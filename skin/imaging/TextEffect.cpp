#include "imaging/TextEffect.h"

#include "imaging/GdiObject.h"

namespace {

int SignedByte(uint32_t value)
{
    value &= 0xFF;
    return value >= 0x80 ? static_cast<int>(value) - 0x100 : static_cast<int>(value);
}

void DrawTextIn(HDC hdc, RECT rect, COLORREF colour, const WindowText& text, UINT format)
{
    SetTextColor(hdc, colour);
    text.Draw(hdc, rect, format);
}

}  // namespace

void DrawShadowedText(HDC hdc, const RECT& rect, int32_t shadowOffset, int32_t flags, COLORREF shadowColour,
                      COLORREF textColour, const WindowText& text, UINT format)
{
    SavedDCState saved(hdc);
    SetBkMode(hdc, TRANSPARENT);
    if (flags & TextEffectShadow) {
        const uint32_t offset = static_cast<uint32_t>(shadowOffset);
        RECT shadow = rect;
        OffsetRect(&shadow, SignedByte(offset), SignedByte(offset >> 8));
        DrawTextIn(hdc, shadow, shadowColour, text, format);
    }
    DrawTextIn(hdc, rect, textColour, text, format);
}

void DrawTextWithEffect(HDC hdc, const TextEffect& effect, const RECT& rect, const WindowText& text, UINT format)
{
    DrawShadowedText(hdc, rect, effect.shadowOffset, effect.flags, LoadColour3(effect.shadowColour),
                     LoadColour3(effect.textColour), text, format);
}
