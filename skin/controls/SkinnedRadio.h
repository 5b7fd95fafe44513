// Radio buttons: a click on an automatic one checks it and clears the
// others of its group.
#pragma once

#include "controls/SkinnedCheckable.h"

class SkinnedRadio : public SkinnedCheckable {
public:
    using SkinnedCheckable::SkinnedCheckable;

    // The first window of the group `window` belongs to: itself when it
    // starts a group, else the nearest earlier sibling that does, else the
    // first sibling.
    static HWND GroupStart(HWND window);

protected:
    void OnClick() override;
    bool IsRadio() const override { return true; }
};
