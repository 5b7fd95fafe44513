// Static controls: text over the background of the window behind them (or
// the skin's back image), icons and bitmaps at the top-left corner at their
// own size. Simple and owner-drawn statics stay the system's.
#pragma once

#include "controls/SkinnedControl.h"

class StaticSkin;

class SkinnedStatic : public SkinnedControl {
public:
    enum Kind { KindText, KindIcon, KindBitmap };

    using SkinnedControl::SkinnedControl;

    WNDPROC Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC hdc) override;

    static Kind KindOf(LONG_PTR style);
    // DrawText's format for a text static of `style`; lines break only
    // where the text breaks them.
    static UINT TextFormat(LONG_PTR style);

private:
    const StaticSkin* Skin() const;
    void PaintBackground(HDC hdc, const RECT& client);
    void PaintIcon(HDC hdc);
    void PaintBitmap(HDC hdc, const RECT& client);
    void PaintText(HDC hdc, const RECT& client);
    LRESULT ChangeContent(UINT message, WPARAM wParam, LPARAM lParam);
};
