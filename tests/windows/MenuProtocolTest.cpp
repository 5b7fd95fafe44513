// The menu protocol the owner of a skinned menu sees: WM_INITMENUPOPUP
// before a popup opens, WM_MENUSELECT as items light up and when the menu
// ends, the chosen command posted, and the end of tracking, for the mouse
// and the keyboard; and no menu of the system's ever appears.
#include "MenuTestSupport.h"

#include "MessageLog.h"
#include "SkinEngine.h"
#include "TimerLog.h"
#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "windows/SkinnedMenus.h"

#include <memory>
#include <string>

namespace {

const WPARAM kMenuEnd = 0xFFFF0000;

WPARAM Handle(HMENU menu)
{
    return reinterpret_cast<WPARAM>(menu);
}

WPARAM Selected(UINT command, UINT flags)
{
    return MAKEWPARAM(command, flags);
}

// The end of a menu whose command was chosen in the root popup: the
// menu ends, then the command arrives.
#define CHOSEN_IN_ROOT(command)                                                        \
    {WM_MENUSELECT, kSent | kWParam | kLParam, kMenuEnd, 0},                           \
        {WM_SKIN_MENUCLOSED, kPosted, 0, 0}, {WM_SKIN_MENUCLOSED, kSent, 0, 0},        \
        {WM_COMMAND, kPosted | kWParam, command, 0}, {WM_COMMAND, kSent | kWParam, command, 0}

const ExpectedMessage kClosedWithoutCommand[] = {
    {WM_MENUSELECT, kSent | kWParam | kLParam, kMenuEnd, 0},
    {WM_SKIN_MENUCLOSED, kPosted, 0, 0},
    {WM_SKIN_MENUCLOSED, kSent, 0, 0},
};

TEST_F(MenuTest, AClickOnABarItemOpensItsSkinnedDropDownAndAClickOnAnItemChoosesIt)
{
    CreateMenuFrame();
    LogMenuProtocol();
    ClickBarItem(0);
    const ExpectedMessage kOpenFile[] = {{WM_INITMENUPOPUP, kSent | kWParam, Handle(FileMenuOf(menu_)), 0}};
    EXPECT_TRUE(LogMatches(kOpenFile, "click on File"));
    ASSERT_NE(nullptr, Root());
    EXPECT_TRUE(Bar().InMenuMode());
    EXPECT_EQ(1, VisibleSkinnedPopups());
    EXPECT_EQ(0, VisibleSystemMenus()) << "the system's own menu never opens";
    EXPECT_EQ(Root()->Window(), GetCapture()) << "the root popup tracks the mouse";

    MessageLog::Instance().Flush();
    MoveTo(ItemCentre(Root(), kOpenItem));
    const ExpectedMessage kHover[] = {{WM_MENUSELECT, kSent | kWParam | kLParam,
                                       Selected(kOpen, MF_HILITE | MF_MOUSESELECT),
                                       static_cast<LPARAM>(Handle(FileMenuOf(menu_)))}};
    EXPECT_TRUE(LogMatches(kHover, "the mouse over Open"));
    EXPECT_EQ(kOpenItem, Root()->HotIndex());

    MessageLog::Instance().Flush();
    ClickAt(ItemCentre(Root(), kOpenItem));
    const ExpectedMessage kChoose[] = {CHOSEN_IN_ROOT(kOpen)};
    EXPECT_TRUE(LogMatches(kChoose, "click on Open"));
    EXPECT_EQ(nullptr, Root());
    EXPECT_FALSE(Bar().InMenuMode());
    EXPECT_EQ(0, VisibleSkinnedPopups());
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(MenuTest, ARealClickOnTheBarOpensTheDropDown)
{
    CreateMenuFrame();
    const POINT edit = BarItemCentre(1);
    EXPECT_EQ(HTMENU, SendMessageA(frame_, WM_NCHITTEST, 0, MAKELPARAM(edit.x, edit.y)));
    SetCursorPos(edit.x, edit.y);
    PumpFor(30);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
    PumpFor(150);
    ASSERT_NE(nullptr, Root());
    EXPECT_EQ(MenuBar::ItemOpen, Bar().Items()[1].state);
    EXPECT_EQ(1, VisibleSkinnedPopups());
    EXPECT_EQ(0, VisibleSystemMenus());
    Key(Root(), VK_ESCAPE);
}

TEST_F(MenuTest, ClickingTheOpenItemAgainClosesItsDropDownAndLeavesItHot)
{
    CreateMenuFrame();
    ClickBarItem(0);
    ASSERT_NE(nullptr, Root());
    LogMenuProtocol();
    ClickAt(BarItemCentre(0));
    EXPECT_EQ(nullptr, Root());
    EXPECT_FALSE(Bar().InMenuMode());
    EXPECT_EQ(MenuBar::ItemHot, Bar().Items()[0].state);
    EXPECT_FALSE(MessageLog::Instance().Contains(WM_COMMAND));
    EXPECT_EQ(0, VisibleSkinnedPopups());
}

TEST_F(MenuTest, AClickOutsideClosesEverythingAndChoosesNothing)
{
    CreateMenuFrame();
    ClickBarItem(0);
    ASSERT_NE(nullptr, Root());
    MoveTo(ItemCentre(Root(), kRecentItem));
    Key(Root(), VK_RIGHT);
    ASSERT_NE(nullptr, Root()->Child());
    LogMenuProtocol();
    RECT frame;
    GetWindowRect(frame_, &frame);
    const POINT outside = {frame.right - 30, frame.bottom - 30};
    ClickAt(outside);
    const ExpectedMessage kOutside[] = {
        {WM_MENUSELECT, kSent | kWParam | kLParam, kMenuEnd, 0},
        {WM_SKIN_MENUCLICK, kPosted | kLParam, 0, MAKELPARAM(outside.x, outside.y)},
        {WM_SKIN_MENUCLICK, kSent | kLParam, 0, MAKELPARAM(outside.x, outside.y)},
        {WM_SKIN_MENUCLOSED, kPosted, 0, 0},
        {WM_SKIN_MENUCLOSED, kSent, 0, 0},
    };
    EXPECT_TRUE(LogMatches(kOutside, "click in the client area"));
    EXPECT_EQ(0, VisibleSkinnedPopups());
    EXPECT_EQ(nullptr, Root());
}

// Whatever takes the menu away from the user ends all of it, without a
// command: the cancel mode, the capture taken, another window activated,
// or a popup window of it closed.
TEST_F(MenuTest, LosingTheCaptureOrTheActivationOrAPopupWindowEndsTheMenu)
{
    const struct {
        const char* what;
        int barItem;
        bool submenu;  // the Recent submenu opened under File first
        void (*act)(HWND frame, PopupMenuWindow* root);
    } kRows[] = {
        {"cancel mode", 1, false,
         [](HWND, PopupMenuWindow* root) { PostMessageA(root->Window(), WM_CANCELMODE, 0, 0); }},
        {"capture taken", 1, false,
         [](HWND frame, PopupMenuWindow*) {
             SetCapture(frame);
             ReleaseCapture();
         }},
        {"another window activated", 1, false, [](HWND frame, PopupMenuWindow*) { SetActiveWindow(frame); }},
        {"WM_CLOSE on the submenu", 0, true,
         [](HWND, PopupMenuWindow* root) { PostMessageA(root->Child()->Window(), WM_CLOSE, 0, 0); }},
    };
    CreateMenuFrame();
    LogMenuProtocol();
    for (const auto& row : kRows) {
        ClickBarItem(row.barItem);
        ASSERT_NE(nullptr, Root()) << row.what;
        if (row.submenu) {
            Key(Root(), VK_DOWN);
            Key(Root(), VK_DOWN);
            Key(Root(), VK_RIGHT);
            ASSERT_NE(nullptr, Root()->Child()) << row.what;
        }
        MessageLog::Instance().Flush();
        row.act(frame_, Root());
        PumpFor(50);
        EXPECT_TRUE(LogMatches(kClosedWithoutCommand, row.what));
        EXPECT_EQ(nullptr, Root()) << row.what;
        EXPECT_EQ(0, VisibleSkinnedPopups()) << row.what;
        EXPECT_FALSE(Bar().InMenuMode()) << row.what;
        EXPECT_TRUE(IsWindow(frame_)) << row.what;
    }
}

TEST_F(MenuTest, MovingAlongTheBarSwitchesTheOpenDropDown)
{
    CreateMenuFrame();
    ClickBarItem(0);
    ASSERT_NE(nullptr, Root());
    LogMenuProtocol();
    MoveTo(BarItemCentre(1));
    const ExpectedMessage kSwitch[] = {{WM_INITMENUPOPUP, kSent | kWParam, Handle(GetSubMenu(menu_, 1)), 0}};
    EXPECT_TRUE(LogMatches(kSwitch, "the mouse from File to Edit"));
    ASSERT_NE(nullptr, Root());
    EXPECT_EQ(MenuBar::ItemOpen, Bar().Items()[1].state);
    EXPECT_EQ(MenuBar::ItemNormal, Bar().Items()[0].state);
    EXPECT_EQ(1, VisibleSkinnedPopups());

    // Onto an item without a drop-down: nothing open, that item hot.
    MessageLog::Instance().Flush();
    MoveTo(BarItemCentre(2));
    EXPECT_EQ(nullptr, Root());
    EXPECT_FALSE(Bar().InMenuMode());
    EXPECT_EQ(MenuBar::ItemHot, Bar().Items()[2].state);
    EXPECT_EQ(0, VisibleSkinnedPopups());
    EXPECT_FALSE(MessageLog::Instance().Contains(WM_COMMAND));
}

TEST_F(MenuTest, ASubmenuOpensAfterTheDelayAndAClickInItChoosesItsCommand)
{
    const TimerLog timers;
    CreateMenuFrame();
    ClickBarItem(0);
    ASSERT_NE(nullptr, Root());
    LogMenuProtocol();
    MoveTo(ItemCentre(Root(), kRecentItem));
    EXPECT_EQ(nullptr, Root()->Child()) << "not before the delay";
    // The delay's tick, delivered rather than waited for, once the timer
    // is known to be set.
    ASSERT_TRUE(timers.IsRunning(Root()->Window(), 1001, 500)) << "resting on Recent starts the delay";
    SendMessageA(Root()->Window(), WM_TIMER, 1001, 0);
    EXPECT_FALSE(timers.IsRunning(Root()->Window(), 1001)) << "the delay ends with its tick";
    ASSERT_NE(nullptr, Root()->Child()) << "timer 1001 opened the submenu";
    HMENU recent = GetSubMenu(FileMenuOf(menu_), kRecentItem);
    const ExpectedMessage kHoverRecent[] = {
        {WM_MENUSELECT, kSent | kWParam | kLParam, Selected(kRecentItem, MF_HILITE | MF_MOUSESELECT | MF_POPUP),
         static_cast<LPARAM>(Handle(FileMenuOf(menu_)))},
        {WM_INITMENUPOPUP, kSent | kWParam, Handle(recent), 0},
    };
    EXPECT_TRUE(LogMatches(kHoverRecent, "resting on Recent"));
    EXPECT_EQ(2, VisibleSkinnedPopups());

    PopupMenuWindow* sub = Root()->Child();
    MoveTo(ItemCentre(sub, 1));
    EXPECT_EQ(1, sub->HotIndex());
    MessageLog::Instance().Flush();
    ClickAt(ItemCentre(sub, 1));
    // A command chosen in a submenu is posted before the menu ends.
    const ExpectedMessage kChooseTwo[] = {
        {WM_MENUSELECT, kSent | kWParam | kLParam, kMenuEnd, 0},
        {WM_COMMAND, kPosted | kWParam, kTwo, 0},
        {WM_COMMAND, kSent | kWParam, kTwo, 0},
        {WM_SKIN_MENUCLOSED, kPosted, 0, 0},
        {WM_SKIN_MENUCLOSED, kSent, 0, 0},
    };
    EXPECT_TRUE(LogMatches(kChooseTwo, "click on Two"));
    EXPECT_EQ(0, VisibleSkinnedPopups());
}

TEST_F(MenuTest, RightOpensASubmenuLeftClosesOnlyItAndLeftInTheRootClosesTheMenu)
{
    CreateMenuFrame();
    ClickBarItem(0);
    ASSERT_NE(nullptr, Root());
    Key(Root(), VK_DOWN);
    Key(Root(), VK_DOWN);
    ASSERT_EQ(kRecentItem, Root()->HotIndex());
    Key(Root(), VK_RIGHT);
    ASSERT_NE(nullptr, Root()->Child()) << "Right opens at once";
    EXPECT_EQ(0, Root()->Child()->HotIndex()) << "with its first item selected";

    LogMenuProtocol();
    Key(Root()->Child(), VK_LEFT);
    EXPECT_EQ(nullptr, Root()->Child());
    ASSERT_NE(nullptr, Root()) << "Left in a submenu closes only the submenu";
    EXPECT_EQ(1, VisibleSkinnedPopups());
    EXPECT_FALSE(MessageLog::Instance().Contains(WM_SKIN_MENUCLOSED));

    MessageLog::Instance().Flush();
    Key(Root(), VK_LEFT);
    EXPECT_TRUE(LogMatches(kClosedWithoutCommand, "Left in the root popup"));
    EXPECT_EQ(0, VisibleSkinnedPopups());
}

TEST_F(MenuTest, EscClosesTheMenuAndEnterOnADisabledItemDoesNothing)
{
    CreateMenuFrame();
    ClickBarItem(0);
    ASSERT_NE(nullptr, Root());
    for (int i = 0; i < 3; ++i)
        Key(Root(), VK_DOWN);
    ASSERT_EQ(kDisabledItem, Root()->HotIndex());
    LogMenuProtocol();
    Key(Root(), VK_RETURN);
    EXPECT_FALSE(MessageLog::Instance().Contains(WM_COMMAND));
    EXPECT_FALSE(MessageLog::Instance().Contains(WM_SKIN_MENUCLOSED));
    EXPECT_NE(nullptr, Root()) << "still open";

    MessageLog::Instance().Flush();
    Key(Root(), VK_ESCAPE);
    EXPECT_TRUE(LogMatches(kClosedWithoutCommand, "Esc"));
    EXPECT_EQ(0, VisibleSkinnedPopups());
}

// One arrow key and the item it must leave hot.
struct NavigationStep {
    WPARAM vk;
    int hot;
};

// Walks the keys through the popup; the hot item is always in view, and
// at either end of a scrolled popup the view is at that end too.
void Walk(PopupMenuWindow* popup, std::initializer_list<NavigationStep> steps, const char* menu)
{
    const int count = static_cast<int>(popup->Items()->items.size());
    int index = 0;
    for (const NavigationStep& step : steps) {
        PostMessageA(popup->Window(), WM_KEYDOWN, step.vk, 1);
        PumpFor(30);
        const std::string where = std::string(menu) + ", step " + std::to_string(index++);
        EXPECT_EQ(step.hot, popup->HotIndex()) << where;
        if (!popup->Scrolls())
            continue;
        EXPECT_GE(step.hot, popup->FirstVisible()) << where;
        EXPECT_LT(step.hot, popup->FirstVisible() + popup->VisibleCount()) << where;
        if (step.hot == 0 || step.hot == count - 1) {
            EXPECT_EQ(step.hot == 0 ? 0 : count - popup->VisibleCount(), popup->FirstVisible()) << where;
        }
    }
}

// A context popup of `menu` shown near the top of the screen.
std::unique_ptr<PopupMenuWindow> ShowContextPopup(HWND owner, HMENU menu)
{
    auto popup = std::make_unique<PopupMenuWindow>(owner, nullptr, PopupMenuWindow::ModeContextMenu);
    if (!popup->Create())
        return nullptr;
    popup->LoadMenu(menu);
    popup->ShowAt(PlacePopup(100, 50, popup->Measure(), 0));
    return popup;
}

TEST_F(MenuTest, UpAndDownWrapAroundAndSkipSeparatorsAtBothEndsOfEveryList)
{
    CreateMenuFrame();
    ClickBarItem(0);
    ASSERT_NE(nullptr, Root());
    LogMenuProtocol();
    Walk(Root(), {{VK_UP, kExitItem}}, "File");
    const ExpectedMessage kUp[] = {{WM_MENUSELECT, kSent | kWParam | kLParam, Selected(kExit, MF_HILITE),
                                    static_cast<LPARAM>(Handle(FileMenuOf(menu_)))}};
    EXPECT_TRUE(LogMatches(kUp, "Up from nothing"));
    Walk(Root(),
         {{VK_DOWN, kOpenItem},
          {VK_UP, kExitItem},
          {VK_UP, kCheckedItem},
          {VK_DOWN, kExitItem},
          {VK_DOWN, kOpenItem},
          {VK_DOWN, kRecentItem},
          {VK_UP, kOpenItem},
          {VK_DOWN, kRecentItem},
          {VK_DOWN, kDisabledItem}},
         "File");
    Key(Root(), VK_ESCAPE);

    // Separators at both ends, a disabled item that keys still reach.
    HMENU edged = CreatePopupMenu();
    AppendMenuA(edged, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(edged, MF_STRING, 901, "&A");
    AppendMenuA(edged, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(edged, MF_STRING | MF_GRAYED, 902, "&B");
    AppendMenuA(edged, MF_STRING, 903, "&C");
    AppendMenuA(edged, MF_SEPARATOR, 0, nullptr);
    auto popup = ShowContextPopup(frame_, edged);
    ASSERT_TRUE(popup);
    Walk(popup.get(), {{VK_UP, 4}, {VK_DOWN, 1}, {VK_UP, 4}, {VK_DOWN, 1}, {VK_DOWN, 3}, {VK_DOWN, 4}, {VK_DOWN, 1}},
         "separators at the ends");
    popup->CloseChain();
    DestroyMenu(edged);

    // Taller than the screen: the popup scrolls to keep the hot item in view.
    HMENU tall = CreatePopupMenu();
    const int count = GetSystemMetrics(SM_CYSCREEN) / 10 + 5;
    for (int i = 0; i < count; ++i)
        AppendMenuA(tall, MF_STRING, 1000 + i, ("Item " + std::to_string(i)).c_str());
    popup = ShowContextPopup(frame_, tall);
    ASSERT_TRUE(popup && popup->Scrolls());
    Walk(popup.get(),
         {{VK_UP, count - 1},
          {VK_DOWN, 0},
          {VK_UP, count - 1},
          {VK_UP, count - 2},
          {VK_DOWN, count - 1},
          {VK_DOWN, 0},
          {VK_DOWN, 1},
          {VK_UP, 0}},
         "scrolled");
    popup->CloseChain();
    DestroyMenu(tall);
}

TEST_F(MenuTest, EnterChoosesTheHotItem)
{
    CreateMenuFrame();
    ClickBarItem(1);
    ASSERT_NE(nullptr, Root());
    Key(Root(), VK_DOWN);
    Key(Root(), VK_DOWN);
    LogMenuProtocol();
    Key(Root(), VK_RETURN);
    const ExpectedMessage kEnter[] = {CHOSEN_IN_ROOT(kPaste)};
    EXPECT_TRUE(LogMatches(kEnter, "Enter on Paste"));
}

TEST_F(MenuTest, AltAndAMnemonicInAPopupChooseTheItemAndADoubledAmpersandIsNoMnemonic)
{
    CreateMenuFrame();
    ClickBarItem(0);
    ASSERT_NE(nullptr, Root());
    const auto& items = Root()->Items()->items;
    EXPECT_EQ(0, items[kAmpersandItem].mnemonic) << "A&&B";
    EXPECT_EQ('X', items[kExitItem].mnemonic);
    LogMenuProtocol();
    EXPECT_EQ(0, SendMessageA(Root()->Window(), WM_SKIN_MENUKEY, 'B', 0x20000000)) << "Alt+B is not used";
    EXPECT_EQ(0, SendMessageA(Root()->Window(), WM_SKIN_MENUKEY, 'X', 0)) << "only with Alt";
    PumpFor(30);
    EXPECT_FALSE(MessageLog::Instance().Contains(WM_COMMAND));
    EXPECT_EQ(1, SendMessageA(Root()->Window(), WM_SKIN_MENUKEY, 'X', 0x20000000));
    PumpFor(30);
    const ExpectedMessage kAltX[] = {CHOSEN_IN_ROOT(kExit)};
    EXPECT_TRUE(LogMatches(kAltX, "Alt+X"));
}

TEST_F(MenuTest, F10ThenDownOpensTheFirstDropDownThroughTheKeyboardHook)
{
    CreateMenuFrame();
    ASSERT_EQ(frame_, GetForegroundWindow());
    LogMenuProtocol();
    PressKeys(frame_, {{VK_F10, true}, {VK_F10, false}});
    EXPECT_TRUE(Bar().InKeyboardMode());
    auto hotItems = [this] {
        std::string states;
        for (const MenuBar::Item& item : Bar().Items())
            states += item.state == MenuBar::ItemHot ? 'H' : '.';
        return states;
    };
    EXPECT_EQ("H..", hotItems());
    // Left and Right walk along the bar and wrap at both ends.
    const struct {
        WORD vk;
        const char* hot;
    } kSteps[] = {{VK_LEFT, "..H"}, {VK_RIGHT, "H.."}, {VK_RIGHT, ".H."}, {VK_RIGHT, "..H"}, {VK_RIGHT, "H.."}};
    for (const auto& step : kSteps) {
        PressKeys(frame_, {{step.vk, true}, {step.vk, false}});
        EXPECT_EQ(step.hot, hotItems()) << (step.vk == VK_LEFT ? "Left" : "Right");
    }
    PressKeys(frame_, {{VK_DOWN, true}, {VK_DOWN, false}});
    ASSERT_NE(nullptr, Root());
    const ExpectedMessage kF10Down[] = {
        {WM_INITMENUPOPUP, kSent | kWParam, Handle(FileMenuOf(menu_)), 0},
        {WM_MENUSELECT, kSent | kWParam, Selected(kOpen, MF_HILITE), 0},
    };
    EXPECT_TRUE(LogMatches(kF10Down, "F10, the walk along the bar, Down"));
    EXPECT_EQ(kOpenItem, Root()->HotIndex());
    EXPECT_EQ(0, VisibleSystemMenus());
}

// The hover poll of a bar item the mouse made hot, after the keys of a row
// (0 ends the list): still set, or stopped once the keyboard took the bar.
struct HoverPollCase {
    const char* what;
    WPARAM keys[3];
    bool pollSet;
};

const HoverPollCase kHoverPollCases[] = {
    {"the mouse alone", {0}, true},
    {"F10 chooses the first item", {VK_F10, 0}, false},
    {"F10, then Right", {VK_F10, VK_RIGHT, 0}, false},
    {"F10 twice leaves the bar", {VK_F10, VK_F10, 0}, false},
};

TEST_F(MenuTest, AnItemChosenFromTheKeyboardStopsTheHoverPollOfTheMouse)
{
    for (const HoverPollCase& row : kHoverPollCases) {
        const TimerLog timers;
        CreateMenuFrame();
        const POINT item = BarItemCentre(1);
        SendMessageA(frame_, WM_NCMOUSEMOVE, HTMENU, MAKELPARAM(item.x, item.y));
        ASSERT_EQ(MenuBar::ItemHot, Bar().Items()[1].state) << row.what;
        for (const WPARAM* key = row.keys; *key; ++key)
            SendMessageA(frame_, WM_SKIN_MENUKEY, *key, 0);
        // The poll's timer id is the bar's address as a timer client.
        const auto poll = reinterpret_cast<UINT_PTR>((WindowTimerClient*)&Bar());
        EXPECT_EQ(row.pollSet, timers.IsRunning(frame_, poll, 100)) << row.what;
        DestroyWindow(frame_);
    }
}

TEST_F(MenuTest, AltAloneSelectsTheBarAndAgainLeavesIt)
{
    CreateMenuFrame();
    ASSERT_EQ(frame_, GetForegroundWindow());
    LogMenuProtocol();
    PressKeys(frame_, {{VK_MENU, true}, {VK_MENU, false}});
    EXPECT_TRUE(Bar().InKeyboardMode());
    EXPECT_EQ(MenuBar::ItemHot, Bar().Items()[0].state);
    PressKeys(frame_, {{VK_MENU, true}, {VK_MENU, false}});
    EXPECT_FALSE(Bar().InKeyboardMode());
    EXPECT_EQ(MenuBar::ItemNormal, Bar().Items()[0].state);
    EXPECT_FALSE(MessageLog::Instance().Contains(WM_SYSCOMMAND)) << "the system saw no menu key";
    PressKeys(frame_, {{VK_MENU, true}, {'X', true}, {'X', false}, {VK_MENU, false}});
    EXPECT_FALSE(Bar().InKeyboardMode()) << "Alt with another key is no menu key";
    EXPECT_EQ(0, VisibleSystemMenus());
}

TEST_F(MenuTest, AltAndALetterOpenTheBarItemThroughTheKeyboardHook)
{
    CreateMenuFrame();
    ASSERT_EQ(frame_, GetForegroundWindow());
    LogMenuProtocol();
    PressKeys(frame_, {{VK_MENU, true}, {'E', true}, {'E', false}, {VK_MENU, false}});
    ASSERT_NE(nullptr, Root());
    const ExpectedMessage kAltE[] = {
        {WM_INITMENUPOPUP, kSent | kWParam, Handle(GetSubMenu(menu_, 1)), 0},
        {WM_MENUSELECT, kSent | kWParam, Selected(kCopy, MF_HILITE), 0},
    };
    EXPECT_TRUE(LogMatches(kAltE, "Alt+E"));
    EXPECT_EQ(0, VisibleSystemMenus());
}

TEST_F(MenuTest, TheOwnerKeepsItsActiveCaptionWhileItsMenuIsOpen)
{
    CreateMenuFrame();
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(frame_);
    ASSERT_TRUE(skin->IsActiveWindow());
    ClickBarItem(0);
    ASSERT_NE(nullptr, Root());
    EXPECT_EQ(Root()->Window(), GetActiveWindow()) << "the popup takes the keys";
    EXPECT_TRUE(skin->IsActiveWindow()) << "the frame is still drawn active";
    Key(Root(), VK_ESCAPE);
    EXPECT_TRUE(skin->IsActiveWindow());
}

// Modal menus run their own loop; the tests act from timers inside it.
struct ModalScript {
    void (*act)(HWND popup);
    int ticks = 0;
};
ModalScript g_script;

void CALLBACK RunModalScript(HWND, UINT, UINT_PTR timer, DWORD)
{
    for (HWND window = FindWindowA("VeltramoxPopupMenuWnd", nullptr); window;
         window = FindWindowExA(nullptr, window, "VeltramoxPopupMenuWnd", nullptr)) {
        if (IsWindowVisible(window)) {
            KillTimer(nullptr, timer);
            g_script.act(window);
            return;
        }
    }
    if (++g_script.ticks > 50)
        KillTimer(nullptr, timer);
}

void RunModal(void (*act)(HWND popup))
{
    g_script = {act, 0};
    SetTimer(nullptr, 0, 50, RunModalScript);
}

void DownAndEnter(HWND popup)
{
    PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 1);
}

TEST_F(MenuTest, AContextMenuPostsWmCommandAndTheSystemMenuWmSysCommand)
{
    CreateMenuFrame();
    LogMenuProtocol();
    RunModal(DownAndEnter);
    EXPECT_EQ(0, TrackSkinnedPopupMenu(GetSubMenu(menu_, 1), TPM_LEFTALIGN, 100, 100, frame_, false));
    PumpFor(30);
    const ExpectedMessage kContext[] = {
        {WM_INITMENUPOPUP, kSent | kWParam, Handle(GetSubMenu(menu_, 1)), 0},
        {WM_MENUSELECT, kSent | kWParam, Selected(kCopy, MF_HILITE), 0},
        CHOSEN_IN_ROOT(kCopy),
    };
    EXPECT_TRUE(LogMatches(kContext, "context menu, Down, Enter"));

    MessageLog::Instance().Flush();
    RunModal(DownAndEnter);
    EXPECT_EQ(0, TrackSkinnedPopupMenu(GetSubMenu(menu_, 1), TPM_LEFTALIGN, 100, 100, frame_, true));
    PumpFor(30);
    EXPECT_EQ(1u, MessageLog::Instance().Count(WM_SYSCOMMAND, kPosted));
    EXPECT_FALSE(MessageLog::Instance().Contains(WM_COMMAND));
}

// A popup keeps its owner's top-level window drawn active by subclassing
// it, which must leave a Unicode window Unicode.
HWND g_owner = nullptr;
BOOL g_ownerUnicodeWhileOpen = -1;

void NoteOwnerAndEscape(HWND popup)
{
    g_ownerUnicodeWhileOpen = IsWindowUnicode(g_owner);
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 1);
}

TEST_F(MenuTest, AMenuLeavesItsOwnerInItsCharacterSet)
{
    CreateMenuFrame();
    for (bool unicode : {true, false}) {
        g_owner = unicode ? CreateWindowExW(0, L"Static", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 200, 100,
                                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)
                          : CreateWindowExA(0, "Static", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 200, 100,
                                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(g_owner);
        SetForegroundWindow(g_owner);
        PumpFor(30);
        const BOOL before = IsWindowUnicode(g_owner);
        g_ownerUnicodeWhileOpen = -1;
        RunModal(NoteOwnerAndEscape);
        TrackSkinnedPopupMenu(GetSubMenu(menu_, 1), TPM_LEFTALIGN, 100, 100, g_owner, false);
        PumpFor(30);
        EXPECT_EQ(before, g_ownerUnicodeWhileOpen) << "while open, Unicode " << unicode;
        EXPECT_EQ(before, IsWindowUnicode(g_owner)) << "after, Unicode " << unicode;
    }
}

TEST_F(MenuTest, TheModalLoopGivesBackAQuitItTakes)
{
    CreateMenuFrame();
    RunModal([](HWND) { PostQuitMessage(7); });
    TrackSkinnedPopupMenu(GetSubMenu(menu_, 1), TPM_LEFTALIGN, 100, 100, frame_, false);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is still queued";
    EXPECT_EQ(7u, msg.wParam);
    EXPECT_EQ(0, VisibleSkinnedPopups());
}

struct ShownItem {
    UINT command;
    bool enabled;
    bool separator;
};
std::vector<ShownItem> g_systemItems;

void ReadAndClose(HWND popup)
{
    for (const MenuItem& item : PopupOf(popup)->Items()->items)
        g_systemItems.push_back({item.command, item.IsEnabled(), item.IsSeparator()});
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 1);
}

TEST_F(MenuTest, TheSkinnedSystemMenuEnablesItemsByTheWindowState)
{
    CreateMenuFrame();
    auto enabled = [](UINT command) {
        for (const ShownItem& item : g_systemItems)
            if (item.command == command)
                return item.enabled;
        ADD_FAILURE() << "no item " << command;
        return false;
    };
    // Restore only for a maximised frame; moving, sizing and maximising
    // only for one that is not. Close comes last, after a separator.
    for (const bool maximised : {false, true}) {
        if (maximised) {
            ShowWindow(frame_, SW_MAXIMIZE);
            PumpFor(30);
        }
        g_systemItems.clear();
        RunModal(ReadAndClose);
        TrackSkinnedSystemMenu(frame_);
        ASSERT_FALSE(g_systemItems.empty()) << "maximised " << maximised;
        EXPECT_EQ(maximised, enabled(SC_RESTORE)) << "maximised " << maximised;
        for (const UINT command : {SC_MOVE, SC_SIZE, SC_MAXIMIZE})
            EXPECT_EQ(!maximised, enabled(command))
                << "command 0x" << std::hex << command << ", maximised " << maximised;
        EXPECT_TRUE(g_systemItems[g_systemItems.size() - 2].separator) << "maximised " << maximised;
        EXPECT_EQ(static_cast<UINT>(SC_CLOSE), g_systemItems.back().command) << "maximised " << maximised;
    }
}

TEST_F(MenuTest, AWindowWithoutSystemMenuShowsNone)
{
    HWND window = CreateSkinnedFrame(WS_POPUP | WS_CAPTION, 300, 200);
    RunModal(ReadAndClose);
    EXPECT_EQ(0, TrackSkinnedSystemMenu(window));
    EXPECT_EQ(0, VisibleSkinnedPopups());
}

bool g_sawSkinned;
bool g_sawSystem;

void NoteMenusAndClose(HWND popup)
{
    g_sawSkinned = true;
    g_sawSystem = VisibleSystemMenus() != 0;
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 1);
}

TEST_F(MenuTest, AltSpaceAndTheSystemButtonOpenTheSkinnedSystemMenu)
{
    CreateMenuFrame();
    LogMenuProtocol();
    g_sawSkinned = g_sawSystem = false;
    RunModal(NoteMenusAndClose);
    PressKeys(frame_, {{VK_MENU, true}, {VK_SPACE, true}, {VK_SPACE, false}, {VK_MENU, false}});
    PumpFor(200);
    EXPECT_TRUE(g_sawSkinned) << "Alt+Space";
    EXPECT_FALSE(g_sawSystem);
    EXPECT_EQ(0, VisibleSkinnedPopups());

    g_sawSkinned = g_sawSystem = false;
    RunModal(NoteMenusAndClose);
    RECT window;
    GetWindowRect(frame_, &window);
    // The system-menu button sits at the caption's left end.
    PostMessageA(frame_, WM_NCLBUTTONDOWN, HTSYSMENU, MAKELPARAM(window.left + 20, window.top + 16));
    PumpFor(300);
    EXPECT_TRUE(g_sawSkinned) << "the system-menu button";
    EXPECT_FALSE(g_sawSystem);
    for (const LoggedMessage& logged : MessageLog::Instance().Entries())
        EXPECT_FALSE(logged.message == WM_SYSCOMMAND && (logged.wParam & 0xFFF0) != SC_KEYMENU)
            << "closed with Esc: nothing chosen";
}

TEST_F(MenuTest, PlacementKeepsThePopupOnTheScreen)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    RECT rect = PlacePopup(width - 10, 100, {200, 100}, TPM_LEFTALIGN);
    EXPECT_EQ(width - 2, rect.right) << "the right edge ends 2 pixels inside";
    EXPECT_EQ(200, rect.right - rect.left);
    rect = PlacePopup(100, 50, {200, 100}, TPM_RIGHTALIGN | TPM_BOTTOMALIGN);
    EXPECT_EQ(2, rect.left) << "a negative left becomes 2";
    EXPECT_EQ(2, rect.top);
    rect = PlacePopup(300, 300, {200, 100}, TPM_CENTERALIGN | TPM_VCENTERALIGN);
    const RECT centred = {200, 250, 400, 350};
    EXPECT_TRUE(EqualRect(&centred, &rect));
    rect = PlacePopup(300, height - 50, {200, 100}, 0);
    EXPECT_EQ(height - 2, rect.bottom);
}

}  // namespace
