// Header controls: the skin's background and one framed image per item
// with the item's text over it. The system's header keeps every behaviour;
// the skin reads the items back from it. Owner-drawn items and custom
// draw stay the application's. Item bitmaps and images, and pressed or hot
// looks, are not drawn.
#pragma once

#include "controls/SkinnedControl.h"

class HeaderSkin;

class SkinnedHeader : public SkinnedControl {
public:
    using SkinnedControl::SkinnedControl;

    void Paint(HDC hdc) override;

    // DrawText's format for an item of header format `format`.
    static UINT TextFormat(int format);

private:
    const HeaderSkin* Skin() const;
    // `wanted`: what the application answered to the custom draw's start.
    void PaintItem(HDC hdc, const HeaderSkin& skin, int index, LRESULT wanted);
    // The parent's answer to NM_CUSTOMDRAW at `stage`.
    LRESULT NotifyCustomDraw(HDC hdc, DWORD stage, DWORD_PTR item, const RECT& area, LPARAM itemParam);
    void DrawOwnerItem(HDC hdc, int index, const RECT& area, LPARAM itemParam);
};
