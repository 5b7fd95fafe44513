// The program's menus as the skin shows them: "再檢查" chosen from the
// skinned drop-down re-runs the checks, and the Alt accelerators still
// reach the program through the engine's keyboard hook.
#include "MainWindow.h"
#include "Resource.h"

#include "SkinEngine.h"
#include "core/SkinManager.h"
#include "windows/SkinnedFrame.h"

#include <gtest/gtest.h>

#include <cstring>

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

}  // namespace
