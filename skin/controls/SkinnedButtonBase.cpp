#include "controls/SkinnedButtonBase.h"

#include "controls/ButtonLayout.h"
#include "data/ControlSkinBase.h"
#include "imaging/GdiObject.h"
#include "imaging/TextEffect.h"
#include "imaging/WindowHelpers.h"

namespace {

const LONG_PTR kOwnerDrawBits = 0xB;

}  // namespace

WNDPROC SkinnedButtonBase::Attach(HWND hwnd)
{
    if ((GetWindowLongPtrA(hwnd, GWL_STYLE) & kOwnerDrawBits) == kOwnerDrawBits)
        return nullptr;
    return SkinnedControl::Attach(hwnd);
}

ButtonState SkinnedButtonBase::ReadState() const
{
    const LRESULT state = CallPrevious(BM_GETSTATE, 0, 0);
    ButtonState result;
    result.enabled = IsWindowEnabled(window_) != FALSE;
    result.pushed = (state & BST_PUSHED) != 0;
    result.pressed = pressed_;
    result.checked = (state & BST_CHECKED) != 0;
    result.indeterminate = (state & BST_INDETERMINATE) != 0;
    // The skin keeps WM_SETFOCUS from the system's button, so its state
    // never holds BST_FOCUS: the focus is read where it lives.
    result.focused = GetFocus() == window_;
    result.hovered = IsHovered();
    result.isDefault = (Style() & 0xF) == BS_DEFPUSHBUTTON;
    return result;
}

int SkinnedButtonBase::CheckState() const
{
    return static_cast<int>(CallPrevious(BM_GETCHECK, 0, 0));
}

void SkinnedButtonBase::SetCheckState(int state)
{
    CallPreviousHidden(BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

LRESULT SkinnedButtonBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return OnFocusChange(message);
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETSTATE:
    case BM_SETCHECK:
        return OnStateMessage(message, wParam, lParam);
    case WM_KEYDOWN:
        if (wParam == VK_SPACE)
            return OnSpaceDown();
        break;
    case WM_KEYUP:
        // A Space released on a button that never saw it go down (the
        // focus arrived while it was held) clicks nothing.
        if (wParam == VK_SPACE && pressed_ && GetCapture() != window_)
            return OnSpaceUp();
        break;
    case WM_CHAR:
    case WM_DEADCHAR:
        OnCharWhileHeld();
        break;
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return OnButtonDown();
    case WM_LBUTTONUP:
        if (GetCapture() == window_)
            return OnButtonUp(lParam);
        break;
    case WM_CAPTURECHANGED:
        OnCaptureLost();
        break;
    default:
        break;
    }
    return SkinnedControl::WindowProc(message, wParam, lParam);
}

LRESULT SkinnedButtonBase::OnFocusChange(UINT message)
{
    // Losing the focus while Space is held ends the press without a click.
    if (message == WM_KILLFOCUS && pressed_ && GetCapture() != window_)
        pressed_ = false;
    if (IsWindow(window_))
        RedrawNow();
    return 0;
}

LRESULT SkinnedButtonBase::OnStateMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    const LRESULT result = CallPreviousHidden(message, wParam, lParam);
    if (IsStillSkinOf(window, this))
        RedrawNow();
    return message == BM_SETCHECK ? 0 : result;
}

LRESULT SkinnedButtonBase::OnSpaceDown()
{
    pressed_ = true;
    RedrawNow();
    return 0;
}

LRESULT SkinnedButtonBase::OnSpaceUp()
{
    pressed_ = false;
    Click();
    return 0;
}

void SkinnedButtonBase::OnCharWhileHeld()
{
    if (GetCapture() != window_)
        return;
    pressed_ = false;
    ReleaseCapture();
    RedrawNow();
}

LRESULT SkinnedButtonBase::OnMouseMove(WPARAM keys, LPARAM position)
{
    if ((keys & MK_LBUTTON) && GetCapture() == window_) {
        const bool inside = Contains(position);
        if (inside != pressed_) {
            pressed_ = inside;
            RedrawNow();
        }
        return 0;
    }
    if (TrackHover())
        InvalidateRect(window_, nullptr, FALSE);
    return SkinnedControl::WindowProc(WM_MOUSEMOVE, keys, position);
}

LRESULT SkinnedButtonBase::OnButtonDown()
{
    if (GetFocus() != window_)
        SetFocus(window_);
    SetCapture(window_);
    pressed_ = true;
    RedrawNow();
    return 0;
}

LRESULT SkinnedButtonBase::OnButtonUp(LPARAM position)
{
    const bool inside = Contains(position);
    // Cleared first: the capture's end must not find a press to undo.
    pressed_ = false;
    ReleaseCapture();
    if (inside)
        Click();
    else
        RedrawNow();
    return 0;
}

void SkinnedButtonBase::OnCaptureLost()
{
    if (!pressed_)
        return;
    pressed_ = false;
    RedrawNow();
}

bool SkinnedButtonBase::Contains(LPARAM position) const
{
    RECT client;
    GetClientRect(window_, &client);
    const POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    return PtInRect(&client, point) != FALSE;
}

void SkinnedButtonBase::Click()
{
    const HWND window = window_;
    OnClick();
    if (!IsStillSkinOf(window, this))
        return;
    RedrawNow();
    const int id = GetDlgCtrlID(window);
    PostMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(window));
}

RECT SkinnedButtonBase::PaintCaption(HDC hdc, const RECT& area, const TextEffect& effect)
{
    const int kCaptionChars = 300;
    const WindowText text = ReadText(kCaptionChars);
    SavedDCState saved(hdc);
    if (HFONT font = ControlFont())
        SelectObject(hdc, font);
    const ControlSkinBase* skin = ControlObject();
    const SIZE size = MeasureButtonText(hdc, text, skin && skin->font.logFont.lfItalic == 1);
    const RECT placed = PlaceContent(area, size.cx, size.cy, Style());
    DrawTextWithEffect(hdc, effect, placed, text, DT_WORDBREAK | KeyboardCuesOf(window_).PrefixFormat());
    return placed;
}
