// The program's menus as the skin shows them: "再檢查" chosen from the
// skinned drop-down re-runs the checks, and the Alt accelerators still
// reach the program through the engine's keyboard hook.
#include "MainWindow.h"
#include "Resource.h"

#include "SimEnvironment.h"
#include "SkinEngine.h"
#include "controls/NcScroll.h"
#include "core/SkinManager.h"
#include "windows/SkinnedFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

const WCHAR kAboutCaption[] = L"\x95DC\x65BC\x672C\x7A0B\x5F0F";  // 關於本程式

// Failed smart-card calls during a re-check are collected, not shown.
void IgnoreFailedCall(const char*) {}

void RunLoopFor(DWORD milliseconds)
{
    HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ProcessLoopMessage(msg, accelerators);
        Sleep(5);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

class SkinnedMainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(EngineStart(instance));
        ASSERT_TRUE(LoadSkinFromResource(instance, "SKINRES", "VELTRAMOX"));
        SetDialogSkinName("Dialog");
        LoadAppStrings(instance);
        SetProbeErrorHandler(IgnoreFailedCall);
        RegisterMainWindowClass(instance);
        ASSERT_TRUE(CreateMainWindow(instance, SW_SHOWNORMAL));
        window_ = MainWindow();
        SetForegroundWindow(window_);
        RunLoopFor(50);
    }

    void TearDown() override
    {
        if (IsWindow(window_))
            DestroyWindow(window_);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ;  // drops the WM_QUIT the destruction posted
        EngineStop();
    }

    MenuBar& Bar()
    {
        return static_cast<SkinnedFrame*>(SkinManager::Instance().FindWindowObject(window_))->Bar();
    }

    HWND window_ = nullptr;
};

TEST_F(SkinnedMainWindowTest, RecheckChosenFromTheSkinnedMenuRerunsTheChecks)
{
    ASSERT_EQ(nullptr, GetMenu(window_)) << "the menu lives in the skinned bar";
    ASSERT_GE(Bar().Items().size(), 2u);
    strcpy(g_report, "stale");
    const RECT item = Bar().ItemRect(0);
    RECT frame;
    GetWindowRect(window_, &frame);
    PostMessageA(window_, WM_NCLBUTTONDOWN, HTMENU,
                 MAKELPARAM(frame.left + (item.left + item.right) / 2, frame.top + (item.top + item.bottom) / 2));
    RunLoopFor(50);
    ASSERT_NE(nullptr, Bar().OpenPopup());
    HWND popup = Bar().OpenPopup()->Window();
    PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 1);
    RunLoopFor(100);
    EXPECT_EQ(0, strncmp(g_report, "\n   Tavren ", 11)) << "the report was built again";
    EXPECT_EQ(nullptr, Bar().OpenPopup());
    EXPECT_TRUE(IsWindow(window_));
}

int g_aboutBoxes;

void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (HWND dialog = FindWindowW(L"#32770", kAboutCaption)) {
        KillTimer(nullptr, timer);
        ++g_aboutBoxes;
        EndDialog(dialog, IDOK);
    }
}

TEST_F(SkinnedMainWindowTest, AltQuestionMarkStillOpensTheAboutBox)
{
    RECT frame;
    GetWindowRect(window_, &frame);
    SetCursorPos(frame.right - 30, frame.bottom - 30);  // X sends keys to the window under the pointer
    RunLoopFor(30);
    g_aboutBoxes = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseAboutBox);
    INPUT keys[6] = {};
    const WORD sequence[6] = {VK_MENU, VK_SHIFT, VK_OEM_2, VK_OEM_2, VK_SHIFT, VK_MENU};
    for (int i = 0; i < 6; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = sequence[i];
        keys[i].ki.dwFlags = i < 3 ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(6, keys, sizeof(INPUT));
    RunLoopFor(500);
    KillTimer(nullptr, timer);
    EXPECT_EQ(1, g_aboutBoxes) << "Alt+? opened the about box once";
    EXPECT_EQ(nullptr, Bar().OpenPopup()) << "and no menu";
}

// Sixteen readers, every other one holding a card: a report taller than
// the window.
std::string SixteenReaders()
{
    std::string scenario;
    for (int i = 0; i < 16; ++i) {
        scenario += "[reader]\nname = Reader " + std::to_string(i) + "\n";
        scenario += i % 2 ? "card = inserted\natr = 3B 6A 00 00 53 49 4D 43 41 52 44 30 30 30\nprotocol = T=0\n"
                          : "card = none\n";
    }
    return scenario;
}

class ScrolledReportTest : public SkinnedMainWindowTest {
protected:
    void TearDown() override
    {
        SkinnedMainWindowTest::TearDown();
        SimReset(nullptr);
    }
    void Recheck(const std::string& scenario)
    {
        std::string error;
        ASSERT_TRUE(SimApplyScenarioText(scenario, &error)) << error;
        SendMessageA(window_, WM_COMMAND, IDM_RECHECK, 0);
        RunLoopFor(30);
    }
    int Position() const { return GetScrollPos(window_, SB_VERT); }
    SCROLLINFO Info() const
    {
        SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(window_, SB_VERT, &info);
        return info;
    }
    int LastPosition() const { return Info().nMax - static_cast<int>(Info().nPage) + 1; }
    void Post(UINT message, WPARAM wParam)
    {
        PostMessageA(window_, message, wParam, 0);
        RunLoopFor(20);
    }
};

TEST_F(ScrolledReportTest, ATallReportScrollsByKeysAndWheelOnTheSkinsBar)
{
    Recheck(SixteenReaders());
    const std::string report = g_report;
    ASSERT_TRUE(GetWindowLongPtrA(window_, GWL_STYLE) & WS_VSCROLL) << "the report is taller than the window";
    EXPECT_TRUE(NcScroll_ServesWindow(window_)) << "the bar is the skin's";

    const int page = static_cast<int>(Info().nPage);
    const int last = LastPosition();
    ASSERT_GT(last, 3 * 16) << "more than a few lines to scroll";
    HDC dc = GetDC(window_);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(window_, dc);
    const int line = metrics.tmHeight;

    // Each step moves from where the one before left the report, held
    // between the top and the last position.
    const int kTop = -1000000, kEnd = 1000000;
    struct Step {
        const char* what;
        UINT message;
        WPARAM wParam;
        int by;
    };
    const Step steps[] = {
        {"Down", WM_KEYDOWN, VK_DOWN, line},
        {"Down again", WM_KEYDOWN, VK_DOWN, line},
        {"Up", WM_KEYDOWN, VK_UP, -line},
        {"Page Down", WM_KEYDOWN, VK_NEXT, page},
        {"Down at the end", WM_KEYDOWN, VK_DOWN, line},
        {"Page Up", WM_KEYDOWN, VK_PRIOR, -page},
        {"Up at the top", WM_KEYDOWN, VK_UP, -line},
        {"wheel towards the user", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 3 * line},
        {"End", WM_KEYDOWN, VK_END, kEnd},
        {"wheel away from the user", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), -3 * line},
        {"Home", WM_KEYDOWN, VK_HOME, kTop},
        {"the bar's line down", WM_VSCROLL, SB_LINEDOWN, line},
        {"the bar's page down", WM_VSCROLL, SB_PAGEDOWN, page},
        {"the bar's line up", WM_VSCROLL, SB_LINEUP, -line},
    };
    int expected = 0;
    for (const Step& step : steps) {
        Post(step.message, step.wParam);
        expected = std::max(0, std::min(last, expected + step.by));
        EXPECT_EQ(Position(), expected) << step.what;
    }
    EXPECT_EQ(report, g_report) << "scrolling leaves the report as it was";

    // A re-check keeps the place while the report is still as long.
    Recheck(SixteenReaders());
    EXPECT_EQ(Position(), expected);
}

TEST_F(ScrolledReportTest, AReportThatFitsHasNoBar)
{
    Recheck(SixteenReaders());
    Post(WM_KEYDOWN, VK_END);
    Recheck("[reader]\nname = Reader 0\ncard = none\n");
    EXPECT_FALSE(GetWindowLongPtrA(window_, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(Position(), 0) << "a place beyond the new report is not kept";
    RECT client, frame;
    GetClientRect(window_, &client);
    GetWindowRect(window_, &frame);
    EXPECT_GT(client.right, frame.right - frame.left - 30) << "no room is kept for a bar";
}

}  // namespace
