// The framework's docking control bars: the toolbar object's bar
// background over the whole bar, turned while the bar is docked at the
// left or right. The bars keep every behaviour of their own.
#pragma once

#include "controls/SkinnedControl.h"

class SkinnedControlBar : public SkinnedControl {
public:
    using SkinnedControl::SkinnedControl;

    void Paint(HDC hdc) override;
};
