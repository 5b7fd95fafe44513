// Group boxes: a framed border whose top runs through the middle of the
// caption, and the caption over its own image or the background behind.
// The inside is never painted: the parent shows through.
#pragma once

#include "controls/SkinnedControl.h"

class GroupBoxSkin;

class SkinnedGroupBox : public SkinnedControl {
public:
    using SkinnedControl::SkinnedControl;

    WNDPROC Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC hdc) override;

    // Where the caption of `text` goes, with the control's font and style,
    // its text measured in `measure` (null: a DC of the window's own, which
    // costs a round trip to the server under Wine).
    RECT CaptionRect(const WindowText& text, HDC measure = nullptr) const;
    SIZE TextSize(HDC dc, const WindowText& text) const;

protected:
    Region PaintSurface(HDC surface) override;

private:
    const GroupBoxSkin* Skin() const;
    // The border and the caption over the background behind them; the
    // part of the client area they cover, which is all that is painted.
    Region PaintPicture(HDC hdc);
    // The border around `frame`, crossing `caption` only where the caption
    // has an image of its own.
    void PaintBorder(HDC hdc, const RECT& frame, const RECT& caption);
    void PaintCaption(HDC hdc, RECT caption, const WindowText& text);
    // Default handling unseen, then the caption areas before and after
    // repainted from the parent down.
    LRESULT ChangeCaption(UINT message, WPARAM wParam, LPARAM lParam);
    void RedrawFromParent(const RECT& area);
};
