#include "controls/SkinnedRadio.h"

namespace {

bool StartsGroup(HWND window)
{
    return (GetWindowLongPtrA(window, GWL_STYLE) & WS_GROUP) != 0;
}

}  // namespace

HWND SkinnedRadio::GroupStart(HWND window)
{
    if (StartsGroup(window))
        return window;
    for (HWND sibling = GetWindow(window, GW_HWNDPREV); sibling; sibling = GetWindow(sibling, GW_HWNDPREV))
        if (StartsGroup(sibling))
            return sibling;
    return GetWindow(window, GW_HWNDFIRST);
}

void SkinnedRadio::OnClick()
{
    if ((Style() & 0x1F) != BS_AUTORADIOBUTTON)
        return;
    const HWND self = window_;
    SetCheckState(BST_CHECKED);
    const HWND start = GroupStart(self);
    for (HWND member = start; member; member = GetWindow(member, GW_HWNDNEXT)) {
        if (member != start && StartsGroup(member))
            break;
        if (member != self && (SendMessageA(member, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            SendMessageA(member, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}
