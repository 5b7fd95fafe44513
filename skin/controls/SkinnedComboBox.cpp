#include "controls/SkinnedComboBox.h"

#include "controls/ButtonLayout.h"
#include "data/ComboBoxSkin.h"
#include "data/SkinStore.h"
#include "imaging/DrawUtils.h"

#include <string>

namespace {

// The drop-down button begins this far from the right edge; the pointer
// makes it look hovered from kHoverWidth on.
const int kButtonWidth = 18;
const int kHoverWidth = 16;
// The field lies one pixel inside the frame and ends this far before the
// button.
const int kFieldInset = 1;
const int kFieldGap = 2;

RECT InsideMargins(const RECT& client, const FrameImageRef& frame)
{
    return {client.left + frame.marginLeft, client.top + frame.marginTop, client.right - frame.marginRight,
            client.bottom - frame.marginBottom};
}

}  // namespace

const ComboBoxSkin* SkinnedComboBox::Skin() const
{
    return dynamic_cast<const ComboBoxSkin*>(skinObject_);
}

bool SkinnedComboBox::IsSkinnable(LONG_PTR style)
{
    const LONG_PTR kind = style & 3;
    if (kind != CBS_DROPDOWN && kind != CBS_DROPDOWNLIST)
        return false;
    return (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) == 0;
}

WNDPROC SkinnedComboBox::Attach(HWND hwnd)
{
    if (!IsSkinnable(GetWindowLongPtrA(hwnd, GWL_STYLE)))
        return nullptr;
    const WNDPROC previous = SkinnedControl::Attach(hwnd);
    if (previous)
        MakeBrushes();
    return previous;
}

SkinObject* SkinnedComboBox::SetSkinObject(SkinObject* skinObject)
{
    SkinObject* previous = SkinnedControl::SetSkinObject(skinObject);
    MakeBrushes();
    // The edit asks for its colours only when it paints.
    if (const HWND edit = window_ ? FindWindowExA(window_, nullptr, "Edit", nullptr) : nullptr)
        InvalidateRect(edit, nullptr, TRUE);
    return previous;
}

void SkinnedComboBox::MakeBrushes()
{
    // From the object finally bound, which may be the one made for this
    // control id rather than the one given.
    const ComboBoxSkin* skin = Skin();
    backBrush_.Reset(skin ? CreateSolidBrush(skin->backColour) : nullptr);
    disabledBrush_.Reset(skin ? CreateSolidBrush(skin->disabledBackground) : nullptr);
}

LRESULT SkinnedComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_COMMAND:
    case CB_SELECTSTRING:
    case CB_SETCURSEL:
        return RepaintAfter(message, wParam, lParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return OnCtlColor(message, wParam, lParam);
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // the system drops the list down on it as on a press
    case WM_LBUTTONUP:
        return OnMouseButton(message, wParam, lParam);
    default:
        return SkinnedControl::WindowProc(message, wParam, lParam);
    }
}

LRESULT SkinnedComboBox::RepaintAfter(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    const LRESULT result = CallPrevious(message, wParam, lParam);
    if (IsStillSkinOf(window, this))
        Repaint();
    return result;
}

LRESULT SkinnedComboBox::OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam)
{
    const ComboBoxSkin* skin = Skin();
    const bool disabled = message == WM_CTLCOLORSTATIC || !IsWindowEnabled(window_);
    const HBRUSH brush = disabled ? disabledBrush_.Get() : backBrush_.Get();
    if (!skin || !brush)
        return CallPrevious(message, wParam, lParam);
    const HDC dc = reinterpret_cast<HDC>(wParam);
    SetBkColor(dc, disabled ? skin->disabledBackground : skin->backColour);
    SetTextColor(dc, disabled ? skin->disabledText : skin->textColour);
    return reinterpret_cast<LRESULT>(brush);
}

LRESULT SkinnedComboBox::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    const LRESULT result = CallPreviousHidden(WM_MOUSEMOVE, wParam, lParam);
    if (!IsStillSkinOf(window, this))
        return result;
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const RECT hover = HoverRect();
    if (!PtInRect(&hover, point))
        return result;
    // A button held down looks pressed until it is released, wherever the
    // pointer moves meanwhile.
    if (state_ != ButtonPressed || !(wParam & MK_LBUTTON))
        SetButtonState(ButtonHovered);
    TrackHover();
    return result;
}

LRESULT SkinnedComboBox::OnMouseButton(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    // Hidden: the system would repaint its own button first.
    const LRESULT result = CallPreviousHidden(message, wParam, lParam);
    if (IsStillSkinOf(window, this))
        SetButtonState(message == WM_LBUTTONUP ? ButtonNormal : ButtonPressed);
    return result;
}

void SkinnedComboBox::OnMouseLeave()
{
    const bool changed = state_ != ButtonNormal;
    state_ = ButtonNormal;
    if (IsHovered())
        SkinnedControl::OnMouseLeave();
    else if (changed)
        Repaint();
}

void SkinnedComboBox::SetButtonState(ButtonState state)
{
    if (state == state_)
        return;
    state_ = state;
    Repaint();
}

void SkinnedComboBox::Repaint()
{
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
}

RECT SkinnedComboBox::ButtonRect(const RECT& client) const
{
    const FrameImageRef& frame = Skin()->mainImage;
    return {client.right - kButtonWidth, client.top + frame.marginTop, client.right - frame.marginRight,
            client.bottom - frame.marginBottom};
}

RECT SkinnedComboBox::HoverRect() const
{
    if (!Skin())
        return {};
    RECT client;
    GetClientRect(window_, &client);
    // The drawn button's own top: reaching a margin above the client area
    // would take a pointer held above the control for one over its button.
    RECT hover = ButtonRect(client);
    hover.left = client.right - kHoverWidth;
    return hover;
}

const FrameImageRef& SkinnedComboBox::ButtonLook(const ComboBoxSkin& skin, bool enabled) const
{
    ComboBoxSkin::Thumb look = ComboBoxSkin::ThumbNormal;
    if (!enabled)
        look = ComboBoxSkin::ThumbDisabled;
    else if (state_ == ButtonHovered)
        look = ComboBoxSkin::ThumbHovered;
    else if (state_ == ButtonPressed)
        look = ComboBoxSkin::ThumbPressed;
    return PickRef(skin.thumbs[look], skin.thumbs[ComboBoxSkin::ThumbNormal]);
}

void SkinnedComboBox::Paint(HDC hdc)
{
    const ComboBoxSkin* skin = Skin();
    if (!skin)
        return;
    RECT client;
    GetClientRect(window_, &client);
    const bool enabled = IsWindowEnabled(window_) != FALSE;
    DrawFrameBorder(hdc, client, skin->mainImage, skin->backColour, true, Store());
    FillSolidRect(hdc, InsideMargins(client, skin->mainImage), enabled ? skin->backColour : skin->disabledBackground);
    const RECT button = ButtonRect(client);
    PaintField(hdc, *skin, client, button, enabled);
    DrawFrameImage(hdc, button, ButtonLook(*skin, enabled), GetSysColor(COLOR_BTNFACE), true, Store());
}

void SkinnedComboBox::PaintField(HDC hdc, const ComboBoxSkin& skin, const RECT& client, const RECT& button,
                                 bool enabled) const
{
    const RECT inside = InsideMargins(client, skin.mainImage);
    const RECT field = {inside.left + kFieldInset, inside.top + kFieldInset, button.left - kFieldGap,
                        inside.bottom - kFieldInset};
    if (IsRectEmpty(&field))
        return;
    const bool focused = GetFocus() == window_;
    if (focused)
        FillSolidRect(hdc, field, skin.focusColour);
    else if (!enabled)
        FillSolidRect(hdc, field, skin.disabledBackground);
    COLORREF colour = skin.font.colour;
    if (focused)
        colour = skin.focusTextColour;
    if (!enabled)
        colour = skin.disabledText;
    PaintCurrentItem(hdc, field, colour);
}

void SkinnedComboBox::PaintCurrentItem(HDC hdc, const RECT& area, COLORREF colour) const
{
    const LRESULT index = CallPrevious(CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return;
    const LRESULT length = CallPrevious(CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0)
        return;
    const WindowText text = ItemText(static_cast<WPARAM>(index), static_cast<size_t>(length));
    if (text.Empty())
        return;
    SavedDCState saved(hdc);
    PrepareText(hdc, colour);
    RECT place = area;
    // An item is shown as the list holds it: "&" marks no mnemonic here.
    text.Draw(hdc, place, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

WindowText SkinnedComboBox::ItemText(WPARAM index, size_t length) const
{
    TextBuffer text(IsUnicode(), length + 1);
    const LRESULT copied = CallPrevious(CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.Address<char>()));
    if (copied <= 0 || static_cast<size_t>(copied) > length)
        return WindowText();
    return text.Text();
}
