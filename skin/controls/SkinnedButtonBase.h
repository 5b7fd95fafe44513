// What push buttons, check boxes and radio buttons share: the button's
// mouse and keyboard protocol reproduced by the skin (so the system never
// paints the button), its state read back for the painters, and the click
// notification to the parent.
#pragma once

#include "controls/SkinnedControl.h"

struct TextEffect;

// What a painter needs to know of a button, read at paint time.
struct ButtonState {
    bool enabled = true;
    bool pushed = false;   // BST_PUSHED: BM_SETSTATE, or held down
    bool pressed = false;  // the skin's own press: mouse held inside, or Space held
    bool checked = false;
    bool indeterminate = false;
    bool focused = false;
    bool hovered = false;
    bool isDefault = false;  // BS_DEFPUSHBUTTON
};

class SkinnedButtonBase : public SkinnedControl {
public:
    using SkinnedControl::SkinnedControl;

    // Owner-drawn buttons are the owner's to paint: refused.
    WNDPROC Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    ButtonState ReadState() const;

protected:
    // What a click does to the button's own state before the parent hears
    // of it.
    virtual void OnClick() {}
    LONG_PTR Style() const { return GetWindowLongPtrA(window_, GWL_STYLE); }
    // The button's check state, kept by the system's button so that
    // BM_GETCHECK and IsDlgButtonChecked stay true.
    int CheckState() const;
    void SetCheckState(int state);
    // The window text in the control's font and `effect`, placed in `area`
    // as the button's alignment styles say; returns where it went.
    RECT PaintCaption(HDC hdc, const RECT& area, const TextEffect& effect);

private:
    LRESULT OnFocusChange(UINT message);
    LRESULT OnStateMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnSpaceDown();
    LRESULT OnSpaceUp();
    void OnCharWhileHeld();
    LRESULT OnMouseMove(WPARAM keys, LPARAM position);
    LRESULT OnButtonDown();
    LRESULT OnButtonUp(LPARAM position);
    void OnCaptureLost();
    bool Contains(LPARAM position) const;
    void Click();

    bool pressed_ = false;
};
