// Drop-down combo boxes: the skin draws the whole face (border, field, the
// current item, and the drop-down button in the look of its state) and
// gives the edit of a drop-down combo box the skin's colours. The list that
// drops down is a list box with a skin of its own; simple and owner-drawn
// combo boxes keep the system look.
#pragma once

#include "controls/SkinnedControl.h"
#include "imaging/GdiObject.h"

#include <string>

class ComboBoxSkin;
struct FrameImageRef;

class SkinnedComboBox : public SkinnedControl {
public:
    using SkinnedControl::SkinnedControl;

    WNDPROC Attach(HWND hwnd) override;
    SkinObject* SetSkinObject(SkinObject* skinObject) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC hdc) override;

protected:
    void OnMouseLeave() override;

private:
    enum ButtonState { ButtonNormal, ButtonHovered, ButtonPressed };

    // Drop-down and drop-down-list combo boxes the system draws; not
    // simple or owner-drawn ones.
    static bool IsSkinnable(LONG_PTR style);
    const ComboBoxSkin* Skin() const;
    // The edit's brushes in the colours of the object in use.
    void MakeBrushes();
    // The drop-down button within the client area `client`.
    RECT ButtonRect(const RECT& client) const;
    // Where the pointer makes the button look hovered (client coordinates).
    RECT HoverRect() const;
    const FrameImageRef& ButtonLook(const ComboBoxSkin& skin, bool enabled) const;
    void PaintField(HDC hdc, const ComboBoxSkin& skin, const RECT& client, const RECT& button, bool enabled) const;
    void PaintCurrentItem(HDC hdc, const RECT& area, COLORREF colour) const;
    // The text of list item `index`, `length` characters long.
    WindowText ItemText(WPARAM index, size_t length) const;

    LRESULT RepaintAfter(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseButton(UINT message, WPARAM wParam, LPARAM lParam);
    void SetButtonState(ButtonState state);
    void Repaint();

    Brush backBrush_;      // the edit's background while enabled
    Brush disabledBrush_;  // and while disabled
    ButtonState state_ = ButtonNormal;
};
