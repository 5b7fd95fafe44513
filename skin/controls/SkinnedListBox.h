// List boxes, and the list of a combo box: the items over the skin's
// background, scrolled and clicked out of sight and repainted once.
#pragma once

#include "controls/SkinnedScrollControl.h"

class SkinnedListBox : public SkinnedScrollControl {
public:
    using SkinnedScrollControl::SkinnedScrollControl;

    // Owner-drawn list boxes are the owner's to paint: refused.
    WNDPROC Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool IsComboList() const { return comboList_; }

protected:
    QuietRules QuietTable() const override;
    CurrentItems Current() const override;

private:
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);

    bool comboList_ = false;
};
