// Edits, list boxes, list views, tree views and IP address controls: the
// system scrolls them out of sight and they are repainted once, the skin's
// background shows behind their items, the border follows the extended
// style with the system's own bars inside it, edits take their colours
// from the skin through their parent, a new skin re-colours every one of
// them, owner-drawn ones stay the system's, and those let go have their
// own colours back.
#include "ControlTestSupport.h"

#include "controls/NcScroll.h"
#include "controls/SkinnedScrollControl.h"
#include "core/SkinManager.h"
#include "data/ClientEdgeSkin.h"
#include "data/SkinStore.h"
#include "MessageLog.h"
#include "SkinEngine.h"

#include <commctrl.h>
#include <richedit.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Colours of their own for the edit, so that none is the system's.
const char kEditColours[] = "object EditSkin \"Edit\"\n  backColour = #FFFFFF\n  textColour = #1E2B38\n"
                            "  keyColour = #EEF1F5";
const char kEditVariant[] = "object EditSkin \"Edit\"\n  backColour = #F4E8D0\n  textColour = #203040\n"
                            "  keyColour = #D8E4C8";
// A rich edit background that is not the system's window colour.
const char kRichEditColour[] = "object RichEditSkin \"RichEdit\"\n  backColour = #FFFFFF";
const char kRichEditVariant[] = "object RichEditSkin \"RichEdit\"\n  backColour = #E4ECF8";

const SkinnedScrollControl* ScrollSkinOf(HWND control)
{
    return dynamic_cast<const SkinnedScrollControl*>(SkinManager::Instance().FindWindowObject(control));
}

const ClientEdgeSkin& ObjectOf(HWND control)
{
    return *dynamic_cast<const ClientEdgeSkin*>(ScrollSkinOf(control)->GetSkinObject());
}

unsigned Rgb(COLORREF colour)
{
    return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

// Whether the system control had WS_VISIBLE while it handled the messages
// the skin lets it handle out of sight; sits below the skin.
struct Sighting {
    UINT message;
    bool visible;
};
std::vector<Sighting> g_sightings;
WNDPROC g_belowProbe = nullptr;

LRESULT CALLBACK VisibilityProbe(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_LBUTTONDBLCLK:
        g_sightings.push_back({message, (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0});
        break;
    default:
        break;
    }
    return CallWindowProcA(g_belowProbe, window, message, wParam, lParam);
}

void FillList(HWND list, int count)
{
    for (int i = 0; i < count; ++i) {
        const std::string text = "Line " + std::to_string(i);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void FillTree(HWND tree, int count)
{
    TVINSERTSTRUCTA insert = {};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    for (int i = 0; i < count; ++i) {
        const std::string text = "Node " + std::to_string(i);
        insert.hParent = TVI_ROOT;
        insert.item.pszText = const_cast<char*>(text.c_str());
        const auto parent =
            reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        insert.hParent = parent;
        insert.item.pszText = const_cast<char*>("Leaf");
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    }
}

void FillListView(HWND view, int count)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.pszText = const_cast<char*>("Name");
    for (int i = 0; i < 2; ++i) {
        column.cx = 200;
        SendMessageA(view, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    for (int i = 0; i < count; ++i) {
        const std::string text = "Row " + std::to_string(i);
        item.iItem = i;
        item.pszText = const_cast<char*>(text.c_str());
        SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void Fill(HWND control, const char* className, int count)
{
    const std::string name = className;
    if (name == "ListBox")
        FillList(control, count);
    else if (name == WC_TREEVIEWA)
        FillTree(control, count);
    else if (name == WC_LISTVIEWA)
        FillListView(control, count);
}

class ListTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        INITCOMMONCONTROLSEX classes = {sizeof classes,
                                        ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_INTERNET_CLASSES};
        InitCommonControlsEx(&classes);
        NcScroll_SetSystemSupport(true);
        g_sightings.clear();
    }
    void TearDown() override
    {
        MessageLog::Instance().RestrictTo({});
        ControlTest::TearDown();
    }

    // A filled control made before its frame is skinned, with the
    // visibility probe below the skin and a recorder above everything.
    HWND Probed(const char* className, DWORD style, int count)
    {
        HWND frame = CreateFrame(WS_OVERLAPPEDWINDOW, 400, 300);
        HWND control = CreateWindowExA(WS_EX_CLIENTEDGE, className, "", style | WS_CHILD | WS_VISIBLE, 10, 10, 160, 120,
                                       frame, reinterpret_cast<HMENU>(100), GetModuleHandleA(nullptr), nullptr);
        Fill(control, className, count);
        g_belowProbe = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(VisibilityProbe)));
        EXPECT_TRUE(SetWindowSkin(frame, "MainFrame"));
        // Tree views answer keys only with the focus.
        SetFocus(control);
        PumpFor(30);
        MessageLog::Instance().Subclass(control, kSent);
        return control;
    }

    static void LoadSkin(const std::string& source)
    {
        ASSERT_TRUE(LoadSkinSource(source));
        PumpFor(30);
    }

    static bool Skinned(HWND window) { return SkinManager::Instance().FindWindowObject(window) != nullptr; }
};

// --- Quiet scrolling ---------------------------------------------------------

struct QuietRow {
    const char* className;
    DWORD style;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int paints;  // after the control was handed the message
    const char* what;
};

const DWORD kListStyle = WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
const DWORD kTreeStyle = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
const DWORD kViewStyle = LVS_REPORT;

// Every control starts at its top, nothing selected.
const QuietRow kQuietRows[] = {
    {"ListBox", kListStyle, WM_VSCROLL, SB_LINEDOWN, 0, 1, "list box: a line down"},
    {"ListBox", kListStyle, WM_VSCROLL, SB_LINEUP, 0, 0, "list box: a line up at the top"},
    {"ListBox", kListStyle, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0, 1,
     "list box: the wheel down"},
    {"ListBox", kListStyle, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0, 0, "list box: the wheel up at the top"},
    {"ListBox", kListStyle, WM_KEYDOWN, VK_END, 0, 1, "list box: End"},
    {"ListBox", kListStyle, WM_KEYDOWN, VK_DOWN, 0, 1, "list box: Down selects without scrolling"},
    {"ListBox", kListStyle, WM_KEYDOWN, VK_SHIFT, 0, 0, "list box: Shift alone moves nothing"},
    {WC_TREEVIEWA, kTreeStyle, WM_VSCROLL, SB_LINEDOWN, 0, 1, "tree view: a line down"},
    {WC_TREEVIEWA, kTreeStyle, WM_VSCROLL, SB_LINEUP, 0, 0, "tree view: a line up at the top"},
    {WC_TREEVIEWA, kTreeStyle, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0, 1,
     "tree view: the wheel down"},
    {WC_TREEVIEWA, kTreeStyle, WM_KEYDOWN, VK_NEXT, 0, 1, "tree view: Page Down"},
    {WC_TREEVIEWA, kTreeStyle, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(30, 8), 1,
     "tree view: a double click expands the first node in place"},
    {WC_LISTVIEWA, kViewStyle, WM_VSCROLL, SB_LINEDOWN, 0, 1, "list view: a line down"},
    {WC_LISTVIEWA, kViewStyle, WM_VSCROLL, SB_LINEUP, 0, 0, "list view: a line up at the top"},
    {WC_LISTVIEWA, kViewStyle, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0, 1,
     "list view: the wheel down"},
    {WC_LISTVIEWA, kViewStyle, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0, 0, "list view: the wheel up at the top"},
    {WC_LISTVIEWA, kViewStyle, WM_KEYDOWN, VK_NEXT, 0, 1, "list view: Page Down"},
};

}  // namespace

TEST_F(ListTest, ScrollingHappensOutOfSightAndRepaintsOnceOnlyWhenSomethingMoved)
{
    MessageLog& log = MessageLog::Instance();
    for (const QuietRow& row : kQuietRows) {
        HWND control = Probed(row.className, row.style, 40);
        ASSERT_TRUE(ScrollSkinOf(control)) << row.what;
        g_sightings.clear();
        log.RestrictTo({WM_PAINT, WM_ERASEBKGND});
        log.Flush();
        SendMessageA(control, row.message, row.wParam, row.lParam);
        PumpMessages();
        EXPECT_EQ(static_cast<size_t>(row.paints), log.Count(WM_PAINT, kSent)) << row.what;
        EXPECT_GE(static_cast<size_t>(row.paints), log.Count(WM_ERASEBKGND, kSent)) << row.what;
        ASSERT_FALSE(g_sightings.empty()) << row.what << ": the system never saw the message";
        EXPECT_EQ(row.message, g_sightings.front().message) << row.what;
        EXPECT_FALSE(g_sightings.front().visible) << row.what << ": the system handled it in sight";
        log.RestrictTo({});
        DestroyWindow(GetParent(control));
    }
}

namespace {

struct SidewaysRow {
    int code;
    bool atLeftEnd;
    bool reachesSystem;
};

const SidewaysRow kSideways[] = {
    {SB_LINELEFT, true, false},
    {SB_LINERIGHT, true, true},
    {SB_LINELEFT, false, true},
    {SB_PAGELEFT, true, true},
};

}  // namespace

TEST_F(ListTest, TheListViewDropsALineLeftAtItsLeftEnd)
{
    MessageLog& log = MessageLog::Instance();
    for (const SidewaysRow& row : kSideways) {
        HWND view = Probed(WC_LISTVIEWA, kViewStyle, 5);
        if (!row.atLeftEnd)
            SendMessageA(view, WM_HSCROLL, SB_LINERIGHT, 0);
        SCROLLINFO info = {sizeof info, SIF_POS | SIF_RANGE, 0, 0, 0, 0, 0};
        ASSERT_TRUE(GetScrollInfo(view, SB_HORZ, &info));
        ASSERT_EQ(row.atLeftEnd, info.nPos == info.nMin) << "code " << row.code;
        g_sightings.clear();
        log.Flush();
        SendMessageA(view, WM_HSCROLL, static_cast<WPARAM>(row.code), 0);
        EXPECT_EQ(row.reachesSystem, !g_sightings.empty()) << "code " << row.code << " at left end " << row.atLeftEnd;
        DestroyWindow(GetParent(view));
    }
}

// --- Pixels -------------------------------------------------------------------

namespace {

// A tiled piece of our skin's bitmap as the list box's and tree view's
// background: many colours, none the window colour.
const char kBackgroundLine[] = "  BACKGROUND = { bitmap \"controls.bmp\" rect 0 131 16 155 mode 1 }\n";

std::string WithBackgrounds()
{
    std::string source = DefaultSkinSource();
    for (const char* header : {"object ListBoxSkin \"Listbox\"\n", "object TreeViewSkin \"TreeCtrl\"\n"})
        source = Replaced(source, header, std::string(header) + kBackgroundLine);
    return source;
}

struct BackgroundRow {
    const char* className;
    DWORD style;
};

const BackgroundRow kBackgroundRows[] = {
    {"ListBox", LBS_NOINTEGRALHEIGHT},
    {WC_TREEVIEWA, 0},
};

// The rectangle of the second item, which the row selects.
RECT SelectSecond(HWND control, const char* className)
{
    RECT item = {};
    if (std::string(className) == "ListBox") {
        SendMessageA(control, LB_SETCURSEL, 1, 0);
        SendMessageA(control, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
        return item;
    }
    const LRESULT first = SendMessageA(control, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    const LRESULT second = SendMessageA(control, TVM_GETNEXTITEM, TVGN_NEXT, first);
    SendMessageA(control, TVM_SELECTITEM, TVGN_CARET, second);
    memcpy(&item, &second, sizeof second);
    SendMessageA(control, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&item));
    return item;
}

}  // namespace

TEST_F(ListTest, TheSkinsBackgroundShowsBehindTheItemsAndTheSelectionKeepsTheHighlight)
{
    LoadSkin(WithBackgrounds());
    for (const BackgroundRow& row : kBackgroundRows) {
        HWND control = AddControl(row.className, "", row.style, 10, 10, 160, 120);
        ASSERT_TRUE(ScrollSkinOf(control)) << row.className;
        Fill(control, row.className, 3);
        const RECT selected = SelectSecond(control, row.className);
        SetFocus(control);
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        const ClientEdgeSkin& skin = ObjectOf(control);
        const RECT client = ClientInWindow(control);
        const WindowPixels shown = Cut(CaptureWindow(control), client);
        const WindowPixels background = RenderPiece(skin.background, shown.width, shown.height, skin.backColour);
        // Below the last item nothing but the skin's picture.
        const RECT below = {0, shown.height - 30, shown.width, shown.height};
        EXPECT_EQ(0, PixelsDifferingIn(shown, below, background)) << row.className;
        int window = 0;
        const unsigned windowColour = Rgb(GetSysColor(COLOR_WINDOW));
        for (size_t i = 0; i < shown.pixels.size(); ++i)
            window += shown.pixels[i] == windowColour && background.pixels[i] != windowColour;
        EXPECT_EQ(0, window) << row.className << ": the window colour came through";
        int highlight = 0;
        for (int y = selected.top; y < selected.bottom; ++y)
            for (int x = selected.left; x < selected.right; ++x)
                highlight += shown.At(x, y) == Rgb(GetSysColor(COLOR_HIGHLIGHT));
        EXPECT_GT(highlight, (selected.right - selected.left) * (selected.bottom - selected.top) / 2)
            << row.className << ": the selected item lost the highlight";
        DestroyWindow(control);
    }
}

TEST_F(ListTest, PaintingTheClientLeavesTheDcAsFound)
{
    LoadSkin(WithBackgrounds());
    HWND list = AddControl("ListBox", "", LBS_NOINTEGRALHEIGHT, 10, 10, 160, 120);
    FillList(list, 5);
    ASSERT_TRUE(ScrollSkinOf(list));
    EXPECT_TRUE(PaintLeavesDcAsFound(list, 160, 120));
}

namespace {

struct BorderRow {
    DWORD exStyle;
    int widthMetrics[2];  // added up; 0: none; -1: one pixel
    const char* what;
};

const BorderRow kBorders[] = {
    {WS_EX_CLIENTEDGE, {SM_CXEDGE, 0}, "client edge"},
    {WS_EX_DLGMODALFRAME, {SM_CXDLGFRAME, 0}, "modal frame"},
    {WS_EX_STATICEDGE, {-1, 0}, "static edge"},
    {WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, {SM_CXEDGE, SM_CXDLGFRAME}, "client edge in a modal frame"},
    {WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, {SM_CXEDGE, -1}, "client edge and static edge"},
    {0, {0, 0}, "none"},
};

int BorderWidth(const BorderRow& row)
{
    int width = 0;
    for (int metric : row.widthMetrics)
        width += metric > 0 ? GetSystemMetrics(metric) : -metric;
    return width;
}

}  // namespace

TEST_F(ListTest, TheBorderIsTheSkinsAsWideAsTheExtendedStyleMakesIt)
{
    for (const BorderRow& row : kBorders) {
        HWND list = CreateWindowExA(row.exStyle, "ListBox", "", WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, 10, 10,
                                    150, 90, Frame(), nullptr, GetModuleHandleA(nullptr), nullptr);
        PumpFor(20);
        ASSERT_TRUE(ScrollSkinOf(list)) << row.what;
        const int width = BorderWidth(row);
        const SIZE computed = SkinnedScrollControl::BorderWidths(GetWindowLongPtrA(list, GWL_EXSTYLE));
        EXPECT_EQ(width, computed.cx) << row.what;
        const RECT client = ClientInWindow(list);
        EXPECT_EQ(width, client.left) << row.what << ": the system's border is not that wide";
        const ClientEdgeSkin& skin = ObjectOf(list);
        const WindowPixels shown = CaptureWindow(list);
        if (width > 0) {
            const WindowPixels border = RenderFrameImage(skin.mainImage, shown.width, shown.height, skin.backColour);
            EXPECT_TRUE(ShowsPicture(shown, 0, 0, border, width)) << row.what;
        } else {
            EXPECT_EQ(Rgb(skin.backColour), shown.At(0, 0)) << row.what << ": a border with no room for it";
        }
        DestroyWindow(list);
    }
}

// Between the skin's border and the client the system keeps painting its
// own: its bars, where the skin puts none on.
TEST_F(ListTest, TheSystemsBarsShowInsideTheSkinsBorder)
{
    NcScroll_SetSystemSupport(false);
    auto filledList = [](HWND frame) {
        HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "ListBox", "", WS_CHILD | WS_VISIBLE | kListStyle, 10, 10, 150,
                                    110, frame, nullptr, GetModuleHandleA(nullptr), nullptr);
        FillList(list, 40);
        return list;
    };
    HWND plain = filledList(CreateFrame());
    HWND list = filledList(Frame());
    PumpFor(30);
    ASSERT_FALSE(ScrollSkinOf(plain));
    ASSERT_TRUE(ScrollSkinOf(list));
    ASSERT_FALSE(ScrollSkinOf(list)->ScrollBarsEnabled());
    RECT window;
    GetWindowRect(list, &window);
    const RECT client = ClientInWindow(list);
    const RECT bar = {client.right, client.top, window.right - window.left - GetSystemMetrics(SM_CXEDGE),
                      client.bottom};
    ASSERT_GT(bar.right - bar.left, 0);
    // Only a repaint of the frame shows the bar again.
    {
        const WholeWindowDC dc(list);
        FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(0, PixelsDifferingIn(CaptureWindow(list), bar, CaptureWindow(plain)));
}

// A new font repaints the place the list box leaves in the window holding
// it; above a top-level window lies the desktop, and every window on it.
TEST_F(ListTest, ANewFontRepaintsInTheListsOwnWindowOnly)
{
    HWND list = AddControl("ListBox", "", kListStyle, 10, 10, 150, 100);
    HWND other = CreateFrame(WS_OVERLAPPEDWINDOW, 200, 150);
    PumpFor(30);
    ASSERT_FALSE(GetUpdateRect(other, nullptr, FALSE));
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), TRUE);
    EXPECT_FALSE(GetUpdateRect(other, nullptr, FALSE));
}

// --- Edits --------------------------------------------------------------------

namespace {

enum EditColour { BackColour, ThirdColour };

struct EditRow {
    DWORD style;
    bool enabled;
    EditColour colour;
    const char* what;
};

const EditRow kEdits[] = {
    {0, true, BackColour, "editable"},
    {ES_READONLY, true, ThirdColour, "read-only"},
    {0, false, ThirdColour, "disabled"},
    {ES_MULTILINE | ES_READONLY, true, ThirdColour, "read-only, several lines"},
};

COLORREF BrushColour(HBRUSH brush)
{
    LOGBRUSH look = {};
    GetObjectA(brush, sizeof look, &look);
    return look.lbColor;
}

}  // namespace

TEST_F(ListTest, EditsTakeTheSkinsColoursThroughTheirParent)
{
    const std::string variant = Replaced(DefaultSkinSource(), kEditColours, kEditVariant);
    ASSERT_NE(std::string::npos, variant.find("#D8E4C8"));
    LoadSkin(variant);
    for (const EditRow& row : kEdits) {
        HWND edit = AddControl("Edit", "", row.style, 10, 10, 150, 40);
        EnableWindow(edit, row.enabled);
        ASSERT_TRUE(ScrollSkinOf(edit)) << row.what;
        const ClientEdgeSkin& skin = ObjectOf(edit);
        const COLORREF wanted = row.colour == BackColour ? skin.backColour : skin.keyColour;
        RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const WindowPixels shown = Cut(CaptureWindow(edit), ClientInWindow(edit));
        EXPECT_EQ(Rgb(wanted), shown.At(shown.width - 3, shown.height / 2)) << row.what;

        const UINT message = row.colour == BackColour ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
        WindowDC dc(edit);
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageA(Frame(), message, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(edit)));
        ASSERT_TRUE(brush) << row.what;
        EXPECT_EQ(wanted, BrushColour(brush)) << row.what;
        EXPECT_EQ(wanted, GetBkColor(dc)) << row.what;
        EXPECT_EQ(skin.textColour, GetTextColor(dc)) << row.what;
        DestroyWindow(edit);
    }
}

TEST_F(ListTest, TheRichEditOfVersionOneIsToldTheSkinsBackground)
{
    LoadLibraryA("riched32.dll");
    WNDCLASSA richEdit = {};
    if (!GetClassInfoA(nullptr, "RICHEDIT", &richEdit))
        GTEST_SKIP() << "no RICHEDIT class on this system";
    LoadSkin(Replaced(DefaultSkinSource(), kRichEditColour, kRichEditVariant));
    HWND edit = AddControl("RICHEDIT", "", ES_MULTILINE, 10, 10, 150, 60);
    ASSERT_TRUE(ScrollSkinOf(edit));
    RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const WindowPixels shown = Cut(CaptureWindow(edit), ClientInWindow(edit));
    EXPECT_EQ(0xE4ECF8u, shown.At(shown.width - 3, shown.height - 3));
}

// --- Skin changes ---------------------------------------------------------------

TEST_F(ListTest, ANewSkinRecoloursEveryMemberAndSizesTheBarsAgain)
{
    HWND edit = AddControl("Edit", "", 0, 10, 10, 150, 24, 201);
    HWND view = AddControl(WC_LISTVIEWA, "", kViewStyle, 10, 40, 150, 80, 202);
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "ListBox", "", WS_CHILD | WS_VISIBLE | kListStyle, 170, 10, 150, 110,
                                Frame(), nullptr, GetModuleHandleA(nullptr), nullptr);
    FillList(list, 40);
    PumpFor(30);
    ASSERT_TRUE(ScrollSkinOf(list)->ScrollBarsEnabled());
    const RECT before = ClientInWindow(list);

    std::string variant = Replaced(DefaultSkinSource(), kEditColours, kEditVariant);
    variant = Replaced(variant, "object ListViewSkin \"ListCtrl\"\n  backColour = #FFFFFF\n  textColour = #1E2B38",
                       "object ListViewSkin \"ListCtrl\"\n  backColour = #E8F0E0\n  textColour = #402010");
    variant = Replaced(variant, "NORMAL.ARROW1 = { bitmap \"controls.bmp\" rect 36 77 52 93",
                       "NORMAL.ARROW1 = { bitmap \"controls.bmp\" rect 36 77 52 97");
    LoadSkin(variant);

    WindowDC dc(edit);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(Frame(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(edit)));
    EXPECT_EQ(RGB(0xF4, 0xE8, 0xD0), BrushColour(brush)) << "the edit's brush";
    EXPECT_EQ(RGB(0xE8, 0xF0, 0xE0), static_cast<COLORREF>(SendMessageA(view, LVM_GETBKCOLOR, 0, 0)));
    EXPECT_EQ(RGB(0xE8, 0xF0, 0xE0), static_cast<COLORREF>(SendMessageA(view, LVM_GETTEXTBKCOLOR, 0, 0)));
    EXPECT_EQ(RGB(0x40, 0x20, 0x10), static_cast<COLORREF>(SendMessageA(view, LVM_GETTEXTCOLOR, 0, 0)));
    const RECT after = ClientInWindow(list);
    EXPECT_EQ(4, (before.right - after.right)) << "the bar is as wide as the new arrow";
}

// --- Left to the system ---------------------------------------------------------

namespace {

struct UnskinnedRow {
    const char* className;
    DWORD style;
    bool skinned;
};

const UnskinnedRow kOwnerDrawn[] = {
    {"ListBox", LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, false},
    {"ListBox", LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, false},
    {"ListBox", LBS_HASSTRINGS, true},
    {WC_LISTVIEWA, LVS_REPORT | LVS_OWNERDRAWFIXED, false},
    {WC_LISTVIEWA, LVS_REPORT, true},
};

}  // namespace

TEST_F(ListTest, OwnerDrawnListsStayTheSystems)
{
    for (const UnskinnedRow& row : kOwnerDrawn) {
        HWND control = AddControl(row.className, "", row.style, 10, 10, 150, 100);
        EXPECT_EQ(row.skinned, Skinned(control)) << row.className << " style 0x" << std::hex << row.style;
        DestroyWindow(control);
    }
}

namespace {

struct OwnColourRow {
    const char* className;
    DWORD style;
    UINT set;  // gives the control a colour of its own before the skin comes; 0: it has the system's
    UINT get;
    WPARAM getFlag;
    COLORREF own;
};

const OwnColourRow kOwnColours[] = {
    {WC_LISTVIEWA, kViewStyle, LVM_SETBKCOLOR, LVM_GETBKCOLOR, 0, RGB(0x30, 0x60, 0x90)},
    {WC_LISTVIEWA, kViewStyle, LVM_SETTEXTBKCOLOR, LVM_GETTEXTBKCOLOR, 0, RGB(0x90, 0x60, 0x30)},
    {WC_LISTVIEWA, kViewStyle, LVM_SETTEXTCOLOR, LVM_GETTEXTCOLOR, 0, RGB(0x10, 0x20, 0x40)},
    // Nothing only reads a rich edit's background: handed the system's,
    // it answers the one it had.
    {"RICHEDIT", ES_MULTILINE, 0, EM_SETBKGNDCOLOR, 1, 0},
};

}  // namespace

TEST_F(ListTest, ListsLetGoHaveTheirOwnColoursBack)
{
    ASSERT_TRUE(LoadLibraryA("riched32.dll"));
    // A rich edit left with the skin's colour shows only where that is
    // not the system's.
    const std::string source = Replaced(DefaultSkinSource(), kRichEditColour, kRichEditVariant);
    LoadSkin(source);
    HWND frame = CreateFrame();
    std::vector<HWND> controls;
    for (const OwnColourRow& row : kOwnColours) {
        controls.push_back(CreateWindowExA(0, row.className, "", WS_CHILD | WS_VISIBLE | row.style, 10, 10, 150, 100,
                                           frame, nullptr, GetModuleHandleA(nullptr), nullptr));
        ASSERT_TRUE(controls.back()) << row.className;
        if (row.set)
            SendMessageA(controls.back(), row.set, 0, static_cast<LPARAM>(row.own));
    }
    ASSERT_TRUE(SetWindowSkin(frame, "MainFrame"));
    PumpFor(30);
    for (HWND control : controls)
        ASSERT_TRUE(Skinned(control));
    const HWND view = controls.front();
    EXPECT_EQ(ObjectOf(view).backColour, static_cast<COLORREF>(SendMessageA(view, LVM_GETBKCOLOR, 0, 0)));
    LoadSkin(WithoutObject(WithoutObject(source, "ListViewSkin", "ListCtrl"), "RichEditSkin", "RichEdit"));
    for (size_t i = 0; i < controls.size(); ++i) {
        const OwnColourRow& row = kOwnColours[i];
        ASSERT_FALSE(Skinned(controls[i])) << row.className;
        const COLORREF own = row.set ? row.own : GetSysColor(COLOR_WINDOW);
        EXPECT_EQ(own, static_cast<COLORREF>(SendMessageA(controls[i], row.get, row.getFlag, 0)))
            << row.className << " message 0x" << std::hex << row.get;
    }
}
