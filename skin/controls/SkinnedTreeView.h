// Tree views: the items over the skin's background, scrolled, expanded and
// clicked out of sight and repainted once.
#pragma once

#include "controls/SkinnedScrollControl.h"

class SkinnedTreeView : public SkinnedScrollControl {
public:
    using SkinnedScrollControl::SkinnedScrollControl;

protected:
    QuietRules QuietTable() const override;
    CurrentItems Current() const override;
    // Its bars come with its items, whatever its style.
    bool MayShowScrollBars() const override { return true; }
};
