// Up-down buttons: two arrow images, each half in the look of its state;
// the half under the pointer is hovered or pressed. Drawn upright, and
// turned for UDS_HORZ, whose left half is "up".
#pragma once

#include "controls/SkinnedControl.h"

class SpinSkin;

class SkinnedUpDown : public SkinnedControl {
public:
    enum State { StateNone, StateUpPressed, StateDownPressed, StateUpHovered, StateDownHovered };
    enum Half { HalfNone, HalfUp, HalfDown };

    using SkinnedControl::SkinnedControl;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC hdc) override;

    State GetState() const { return state_; }
    // The state a pointer message over `half` leads to.
    static State StateAfter(UINT message, WPARAM keys, Half half);

protected:
    void OnMouseLeave() override;

private:
    const SpinSkin* Skin() const;
    Half HalfAt(LPARAM position) const;
    void SetState(State state);
    void PaintUpright(HDC hdc, const RECT& frame) const;

    State state_ = StateNone;
};
