// Bars under GDI handle pressure: skins switched under live bars and
// dialogs of bars made and destroyed a thousand times each leave no
// handle, window or skin object behind.
#include "BarTestSupport.h"

#include "core/SkinManager.h"
#include "data/SkinImage.h"
#include "data/SkinStore.h"
#include "GdiPressure.h"
#include "imaging/DeviceCopies.h"
#include "MessageLog.h"
#include "SkinEngine.h"

#include <chrono>
#include <cstdio>

namespace {

// A thousand of each take about 200 s and 150 s under Wine (a switch loads
// the whole skin; a cycle makes, fills, paints and destroys five bars):
// these counts keep both near a minute.
const int kSkinSwitches = 300;
const int kDialogCycles = 400;
const int kSlack = 8;

DialogTemplate EveryBar()
{
    const DWORD fixed = CCS_NOPARENTALIGN | CCS_NORESIZE;
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 220, 150, L"Bars");
    dialog.Add(L"SysHeader32", L"", 601, fixed, 5, 5, 200, 12)
        .Add(L"msctls_statusbar32", L"Ready", 602, fixed, 5, 130, 200, 12)
        .Add(L"ToolbarWindow32", L"", 603, fixed | TBSTYLE_FLAT, 5, 25, 200, 20)
        .Add(L"ReBarWindow32", L"", 604, fixed, 5, 50, 200, 20)
        .Add(L"AfxControlBar42sd", L"", 605, kAlignLeft, 5, 75, 20, 50);
    return dialog;
}

// Fills the bars of a dialog so that painting them reads items back.
void FillBars(HWND dialog)
{
    HDITEMA item = {};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.cxy = 80;
    item.pszText = const_cast<char*>("Name");
    SendDlgItemMessageA(dialog, 601, HDM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    const int edges[] = {100, -1};
    SendDlgItemMessageA(dialog, 602, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    TBBUTTON button = {};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = kFirstButton;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_DROPDOWN;
    SendDlgItemMessageA(dialog, 603, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendDlgItemMessageA(dialog, 603, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    REBARBANDINFOA band = {};
    band.cbSize = REBARBANDINFOA_V3_SIZE;
    band.fMask = RBBIM_TEXT | RBBIM_SIZE;
    band.lpText = const_cast<char*>("Band");
    band.cx = 120;
    SendDlgItemMessageA(dialog, 604, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
}

// Our skin without its header and status bar objects and with the toolbar
// object renamed: the header goes and comes back with each switch, the
// status bar falls back on its own object, the toolbar is bound by type.
std::string VariantSkin()
{
    std::string text = WithoutObject(DefaultSkinSource(), "HeaderSkin", "Header");
    text = WithoutObject(text, "StatusBarSkin", "StatusBar");
    return Replaced(text, "object ToolBarSkin \"ToolBar\"", "object ToolBarSkin \"ToolBarVariant\"");
}

class BarLeakTest : public BarTest {
protected:
    // Drawing keeps device copies of the skin's bitmaps; only what is left
    // beside them counts.
    static int HeadroomBesideCopies()
    {
        for (const auto& entry : DefaultStore().Images())
            ImageDeviceCopies::Forget(entry.second->image);
        return FreeGdiHandles();
    }

    static double Seconds(std::chrono::steady_clock::time_point since)
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
    }
};

}  // namespace

TEST_F(BarLeakTest, SkinSwitchesUnderLiveBarsKeepNothing)
{
    const std::vector<BYTE> standard = DefaultSkinBytes();
    const std::vector<BYTE> variant = CompileSkin(VariantSkin());
    ASSERT_FALSE(variant.empty());
    HWND dialog = EveryBar().Create(Frame(), PlainDialogProc);
    windows_.push_back(dialog);
    FillBars(dialog);
    ShowWindow(dialog, SW_SHOW);
    const auto switchTo = [](const std::vector<BYTE>& skin) {
        return LoadSkinFromMemory(skin.data(), static_cast<DWORD>(skin.size())) != FALSE;
    };
    ASSERT_TRUE(switchTo(variant));
    ASSERT_TRUE(switchTo(standard));
    PumpFor(20);
    GdiPressure pressure(1200);
    const size_t skinned = SkinManager::Instance().WindowCount();
    const int headroom = HeadroomBesideCopies();
    const auto start = std::chrono::steady_clock::now();
    for (int change = 1; change <= kSkinSwitches; ++change) {
        ASSERT_TRUE(switchTo(change % 2 ? variant : standard)) << "switch " << change;
        PumpMessages();
        EXPECT_EQ(change % 2 == 0, SkinManager::Instance().FindWindowObject(GetDlgItem(dialog, 601)) != nullptr)
            << "switch " << change;
    }
    std::printf("%d skin switches under the bars: %.2f s\n", kSkinSwitches, Seconds(start));
    PumpFor(20);
    EXPECT_EQ(skinned, SkinManager::Instance().WindowCount());
    for (int id = 602; id <= 605; ++id)
        EXPECT_NE(nullptr, SkinManager::Instance().FindWindowObject(GetDlgItem(dialog, id))) << id;
    EXPECT_GE(HeadroomBesideCopies(), headroom - kSlack);
}

TEST_F(BarLeakTest, DialogsOfBarsComeAndGoWithoutATrace)
{
    DialogTemplate dialog = EveryBar();
    const auto cycle = [&] {
        HWND window = dialog.Create(nullptr, PlainDialogProc);
        if (!window)
            return false;
        FillBars(window);
        ShowWindow(window, SW_SHOWNA);
        UpdateWindow(window);
        DestroyWindow(window);
        return true;
    };
    ASSERT_TRUE(cycle());
    PumpFor(20);
    GdiPressure pressure(800);
    const size_t skinnedBefore = SkinManager::Instance().WindowCount();
    const int headroom = HeadroomBesideCopies();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kDialogCycles; ++i) {
        ASSERT_TRUE(cycle()) << "cycle " << i;
        if (i % 100 == 0)
            PumpMessages();
    }
    std::printf("%d dialogs of bars made, painted and destroyed: %.2f s\n", kDialogCycles, Seconds(start));
    PumpFor(20);
    EXPECT_EQ(skinnedBefore, SkinManager::Instance().WindowCount());
    EXPECT_GE(HeadroomBesideCopies(), headroom - kSlack);
}
