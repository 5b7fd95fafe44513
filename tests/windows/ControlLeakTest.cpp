// Control skins under GDI handle pressure: thousands of state changes and
// a dialog full of controls made and destroyed hundreds of times (and one
// of scroll bars, painted and pressed, a hundred times) leave no handle,
// window, property or skin object behind.
#include "ControlTestSupport.h"

#include "GdiPressure.h"
#include "MessageLog.h"
#include "core/SkinManager.h"
#include "data/ButtonSkins.h"
#include "data/SkinImage.h"
#include "data/SkinStore.h"
#include "imaging/DeviceCopies.h"

#include <memory>

namespace {

const int kStateChanges = LeakRounds(3000, 10000);
const int kDialogCycles = LeakRounds(300, 1000);
const int kSlack = 8;

DialogTemplate EveryControl()
{
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 220, 150, L"Controls");
    dialog.Add(L"Button", L"Push", 501, BS_DEFPUSHBUTTON | WS_TABSTOP, 5, 5, 50, 14)
        .Add(L"Button", L"Check", 502, BS_AUTO3STATE | WS_TABSTOP, 5, 25, 60, 12)
        .Add(L"Button", L"Radio", 503, BS_AUTORADIOBUTTON | WS_GROUP, 5, 40, 60, 12)
        .Add(L"Button", L"Group", 504, BS_GROUPBOX, 80, 5, 120, 60)
        .Add(L"Static", L"Text", 505, SS_LEFT, 5, 70, 100, 10)
        .Add(L"Static", L"", 506, SS_ICON, 120, 70, 20, 20);
    return dialog;
}

class ControlLeakTest : public ControlTest {
protected:
    // Drawing keeps device copies of the skin's bitmaps, some 250 handles
    // for our skin: the headroom leaves them room beside the 300 a leak
    // would use up within a few hundred changes.
    static void SetUpTestSuite() { pressure_ = new GdiPressure(800); }
    static void TearDownTestSuite()
    {
        delete pressure_;
        pressure_ = nullptr;
    }

    static GdiPressure* pressure_;
};

GdiPressure* ControlLeakTest::pressure_ = nullptr;

}  // namespace

TEST_F(ControlLeakTest, StateChangesKeepNothing)
{
    ASSERT_GT(pressure_->Filled(), 1000);
    HWND dialog = EveryControl().Create(nullptr, PlainDialogProc);
    windows_.push_back(dialog);
    ShowWindow(dialog, SW_SHOW);
    PumpFor(30);
    HWND push = GetDlgItem(dialog, 501);
    HWND check = GetDlgItem(dialog, 502);
    HWND group = GetDlgItem(dialog, 504);
    HWND text = GetDlgItem(dialog, 505);
    // A few handles a first change makes are the system's to keep (cached
    // DCs, the dialog's background surface); leaks grow with the changes.
    auto change = [&](int i) {
        switch (i % 5) {
        case 0: SendMessageA(push, BM_SETSTATE, i & 1, 0); break;
        case 1: SendMessageA(check, BM_CLICK, 0, 0); break;
        case 2: SetWindowTextA(group, (i & 1) ? "Group" : "A longer group caption"); break;
        case 3: SetWindowTextA(text, (i & 1) ? "Text" : "A longer text"); break;
        default: EnableWindow(push, i & 1); break;
        }
    };
    for (int i = 0; i < 10; ++i)
        change(i);
    PumpFor(20);
    const int headroom = HeadroomBesideCopies();
    for (int i = 0; i < kStateChanges; ++i) {
        change(i);
        if (i % 500 == 0)
            PumpMessages();
    }
    SendMessageA(push, BM_SETSTATE, TRUE, 0);
    EnableWindow(push, TRUE);
    PumpFor(20);
    const ButtonSkin& skin = *static_cast<const ButtonSkin*>(DefaultStore().FindObject("Button"));
    const WindowPixels shown = CaptureWindow(push);
    const FrameImageRef& pressed = skin.states[ButtonSkin::StatePressed].image;
    EXPECT_TRUE(ShowsPicture(shown, 0, 0, RenderFrameImage(pressed, shown.width, shown.height, 0), pressed.marginTop))
        << "still drawn after the changes";
    EXPECT_GE(HeadroomBesideCopies(), headroom - kSlack);
}

TEST_F(ControlLeakTest, DialogsOfControlsComeAndGoWithoutATrace)
{
    DialogTemplate dialog = EveryControl();
    DestroyWindow(dialog.Create(nullptr, PlainDialogProc));
    PumpFor(20);
    const size_t skinnedBefore = SkinManager::Instance().WindowCount();
    const int headroom = HeadroomBesideCopies();
    for (int i = 0; i < kDialogCycles; ++i) {
        HWND window = dialog.Create(nullptr, PlainDialogProc);
        ASSERT_NE(nullptr, window) << "cycle " << i;
        // Hidden: painting has its own test above; here the skins are made,
        // bound (fonts, regions, surfaces) and torn down.
        DestroyWindow(window);
        if (i % 100 == 0)
            PumpMessages();
    }
    PumpFor(20);
    EXPECT_EQ(skinnedBefore, SkinManager::Instance().WindowCount());
    EXPECT_GE(HeadroomBesideCopies(), headroom - kSlack);
}

TEST_F(ControlLeakTest, DialogsOfScrollBarsComeAndGoWithoutATrace)
{
    const int kCycles = LeakRounds(100, 300);
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 160, 100, L"Scroll bars");
    dialog.Add(L"ScrollBar", L"", 601, SBS_HORZ, 5, 5, 120, 10)
        .Add(L"ScrollBar", L"", 602, SBS_VERT, 135, 5, 10, 80)
        .Add(L"ScrollBar", L"", 603, SBS_SIZEGRIP, 145, 85, 10, 10);
    // Shown, hovered and pressed: each cycle paints both orientations
    // through their surfaces and runs the repeat timer.
    auto cycle = [&dialog]() {
        HWND window = dialog.Create(nullptr, PlainDialogProc);
        if (!window)
            return false;
        ShowWindow(window, SW_SHOWNA);
        PumpMessages();
        for (int id : {601, 602}) {
            HWND bar = GetDlgItem(window, id);
            SendMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
            SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
            UpdateWindow(bar);
        }
        DestroyWindow(window);
        return true;
    };
    cycle();
    PumpFor(20);
    const size_t skinnedBefore = SkinManager::Instance().WindowCount();
    const int windowsBefore = ThreadWindowCount();
    const int headroom = HeadroomBesideCopies();
    for (int i = 0; i < kCycles; ++i)
        ASSERT_TRUE(cycle()) << "cycle " << i;
    PumpFor(20);
    EXPECT_EQ(skinnedBefore, SkinManager::Instance().WindowCount());
    EXPECT_EQ(windowsBefore, ThreadWindowCount());
    EXPECT_GE(HeadroomBesideCopies(), headroom - kSlack);
}
