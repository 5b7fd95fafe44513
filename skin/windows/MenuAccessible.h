// The skinned menus as a screen reader sees the system's: the menu bar
// and each popup menu are accessible objects of the menu roles whose
// simple children are the items, named by their text without the '&'
// marks, with the accelerator text (after a tab) as keyboard shortcut;
// the default action runs the item as a click would.
#pragma once

#include <windows.h>

#include <string>

#include "AccessibleObject.h"

// What a reader is told of one item.
struct MenuItemFacts {
    std::string text;  // as the menu holds it: '&' marks and a possible "\t" accelerator part
    UINT state = 0;    // MF_ flags
    bool opensMenu = false;
    bool hot = false;
    char mnemonic = 0;  // given for the bar's items, whose shortcut is Alt and the mnemonic
    RECT screen = {};
};

// A menu that answers a reader's questions: the bar or a popup.
class AccessibleMenu {
public:
    virtual int AccessibleItemCount() = 0;
    virtual bool DescribeItem(int index, MenuItemFacts& facts) = 0;
    virtual void RunItem(int index) = 0;

protected:
    ~AccessibleMenu() = default;
};

class MenuAccessible : public AccessibleObject {
public:
    // The menu is looked up through `window` at each question, so the
    // object may outlive it: it then has no items.
    using Finder = AccessibleMenu* (*)(HWND window);
    MenuAccessible(HWND window, long role, Finder find);

    // The name without '&' marks and tab part, and the part after the tab.
    static std::wstring ItemName(const std::string& text);
    static std::wstring ItemShortcut(const std::string& text);
    static long ItemState(const MenuItemFacts& facts);

protected:
    long ChildCount() override;
    long Role(long child) override;
    long State(long child) override;
    bool Name(long child, std::wstring& name) override;
    bool Shortcut(long child, std::wstring& shortcut) override;
    bool DefaultAction(long child, std::wstring& action) override;
    bool Location(long child, RECT& screen) override;
    IDispatch* Parent() override;
    bool DoDefaultAction(long child) override;
    long FocusedChild() override;

private:
    bool Facts(long child, MenuItemFacts& facts);

    HWND window_;
    long role_;
    Finder find_;
};
