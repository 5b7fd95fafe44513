// Tabs, progress bars, trackbars and up-down buttons under GDI handle
// pressure: skins switched under them, dialogs of them made and destroyed,
// and a progress bar stepped for long, leave no handle or skin object
// behind; the progress bar's state survives every switch.
#include "ControlTestSupport.h"

#include "core/SkinManager.h"
#include "data/SkinStore.h"
#include "GdiPressure.h"
#include "MessageLog.h"
#include "SkinEngine.h"

#include <commctrl.h>

#include <cstdio>

namespace {

// Under Wine a switch takes about 40 ms on a quiet machine (145 ms under
// load: the dialog's eight controls let go and taken again, all
// repainted), a dialog cycle about 60 ms.
const int kSkinSwitches = LeakRounds(300, 1000);
const int kDialogCycles = LeakRounds(300, 1000);
const int kSteps = 10000;
const int kSlack = 8;
const int kHeadroom = 800;

const int kTabId = 701;
const int kProgressId = 703;

DialogTemplate EveryFamily()
{
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 240, 160, L"Families");
    dialog.Add(WC_TABCONTROLW, L"", kTabId, WS_CLIPSIBLINGS, 5, 5, 120, 80)
        .Add(L"Static", L"On the page", 702, SS_LEFT, 15, 30, 80, 10)
        .Add(PROGRESS_CLASSW, L"", kProgressId, WS_BORDER, 135, 5, 90, 10)
        .Add(PROGRESS_CLASSW, L"", 704, PBS_VERTICAL, 135, 20, 10, 60)
        .Add(TRACKBAR_CLASSW, L"", 705, TBS_HORZ, 5, 95, 100, 20)
        .Add(TRACKBAR_CLASSW, L"", 706, TBS_VERT, 150, 20, 20, 60)
        .Add(UPDOWN_CLASSW, L"", 707, 0, 180, 20, 10, 20)
        .Add(UPDOWN_CLASSW, L"", 708, UDS_HORZ, 180, 50, 20, 10);
    return dialog;
}

void AddTabs(HWND dialog)
{
    for (const char* name : {"One", "Two", "Three"}) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(name);
        SendDlgItemMessageA(dialog, kTabId, TCM_INSERTITEMA, 99, reinterpret_cast<LPARAM>(&item));
    }
}

class FamilyLeakTest : public ControlTest {
protected:
    HWND ShownDialog()
    {
        HWND dialog = EveryFamily().Create(nullptr, PlainDialogProc);
        windows_.push_back(dialog);
        AddTabs(dialog);
        ShowWindow(dialog, SW_SHOW);
        PumpFor(30);
        return dialog;
    }
};

}  // namespace

TEST_F(FamilyLeakTest, SkinSwitchesUnderTheFamiliesKeepNothing)
{
    // The variant lacks the four families' objects: every switch lets
    // their controls go and takes them again.
    std::string variant = DefaultSkinSource();
    for (const auto& object : {std::make_pair("TabSkin", "Tab"), std::make_pair("ProgressSkin", "ProgressBar"),
                               std::make_pair("TrackBarSkin", "Slider"), std::make_pair("SpinSkin", "Spin")})
        variant = WithoutObject(variant, object.first, object.second);
    const std::vector<BYTE> without = CompileSkin(variant);
    const std::vector<BYTE> with = DefaultSkinBytes();
    ASSERT_FALSE(without.empty());
    HWND dialog = ShownDialog();
    HWND bar = GetDlgItem(dialog, kProgressId);
    SendMessageA(bar, PBM_SETRANGE32, 5, 500);
    SendMessageA(bar, PBM_SETPOS, 123, 0);
    SendMessageA(bar, PBM_SETSTEP, 3, 0);
    auto load = [](const std::vector<BYTE>& skin) {
        return LoadSkinFromMemory(skin.data(), static_cast<DWORD>(skin.size())) != FALSE;
    };
    // Warm-up: what the first switches make (the system's caches, the
    // kept drawing surfaces) stays; leaks grow with the switches.
    for (int change = 0; change < 4; ++change) {
        ASSERT_TRUE(load(change % 2 ? with : without));
        PumpMessages();
    }
    PumpFor(20);
    GdiPressure pressure(kHeadroom * 4);
    const size_t skinned = SkinManager::Instance().WindowCount();
    const int headroom = HeadroomBesideCopies();
    const DWORD start = GetTickCount();
    for (int change = 1; change <= kSkinSwitches; ++change) {
        ASSERT_TRUE(load(change % 2 ? without : with)) << "switch " << change;
        // The progress skin reads the control's state from a posted message.
        PumpMessages();
        ASSERT_EQ(123, SendMessageA(bar, PBM_GETPOS, 0, 0)) << "switch " << change;
    }
    std::printf("[ figures  ] %d skin switches in %lu ms\n", kSkinSwitches, GetTickCount() - start);
    PumpFor(20);
    EXPECT_EQ(skinned, SkinManager::Instance().WindowCount());
    EXPECT_EQ(5, SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(500, SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(3, SendMessageA(bar, PBM_SETSTEP, 3, 0));
    EXPECT_GE(HeadroomBesideCopies(), headroom - kSlack);
}

TEST_F(FamilyLeakTest, DialogsOfTheFamiliesComeAndGoWithoutATrace)
{
    DialogTemplate dialog = EveryFamily();
    HWND first = dialog.Create(nullptr, PlainDialogProc);
    AddTabs(first);
    ShowWindow(first, SW_SHOW);
    PumpFor(20);
    DestroyWindow(first);
    PumpFor(20);
    GdiPressure pressure(kHeadroom);
    const size_t skinnedBefore = SkinManager::Instance().WindowCount();
    const int headroom = HeadroomBesideCopies();
    const DWORD start = GetTickCount();
    for (int i = 0; i < kDialogCycles; ++i) {
        HWND window = dialog.Create(nullptr, PlainDialogProc);
        ASSERT_NE(nullptr, window) << "cycle " << i;
        AddTabs(window);
        // Shown and painted every tenth time: painting makes the surfaces,
        // turned copies and side fonts that must go with the dialog.
        if (i % 10 == 0) {
            ShowWindow(window, SW_SHOW);
            UpdateWindow(window);
        }
        PumpMessages();
        DestroyWindow(window);
    }
    std::printf("[ figures  ] %d dialog cycles in %lu ms\n", kDialogCycles, GetTickCount() - start);
    PumpFor(20);
    EXPECT_EQ(skinnedBefore, SkinManager::Instance().WindowCount());
    EXPECT_GE(HeadroomBesideCopies(), headroom - kSlack);
}

TEST_F(FamilyLeakTest, SteppingAProgressBarKeepsNothing)
{
    HWND dialog = ShownDialog();
    HWND bar = GetDlgItem(dialog, kProgressId);
    SendMessageA(bar, PBM_SETRANGE32, 0, 1000);
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    GdiPressure pressure(kHeadroom);
    const int headroom = HeadroomBesideCopies();
    for (int i = 0; i < kSteps; ++i) {
        if (i % 1000 == 0)
            SendMessageA(bar, PBM_SETPOS, 0, 0);
        SendMessageA(bar, PBM_STEPIT, 0, 0);
    }
    EXPECT_EQ(1000, SendMessageA(bar, PBM_GETPOS, 0, 0)) << "the last thousand steps";
    PumpFor(20);
    EXPECT_GE(HeadroomBesideCopies(), headroom - kSlack);
}
