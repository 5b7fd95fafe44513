// High contrast sets the skin aside: switched through the engine's seam and
// announced as the system announces it, every skinned window becomes the
// system's and, when it goes off, skinned again, with nothing left behind.
#include "WindowTestSupport.h"

#include "core/HighContrast.h"
#include "core/SkinManager.h"
#include "GdiPressure.h"
#include "MessageLog.h"
#include "SkinEngine.h"
#include "windows/SkinnedMenus.h"

namespace {

bool g_highContrast = false;
bool AnswerHighContrast()
{
    return g_highContrast;
}

BOOL CALLBACK SendToTopLevel(HWND window, LPARAM message)
{
    const auto* msg = reinterpret_cast<const MSG*>(message);
    SendMessageA(window, msg->message, msg->wParam, msg->lParam);
    return TRUE;
}

// What the system does after a setting changed: every top-level window of
// the thread hears it.
void Announce(UINT message, WPARAM wParam)
{
    MSG msg = {};
    msg.message = message;
    msg.wParam = wParam;
    EnumThreadWindows(GetCurrentThreadId(), SendToTopLevel, reinterpret_cast<LPARAM>(&msg));
    PumpMessages();
}

HMENU TwoLevelMenu()
{
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 100, "&Check");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&File");
    return bar;
}

class HighContrastTest : public SkinnedWindowTest {
protected:
    void SetUp() override
    {
        g_highContrast = false;
        SetHighContrastQuery(AnswerHighContrast);
        SkinnedWindowTest::SetUp();
    }

    void TearDown() override
    {
        g_highContrast = false;
        Announce(WM_SYSCOLORCHANGE, 0);
        SkinnedWindowTest::TearDown();
        SetHighContrastQuery(nullptr);
    }

    // A frame with a menu bar and a dialog with controls, both skinned.
    void OpenWindows()
    {
        menu_ = TwoLevelMenu();
        frame_ = CreateFrame(WS_OVERLAPPEDWINDOW, 400, 300, menu_);
        SetWindowSkin(frame_, "MainFrame");
        dialog_ = DialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 160, 90, L"Contrast")
                      .Add(L"Button", L"OK", IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 100, 70, 50, 14)
                      .Add(L"Static", L"A text", 1001, WS_CHILD | WS_VISIBLE, 10, 10, 140, 10)
                      .Add(L"Button", L"Check", 1002, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 30, 140, 12)
                      .Create(frame_, PlainDialogProc);
        windows_.push_back(dialog_);
        PumpMessages();
    }

    void Switch(bool on, UINT message = WM_SETTINGCHANGE, WPARAM wParam = SPI_SETHIGHCONTRAST)
    {
        g_highContrast = on;
        Announce(message, wParam);
    }

    HMENU menu_ = nullptr;
    HWND frame_ = nullptr;
    HWND dialog_ = nullptr;
};

struct Announcement {
    const char* name;
    UINT message;
    WPARAM wParam;
    bool followed;
};

const Announcement kAnnouncements[] = {
    {"high contrast changed", WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, true},
    {"system colours changed", WM_SYSCOLORCHANGE, 0, true},
    {"the work area changed", WM_SETTINGCHANGE, SPI_SETWORKAREA, false},
};

TEST_F(HighContrastTest, EveryWindowFollowsTheAnnouncedContrast)
{
    OpenWindows();
    SkinManager& manager = SkinManager::Instance();
    const size_t skinned = manager.WindowCount();
    ASSERT_GE(skinned, 3u);
    for (const Announcement& row : kAnnouncements) {
        SCOPED_TRACE(row.name);
        Switch(true, row.message, row.wParam);
        if (row.followed) {
            EXPECT_EQ(0u, manager.WindowCount());
            EXPECT_EQ(menu_, GetMenu(frame_)) << "the system's menu bar is back";
            EXPECT_EQ(nullptr, GetPropA(dialog_, SkinnedWindow::kObjectProperty));
        } else {
            EXPECT_EQ(skinned, manager.WindowCount());
        }
        Switch(false, row.message, row.wParam);
        EXPECT_EQ(skinned, manager.WindowCount());
        EXPECT_TRUE(manager.FindWindowObject(frame_));
        EXPECT_TRUE(manager.FindWindowObject(GetDlgItem(dialog_, IDOK)));
        EXPECT_EQ(nullptr, GetMenu(frame_)) << "the skin's menu bar took the menu again";
    }
}

// Run inside the menu's own loop: the contrast goes on (wParam 1), then a
// skinned menu still shown is noted and ended.
bool g_menuLeftOpen = false;
LRESULT CALLBACK DuringMenuProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND popup = FindWindowA("VeltramoxPopupMenuWnd", nullptr);
    if (message == WM_APP && wParam) {
        g_highContrast = true;
        Announce(WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST);
    } else if (message == WM_APP && popup && IsWindowVisible(popup)) {
        g_menuLeftOpen = true;
        SendMessageA(popup, WM_CANCELMODE, 0, 0);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The system ends its menus when the look changes under them; a skinned
// context or system menu open then ends too, choosing nothing.
TEST_F(HighContrastTest, AnOpenMenuEndsWhenTheSkinIsSetAside)
{
    OpenWindows();
    HWND helper = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    windows_.push_back(helper);
    SetWindowLongPtrA(helper, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DuringMenuProc));
    for (bool systemMenu : {false, true}) {
        Switch(false);
        g_menuLeftOpen = false;
        PostMessageA(helper, WM_APP, 1, 0);
        PostMessageA(helper, WM_APP, 0, 0);
        TrackSkinnedPopupMenu(GetSubMenu(menu_, 0), TPM_LEFTALIGN, 100, 100, frame_, systemMenu);
        MSG command;
        EXPECT_FALSE(g_menuLeftOpen) << "system menu " << systemMenu;
        EXPECT_FALSE(PeekMessageA(&command, frame_, WM_COMMAND, WM_SYSCOMMAND, PM_REMOVE)) << "nothing chosen";
    }
}

// Windows made while high contrast is on are the system's from the start
// and get the skin they asked for once it goes off; one destroyed
// meanwhile is forgotten.
TEST_F(HighContrastTest, AtStartWithHighContrastNothingIsSkinned)
{
    g_highContrast = true;
    EngineStop();
    ASSERT_TRUE(EngineStart(GetModuleHandleA(nullptr)));
    SetDialogSkinName("Dialog");
    OpenWindows();
    HWND gone = CreateFrame();
    EXPECT_FALSE(SetWindowSkin(gone, "MainFrame"));
    DestroyWindow(gone);
    EXPECT_EQ(0u, SkinManager::Instance().WindowCount());
    EXPECT_EQ(menu_, GetMenu(frame_));

    Switch(false);
    EXPECT_TRUE(SkinManager::Instance().FindWindowObject(frame_));
    EXPECT_TRUE(SkinManager::Instance().FindWindowObject(dialog_));
    EXPECT_TRUE(SkinManager::Instance().FindWindowObject(GetDlgItem(dialog_, 1002)));
    EXPECT_FALSE(SkinManager::Instance().FindWindowObject(gone));
}

// Until a window asks for the skin nothing hears an announcement: the
// first request catches up with the contrast as it is.
TEST_F(HighContrastTest, ContrastSwitchedOnBeforeAnyRequestIsFollowedAtTheFirst)
{
    EngineStop();
    ASSERT_TRUE(EngineStart(GetModuleHandleA(nullptr)));
    SetDialogSkinName("Dialog");
    g_highContrast = true;
    OpenWindows();
    EXPECT_EQ(0u, SkinManager::Instance().WindowCount());
    Switch(false);
    EXPECT_TRUE(SkinManager::Instance().FindWindowObject(frame_));
    EXPECT_TRUE(SkinManager::Instance().FindWindowObject(dialog_));
}

// Handles and window objects: what the windows hold once skinned, and
// nothing more, however often the contrast goes on and off.
TEST_F(HighContrastTest, SwitchingBackAndForthGivesBackEveryObject)
{
    OpenWindows();
    Switch(true);
    Switch(false);
    GdiPressure pressure(2000);
    struct Counts {
        int freeGdi, threadWindows, properties;
        size_t skinned;
        bool operator==(const Counts& o) const
        {
            return freeGdi == o.freeGdi && threadWindows == o.threadWindows && properties == o.properties &&
                   skinned == o.skinned;
        }
    };
    const auto count = [this] {
        PumpMessages();
        return Counts{FreeGdiHandles(), ThreadWindowCount(), PropertyCount(frame_) + PropertyCount(dialog_),
                      SkinManager::Instance().WindowCount()};
    };
    const Counts start = count();
    for (int cycle = 1; cycle <= 20; ++cycle) {
        Switch(true);
        Switch(false);
        const Counts now = count();
        ASSERT_TRUE(now == start) << "cycle " << cycle << ": free GDI " << now.freeGdi << " (" << start.freeGdi
                                  << "), windows " << now.threadWindows << " (" << start.threadWindows
                                  << "), properties " << now.properties << " (" << start.properties << ")";
    }
    EXPECT_TRUE(IsMenu(menu_));
}

}  // namespace
