// Push buttons: one framed image per state, with the caption, icon or
// bitmap placed by the button's alignment styles, over the background of
// the window behind the button.
#pragma once

#include "controls/SkinnedButtonBase.h"
#include "data/ButtonSkins.h"

class SkinnedPushButton : public SkinnedButtonBase {
public:
    using SkinnedButtonBase::SkinnedButtonBase;

    WNDPROC Attach(HWND hwnd) override;
    SkinObject* SetSkinObject(SkinObject* skinObject) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC hdc) override;

    // The state whose look a button in `state` shows; the highlighted look
    // only when the skin has one.
    static ButtonSkin::State LookOf(const ButtonState& state, bool hasHighlight);

protected:
    Region PaintSurface(HDC surface) override;

private:
    const ButtonSkin* Skin() const;
    void PaintContent(HDC hdc, const RECT& area, const TextEffect& effect);
    void PaintIcon(HDC hdc, const RECT& area);
    void PaintBitmap(HDC hdc, const RECT& area);
    // The window region: the opaque pixels of the normal look.
    void RebuildRegion();
};
