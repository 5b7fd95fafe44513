// Tree views: the items over the skin's background, scrolled, expanded and
// clicked out of sight and repainted once.
#pragma once

#include "controls/SkinnedScrollControl.h"

class SkinnedTreeView : public SkinnedScrollControl {
public:
    using SkinnedScrollControl::SkinnedScrollControl;

    void Paint(HDC surface) override;

protected:
    QuietRules QuietTable() const override;
    CurrentItems Current() const override;
    // Its bars come with its items, whatever its style.
    bool MayShowScrollBars() const override { return true; }

private:
    // The system's tree view makes the check boxes of TVS_CHECKBOXES in its
    // first paint, which the skin's paint replaces: that paint is let
    // happen once, off-screen.
    void MakeCheckBoxes(HDC reference);
};
