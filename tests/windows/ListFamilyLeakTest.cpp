// Edits, list boxes, list views, tree views, IP address controls and both
// kinds of drop-down combo box with only a few hundred GDI handles left:
// skins switched under them and dialogs of them made and destroyed
// hundreds of times leave no handle, window or skin object behind, and
// the controls keep their content through every switch.
#include "ControlTestSupport.h"

#include "core/SkinManager.h"
#include "GdiPressure.h"
#include "MessageLog.h"

#include <commctrl.h>

#include <chrono>
#include <cstdio>

namespace {

// A switch lets twenty windows go and takes them again, a cycle makes,
// fills and destroys them: on an idle virtual machine about 40 and 100 ms
// each (Wine's round trips wait for an idle processor to wake; with the
// other processor busy they take a tenth of that). The suite's counts keep
// the two tests near a minute; a full run does a thousand of each (four
// minutes).
const int kSkinSwitches = LeakRounds(300, 1000);
const int kDialogCycles = LeakRounds(150, 1000);
const int kSlack = 8;
const int kHeadroom = 300;

const WORD kListId = 803;
const WORD kViewId = 804;
const WORD kTreeId = 805;
const WORD kDropDownId = 807;
const WORD kDropListId = 808;

DialogTemplate EveryListFamily()
{
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 250, 110, L"Lists");
    dialog.Add(L"Edit", L"Editable", 801, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 5, 5, 80, 12)
        .Add(L"Edit", L"Read-only", 802, ES_AUTOHSCROLL | ES_READONLY | WS_BORDER, 5, 20, 80, 12)
        .Add(L"ListBox", L"", kListId, LBS_NOTIFY | WS_VSCROLL | WS_BORDER, 5, 36, 80, 40)
        .Add(WC_LISTVIEWW, L"", kViewId, LVS_REPORT | WS_BORDER, 90, 5, 75, 45)
        .Add(WC_TREEVIEWW, L"", kTreeId, TVS_HASLINES | TVS_HASBUTTONS | WS_BORDER, 90, 55, 75, 45)
        .Add(WC_IPADDRESSW, L"", 806, WS_BORDER, 5, 82, 80, 12)
        .Add(L"ComboBox", L"", kDropDownId, CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 170, 5, 75, 60)
        .Add(L"ComboBox", L"", kDropListId, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 170, 25, 75, 60);
    return dialog;
}

// Items in every list, so that painting reads them back; the second of
// each combo box chosen.
void FillLists(HWND dialog)
{
    for (const char* item : {"First", "Second", "Third"}) {
        const LPARAM text = reinterpret_cast<LPARAM>(item);
        SendDlgItemMessageA(dialog, kListId, LB_ADDSTRING, 0, text);
        SendDlgItemMessageA(dialog, kDropDownId, CB_ADDSTRING, 0, text);
        SendDlgItemMessageA(dialog, kDropListId, CB_ADDSTRING, 0, text);
        LVITEMA row = {};
        row.mask = LVIF_TEXT;
        row.iItem = 99;
        row.pszText = const_cast<char*>(item);
        SendDlgItemMessageA(dialog, kViewId, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
        TVINSERTSTRUCTA node = {};
        node.hParent = TVI_ROOT;
        node.hInsertAfter = TVI_LAST;
        node.item.mask = TVIF_TEXT;
        node.item.pszText = const_cast<char*>(item);
        SendDlgItemMessageA(dialog, kTreeId, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&node));
    }
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 80;
    column.pszText = const_cast<char*>("Name");
    SendDlgItemMessageA(dialog, kViewId, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    SendDlgItemMessageA(dialog, kDropDownId, CB_SETCURSEL, 1, 0);
    SendDlgItemMessageA(dialog, kDropListId, CB_SETCURSEL, 1, 0);
}

// Our skin without the objects of the family: every switch lets their
// controls go and takes them again.
std::string WithoutTheFamily()
{
    std::string source = DefaultSkinSource();
    const std::pair<const char*, const char*> objects[] = {
        {"EditSkin", "Edit"},         {"ListBoxSkin", "Listbox"},         {"ListViewSkin", "ListCtrl"},
        {"TreeViewSkin", "TreeCtrl"}, {"IpAddressSkin", "ScrollControl"}, {"ComboBoxSkin", "ComboBox"}};
    for (const auto& object : objects)
        source = WithoutObject(source, object.first, object.second);
    return source;
}

class ListFamilyLeakTest : public ControlTest {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX classes = {sizeof classes,
                                        ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_INTERNET_CLASSES};
        InitCommonControlsEx(&classes);
    }

    static double Seconds(std::chrono::steady_clock::time_point since)
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
    }
};

}  // namespace

TEST_F(ListFamilyLeakTest, SkinSwitchesUnderTheListFamilyKeepNothing)
{
    const std::vector<BYTE> without = CompileSkin(WithoutTheFamily());
    const std::vector<BYTE> with = DefaultSkinBytes();
    ASSERT_FALSE(without.empty());
    HWND dialog = EveryListFamily().Create(nullptr, PlainDialogProc);
    windows_.push_back(dialog);
    FillLists(dialog);
    ShowWindow(dialog, SW_SHOW);
    PumpFor(30);
    HWND dropList = GetDlgItem(dialog, kDropListId);
    // Warm-up: what the first switches make (the system's caches, the kept
    // drawing surfaces) stays; leaks grow with the switches.
    for (int change = 0; change < 4; ++change) {
        ASSERT_TRUE(SwitchSkin(change % 2 ? with : without));
        PumpMessages();
    }
    PumpFor(20);
    GdiPressure pressure(kHeadroom);
    const LeakCounts start = CountLeakables();
    const auto begin = std::chrono::steady_clock::now();
    const int switches = kSkinSwitches;
    for (int change = 1; change <= switches; ++change) {
        const bool skinned = change % 2 == 0;
        ASSERT_TRUE(SwitchSkin(skinned ? with : without)) << "switch " << change;
        PumpMessages();
        ASSERT_EQ(skinned, SkinManager::Instance().FindWindowObject(dropList) != nullptr) << "switch " << change;
        ASSERT_EQ(1, SendMessageA(dropList, CB_GETCURSEL, 0, 0)) << "switch " << change;
    }
    std::printf("[ figures  ] %d skin switches under the list family: %.1f s\n", switches, Seconds(begin));
    PumpFor(20);
    EXPECT_TRUE(NothingLeaked(start, CountLeakables(), kSlack));
    EXPECT_EQ(3, SendDlgItemMessageA(dialog, kListId, LB_GETCOUNT, 0, 0));
    EXPECT_EQ(3, SendDlgItemMessageA(dialog, kViewId, LVM_GETITEMCOUNT, 0, 0));
}

TEST_F(ListFamilyLeakTest, DialogsOfTheListFamilyComeAndGoWithoutATrace)
{
    DialogTemplate dialog = EveryListFamily();
    const int cycles = kDialogCycles;
    // Shown and painted every tenth time, with a list dropped down and
    // rolled up: painting makes the surfaces and brushes that must go with
    // the dialog.
    const auto cycle = [&](int i) {
        HWND window = dialog.Create(nullptr, PlainDialogProc);
        if (!window)
            return false;
        FillLists(window);
        if (i % 10 == 0) {
            ShowWindow(window, SW_SHOWNA);
            UpdateWindow(window);
            SendDlgItemMessageA(window, kDropListId, CB_SHOWDROPDOWN, TRUE, 0);
            SendDlgItemMessageA(window, kDropListId, CB_SHOWDROPDOWN, FALSE, 0);
        }
        PumpMessages();
        DestroyWindow(window);
        return true;
    };
    // The handles the system's own controls keep (Wine's IP address
    // control keeps one per control) are measured first with the family
    // unskinned; the skins may keep nothing beyond them.
    const auto handlesKept = [&](const char* what) {
        EXPECT_TRUE(cycle(0));
        PumpFor(20);
        const LeakCounts start = CountLeakables();
        const auto begin = std::chrono::steady_clock::now();
        for (int i = 0; i < cycles; ++i)
            if (!cycle(i))
                return -1;
        std::printf("[ figures  ] %d dialogs of the list family, %s: %.1f s\n", cycles, what, Seconds(begin));
        const LeakCounts end = CountLeakables();
        EXPECT_TRUE(NothingLeaked(start, end, start.gdiHeadroom)) << what;
        return start.gdiHeadroom - end.gdiHeadroom;
    };
    // Beside the headroom, room for what the IP address controls keep in
    // both runs.
    GdiPressure pressure(kHeadroom + 2 * cycles);
    ASSERT_TRUE(SwitchSkin(CompileSkin(WithoutTheFamily())));
    const int system = handlesKept("unskinned");
    ASSERT_TRUE(SwitchSkin(DefaultSkinBytes()));
    const int skinned = handlesKept("skinned");
    ASSERT_GE(system, 0);
    EXPECT_LE(skinned, system + kSlack) << "the system's controls keep " << system;
}
