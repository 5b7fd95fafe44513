// The engine's start and stop, its call-window-procedure hook that skins
// every window the thread creates, and its keyboard hook that routes menu
// keys.
#include "WindowTestSupport.h"

#include "MessageLog.h"
#include "SkinEngine.h"
#include "core/SkinManager.h"
#include "core/SkinnedWindow.h"
#include "data/SkinObject.h"

#include <commctrl.h>

#include <thread>
#include <utility>
#include <vector>

namespace {

const char kPanelClass[] = "SsoTestPanel";
const WORD kGoCommand = 501;

std::vector<std::pair<HWND, bool>> g_boundAtCreate;

// A module-local "Button" class: dialogs of this module create their
// buttons from it, so the test sees what a button's own procedure sees.
LRESULT CALLBACK ProbeButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        g_boundAtCreate.emplace_back(window, GetPropA(window, SkinnedWindow::kObjectProperty) != nullptr);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A "Button" class under another module's handle, where it meets neither
// the system's class nor one an earlier test left registered; its buttons
// make a sibling button while their own creation is still under way.
HINSTANCE NestingInstance()
{
    return GetModuleHandleA("kernel32.dll");
}

HWND NestingButton(HWND parent)
{
    return CreateWindowExA(0, "Button", "", WS_CHILD, 0, 0, 10, 10, parent, nullptr, NestingInstance(), nullptr);
}

LRESULT CALLBACK NestingButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static bool nesting = false;
    if (message == WM_NCCREATE && !nesting) {
        nesting = true;
        NestingButton(GetParent(window));
        nesting = false;
    }
    return ProbeButtonProc(window, message, wParam, lParam);
}

class LocalClass {
public:
    LocalClass(const char* name, WNDPROC procedure) : name_(name)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = name;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        RegisterClassA(&windowClass);
    }
    ~LocalClass() { UnregisterClassA(name_, GetModuleHandleA(nullptr)); }

private:
    const char* name_;
};

// Puts a button inside the dialog's panel: a grandchild of the dialog.
INT_PTR CALLBACK PanelDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CreateWindowExA(0, "Button", "inner", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 4, 4, 60, 20,
                    GetDlgItem(dialog, 3), reinterpret_cast<HMENU>(31), GetModuleHandleA(nullptr), nullptr);
    return TRUE;
}

class EngineTest : public SkinnedWindowTest {
protected:
    void SetUp() override
    {
        SkinnedWindowTest::SetUp();
        UseProbeControlSkins();
        g_boundAtCreate.clear();
    }

    HWND CreateDialogWithPanel(HWND owner)
    {
        DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 200, 100, L"Probe");
        dialog.Add(L"Button", L"OK", 1, BS_DEFPUSHBUTTON, 10, 70, 50, 14)
            .Add(L"Static", L"text", 2, SS_LEFT, 10, 10, 80, 10)
            .Add(L"SsoTestPanel", L"", 3, 0, 100, 10, 90, 50);
        HWND window = dialog.Create(owner, PanelDialogProc);
        windows_.push_back(window);
        return window;
    }

    HWND Child(HWND parent, const char* className, DWORD style = 0)
    {
        return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 80, 24, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }

    SkinManager& manager_ = SkinManager::Instance();
};

TEST_F(EngineTest, DialogAndEveryControlAreSkinnedBeforeTheirOwnCreate)
{
    LocalClass probe("Button", ProbeButtonProc);
    LocalClass panel(kPanelClass, DefWindowProcA);
    HWND dialog = CreateDialogWithPanel(nullptr);
    ASSERT_NE(nullptr, dialog);

    SkinnedWindow* skin = manager_.FindWindowObject(dialog);
    ASSERT_NE(nullptr, skin);
    EXPECT_STREQ("Dialog", skin->GetSkinObject()->Name());
    ASSERT_EQ(2u, g_boundAtCreate.size());  // the OK button and the panel's button
    for (const auto& created : g_boundAtCreate)
        EXPECT_TRUE(created.second) << "a button met WM_CREATE unskinned";

    HWND grandchild = GetWindow(GetDlgItem(dialog, 3), GW_CHILD);
    EXPECT_NE(nullptr, manager_.FindWindowObject(GetDlgItem(dialog, 1)));
    EXPECT_NE(nullptr, manager_.FindWindowObject(GetDlgItem(dialog, 2)));
    EXPECT_EQ(nullptr, manager_.FindWindowObject(GetDlgItem(dialog, 3))) << "a class the engine does not know";
    EXPECT_NE(nullptr, manager_.FindWindowObject(grandchild));
    EXPECT_EQ(1u, skin->Children().count(grandchild)) << "the dialog skinned its grandchild";
}

TEST_F(EngineTest, AWindowMadeDuringAnotherWindowsCreationLeavesBothSkinnedBeforeTheirCreate)
{
    WNDCLASSA nestingClass = {};
    nestingClass.lpfnWndProc = NestingButtonProc;
    nestingClass.hInstance = NestingInstance();
    nestingClass.lpszClassName = "Button";
    ASSERT_NE(0, RegisterClassA(&nestingClass));
    HWND frame = CreateSkinnedFrame();
    NestingButton(frame);
    NestingButton(frame);
    DestroyWindow(frame);
    UnregisterClassA("Button", NestingInstance());
    ASSERT_EQ(4u, g_boundAtCreate.size());  // each button and the one it made
    for (const auto& created : g_boundAtCreate)
        EXPECT_TRUE(created.second) << "a button met WM_CREATE unskinned";
}

TEST_F(EngineTest, AttachingToAnExistingDialogSkinsItsControlsAndGrandchildren)
{
    LocalClass panel(kPanelClass, DefWindowProcA);
    ClearDialogSkinName();
    HWND dialog = CreateDialogWithPanel(nullptr);
    HWND grandchild = GetWindow(GetDlgItem(dialog, 3), GW_CHILD);
    ASSERT_EQ(nullptr, manager_.FindWindowObject(dialog));
    ASSERT_EQ(nullptr, manager_.FindWindowObject(grandchild));

    ASSERT_TRUE(manager_.SkinDialog(dialog, "Dialog"));
    SkinnedWindow* skin = manager_.FindWindowObject(dialog);
    for (HWND control : {GetDlgItem(dialog, 1), GetDlgItem(dialog, 2), grandchild}) {
        EXPECT_NE(nullptr, manager_.FindWindowObject(control));
        EXPECT_EQ(1u, skin->Children().count(control));
    }
    EXPECT_FALSE(manager_.SkinDialog(dialog, "Dialog")) << "a window is skinned once";
}

TEST_F(EngineTest, DialogWithoutDialogSkinNameIsLeftToItsOwner)
{
    ClearDialogSkinName();
    HWND frame = CreateSkinnedFrame();
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 100, 50, L"Owned");
    HWND owned = dialog.Create(frame, PlainDialogProc);
    windows_.push_back(owned);
    EXPECT_EQ(nullptr, manager_.FindWindowObject(owned));
}

TEST_F(EngineTest, StartingTwiceInstallsOneHookPairAndStoppingOnceRemovesIt)
{
    ASSERT_TRUE(EngineStart(GetModuleHandleA(nullptr)));
    HWND frame = CreateSkinnedFrame();
    Child(frame, "Button");
    EXPECT_EQ(1, ProbeControlSkin::created) << "one hook: one skin per window";

    EngineStop();
    HWND unskinned = Child(frame, "Button");
    EXPECT_EQ(1, ProbeControlSkin::created);
    EXPECT_EQ(nullptr, manager_.FindWindowObject(unskinned));
}

TEST_F(EngineTest, ProcessStateLastsUntilTheLastThreadStops)
{
    HANDLE started = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE mainStopped = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    bool skinnedWhileOtherThreadRuns = false;
    std::thread other([&] {
        EngineStart(GetModuleHandleA(nullptr));
        SetEvent(started);
        WaitForSingleObject(mainStopped, 10000);
        DialogTemplate dialog(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 100, 50, L"Other thread");
        HWND window = dialog.Create(nullptr, PlainDialogProc);
        skinnedWhileOtherThreadRuns = SkinManager::Instance().FindWindowObject(window) != nullptr;
        DestroyWindow(window);
        EngineStop();
    });
    WaitForSingleObject(started, 10000);
    EngineStop();
    SetEvent(mainStopped);
    other.join();
    CloseHandle(started);
    CloseHandle(mainStopped);
    EXPECT_TRUE(skinnedWhileOtherThreadRuns) << "the dialog skin name outlives one thread's stop";

    ASSERT_TRUE(EngineStart(GetModuleHandleA(nullptr)));
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 100, 50, L"After the last stop");
    HWND window = dialog.Create(nullptr, PlainDialogProc);
    windows_.push_back(window);
    EXPECT_EQ(nullptr, manager_.FindWindowObject(window)) << "the last stop empties the dialog skin name";
}

TEST_F(EngineTest, ToolbarsAreSkinnedOnTheirOwnOnlyOutsideBars)
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&classes);
    LocalClass panel(kPanelClass, DefWindowProcA);
    HWND frame = CreateFrame();
    HWND panelWindow = Child(frame, kPanelClass);
    HWND rebar = Child(panelWindow, REBARCLASSNAMEA);

    HWND inPanel = Child(panelWindow, TOOLBARCLASSNAMEA, CCS_NOPARENTALIGN | CCS_NORESIZE);
    HWND inTopLevel = Child(frame, TOOLBARCLASSNAMEA, CCS_NOPARENTALIGN | CCS_NORESIZE);
    HWND inRebar = Child(rebar, TOOLBARCLASSNAMEA, CCS_NOPARENTALIGN | CCS_NORESIZE);

    EXPECT_NE(nullptr, manager_.FindWindowObject(inPanel));
    EXPECT_EQ(nullptr, manager_.FindWindowObject(inTopLevel));
    EXPECT_EQ(nullptr, manager_.FindWindowObject(inRebar));
}

class MenuKeyTest : public EngineTest {
protected:
    HWND CreateFrameWithMenu()
    {
        HMENU menu = CreateMenu();
        AppendMenuA(menu, MF_STRING, kGoCommand, "&Go");
        HWND frame = CreateSkinnedFrame(WS_OVERLAPPEDWINDOW, 400, 300, menu);
        SetForegroundWindow(frame);
        SetFocus(frame);
        PumpFor(100);
        MessageLog::Instance().Subclass(frame);
        MessageLog::Instance().RestrictTo({WM_SYSKEYDOWN, WM_KEYDOWN, WM_SYSCHAR, WM_COMMAND, WM_SYSCOMMAND});
        MessageLog::Instance().Flush();
        return frame;
    }

    void TearDown() override
    {
        MessageLog::Instance().RestrictTo({});
        EngineTest::TearDown();
    }
};

// A key message as the window receives it: out of the queue, then sent.
std::vector<ExpectedMessage> Received(std::initializer_list<std::pair<UINT, WPARAM>> messages)
{
    std::vector<ExpectedMessage> expected;
    for (const auto& message : messages) {
        expected.push_back({message.first, kPosted | kWParam, message.second, 0});
        expected.push_back({message.first, kSent | kWParam, message.second, 0});
    }
    return expected;
}

TEST_F(MenuKeyTest, WhatTheKeyboardHookPassesOnOrSwallowsDownAndUp)
{
    std::vector<ExpectedMessage> altQ = Received({{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, 'Q'}, {WM_SYSCHAR, 'q'}});
    altQ.push_back({WM_SYSCOMMAND, kSent | kWParam, SC_KEYMENU, 0});
    for (const ExpectedMessage& up : Received({{WM_SYSKEYUP, 'Q'}}))
        altQ.push_back(up);
    // In order: each row starts where the one before it left the bar.
    const struct {
        const char* what;
        std::initializer_list<std::pair<WORD, bool>> keys;
        std::vector<ExpectedMessage> expected;
    } kRows[] = {
        {"Alt+G chooses the bar's Go item; only the Alt press is seen",
         {{VK_MENU, true}, {'G', true}, {'G', false}, {VK_MENU, false}},
         Received({{WM_SYSKEYDOWN, VK_MENU}, {WM_COMMAND, kGoCommand}})},
        {"Alt+Q names no item and goes on to the system, its release too",
         {{VK_MENU, true}, {'Q', true}, {'Q', false}, {VK_MENU, false}},
         altQ},
        {"a plain letter passes",
         {{'Q', true}, {'Q', false}},
         Received({{WM_KEYDOWN, 'Q'}, {WM_CHAR, 'q'}, {WM_KEYUP, 'Q'}})},
        {"an arrow passes while the bar is not selected",
         {{VK_LEFT, true}, {VK_LEFT, false}},
         Received({{WM_KEYDOWN, VK_LEFT}, {WM_KEYUP, VK_LEFT}})},
        {"F10 selects the bar, swallowed down and up", {{VK_F10, true}, {VK_F10, false}}, {}},
        {"an arrow moves along the selected bar, swallowed down and up", {{VK_LEFT, true}, {VK_LEFT, false}}, {}},
        {"Escape leaves the bar, swallowed down and up", {{VK_ESCAPE, true}, {VK_ESCAPE, false}}, {}},
        {"Escape outside the bar passes",
         {{VK_ESCAPE, true}, {VK_ESCAPE, false}},
         Received({{WM_KEYDOWN, VK_ESCAPE}, {WM_CHAR, VK_ESCAPE}, {WM_KEYUP, VK_ESCAPE}})},
        {"Alt alone selects the bar; its release is swallowed",
         {{VK_MENU, true}, {VK_MENU, false}},
         Received({{WM_SYSKEYDOWN, VK_MENU}})},
        {"Alt again leaves the bar", {{VK_MENU, true}, {VK_MENU, false}}, Received({{WM_SYSKEYDOWN, VK_MENU}})},
        {"an arrow passes again",
         {{VK_RIGHT, true}, {VK_RIGHT, false}},
         Received({{WM_KEYDOWN, VK_RIGHT}, {WM_KEYUP, VK_RIGHT}})},
    };
    HWND frame = CreateFrameWithMenu();
    ASSERT_EQ(frame, GetForegroundWindow());
    MessageLog::Instance().RestrictTo(
        {WM_SYSKEYDOWN, WM_KEYDOWN, WM_SYSKEYUP, WM_KEYUP, WM_SYSCHAR, WM_CHAR, WM_COMMAND, WM_SYSCOMMAND});
    for (const auto& row : kRows) {
        MessageLog::Instance().Flush();
        SendKeys(row.keys);
        PumpFor(20);
        EXPECT_TRUE(MessageLog::Instance().Matches(row.expected.data(), row.expected.size(), row.what));
    }
    HWND systemMenu = FindWindowA("#32768", nullptr);
    EXPECT_FALSE(systemMenu && IsWindowVisible(systemMenu)) << "no menu of the system's opened";
}

}  // namespace
