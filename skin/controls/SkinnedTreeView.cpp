#include "controls/SkinnedTreeView.h"

#include "imaging/MemoryDC.h"

#include <commctrl.h>

namespace {

// On Windows 98 the tree view is left to work in sight, as the family was
// first made to run there.
const SkinnedScrollControl::QuietRule kTreeViewRules[] = {
    {WM_HSCROLL, SkinnedScrollControl::HideUnlessWindows98, SB_HORZ, SkinnedScrollControl::AfterRedrawIfMoved},
    {WM_VSCROLL, SkinnedScrollControl::HideUnlessWindows98, SB_VERT, SkinnedScrollControl::AfterRedrawIfMoved},
    {WM_MOUSEWHEEL, SkinnedScrollControl::HideUnlessWindows98, SB_VERT, SkinnedScrollControl::AfterRedrawIfMoved},
    {WM_KEYDOWN, SkinnedScrollControl::HideUnlessWindows98, SB_VERT, SkinnedScrollControl::AfterRedrawIfMoved},
    {WM_CHAR, SkinnedScrollControl::HideUnlessWindows98, SB_VERT, SkinnedScrollControl::AfterRedrawIfMoved},
    // A click or a double click can expand or collapse an item without
    // moving anything: always one repaint.
    {WM_LBUTTONDBLCLK, SkinnedScrollControl::HideUnlessWindows98, SB_VERT, SkinnedScrollControl::AfterRedraw},
    {WM_LBUTTONDOWN, SkinnedScrollControl::HideUnlessWindows98, SB_VERT, SkinnedScrollControl::AfterRedraw},
    {WM_LBUTTONUP, SkinnedScrollControl::HideNever, SkinnedScrollControl::kNoBar, SkinnedScrollControl::AfterUpdate},
    {WM_MOUSEMOVE, SkinnedScrollControl::HideNever, SkinnedScrollControl::kNoBar,
     SkinnedScrollControl::AfterUpdateWithButton},
};

}  // namespace

SkinnedScrollControl::QuietRules SkinnedTreeView::QuietTable() const
{
    return QuietRules{kTreeViewRules, sizeof kTreeViewRules / sizeof kTreeViewRules[0]};
}

SkinnedScrollControl::CurrentItems SkinnedTreeView::Current() const
{
    const LRESULT caret = CallPrevious(TVM_GETNEXTITEM, TVGN_CARET, 0);
    return CurrentItems{caret, caret};
}

void SkinnedTreeView::Paint(HDC surface)
{
    MakeCheckBoxes(surface);
    SkinnedScrollControl::Paint(surface);
}

void SkinnedTreeView::MakeCheckBoxes(HDC reference)
{
    if (!(GetWindowLongPtrA(window_, GWL_STYLE) & TVS_CHECKBOXES) || CallPrevious(TVM_GETIMAGELIST, TVSIL_STATE, 0))
        return;
    RECT client;
    GetClientRect(window_, &client);
    MemoryDC scratch(reference, client.right, client.bottom);
    if (scratch.IsValid())
        CallPrevious(WM_PAINT, reinterpret_cast<WPARAM>(scratch.Dc()), 0);
}
