// Menus opened and closed hundreds of times leave no GDI handle, window, timer
// or window property behind, even with the GDI handle table nearly full.
#include "MenuTestSupport.h"

#include "GdiPressure.h"
#include "MessageLog.h"
#include "windows/SkinnedMenus.h"

namespace {

const int kCycles = LeakRounds(300, 1000);

void CALLBACK EscapeFromActivePopup(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    PostMessageA(GetActiveWindow(), WM_KEYDOWN, VK_ESCAPE, 1);
}

class MenuLeakTest : public MenuTest {};

TEST_F(MenuLeakTest, TwoLevelMenusOpenedOverAndOverLeaveNothingBehind)
{
    CreateMenuFrame();
    const int windows = CountThreadWindows();
    const int properties = CountProperties(frame_);
    const LONG_PTR procedure = GetWindowLongPtrA(frame_, GWLP_WNDPROC);
    GdiPressure pressure(300);
    const POINT file = BarItemCentre(0);
    RECT frame;
    GetWindowRect(frame_, &frame);
    for (int i = 0; i < kCycles; ++i) {
        Bar().OnLButtonDown(file.x - frame.left, file.y - frame.top);
        PopupMenuWindow* root = Root();
        ASSERT_NE(nullptr, root) << "cycle " << i;
        SendMessageA(root->Window(), WM_KEYDOWN, VK_DOWN, 1);
        SendMessageA(root->Window(), WM_KEYDOWN, VK_DOWN, 1);
        SendMessageA(root->Window(), WM_KEYDOWN, VK_RIGHT, 1);
        ASSERT_NE(nullptr, root->Child()) << "cycle " << i;
        UpdateWindow(root->Child()->Window());
        Bar().OnLButtonDown(file.x - frame.left, file.y - frame.top);
        ASSERT_EQ(nullptr, Root());
        if (i % 50 == 0)
            PumpMessages();
    }
    PumpFor(50);
    // Still working at the end, under the same pressure.
    ClickBarItem(0);
    ASSERT_NE(nullptr, Root());
    Key(Root(), VK_ESCAPE);
    EXPECT_EQ(windows, CountThreadWindows());
    EXPECT_EQ(properties, CountProperties(frame_));
    EXPECT_EQ(procedure, GetWindowLongPtrA(frame_, GWLP_WNDPROC)) << "the owner's procedure is back";
    EXPECT_FALSE(TimerPending(frame_));
}

TEST_F(MenuLeakTest, SystemMenusOpenedOverAndOverLeaveNothingBehind)
{
    CreateMenuFrame();
    const int windows = CountThreadWindows();
    const int properties = CountProperties(frame_);
    GdiPressure pressure(300);
    for (int i = 0; i < kCycles; ++i) {
        // Set before the loop starts: the popup is the active window by
        // the time it fires.
        SetTimer(nullptr, 0, USER_TIMER_MINIMUM, EscapeFromActivePopup);
        TrackSkinnedSystemMenu(frame_);
        ASSERT_EQ(0, VisibleSkinnedPopups()) << "cycle " << i;
    }
    PumpFor(50);
    EXPECT_EQ(windows, CountThreadWindows());
    EXPECT_EQ(properties, CountProperties(frame_));
    EXPECT_FALSE(TimerPending(frame_));
}

}  // namespace
