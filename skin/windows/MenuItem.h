// The items of one menu level copied out of an HMENU, so that a popup
// menu window draws and tracks them without asking the menu again.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// The character after the first '&' that is not doubled, upper-cased; 0
// when the text has none.
char MenuMnemonic(const std::string& text);

struct MenuItemList;

struct MenuItem {
    std::string text;  // as the menu holds it: '&' marks and a possible "\t" accelerator part
    UINT command = 0;  // -1 for an item that opens a submenu
    char mnemonic = 0;
    UINT state = 0;    // GetMenuState by position: MF_CHECKED, MF_GRAYED, MF_DISABLED, MF_SEPARATOR, MF_POPUP
    bool hot = false;
    std::unique_ptr<MenuItemList> submenu;
    HMENU submenuHandle = nullptr;

    bool IsEnabled() const { return (state & (MF_GRAYED | MF_DISABLED)) == 0; }
    bool IsSeparator() const { return (state & MF_SEPARATOR) && !(state & MF_POPUP); }
    bool IsChecked() const { return (state & MF_CHECKED) != 0; }
    // Clicks and Enter choose only these.
    bool IsChoosable() const { return IsEnabled() && !IsSeparator() && !submenu; }
};

struct MenuItemList {
    std::vector<MenuItem> items;
};

// The items of `menu` and, recursively, of its submenus.
std::unique_ptr<MenuItemList> BuildMenuItemList(HMENU menu);

// Pictures for popup items, chosen by command: an item whose command the
// table names shows that image of the hot list while hot, of the disabled
// list while disabled, else of the normal list (a missing hot or disabled
// list falls back to the normal one). The lists stay their supplier's.
struct MenuItemImages {
    std::vector<std::pair<UINT, int>> indexes;  // command, image index; the first pair of a command counts
    HIMAGELIST normal = nullptr;
    HIMAGELIST hot = nullptr;
    HIMAGELIST disabled = nullptr;

    // The image index for that command, or -1.
    int IndexOf(UINT command) const;
    // The list an item in that state draws from, or null.
    HIMAGELIST ListFor(bool hotItem, bool enabled) const;
};
