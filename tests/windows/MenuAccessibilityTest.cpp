// The skinned menus as a screen reader meets them: the events the system
// fires for its own menus, in its order, for the keys a person uses, and
// the accessible objects of the bar and of a popup.
#include "MenuTestSupport.h"

#include "AccessibleProbe.h"
#include "MessageLog.h"

#include <string>
#include <vector>

namespace {

// One event as a reader hears it; the window is told as the frame ('F')
// or a popup ('P'), which may be gone by the time it is compared.
struct HeardEvent {
    DWORD event;
    char window;
    LONG object;
    LONG child;
    bool operator==(const HeardEvent& other) const
    {
        return event == other.event && window == other.window && object == other.object && child == other.child;
    }
};

std::vector<HeardEvent> g_heard;
HWND g_frame = nullptr;

void CALLBACK HearEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    // The system's own focus event of a window that takes the focus: not
    // the menus' business.
    if (event == EVENT_OBJECT_FOCUS && object == OBJID_CLIENT && child == CHILDID_SELF)
        return;
    g_heard.push_back({event, window == g_frame ? 'F' : 'P', object, child});
}

std::string Describe(const std::vector<HeardEvent>& events)
{
    std::string text;
    for (const HeardEvent& e : events)
        text += "{" + std::to_string(e.event) + " " + e.window + " " + std::to_string(e.object) + " " +
                std::to_string(e.child) + "} ";
    return text;
}

// In-context hooks: Wine hands an out-of-context hook no event of a
// window destroyed before the hook ran, and a submenu is destroyed as it
// closes.
class MenuAccessibilityTest : public MenuTest {
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        CoInitialize(nullptr);
        CreateMenuFrame();
        g_frame = frame_;
        hooks_[0] = SetWinEventHook(EVENT_SYSTEM_MENUSTART, EVENT_SYSTEM_MENUPOPUPEND, GetModuleHandleA(nullptr),
                                    HearEvent, GetCurrentProcessId(), 0, WINEVENT_INCONTEXT);
        hooks_[1] = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, GetModuleHandleA(nullptr), HearEvent,
                                    GetCurrentProcessId(), 0, WINEVENT_INCONTEXT);
        ASSERT_TRUE(hooks_[0] && hooks_[1]);
    }

    void TearDown() override
    {
        for (HWINEVENTHOOK hook : hooks_)
            UnhookWinEvent(hook);
        MenuTest::TearDown();
        CoUninitialize();
    }

    HWINEVENTHOOK hooks_[2] = {};
};

const LONG kBar = OBJID_MENU;
const LONG kPopup = OBJID_CLIENT;
const HeardEvent START = {EVENT_SYSTEM_MENUSTART, 'F', kBar, CHILDID_SELF};
const HeardEvent END = {EVENT_SYSTEM_MENUEND, 'F', kBar, CHILDID_SELF};
const HeardEvent POPUP_START = {EVENT_SYSTEM_MENUPOPUPSTART, 'P', kPopup, CHILDID_SELF};
const HeardEvent POPUP_END = {EVENT_SYSTEM_MENUPOPUPEND, 'P', kPopup, CHILDID_SELF};
// The focus moved to an item (0-based) of the bar or of a popup.
HeardEvent BAR_FOCUS(int item)
{
    return {EVENT_OBJECT_FOCUS, 'F', kBar, item + 1};
}
HeardEvent POPUP_FOCUS(int item)
{
    return {EVENT_OBJECT_FOCUS, 'P', kPopup, item + 1};
}

struct KeyWalk {
    const char* name;
    std::vector<WORD> keys;
    std::vector<HeardEvent> heard;
};

const KeyWalk kKeyWalks[] = {
    {"F10 and Escape", {VK_F10, VK_ESCAPE}, {START, BAR_FOCUS(0), END}},
    {"F10, Right, F10", {VK_F10, VK_RIGHT, VK_F10}, {START, BAR_FOCUS(0), BAR_FOCUS(1), END}},
    {"F10, Down, Escape",
     {VK_F10, VK_DOWN, VK_ESCAPE},
     {START, BAR_FOCUS(0), POPUP_START, POPUP_FOCUS(kOpenItem), POPUP_END, END}},
    // Down skips the separator; Enter chooses.
    {"F10, Down, Down, Up, Enter",
     {VK_F10, VK_DOWN, VK_DOWN, VK_UP, VK_RETURN},
     {START, BAR_FOCUS(0), POPUP_START, POPUP_FOCUS(kOpenItem), POPUP_FOCUS(kRecentItem), POPUP_FOCUS(kOpenItem),
      POPUP_END, END}},
    {"F10, Down, Down, Right, Left, Escape",
     {VK_F10, VK_DOWN, VK_DOWN, VK_RIGHT, VK_LEFT, VK_ESCAPE},
     {START, BAR_FOCUS(0), POPUP_START, POPUP_FOCUS(kOpenItem), POPUP_FOCUS(kRecentItem), POPUP_START, POPUP_FOCUS(0),
      POPUP_END, POPUP_FOCUS(kRecentItem), POPUP_END, END}},
};

TEST_F(MenuAccessibilityTest, TheKeysFireTheSystemsMenuEventsInItsOrder)
{
    for (const KeyWalk& walk : kKeyWalks) {
        PumpFor(20);
        g_heard.clear();
        for (WORD key : walk.keys)
            PressKeys(frame_, {{key, true}, {key, false}});
        PumpFor(30);
        EXPECT_TRUE(g_heard == walk.heard)
            << walk.name << "\n  heard:    " << Describe(g_heard) << "\n  expected: " << Describe(walk.heard);
        EXPECT_EQ(nullptr, Root()) << walk.name << ": the menu is closed again";
    }
}

struct ItemFacts {
    long child;
    const wchar_t* name;
    long role;
    long state;  // the state bits compared
    const wchar_t* shortcut;
};

const long kCompared = STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_CHECKED | STATE_SYSTEM_HASPOPUP | STATE_SYSTEM_FOCUSED;

const ItemFacts kFileItems[] = {
    {1, L"Open", ROLE_SYSTEM_MENUITEM, STATE_SYSTEM_FOCUSED, L"Ctrl+O"},
    {2, nullptr, ROLE_SYSTEM_SEPARATOR, STATE_SYSTEM_UNAVAILABLE, nullptr},
    {3, L"Recent", ROLE_SYSTEM_MENUITEM, STATE_SYSTEM_HASPOPUP, nullptr},
    {4, L"Disabled", ROLE_SYSTEM_MENUITEM, STATE_SYSTEM_UNAVAILABLE, nullptr},
    {5, L"A&B", ROLE_SYSTEM_MENUITEM, 0, nullptr},
    {6, L"Checked", ROLE_SYSTEM_MENUITEM, STATE_SYSTEM_CHECKED, nullptr},
    {7, L"Exit", ROLE_SYSTEM_MENUITEM, 0, nullptr},
};

const ItemFacts kBarItems[] = {
    {1, L"File", ROLE_SYSTEM_MENUITEM, STATE_SYSTEM_HASPOPUP | STATE_SYSTEM_FOCUSED, L"Alt+F"},
    {2, L"Edit", ROLE_SYSTEM_MENUITEM, STATE_SYSTEM_HASPOPUP, L"Alt+E"},
    {3, L"Go", ROLE_SYSTEM_MENUITEM, 0, L"Alt+G"},
};

void ExpectItems(IAccessible* menu, long role, const ItemFacts* items, size_t count)
{
    VARIANT value = {};
    ASSERT_EQ(S_OK, menu->get_accRole(ChildId(CHILDID_SELF), &value));
    EXPECT_EQ(role, value.lVal);
    long children = 0;
    menu->get_accChildCount(&children);
    EXPECT_EQ(static_cast<long>(count), children);
    for (const ItemFacts* item = items; item != items + count; ++item) {
        SCOPED_TRACE(item->child);
        BSTR text = nullptr;
        if (item->name) {
            EXPECT_EQ(S_OK, menu->get_accName(ChildId(item->child), &text));
            EXPECT_EQ(item->name, TakeText(text));
        }
        ASSERT_EQ(S_OK, menu->get_accRole(ChildId(item->child), &value));
        EXPECT_EQ(item->role, value.lVal);
        ASSERT_EQ(S_OK, menu->get_accState(ChildId(item->child), &value));
        EXPECT_EQ(item->state, value.lVal & kCompared);
        text = nullptr;
        const HRESULT shortcut = menu->get_accKeyboardShortcut(ChildId(item->child), &text);
        EXPECT_EQ(item->shortcut ? std::wstring(item->shortcut) : std::wstring(), TakeText(text));
        EXPECT_EQ(item->shortcut ? S_OK : S_FALSE, shortcut);
    }
}

TEST_F(MenuAccessibilityTest, ThePopupAndTheBarAreMenusOfTheirItems)
{
    PressKeys(frame_, {{VK_F10, true}, {VK_F10, false}});
    IAccessible* bar = AccessibleOf(frame_, OBJID_MENU);
    ASSERT_TRUE(bar);
    ExpectItems(bar, ROLE_SYSTEM_MENUBAR, kBarItems, std::size(kBarItems));
    PressKeys(frame_, {{VK_DOWN, true}, {VK_DOWN, false}});
    ASSERT_TRUE(Root());
    IAccessible* popup = AccessibleOf(Root()->Window(), OBJID_CLIENT);
    ASSERT_TRUE(popup);
    ExpectItems(popup, ROLE_SYSTEM_MENUPOPUP, kFileItems, std::size(kFileItems));

    // The default action chooses, as Enter would; a disabled item has none.
    LogMenuProtocol();
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, popup->accDoDefaultAction(ChildId(kDisabledItem + 1)));
    EXPECT_EQ(S_OK, popup->accDoDefaultAction(ChildId(kExitItem + 1)));
    PumpFor(30);
    EXPECT_TRUE(MessageLog::Instance().Contains(WM_COMMAND));
    EXPECT_EQ(nullptr, Root());
    long children = -1;
    EXPECT_EQ(S_OK, popup->get_accChildCount(&children));
    EXPECT_EQ(0, children) << "the object outlives its popup without touching it";
    popup->Release();
    bar->Release();
}

}  // namespace
