#include "controls/SkinnedListView.h"

#include "core/SkinMessages.h"
#include "data/ClientEdgeSkin.h"

#include <commctrl.h>

namespace {

const SkinnedScrollControl::QuietRule kListViewRules[] = {
    {WM_HSCROLL, SkinnedScrollControl::HideNever, SB_HORZ, SkinnedScrollControl::AfterRedrawIfMoved},
    {WM_VSCROLL, SkinnedScrollControl::HideAlways, SB_VERT, SkinnedScrollControl::AfterRedrawIfMoved},
    {WM_MOUSEWHEEL, SkinnedScrollControl::HideAlways, SB_VERT, SkinnedScrollControl::AfterRedrawIfMoved},
    {WM_KEYDOWN, SkinnedScrollControl::HideAlways, SB_VERT, SkinnedScrollControl::AfterRedrawIfMoved},
};

}  // namespace

WNDPROC SkinnedListView::Attach(HWND hwnd)
{
    if (GetWindowLongPtrA(hwnd, GWL_STYLE) & LVS_OWNERDRAWFIXED)
        return nullptr;
    const WNDPROC previous = SkinnedScrollControl::Attach(hwnd);
    if (previous) {
        own_ = CurrentColours();
        PostColours();
    }
    return previous;
}

// The skin's colours go with the skin: an unskinned list view is drawn in
// its own colours again.
void SkinnedListView::Detach()
{
    const HWND window = window_;
    const bool restore = IsSubclassed() && !windowDying_;
    SkinnedScrollControl::Detach();
    if (restore && IsWindow(window)) {
        SendColours(window, own_);
        InvalidateRect(window, nullptr, TRUE);
    }
}

SkinObject* SkinnedListView::SetSkinObject(SkinObject* skinObject)
{
    SkinObject* previous = SkinnedScrollControl::SetSkinObject(skinObject);
    if (window_)
        PostColours();
    return previous;
}

void SkinnedListView::PostColours()
{
    if (skinObject_)
        PostMessageA(window_, WM_SKIN_DEFERREDINIT, 0, 0);
}

LRESULT SkinnedListView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (previous_ && message == WM_SKIN_DEFERREDINIT)
        return OnApplyColours();
    return SkinnedScrollControl::WindowProc(message, wParam, lParam);
}

// Colours the control has already (a new skin of the same colours) are
// not given again, nor is the list repainted for them.
LRESULT SkinnedListView::OnApplyColours()
{
    // The object may have gone with a skin change since the request.
    const ClientEdgeSkin* skin = Skin();
    if (!skin)
        return 1;
    const Colours wanted{skin->backColour, skin->backColour, skin->textColour};
    if (!(CurrentColours() == wanted)) {
        SendColours(window_, wanted);
        InvalidateRect(window_, nullptr, TRUE);
    }
    return 1;
}

SkinnedListView::Colours SkinnedListView::CurrentColours() const
{
    return Colours{static_cast<COLORREF>(CallPrevious(LVM_GETBKCOLOR, 0, 0)),
                   static_cast<COLORREF>(CallPrevious(LVM_GETTEXTBKCOLOR, 0, 0)),
                   static_cast<COLORREF>(CallPrevious(LVM_GETTEXTCOLOR, 0, 0))};
}

void SkinnedListView::SendColours(HWND window, const Colours& colours)
{
    SendMessageA(window, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(colours.back));
    SendMessageA(window, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(colours.textBack));
    SendMessageA(window, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(colours.text));
}

// The list view paints itself, in the skin's colours.
void SkinnedListView::OnPaint()
{
    CallPrevious(WM_PAINT, 0, 0);
}

LRESULT SkinnedListView::OnEraseBackground(HDC hdc)
{
    return CallPrevious(WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
}

// A line to the left at the left end would still make the system repaint.
LRESULT SkinnedListView::OnHScroll(int code, int position, HWND bar)
{
    if (code == SB_LINELEFT) {
        SCROLLINFO info = {sizeof info, SIF_POS | SIF_RANGE, 0, 0, 0, 0, 0};
        if (GetScrollInfo(window_, SB_HORZ, &info) && info.nPos == info.nMin)
            return 0;
    }
    return SkinnedScrollControl::OnHScroll(code, position, bar);
}

SkinnedScrollControl::QuietRules SkinnedListView::QuietTable() const
{
    return QuietRules{kListViewRules, sizeof kListViewRules / sizeof kListViewRules[0]};
}

SkinnedScrollControl::CurrentItems SkinnedListView::Current() const
{
    return CurrentItems{CallPrevious(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED),
                        CallPrevious(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)};
}
