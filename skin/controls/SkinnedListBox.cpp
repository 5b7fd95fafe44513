#include "controls/SkinnedListBox.h"

#include <cstring>

namespace {

const SkinnedScrollControl::QuietRule kListBoxRules[] = {
    {WM_HSCROLL, SkinnedScrollControl::HideAlways, SB_HORZ, SkinnedScrollControl::AfterRedrawIfMoved},
    {WM_VSCROLL, SkinnedScrollControl::HideAlways, SB_VERT, SkinnedScrollControl::AfterRedrawIfMoved},
    {WM_MOUSEWHEEL, SkinnedScrollControl::HideAlways, SB_VERT, SkinnedScrollControl::AfterRedrawIfMoved},
    {WM_KEYDOWN, SkinnedScrollControl::HideAlways, SB_VERT, SkinnedScrollControl::AfterRedrawIfMoved},
    {WM_CHAR, SkinnedScrollControl::HideAlways, SB_VERT, SkinnedScrollControl::AfterRedrawIfMoved},
    {WM_SETFOCUS, SkinnedScrollControl::HideAlways, SkinnedScrollControl::kNoBar, SkinnedScrollControl::AfterUpdate},
    {WM_KILLFOCUS, SkinnedScrollControl::HideAlways, SkinnedScrollControl::kNoBar, SkinnedScrollControl::AfterUpdate},
    {WM_LBUTTONDOWN, SkinnedScrollControl::HideAlways, SkinnedScrollControl::kNoBar,
     SkinnedScrollControl::AfterNothing},
    {WM_MOUSEMOVE, SkinnedScrollControl::HideWithButton, SkinnedScrollControl::kNoBar,
     SkinnedScrollControl::AfterUpdateWithButton},
    {WM_LBUTTONUP, SkinnedScrollControl::HideNever, SkinnedScrollControl::kNoBar, SkinnedScrollControl::AfterUpdate},
};

bool IsComboListClass(HWND window)
{
    char name[100] = {};
    GetClassNameA(window, name, sizeof name);
    return strcmp(name, "ComboLBox") == 0;
}

}  // namespace

WNDPROC SkinnedListBox::Attach(HWND hwnd)
{
    comboList_ = IsComboListClass(hwnd);
    if (!comboList_ && (GetWindowLongPtrA(hwnd, GWL_STYLE) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)))
        return nullptr;
    return SkinnedScrollControl::Attach(hwnd);
}

SkinnedScrollControl::QuietRules SkinnedListBox::QuietTable() const
{
    return QuietRules{kListBoxRules, sizeof kListBoxRules / sizeof kListBoxRules[0]};
}

// A key can select the item under the caret without moving it.
SkinnedScrollControl::CurrentItems SkinnedListBox::Current() const
{
    return CurrentItems{CallPrevious(LB_GETCARETINDEX, 0, 0), CallPrevious(LB_GETCURSEL, 0, 0)};
}

LRESULT SkinnedListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (previous_ && message == WM_SETFONT)
        return OnSetFont(wParam, lParam);
    return SkinnedScrollControl::WindowProc(message, wParam, lParam);
}

// A new font can change the height of a list box that keeps whole items:
// the place it leaves is repainted by the window that holds it, which for
// the list of a combo box is the combo box's parent. A list box of a
// top-level window repaints in that window, never all over the desktop.
LRESULT SkinnedListBox::OnSetFont(WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    RECT area;
    ::GetWindowRect(window, &area);
    const LRESULT result = CallPrevious(WM_SETFONT, wParam, lParam);
    HWND holder = GetParent(window);
    if (comboList_ && holder && GetParent(holder))
        holder = GetParent(holder);
    if (holder) {
        MapWindowPoints(nullptr, holder, reinterpret_cast<POINT*>(&area), 2);
        InvalidateRect(holder, &area, TRUE);
        UpdateWindow(holder);
    }
    return result;
}
