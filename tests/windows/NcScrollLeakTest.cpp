// The self-drawn scroll bars put on and taken off a list box and an edit
// hundreds of times, painted, hovered and pressed each time, and skins changed
// under a dialog whose scrolled controls carry them: every window (the
// bars' tooltip), property, USER object and GDI handle they take must come
// back, and the bars must take their size from each new skin.
#include "ControlTestSupport.h"

#include "controls/NcScroll.h"
#include "core/SkinManager.h"
#include "data/ScrollBarSkin.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "GdiPressure.h"
#include "MessageLog.h"
#include "SkinEngine.h"

#include <string>
#include <vector>

namespace {

// Under Wine on this project's test machine (two cores shared with other
// builds) putting the bars on both controls, painting, hovering, pressing
// and taking them off takes about 160 ms, a change of skin about 20 ms:
// the suite's counts keep the program under a minute.
const int kInstallCycles = LeakRounds(200, 600);
const int kSkinChanges = LeakRounds(300, 1000);
// Counts are compared this often, so a leak stops the run near its cause.
const int kCheckEvery = 50;
// What GdiPressure leaves free beside the copies drawing keeps of the
// skin's bitmaps: a leak of one handle a cycle exhausts it well within
// the run.
const int kHeadroom = 300;
// While a skin changes, the old store lives until the new one is in force.
const int kSkinChangeRoom = 2500;
// The variant's arrows are this much taller than ours, its thumb this
// much wider.
const int kVariantGrowth = 4;
const char kParentClass[] = "SsoNcScrollLeakParent";

// What a leak would change.
struct Counts {
    int threadWindows = 0;
    DWORD userObjects = 0;
    int properties = 0;
    int gdiHeadroom = 0;
};

BOOL CALLBACK CountProperty(HWND, LPSTR, HANDLE, ULONG_PTR count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

Counts CountNow(std::initializer_list<HWND> windows)
{
    PumpMessages();
    Counts counts;
    counts.threadWindows = ThreadWindowCount();
    // A stub answering 0 under Wine; counted for Windows.
    counts.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (HWND window : windows)
        EnumPropsExA(window, CountProperty, reinterpret_cast<LPARAM>(&counts.properties));
    counts.gdiHeadroom = HeadroomBesideCopies();
    return counts;
}

testing::AssertionResult Unchanged(const Counts& start, const Counts& now, int cycle)
{
    if (now.threadWindows == start.threadWindows && now.userObjects == start.userObjects &&
        now.properties == start.properties && now.gdiHeadroom == start.gdiHeadroom)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "after " << cycle << " cycles: thread windows " << now.threadWindows << " ("
                                       << start.threadWindows << " at the start), USER objects " << now.userObjects
                                       << " (" << start.userObjects << "), properties " << now.properties << " ("
                                       << start.properties << "), free GDI handles " << now.gdiHeadroom << " ("
                                       << start.gdiHeadroom << ")";
}

int SkinArrowSize()
{
    const auto* skin = dynamic_cast<const ScrollBarSkin*>(DefaultStore().FindObjectByType(kTypeScrollBar));
    if (!skin)
        return 0;
    const ImageRef& arrow = skin->states[ScrollBarSkin::StateNormal].arrow1;
    return arrow.source.bottom - arrow.source.top;
}

// The room the vertical bar takes: the window's width less its client
// and its borders.
int VerticalBarRoom(HWND window)
{
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return outer.right - origin.x - client.right - (origin.x - outer.left);
}

// A screen point on the vertical bar, `along` pixels below its top.
POINT OnVerticalBar(HWND window, int size, int along)
{
    RECT outer;
    GetWindowRect(window, &outer);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const int border = origin.x - outer.left;
    return {outer.right - border - size / 2, outer.top + border + along};
}

// Hovered (the hot timer starts), then an arrow pressed (capture, the
// repeat timer, a line scroll into the control).
void HoverAndPress(HWND window, int size)
{
    const POINT hover = OnVerticalBar(window, size, size + 10);
    SendMessageA(window, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(hover.x, hover.y));
    const POINT arrow = OnVerticalBar(window, size, size / 2);
    SendMessageA(window, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
}

// Our skin with the scroll bar object renamed (re-bound by type) and its
// arrows and thumb larger, so that every change of skin changes the bars'
// size and minimum thumb.
std::vector<BYTE> VariantSkinBytes()
{
    std::string text = Replaced(DefaultSkinSource(), "object ScrollBarSkin \"ScrollBar\"",
                                "object ScrollBarSkin \"ScrollBarVariant\"");
    text = Replaced(text, "NORMAL.ARROW1 = { bitmap \"controls.bmp\" rect 36 77 52 93",
                    "NORMAL.ARROW1 = { bitmap \"controls.bmp\" rect 36 77 52 97");
    text = Replaced(text, "NORMAL.THUMB = { bitmap \"controls.bmp\" rect 72 77 88 89",
                    "NORMAL.THUMB = { bitmap \"controls.bmp\" rect 72 77 92 89");
    EXPECT_NE(std::string::npos, text.find("rect 36 77 52 97")) << "the variant's arrow was not made";
    return CompileSkin(text);
}

class NcScrollLeakTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        size_ = SkinArrowSize();
        ASSERT_GT(size_, 0);
    }

    // A list box and an edit, both bars shown by the system, on a parent
    // the engine does not skin: the bars are put on by hand.
    void MakePlainControls()
    {
        WNDCLASSA parentClass = {};
        parentClass.lpfnWndProc = DefWindowProcA;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.lpszClassName = kParentClass;
        RegisterClassA(&parentClass);
        parent_ = CreateWindowExA(0, kParentClass, "", WS_POPUP | WS_VISIBLE, 50, 50, 420, 220, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(parent_);
        list_ = CreateWindowExA(0, "ListBox", "",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT |
                                    LBS_DISABLENOSCROLL,
                                10, 10, 180, 180, parent_, nullptr, GetModuleHandleA(nullptr), nullptr);
        edit_ = CreateWindowExA(0, "Edit", "",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                    ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                                210, 10, 180, 180, parent_, nullptr, GetModuleHandleA(nullptr), nullptr);
        Fill(list_, edit_);
    }

    static void Fill(HWND list, HWND edit)
    {
        for (int i = 0; i < 60; ++i)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("A list line wider than the list box"));
        SendMessageA(list, LB_SETHORIZONTALEXTENT, 900, 0);
        std::string text;
        for (int i = 0; i < 60; ++i)
            text += "An edit line wider than the edit box, long enough to scroll sideways\r\n";
        SetWindowTextA(edit, text.c_str());
    }

    // The bars on, painted, hovered and pressed, and off again.
    testing::AssertionResult InstallCycle(HWND control) const
    {
        if (NcScroll_Install(control) != 1)
            return testing::AssertionFailure() << "not installed";
        NcScroll_SetStyle(control, SB_BOTH, 2);
        NcScroll_SetSize(control, SB_BOTH, size_, size_);
        RedrawWindow(control, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        HoverAndPress(control, size_);
        if (GetCapture() != control)
            return testing::AssertionFailure() << "the arrow press took no capture";
        if (NcScroll_Remove(control) != S_OK)
            return testing::AssertionFailure() << "not removed";
        if (GetCapture() == control)
            return testing::AssertionFailure() << "the capture outlived the bars";
        return testing::AssertionSuccess();
    }

    int size_ = 0;
    HWND parent_ = nullptr;
    HWND list_ = nullptr;
    HWND edit_ = nullptr;
};

}  // namespace

TEST_F(NcScrollLeakTest, InstallAndRemoveOnAListBoxAndAnEditGiveBackEverything)
{
    MakePlainControls();
    const WNDPROC listProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(list_, GWLP_WNDPROC));
    const WNDPROC editProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit_, GWLP_WNDPROC));
    for (HWND control : {list_, edit_})
        ASSERT_TRUE(InstallCycle(control));
    GdiPressure pressure(kHeadroom);
    const Counts start = CountNow({list_, edit_});
    for (int cycle = 1; cycle <= kInstallCycles; ++cycle) {
        for (HWND control : {list_, edit_})
            ASSERT_TRUE(InstallCycle(control)) << "cycle " << cycle;
        if (cycle % kCheckEvery == 0) {
            ASSERT_TRUE(Unchanged(start, CountNow({list_, edit_}), cycle));
        }
    }
    EXPECT_EQ(listProc, reinterpret_cast<WNDPROC>(GetWindowLongPtrA(list_, GWLP_WNDPROC)));
    EXPECT_EQ(editProc, reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit_, GWLP_WNDPROC)));
    EXPECT_FALSE(GetPropA(list_, kNcScrollProperty));
}

TEST_F(NcScrollLeakTest, SkinChangesUnderScrolledControlsGiveBackEverythingAndResizeTheBars)
{
    NcScroll_SetSystemSupport(true);
    DialogTemplate dialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 260, 140, L"Scrolled");
    dialogTemplate
        .Add(L"ListBox", L"", 701, WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL, 5,
             5, 120, 110)
        .Add(L"Edit", L"", 702, WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOHSCROLL, 135, 5, 120, 110);
    HWND dialog = dialogTemplate.Create(nullptr, PlainDialogProc);
    ASSERT_TRUE(dialog);
    windows_.push_back(dialog);
    ShowWindow(dialog, SW_SHOWNA);
    HWND list = GetDlgItem(dialog, 701);
    HWND edit = GetDlgItem(dialog, 702);
    Fill(list, edit);
    for (HWND control : {list, edit}) {
        ASSERT_TRUE(EnableSkinScrollBars(control));
        EXPECT_EQ(size_, VerticalBarRoom(control));
    }
    const std::vector<BYTE> standard = DefaultSkinBytes();
    const std::vector<BYTE> variant = VariantSkinBytes();
    ASSERT_FALSE(variant.empty());
    // One change of skin: the bars hovered and pressed as it happens, then
    // sized from the new skin, as the dialog's owner would.
    const auto change = [&](int number) {
        const std::vector<BYTE>& skin = number % 2 ? variant : standard;
        HoverAndPress(list, VerticalBarRoom(list));
        if (!LoadSkinFromMemory(skin.data(), static_cast<DWORD>(skin.size())))
            return testing::AssertionFailure() << "change " << number << ": the skin did not load";
        for (HWND control : {list, edit}) {
            SizeSkinScrollBars(control);
            const int expected = size_ + (number % 2 ? kVariantGrowth : 0);
            if (VerticalBarRoom(control) != expected)
                return testing::AssertionFailure() << "change " << number << ": a bar " << VerticalBarRoom(control)
                                                   << " wide, the skin's arrows are " << expected;
        }
        SendMessageA(list, WM_LBUTTONUP, 0, 0);
        RedrawWindow(dialog, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return testing::AssertionSuccess();
    };
    ASSERT_TRUE(change(1));
    ASSERT_TRUE(change(2));
    GdiPressure pressure(kSkinChangeRoom);
    const Counts start = CountNow({dialog, list, edit});
    for (int number = 1; number <= kSkinChanges; ++number) {
        ASSERT_TRUE(change(number));
        if (number % kCheckEvery == 0) {
            ASSERT_TRUE(Unchanged(start, CountNow({dialog, list, edit}), number));
        }
    }
    for (HWND control : {list, edit})
        EXPECT_TRUE(NcScroll_ServesWindow(control));
}
