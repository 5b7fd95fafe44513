// What the menu tests share: a skinned frame with a two-level menu, the
// skinned popups it opens, and driving them with posted input.
#pragma once

#include "WindowTestSupport.h"

#include <initializer_list>
#include <utility>

#include "windows/MenuBar.h"
#include "windows/PopupMenuWindow.h"

// Commands and item positions of the test menu:
//   &File: &Open\tCtrl+O, (separator), &Recent > {&One, &Two}, &Disabled (grayed), A&&B, &Checked (checked), E&xit
//   &Edit: &Copy, &Paste
//   &Go (a command on the bar itself)
enum MenuTestCommand : UINT {
    kOpen = 601, kOne = 611, kTwo = 612, kDisabled = 603, kAmpersand = 604, kChecked = 606, kExit = 605,
    kCopy = 701, kPaste = 702, kGo = 801,
};
enum FileItem { kOpenItem, kSeparatorItem, kRecentItem, kDisabledItem, kAmpersandItem, kCheckedItem, kExitItem };

HMENU CreateTestMenu();
HMENU FileMenuOf(HMENU bar);

class MenuTest : public SkinnedWindowTest {
protected:
    void SetUp() override;

    // A skinned frame with the test menu, active, its menu messages logged.
    HWND CreateMenuFrame(int width = 400, int height = 300);
    MenuBar& Bar();
    // The bar's open drop-down (the root popup), or null.
    PopupMenuWindow* Root();
    // Clicks the bar item as the frame's non-client button-down would.
    void ClickBarItem(int index);
    // Posted input to the root popup, which holds the capture: a point in
    // screen coordinates.
    void MoveTo(POINT screen);
    void ClickAt(POINT screen);
    void Key(PopupMenuWindow* popup, WPARAM vk);
    // The centre of an item of a popup, in screen coordinates.
    static POINT ItemCentre(PopupMenuWindow* popup, int index);
    POINT BarItemCentre(int index);
    // Starts logging only the menu protocol the owner sees.
    void LogMenuProtocol();

    HWND frame_ = nullptr;
    HMENU menu_ = nullptr;
};

// Keys through the system's input queue, where the keyboard hook sees
// them, with the pointer over `window` (X sends keys to the window under
// the pointer); then the messages they cause.
void PressKeys(HWND window, std::initializer_list<std::pair<WORD, bool>> keys);

// The popup-menu object of a popup window, or null.
PopupMenuWindow* PopupOf(HWND window);
// Visible windows of the popup-menu class, and of the system's menu class.
int VisibleSkinnedPopups();
int VisibleSystemMenus();

// What a leak test counts: the thread's windows, a window's properties,
// and whether a timer is still set on a window (its ticks go on once every
// hover poll has stopped).
int CountThreadWindows();
int CountProperties(HWND window);
bool TimerPending(HWND window);
