// Check boxes, two- and three-state: a click moves the automatic kinds to
// their next state.
#pragma once

#include "controls/SkinnedCheckable.h"

class SkinnedCheckBox : public SkinnedCheckable {
public:
    using SkinnedCheckable::SkinnedCheckable;

    // The state a click leaves a check box of `style` in, from `state`.
    static int NextState(LONG_PTR style, int state);

protected:
    void OnClick() override;
    bool IsRadio() const override { return false; }
};
