// Rebars: the skin's background and one framed image per band with the
// band's text. The system's rebar keeps every behaviour and its bands'
// child windows paint themselves; the skin reads the bands back from it.
#pragma once

#include "controls/SkinnedControl.h"

class RebarSkin;

class SkinnedRebar : public SkinnedControl {
public:
    using SkinnedControl::SkinnedControl;

    void Paint(HDC hdc) override;

private:
    void PaintBand(HDC hdc, const RebarSkin& skin, int band);
};
