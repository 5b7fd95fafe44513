#include "windows/MenuAccessible.h"

#include <vector>

namespace {

std::wstring Wide(const std::string& text)
{
    const int units = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    if (units <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &wide[0], units);
    return wide;
}

bool IsSeparator(const MenuItemFacts& facts)
{
    return (facts.state & MF_SEPARATOR) && !facts.opensMenu;
}

}  // namespace

MenuAccessible::MenuAccessible(HWND window, long role, Finder find) : window_(window), role_(role), find_(find) {}

std::wstring MenuAccessible::ItemName(const std::string& text)
{
    std::string name;
    const std::string shown = text.substr(0, text.find('\t'));
    for (size_t i = 0; i < shown.size(); ++i) {
        // "&&" stands for one '&'; a single one marks the mnemonic.
        if (shown[i] == '&' && ++i == shown.size())
            break;
        name += shown[i];
    }
    return Wide(name);
}

std::wstring MenuAccessible::ItemShortcut(const std::string& text)
{
    const size_t tab = text.find('\t');
    return tab == std::string::npos ? std::wstring() : Wide(text.substr(tab + 1));
}

long MenuAccessible::ItemState(const MenuItemFacts& facts)
{
    long state = STATE_SYSTEM_FOCUSABLE;
    if (facts.state & (MF_GRAYED | MF_DISABLED))
        state |= STATE_SYSTEM_UNAVAILABLE;
    if (facts.state & MF_CHECKED)
        state |= STATE_SYSTEM_CHECKED;
    if (facts.opensMenu)
        state |= STATE_SYSTEM_HASPOPUP;
    if (facts.hot)
        state |= STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED;
    return state;
}

bool MenuAccessible::Facts(long child, MenuItemFacts& facts)
{
    AccessibleMenu* menu = find_(window_);
    return menu && child >= 1 && menu->DescribeItem(static_cast<int>(child - 1), facts);
}

long MenuAccessible::ChildCount()
{
    AccessibleMenu* menu = find_(window_);
    return menu ? menu->AccessibleItemCount() : 0;
}

long MenuAccessible::Role(long child)
{
    MenuItemFacts facts;
    if (child == CHILDID_SELF || !Facts(child, facts))
        return role_;
    return IsSeparator(facts) ? ROLE_SYSTEM_SEPARATOR : ROLE_SYSTEM_MENUITEM;
}

long MenuAccessible::State(long child)
{
    MenuItemFacts facts;
    if (child == CHILDID_SELF || !Facts(child, facts))
        return IsWindowVisible(window_) ? 0 : STATE_SYSTEM_INVISIBLE;
    return ItemState(facts);
}

bool MenuAccessible::Name(long child, std::wstring& name)
{
    MenuItemFacts facts;
    if (!Facts(child, facts))
        return false;
    name = ItemName(facts.text);
    return true;
}

bool MenuAccessible::Shortcut(long child, std::wstring& shortcut)
{
    MenuItemFacts facts;
    if (!Facts(child, facts))
        return false;
    shortcut = ItemShortcut(facts.text);
    if (shortcut.empty() && facts.mnemonic)
        shortcut = std::wstring(L"Alt+") + static_cast<wchar_t>(static_cast<unsigned char>(facts.mnemonic));
    return !shortcut.empty();
}

bool MenuAccessible::DefaultAction(long child, std::wstring& action)
{
    MenuItemFacts facts;
    if (!Facts(child, facts) || IsSeparator(facts))
        return false;
    action = facts.opensMenu ? L"Open" : L"Execute";
    return true;
}

bool MenuAccessible::Location(long child, RECT& screen)
{
    if (child != CHILDID_SELF) {
        MenuItemFacts facts;
        if (!Facts(child, facts))
            return false;
        screen = facts.screen;
        return true;
    }
    return GetWindowRect(window_, &screen) != FALSE;
}

IDispatch* MenuAccessible::Parent()
{
    return Standard(window_, OBJID_WINDOW);
}

bool MenuAccessible::DoDefaultAction(long child)
{
    MenuItemFacts facts;
    if (!Facts(child, facts) || IsSeparator(facts) || (facts.state & (MF_GRAYED | MF_DISABLED)))
        return false;
    find_(window_)->RunItem(static_cast<int>(child - 1));
    return true;
}

long MenuAccessible::FocusedChild()
{
    for (long child = 1; child <= ChildCount(); ++child) {
        MenuItemFacts facts;
        if (Facts(child, facts) && facts.hot)
            return child;
    }
    return -1;
}
