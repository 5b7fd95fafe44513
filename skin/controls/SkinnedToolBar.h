// Toolbars: the bar background (turned in a docking bar that stands
// upright), each button's face for its state with its icon, text and
// drop-down arrow, and the hot button drawn once more over its normal
// face. The system's toolbar keeps every behaviour; the skin reads the
// buttons back from it. A pressed button is shown at once, before the
// system's own repaint arrives.
#pragma once

#include "controls/SkinnedControl.h"

#include <commctrl.h>

class ToolBarSkin;

class SkinnedToolBar : public SkinnedControl {
public:
    // The faces of ToolBarSkin's frame images, in record order.
    enum Face { FaceNormal, FacePressed, FaceHot, FaceDisabled };

    using SkinnedControl::SkinnedControl;
    // A toolbar the manager skins on its own, outside any skinned window.
    SkinnedToolBar();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC hdc) override;

    static Face FaceOf(BYTE state, bool hot);
    // Whether the toolbar sits in a framework docking bar docked at the
    // left or right, where its background is turned.
    bool IsUpright() const;

protected:
    void OnPaint() override;

private:
    const ToolBarSkin* Skin() const;
    void OnNcPaint();
    void RedrawButtonAt(LPARAM point);
    void PaintButton(HDC hdc, const ToolBarSkin& skin, int index, bool hot);
    // The text in a strip at the bottom of `content`, which ends above it.
    void PaintText(HDC hdc, const TBBUTTON& button, RECT& content);
    void PaintIcon(HDC hdc, const TBBUTTON& button, bool hot, const RECT& content);
    // The button's image, asked of the application for I_IMAGECALLBACK.
    int ImageIndex(const TBBUTTON& button);
};
