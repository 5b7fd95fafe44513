#include "data/SkinValues.h"

#include <cstring>

namespace {

const int32_t kDefaultEffectFlags = 0x8004;

}  // namespace

SkinFont MakeDefaultFont(const char* face)
{
    SkinFont font;
    std::memset(&font, 0, sizeof font);
    font.logFont.lfHeight = -12;
    font.logFont.lfWeight = 400;
    font.logFont.lfOutPrecision = 3;
    font.logFont.lfClipPrecision = 2;
    font.logFont.lfQuality = 1;
    std::strncpy(font.logFont.lfFaceName, face, sizeof font.logFont.lfFaceName - 1);
    return font;
}

void SetDefaultTextEffect(TextEffect& effect)
{
    SetDefaultTextEffect(effect, GetSysColor(COLOR_BTNTEXT));
}

void SetDefaultTextEffect(TextEffect& effect, COLORREF colour)
{
    effect.shadowOffset = 0;
    StoreColour3(effect.textColour, colour);
    effect.reserved1 = 255;
    StoreColour3(effect.shadowColour, GetSysColor(COLOR_BTNSHADOW));
    effect.flags = kDefaultEffectFlags;
}
