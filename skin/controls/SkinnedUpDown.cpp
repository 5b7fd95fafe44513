#include "controls/SkinnedUpDown.h"

#include "controls/ButtonLayout.h"
#include "data/SkinStore.h"
#include "data/SpinSkin.h"
#include "imaging/TurnedDrawing.h"

#include <commctrl.h>

const SpinSkin* SkinnedUpDown::Skin() const
{
    return dynamic_cast<const SpinSkin*>(skinObject_);
}

SkinnedUpDown::State SkinnedUpDown::StateAfter(UINT message, WPARAM keys, Half half)
{
    if (half == HalfNone)
        return StateNone;
    const bool up = half == HalfUp;
    switch (message) {
    case WM_LBUTTONDOWN:
        return up ? StateUpPressed : StateDownPressed;
    case WM_LBUTTONUP:
        return up ? StateUpHovered : StateDownHovered;
    default:  // WM_MOUSEMOVE
        if (keys & MK_LBUTTON)
            return up ? StateUpPressed : StateDownPressed;
        return up ? StateUpHovered : StateDownHovered;
    }
}

SkinnedUpDown::Half SkinnedUpDown::HalfAt(LPARAM position) const
{
    RECT client;
    GetClientRect(window_, &client);
    const POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (!PtInRect(&client, point))
        return HalfNone;
    if (GetWindowLongPtrA(window_, GWL_STYLE) & UDS_HORZ)
        return point.x < client.right / 2 ? HalfUp : HalfDown;
    return point.y < client.bottom / 2 ? HalfUp : HalfDown;
}

LRESULT SkinnedUpDown::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    switch (message) {
    case WM_MOUSEMOVE:
        SetState(StateAfter(message, wParam, HalfAt(lParam)));
        TrackHover();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        SetState(StateAfter(message, wParam, HalfAt(lParam)));
        break;
    default:
        break;
    }
    return SkinnedControl::WindowProc(message, wParam, lParam);
}

void SkinnedUpDown::SetState(State state)
{
    state_ = state;
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
}

void SkinnedUpDown::OnMouseLeave()
{
    if (IsHovered()) {
        state_ = StateNone;
        SkinnedControl::OnMouseLeave();
        return;
    }
    // Not tracked (a button released after the pointer came back), yet
    // drawn hovered or pressed: the look goes all the same.
    SetState(StateNone);
}

void SkinnedUpDown::Paint(HDC hdc)
{
    if (!Skin())
        return;
    RECT client;
    GetClientRect(window_, &client);
    // Arrow images need not cover their halves, and the surface comes
    // with whatever the last control left on it.
    PaintBackgroundBehind(hdc);
    const QuarterTurn turn = (GetWindowLongPtrA(window_, GWL_STYLE) & UDS_HORZ) ? TurnAnticlockwise : TurnNone;
    DrawTurned(hdc, client, turn, [this](HDC surface, const RECT& frame) { PaintUpright(surface, frame); });
}

void SkinnedUpDown::PaintUpright(HDC hdc, const RECT& frame) const
{
    const SpinSkin& skin = *Skin();
    SpinSkin::Arrow up = SpinSkin::NormalUp, down = SpinSkin::NormalDown;
    if (!IsWindowEnabled(window_)) {
        up = SpinSkin::DisabledUp;
        down = SpinSkin::DisabledDown;
    } else if (state_ == StateUpPressed) {
        up = SpinSkin::PressedUp;
    } else if (state_ == StateUpHovered) {
        up = SpinSkin::HoverUp;
    } else if (state_ == StateDownPressed) {
        down = SpinSkin::PressedDown;
    } else if (state_ == StateDownHovered) {
        down = SpinSkin::HoverDown;
    }
    const int middle = frame.top + (frame.bottom - frame.top) / 2;
    const RECT upper = {frame.left, frame.top, frame.right, middle};
    const RECT lower = {frame.left, middle, frame.right, frame.bottom};
    DrawImageRef(hdc, upper, PickRef(skin.arrows[up], skin.arrows[SpinSkin::NormalUp]), 0, false, Store());
    DrawImageRef(hdc, lower, PickRef(skin.arrows[down], skin.arrows[SpinSkin::NormalDown]), 0, false, Store());
}
