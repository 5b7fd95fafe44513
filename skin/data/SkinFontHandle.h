// Owns the GDI font made from a skin font value.
#pragma once

#include <windows.h>

#include "data/SkinValues.h"

class SkinFontHandle {
public:
    SkinFontHandle() = default;
    ~SkinFontHandle();

    SkinFontHandle(const SkinFontHandle&) = delete;
    SkinFontHandle& operator=(const SkinFontHandle&) = delete;

    // Replaces the font by one made from the LOGFONT part of `font`.
    void Create(const SkinFont& font);
    void Reset();
    HFONT Get() const { return font_; }

private:
    HFONT font_ = nullptr;
};
