#include "data/SkinFontHandle.h"

SkinFontHandle::~SkinFontHandle()
{
    Reset();
}

void SkinFontHandle::Create(const SkinFont& font)
{
    Reset();
    font_ = CreateFontIndirectA(&font.logFont);
}

void SkinFontHandle::Reset()
{
    if (font_)
        DeleteObject(font_);
    font_ = nullptr;
}
