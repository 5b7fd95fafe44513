// What a user sees of every scrolling control family, skinned against the
// same control unskinned in the same run: the same bars present, drawn
// wherever the system draws its own, the same scroll values and selection
// before and after the control scrolls itself, and nothing blacked out.
#include "ControlTestSupport.h"
#include "MessageLog.h"

#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const int kRows = 60;
const char kLongText[] = "a line long enough to reach past the right edge of the control";

void FillListBox(HWND w)
{
    for (int i = 0; i < kRows; ++i)
        SendMessageA(w, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kLongText));
    SendMessageA(w, LB_SETHORIZONTALEXTENT, 600, 0);
    SendMessageA(w, LB_SETCURSEL, 3, 0);
}

void FillEdit(HWND w)
{
    std::string text;
    for (int i = 0; i < kRows; ++i)
        text += std::string(kLongText) + "\r\n";
    SetWindowTextA(w, text.c_str());
    SendMessageA(w, EM_SETSEL, 5, 9);
}

void FillListView(HWND w)
{
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNA c = {};
        c.mask = LVCF_WIDTH | LVCF_TEXT;
        c.cx = 200;
        c.pszText = const_cast<char*>("column");
        SendMessageA(w, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&c));
    }
    for (int i = 0; i < kRows; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>("list view item");
        SendMessageA(w, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    LVITEMA selected = {};
    selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    selected.state = selected.stateMask;
    SendMessageA(w, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&selected));
}

void FillTreeView(HWND w)
{
    HTREEITEM third = nullptr;
    for (int i = 0; i < kRows; ++i) {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<char*>(kLongText);
        const auto item =
            reinterpret_cast<HTREEITEM>(SendMessageA(w, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        if (i == 2)
            third = item;
    }
    SendMessageA(w, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(third));
}

long ListBoxSelection(HWND w)
{
    return static_cast<long>(SendMessageA(w, LB_GETCURSEL, 0, 0));
}
long EditSelection(HWND w)
{
    return static_cast<long>(SendMessageA(w, EM_GETSEL, 0, 0));
}
long ListViewSelection(HWND w)
{
    return static_cast<long>(SendMessageA(w, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}
long TreeViewSelection(HWND w)
{
    // Item handles differ between two trees: the caret's place among its siblings counts.
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(w, TVM_GETNEXTITEM, TVGN_CARET, 0));
    long place = 0;
    while (item && (item = reinterpret_cast<HTREEITEM>(
                        SendMessageA(w, TVM_GETNEXTITEM, TVGN_PREVIOUS, reinterpret_cast<LPARAM>(item)))))
        ++place;
    return place;
}

struct Family {
    const char* what;
    const char* className;
    DWORD style;
    void (*fill)(HWND);
    long (*selection)(HWND);
};

const Family kFamilies[] = {
    {"list box", "LISTBOX", WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, FillListBox, ListBoxSelection},
    {"edit", "EDIT", WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, FillEdit, EditSelection},
    {"rich edit", "RICHEDIT", WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, FillEdit, EditSelection},
    {"list view, report", WC_LISTVIEWA, LVS_REPORT | LVS_SHOWSELALWAYS, FillListView, ListViewSelection},
    {"list view, list", WC_LISTVIEWA, LVS_LIST | LVS_SHOWSELALWAYS, FillListView, ListViewSelection},
    {"list view, small icons", WC_LISTVIEWA, LVS_SMALLICON | LVS_SHOWSELALWAYS, FillListView, ListViewSelection},
    {"list view, icons", WC_LISTVIEWA, LVS_ICON | LVS_SHOWSELALWAYS, FillListView, ListViewSelection},
    {"tree view", WC_TREEVIEWA, TVS_HASLINES | TVS_SHOWSELALWAYS, FillTreeView, TreeViewSelection},
};

// The control's own ways of scrolling, each applied in turn.
void PressKey(HWND w, UINT key)
{
    SendMessageA(w, WM_KEYDOWN, key, 0);
    SendMessageA(w, WM_KEYUP, key, 0);
}
const struct Scrolling {
    const char* what;
    void (*apply)(HWND);
} kScrollings[] = {
    {"as first shown", [](HWND) {}},
    {"End", [](HWND w) { PressKey(w, VK_END); }},
    {"the wheel up", [](HWND w) { SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, 3 * WHEEL_DELTA), 0); }},
    {"Page Down", [](HWND w) { PressKey(w, VK_NEXT); }},
    {"Home", [](HWND w) { PressKey(w, VK_HOME); }},
};

// What the control answers and shows at one moment.
struct Seen {
    std::vector<long> answers;  // styles, both bars' values, the selection
    WindowPixels pixels;
};

Seen Look(HWND w, const Family& family)
{
    Seen seen;
    seen.answers.push_back(GetWindowLongA(w, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        seen.answers.push_back(GetScrollInfo(w, bar, &info));
        seen.answers.insert(seen.answers.end(), {info.nMin, info.nMax, static_cast<long>(info.nPage), info.nPos});
    }
    seen.answers.push_back(family.selection(w));
    seen.pixels = CaptureWindow(w);
    return seen;
}

// Where the bars lie, in window coordinates: between the client area and
// the border.
RECT BarStrip(HWND w, int bar)
{
    const RECT client = ClientInWindow(w);
    RECT window;
    GetWindowRect(w, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    if (bar == SB_VERT)
        return RECT{client.right, client.top, width - client.left, client.bottom};
    return RECT{client.left, client.bottom, client.right, height - client.top};
}

size_t ColoursIn(const WindowPixels& pixels, const RECT& area)
{
    std::set<unsigned> colours;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            colours.insert(pixels.At(x, y));
    return colours.size();
}

// A block of 4 x 4 pixels of pure black: never text, always a hole.
bool HasBlackBlock(const WindowPixels& pixels)
{
    for (int y = 0; y + 4 <= pixels.height; ++y)
        for (int x = 0; x + 4 <= pixels.width; ++x) {
            bool black = true;
            for (int dy = 0; dy < 4 && black; ++dy)
                for (int dx = 0; dx < 4 && black; ++dx)
                    black = pixels.At(x + dx, y + dy) == 0;
            if (black)
                return true;
        }
    return false;
}

// Filled as a dialog fills its controls before it shows, or afterwards,
// when the control has been on screen without anything to scroll.
enum class Filled { kAsMade, kLater };

class ParityTest : public ControlTest {
protected:
    // The control on a frame that is not skinned: the system's own look.
    HWND PlainControl(const Family& family, Filled filled)
    {
        if (!plainFrame_)
            plainFrame_ = CreateFrame(WS_OVERLAPPEDWINDOW, 420, 320);
        return Place(family, filled, plainFrame_);
    }
    HWND SkinnedControl(const Family& family, Filled filled) { return Place(family, filled, Frame()); }

    // The skinned control's client area made the plain one's, so that the
    // values which follow from its size (pages, the last position) compare:
    // the skin's bars need not be as thick as the system's.
    static void MatchClient(HWND skinned, HWND plain)
    {
        RECT want, have, outer;
        GetClientRect(plain, &want);
        GetClientRect(skinned, &have);
        GetWindowRect(skinned, &outer);
        SetWindowPos(skinned, nullptr, 0, 0, outer.right - outer.left + want.right - have.right,
                     outer.bottom - outer.top + want.bottom - have.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpMessages();
    }

private:
    static HWND Place(const Family& family, Filled filled, HWND frame)
    {
        HWND w = CreateWindowExA(WS_EX_CLIENTEDGE, family.className, "", WS_CHILD | WS_VISIBLE | family.style, 10, 10,
                                 300, 200, frame, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (w && filled == Filled::kAsMade)
            family.fill(w);
        PumpFor(20);
        if (w && filled == Filled::kLater)
            family.fill(w);
        PumpMessages();
        return w;
    }
    HWND plainFrame_ = nullptr;
};

TEST_F(ParityTest, EveryScrollingFamilyShowsAndAnswersAsUnskinned)
{
    LoadLibraryA("riched32.dll");
    for (const Family& family : kFamilies)
        for (Filled filled : {Filled::kAsMade, Filled::kLater}) {
            SCOPED_TRACE(family.what);
            SCOPED_TRACE(filled == Filled::kAsMade ? "filled as made" : "filled after its first show");
            WNDCLASSA known;
            if (!GetClassInfoA(nullptr, family.className, &known))
                continue;  // a class this system does not have
            HWND plain = PlainControl(family, filled);
            HWND skinned = SkinnedControl(family, filled);
            ASSERT_TRUE(plain && skinned);
            MatchClient(skinned, plain);
            for (const Scrolling& scrolling : kScrollings) {
                SCOPED_TRACE(scrolling.what);
                scrolling.apply(plain);
                scrolling.apply(skinned);
                const Seen expected = Look(plain, family);
                const Seen shown = Look(skinned, family);
                EXPECT_EQ(expected.answers, shown.answers) << "styles, both bars' values and the selection";
                const LONG style = GetWindowLongA(plain, GWL_STYLE);
                for (int bar : {SB_HORZ, SB_VERT}) {
                    if (!(style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)))
                        continue;
                    const RECT strip = BarStrip(skinned, bar);
                    EXPECT_TRUE(GetPropA(skinned, "CoolSBSubclassPtr")) << "the skin's bars, not the system's";
                    EXPECT_FALSE(IsRectEmpty(&strip)) << "room for bar " << bar;
                    EXPECT_GE(ColoursIn(shown.pixels, strip), 3u) << "bar " << bar << " drawn";
                }
                EXPECT_FALSE(HasBlackBlock(shown.pixels));
            }
            DestroyWindow(plain);
            DestroyWindow(skinned);
        }
}

}  // namespace
