// Status bars: the skin's background and one framed image per part with
// the part's text. The system's status bar keeps every behaviour; the skin
// reads the parts back from it. A status bar always has an object to draw
// from: its own default one when the skin has none for it.
#pragma once

#include "controls/SkinnedControl.h"
#include "data/StatusBarSkin.h"

class SkinnedStatusBar : public SkinnedControl {
public:
    using SkinnedControl::SkinnedControl;

    // Null binds the default object.
    SkinObject* SetSkinObject(SkinObject* skinObject) override;
    // A skin without a status bar object leaves it drawn from the default.
    int KeepWithoutSkinObject() override { return 1; }
    void Paint(HDC hdc) override;

protected:
    void OnPaint() override;
    bool RebindsToSpecificObject() const override { return false; }

private:
    void PaintPart(HDC hdc, const StatusBarSkin& skin, int part);

    StatusBarSkin default_;
};
