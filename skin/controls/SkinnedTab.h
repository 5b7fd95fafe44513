// Tab controls: the background, the page frame and every tab in the look
// of its state, on any side. Tab images are drawn for tabs on top and
// turned for the other sides. Controls lying on the tab control take the
// background behind them from it, so that a page shows its own image
// behind its transparent controls.
#pragma once

#include "controls/SkinnedControl.h"
#include "data/TabSkin.h"
#include "imaging/TurnedDrawing.h"

#include <commctrl.h>

class SkinnedTab : public SkinnedControl {
public:
    enum Side { SideTop, SideBottom, SideLeft, SideRight };

    // Where a tab's icon and text go, in the tab's horizontal frame.
    struct TabLayout {
        RECT icon;
        RECT text;
    };

    using SkinnedControl::SkinnedControl;

    // Owner-drawn tabs are the owner's to paint: refused.
    WNDPROC Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC hdc) override;

    static Side SideOf(LONG_PTR style);
    // The turn that carries a tab drawn for the top to `side`.
    static QuarterTurn TurnOf(Side side);
    // The client area without the tabs (the page), cut by one tab.
    static void CutPage(RECT& page, const RECT& tab, Side side);
    // Icon (`icon` zero-sized when none) and text of `textWidth` centred
    // as one block in `frame`; at the left when they do not fit.
    static TabLayout LayoutTab(const RECT& frame, SIZE icon, int textWidth);

private:
    // What one tab shows, read from the control.
    struct Item {
        WindowText text;
        int image;
        TabSkin::State state;
    };

    const TabSkin* Skin() const;
    bool ReadItem(int index, int selected, LONG_PTR style, Item& item) const;
    void PaintTab(HDC hdc, const RECT& tab, const Item& item, Side side, HIMAGELIST images, SIZE iconSize);
    void PaintTabText(HDC hdc, const RECT& tab, const Item& item, Side side, const TabLayout& layout);
    // The font selected into `hdc`, turned to run along a tab on `side`:
    // text written across a tab on a side would run out of it onto the
    // page. Kept until the font or the side changes.
    HFONT SideFont(HDC hdc, Side side);
    void PaintBackgroundFor(HDC hdc, HWND child);
    void OnPaint() override;
    // The controls laid over the page within `painted` (client
    // coordinates), its children and the siblings above it, drawn again.
    void RedrawControlsOver(const RECT& painted) const;

    Font sideFont_;
    LOGFONTA sideFontLook_ = {};
};
