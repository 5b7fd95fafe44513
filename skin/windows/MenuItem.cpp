#include "windows/MenuItem.h"

#include "imaging/WindowHelpers.h"

#include <cctype>

namespace {

// Menus nest a few levels deep; a menu that contains itself must not
// recurse for ever.
const int kMaxMenuDepth = 16;

std::unique_ptr<MenuItemList> BuildList(HMENU menu, int depth)
{
    auto list = std::make_unique<MenuItemList>();
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        MenuItem item;
        item.command = GetMenuItemID(menu, position);
        item.text = GetMenuItemText(menu, position, true);
        item.state = GetMenuState(menu, position, MF_BYPOSITION);
        item.mnemonic = MenuMnemonic(item.text);
        HMENU submenu = GetSubMenu(menu, position);
        if (submenu && depth < kMaxMenuDepth) {
            item.submenuHandle = submenu;
            item.submenu = BuildList(submenu, depth + 1);
        }
        list->items.push_back(std::move(item));
    }
    return list;
}

}  // namespace

char MenuMnemonic(const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return static_cast<char>(toupper(static_cast<unsigned char>(text[i + 1])));
        ++i;
    }
    return 0;
}

std::unique_ptr<MenuItemList> BuildMenuItemList(HMENU menu)
{
    return BuildList(menu, 0);
}

int MenuItemImages::IndexOf(UINT command) const
{
    for (const auto& entry : indexes)
        if (entry.first == command)
            return entry.second;
    return -1;
}

HIMAGELIST MenuItemImages::ListFor(bool hotItem, bool enabled) const
{
    if (hotItem && hot)
        return hot;
    if (!enabled && disabled)
        return disabled;
    return normal;
}
