#include "windows/SkinnedMenus.h"

#include "imaging/WindowHelpers.h"
#include "windows/PopupMenuWindow.h"

#include <string>

namespace {

// A menu created here and destroyed with the scope.
class OwnedMenu {
public:
    OwnedMenu() : menu_(CreatePopupMenu()) {}
    ~OwnedMenu()
    {
        if (menu_)
            DestroyMenu(menu_);
    }
    OwnedMenu(const OwnedMenu&) = delete;
    OwnedMenu& operator=(const OwnedMenu&) = delete;

    HMENU Get() const { return menu_; }

private:
    HMENU menu_;
};

// Appends the system menu's item of that command when it has a text;
// false when it has none.
bool AppendSystemItem(HMENU target, HMENU systemMenu, UINT command, bool enabled)
{
    const std::string text = GetMenuItemText(systemMenu, command, false);
    if (text.empty())
        return false;
    AppendMenuA(target, MF_STRING | (enabled ? MF_ENABLED : MF_DISABLED), command, text.c_str());
    return true;
}

}  // namespace

int TrackSkinnedPopupMenu(HMENU menu, UINT tpmFlags, int x, int y, HWND owner, bool systemMenu)
{
    if (!menu || !IsWindow(owner))
        return 0;
    PopupMenuWindow popup(owner, nullptr, systemMenu ? PopupMenuWindow::ModeSystemMenu
                                                     : PopupMenuWindow::ModeContextMenu);
    SendMessageA(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, systemMenu ? 1 : 0));
    if (!popup.Create())
        return 0;
    popup.LoadMenu(menu);
    popup.ShowAt(PlacePopup(x, y, popup.Measure(), tpmFlags));
    MSG msg;
    while (popup.IsShown() && IsWindow(owner)) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The quit belongs to the loop that called us.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    popup.CloseChain();
    return 0;
}

int TrackSkinnedSystemMenu(HWND window)
{
    HMENU systemMenu = (GetWindowLongPtrA(window, GWL_STYLE) & WS_SYSMENU) ? GetSystemMenu(window, FALSE) : nullptr;
    if (!systemMenu)
        return 0;
    OwnedMenu menu;
    const bool resized = IsZoomed(window) || IsIconic(window);
    AppendSystemItem(menu.Get(), systemMenu, SC_RESTORE, resized);
    AppendSystemItem(menu.Get(), systemMenu, SC_SIZE, !resized);
    AppendSystemItem(menu.Get(), systemMenu, SC_MOVE, !resized);
    AppendSystemItem(menu.Get(), systemMenu, SC_MINIMIZE, !IsIconic(window));
    AppendSystemItem(menu.Get(), systemMenu, SC_MAXIMIZE, !IsZoomed(window));
    if (GetMenuItemText(systemMenu, SC_CLOSE, false)[0] != '\0')
        AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
    AppendSystemItem(menu.Get(), systemMenu, SC_CLOSE, true);
    if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_MDICHILD) &&
        GetMenuItemText(systemMenu, SC_NEXTWINDOW, false)[0] != '\0') {
        AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
        AppendSystemItem(menu.Get(), systemMenu, SC_NEXTWINDOW, true);
    }
    POINT cursor;
    GetCursorPos(&cursor);
    return TrackSkinnedPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN, cursor.x + 2, cursor.y, window, true);
}
