// What an application asks a control and what the control tells it, with
// and without the skin: every row runs on a control of a skinned frame and
// on the same control of a plain frame, in the same run, and the two
// answers are compared. The system is the reference, so no row holds an
// expected value of its own.
#include "ControlTestSupport.h"

#include "core/SkinManager.h"
#include "data/ButtonPart.h"
#include "data/ButtonSkins.h"
#include "data/FrameSkin.h"
#include "data/GroupBoxSkin.h"
#include "data/HeaderSkin.h"
#include "data/SkinStore.h"
#include "data/StaticSkin.h"
#include "data/StatusBarSkin.h"
#include "imaging/WindowHelpers.h"
#include "data/TabSkin.h"
#include "imaging/DrawUtils.h"
#include "MessageLog.h"
#include "Pointer.h"
#include "SkinEngine.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// What the frames' procedures heard from their controls, one line per
// notification, and what they answer to custom draw.
struct ParentRecord {
    std::vector<std::string> heard;
    LRESULT prepaintAnswer = CDRF_DODEFAULT;
    LRESULT itemAnswer = CDRF_DODEFAULT;
    COLORREF ownFill = RGB(0, 160, 0);  // what the application paints for a skipped item
};

ParentRecord g_parent;
const char kPreviousProperty[] = "ParityPrevious";

std::string Line(const char* what, unsigned long long a, unsigned long long b = 0)
{
    std::ostringstream line;
    line << what << " " << std::hex << a << " " << b;
    return line.str();
}

LRESULT AnswerCustomDraw(const NMCUSTOMDRAW& draw)
{
    g_parent.heard.push_back(Line("NM_CUSTOMDRAW", draw.dwDrawStage, draw.dwItemSpec));
    if (draw.dwDrawStage == CDDS_PREPAINT)
        return g_parent.prepaintAnswer;
    if (draw.dwDrawStage != CDDS_ITEMPREPAINT)
        return CDRF_DODEFAULT;
    if (g_parent.itemAnswer & CDRF_SKIPDEFAULT) {
        Brush fill(CreateSolidBrush(g_parent.ownFill));
        FillRect(draw.hdc, &draw.rc, fill);
    }
    return g_parent.itemAnswer;
}

LRESULT CALLBACK RecordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProperty));
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == NM_CUSTOMDRAW)
            return AnswerCustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(lParam));
        if (header->code == TBN_GETDISPINFOW || header->code == TBN_GETDISPINFOA) {
            auto* info = reinterpret_cast<NMTBDISPINFOW*>(lParam);
            g_parent.heard.push_back(Line("TBN_GETDISPINFO", header->code, info->idCommand));
            info->iImage = 0;
            return 0;
        }
    }
    if (message == WM_DRAWITEM) {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        g_parent.heard.push_back(Line("WM_DRAWITEM", draw->CtlType, draw->itemID));
        return TRUE;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

void RecordNotifications(HWND frame)
{
    if (GetPropA(frame, kPreviousProperty))
        return;
    SetPropA(frame, kPreviousProperty, reinterpret_cast<HANDLE>(GetWindowLongPtrA(frame, GWLP_WNDPROC)));
    SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingParentProc));
}

void RedrawWhole(HWND control)
{
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// What the control's parent heard while `action` ran and the control
// answered it.
std::vector<std::string> HeardDuring(HWND control, const std::function<void(HWND)>& action = RedrawWhole)
{
    PumpFor(20);
    g_parent.heard.clear();
    action(control);
    PumpMessages();
    return g_parent.heard;
}

// Whether every notification of `some` is among those of `all`.
testing::AssertionResult Within(const std::vector<std::string>& some, const std::vector<std::string>& all)
{
    for (const std::string& line : some)
        if (std::find(all.begin(), all.end(), line) == all.end())
            return testing::AssertionFailure() << line << " is missing";
    return testing::AssertionSuccess();
}

RECT RectInFrame(HWND frame, HWND control)
{
    RECT area;
    GetWindowRect(control, &area);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&area), 2);
    const RECT client = ClientInWindow(frame);
    OffsetRect(&area, client.left, client.top);
    return area;
}

// A pixel is dark where a check box or a text line is drawn.
int DarkPixelsIn(const WindowPixels& picture, const RECT& area)
{
    int count = 0;
    for (int y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, picture.height); ++y)
        for (int x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, picture.width); ++x) {
            const unsigned p = picture.At(x, y);
            count += ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) < 3 * 0x60;
        }
    return count;
}

class ParityTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        g_parent = ParentRecord();
    }

    // The frame of the unskinned controls, beside the skinned one so that
    // both can be read from the screen.
    HWND PlainFrame()
    {
        if (!plain_) {
            plain_ = CreateFrame(WS_OVERLAPPEDWINDOW, 480, 360);
            SetWindowPos(plain_, nullptr, 560, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return plain_;
    }

    static HWND Make(HWND frame, const wchar_t* className, DWORD style, RECT place, bool unicode)
    {
        char ansiClass[64] = {};
        WideCharToMultiByte(CP_ACP, 0, className, -1, ansiClass, sizeof ansiClass, nullptr, nullptr);
        const DWORD all = style | WS_CHILD | WS_VISIBLE;
        const int width = place.right - place.left, height = place.bottom - place.top;
        const auto id = reinterpret_cast<HMENU>(100);
        HWND control = unicode ? CreateWindowExW(0, className, L"", all, place.left, place.top, width, height, frame,
                                                 id, GetModuleHandleA(nullptr), nullptr)
                               : CreateWindowExA(0, ansiClass, "", all, place.left, place.top, width, height, frame, id,
                                                 GetModuleHandleA(nullptr), nullptr);
        PumpFor(20);
        return control;
    }

    // The control on both frames: [0] skinned, [1] plain.
    std::vector<HWND> MakeBoth(const wchar_t* className, DWORD style, RECT place, bool unicode = false)
    {
        std::vector<HWND> both = {Make(Frame(), className, style, place, unicode),
                                  Make(PlainFrame(), className, style, place, unicode)};
        EXPECT_TRUE(SkinManager::Instance().FindWindowObject(both[0])) << "the skinned one has a skin";
        EXPECT_FALSE(SkinManager::Instance().FindWindowObject(both[1])) << "the plain one has none";
        RecordNotifications(Frame());
        RecordNotifications(PlainFrame());
        return both;
    }

private:
    HWND plain_ = nullptr;
};

// --- Unicode windows stay Unicode ------------------------------------------

// Outside code page 950: Polish, Korean and a Chinese character the code
// page has. An ANSI window gets only text of its code page, as any ANSI
// subclass of it would pass on.
const wchar_t kOutsideBig5[] = L"\u0141\uD55C\u4E2D\u00E6";
const wchar_t kInsideBig5[] = L"\u4E2D\u6587 ok";

struct TextRow {
    const wchar_t* className;
    DWORD style;
    bool unicode;
};

const TextRow kTextRows[] = {
    {L"Edit", ES_AUTOHSCROLL, true},    {L"Edit", ES_AUTOHSCROLL, false},  {L"Button", BS_PUSHBUTTON, true},
    {L"Button", BS_AUTOCHECKBOX, true}, {L"Button", BS_GROUPBOX, true},    {L"Static", SS_LEFT, true},
    {L"Static", SS_LEFT, false},        {L"ComboBox", CBS_DROPDOWN, true}, {L"ListBox", 0, true},
    {WC_LISTVIEWW, LVS_REPORT, true},   {WC_TREEVIEWW, 0, true},           {WC_TABCONTROLW, 0, true},
    {PROGRESS_CLASSW, 0, true},         {STATUSCLASSNAMEW, 0, true},       {WC_HEADERW, 0, true},
};

std::vector<std::string> TextAnswers(HWND control, const wchar_t* text)
{
    std::vector<std::string> answers;
    answers.push_back(Line("IsWindowUnicode", IsWindowUnicode(control)));
    answers.push_back(Line("WM_SETTEXT", SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text))));
    wchar_t back[32] = {};
    // An ANSI window's length answers only an upper bound through any ANSI
    // subclass; a Unicode window's is exact.
    const int length = GetWindowTextLengthW(control);
    answers.push_back(Line("GetWindowTextW", GetWindowTextW(control, back, 32), IsWindowUnicode(control) ? length : 0));
    answers.push_back(std::string("text ") + (wcscmp(back, text) == 0 ? "kept" : "changed"));
    PumpFor(10);
    answers.push_back(Line("IsWindowUnicode after paint", IsWindowUnicode(control)));
    return answers;
}

TEST_F(ParityTest, TextRoundTripsAsUnskinned)
{
    int place = 0;
    for (const TextRow& row : kTextRows) {
        char name[64] = {};
        WideCharToMultiByte(CP_ACP, 0, row.className, -1, name, sizeof name, nullptr, nullptr);
        const std::string context = std::string(name) + (row.unicode ? " made Unicode" : " made ANSI");
        const RECT area = {10, 10 + (place % 6) * 40, 210, 40 + (place % 6) * 40};
        ++place;
        const std::vector<HWND> both = MakeBoth(row.className, row.style, area, row.unicode);
        const wchar_t* text = row.unicode ? kOutsideBig5 : kInsideBig5;
        EXPECT_EQ(TextAnswers(both[1], text), TextAnswers(both[0], text)) << context;
        DestroyWindow(both[0]);
        DestroyWindow(both[1]);
    }
    EXPECT_EQ(IsWindowUnicode(PlainFrame()), IsWindowUnicode(Frame())) << "the program's own frame";
}

// A Unicode control's text drawn through the code page would look just as
// what the code page makes of it; the system's control shows the
// difference, and the skinned one must too.
struct ShownTextRow {
    const wchar_t* className;
    DWORD style;
    void (*show)(HWND control, const wchar_t* text);
};

void SetText(HWND control, const wchar_t* text)
{
    SetWindowTextW(control, text);
}

void InsertHeaderItem(HWND control, const wchar_t* text)
{
    HDITEMW item = {};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.cxy = 150;
    item.fmt = HDF_LEFT | HDF_STRING;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(control, HDM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void InsertTab(HWND control, const wchar_t* text)
{
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(control, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

const ShownTextRow kShownTextRows[] = {
    {L"Static", SS_LEFT, SetText},
    {L"Button", BS_PUSHBUTTON, SetText},
    {L"Button", BS_GROUPBOX, SetText},
    {L"Button", BS_AUTOCHECKBOX, SetText},
    {STATUSCLASSNAMEW, 0,
     [](HWND bar, const wchar_t* text) { SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text)); }},
    {WC_HEADERW, 0, InsertHeaderItem},
    {WC_TABCONTROLW, 0, InsertTab},
    {L"ComboBox", CBS_DROPDOWNLIST,
     [](HWND box, const wchar_t* text) {
         SendMessageW(box, CB_SETCURSEL, SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)), 0);
     }},
};

TEST_F(ParityTest, UnicodeTextIsDrawnAsUnskinned)
{
    const std::wstring coded = ThroughCodePage(kOutsideBig5);
    ASSERT_NE(coded, kOutsideBig5);
    for (const ShownTextRow& row : kShownTextRows) {
        // [skinned, plain][the text, what the code page makes of it]
        std::vector<unsigned> shown[2][2];
        for (int pass = 0; pass < 2; ++pass) {
            const std::vector<HWND> both = MakeBoth(row.className, row.style, RECT{10, 10, 250, 50}, true);
            for (HWND control : both) {
                row.show(control, pass == 0 ? kOutsideBig5 : coded.c_str());
                RedrawWhole(control);
            }
            for (int i = 0; i < 2; ++i) {
                shown[i][pass] = CaptureWindow(both[i]).pixels;
                DestroyWindow(both[i]);
            }
        }
        const std::string context = "row " + std::to_string(&row - kShownTextRows);
        EXPECT_NE(shown[1][0], shown[1][1]) << context << ": the system shows what the code page lacks";
        EXPECT_NE(shown[0][0], shown[0][1]) << context << ": so does the skin";
    }
}

TEST_F(ParityTest, ListItemsRoundTripAsUnskinned)
{
    struct ItemRow {
        const wchar_t* className;
        DWORD style;
        UINT add, getText, getLength;
    };
    const ItemRow kRows[] = {
        {L"ComboBox", CBS_DROPDOWNLIST, CB_ADDSTRING, CB_GETLBTEXT, CB_GETLBTEXTLEN},
        {L"ComboBox", CBS_DROPDOWN, CB_ADDSTRING, CB_GETLBTEXT, CB_GETLBTEXTLEN},
        {L"ListBox", 0, LB_ADDSTRING, LB_GETTEXT, LB_GETTEXTLEN},
    };
    for (const ItemRow& row : kRows) {
        SCOPED_TRACE(row.style);
        const std::vector<HWND> both = MakeBoth(row.className, row.style, RECT{10, 10, 210, 110}, true);
        std::vector<std::string> answers[2];
        for (int i = 0; i < 2; ++i) {
            answers[i].push_back(
                Line("add", SendMessageW(both[i], row.add, 0, reinterpret_cast<LPARAM>(kOutsideBig5))));
            SendMessageW(both[i], CB_SETCURSEL, 0, 0);
            PumpFor(10);
            wchar_t back[32] = {};
            answers[i].push_back(Line("length", SendMessageW(both[i], row.getLength, 0, 0)));
            answers[i].push_back(Line("get", SendMessageW(both[i], row.getText, 0, reinterpret_cast<LPARAM>(back))));
            answers[i].push_back(wcscmp(back, kOutsideBig5) == 0 ? "kept" : "changed");
            answers[i].push_back(Line("IsWindowUnicode", IsWindowUnicode(both[i])));
        }
        EXPECT_EQ(answers[1], answers[0]) << "row " << (&row - kRows);
        DestroyWindow(both[0]);
        DestroyWindow(both[1]);
    }
}

// --- What the application sets still holds ---------------------------------

TEST_F(ParityTest, ProgressBarAnswersAsUnskinned)
{
    struct Step {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Step kSteps[] = {
        {PBM_SETRANGE32, 10, 110},
        {PBM_SETSTEP, 30, 0},
        {PBM_SETPOS, 100, 0},
        {PBM_STEPIT, 0, 0},  // past the end
        {PBM_STEPIT, 0, 0},
        {PBM_SETSTEP, static_cast<WPARAM>(-45), 0},
        {PBM_STEPIT, 0, 0},  // below the start
        {PBM_STEPIT, 0, 0},
        {PBM_SETSTEP, 200, 0},  // more than the range
        {PBM_STEPIT, 0, 0},
        {PBM_DELTAPOS, 500, 0},
        {PBM_SETBARCOLOR, 0, RGB(255, 0, 0)},
        {PBM_SETBARCOLOR, 0, RGB(0, 0, 255)},
        {PBM_SETBKCOLOR, 0, RGB(0, 255, 0)},
        {PBM_SETBKCOLOR, 0, RGB(9, 9, 9)},
        {PBM_SETRANGE, 0, MAKELPARAM(5, 15)},
        {PBM_STEPIT, 0, 0},
    };
    const std::vector<HWND> both = MakeBoth(PROGRESS_CLASSW, 0, RECT{10, 10, 210, 30});
    PumpFor(30);
    for (const Step& step : kSteps) {
        std::vector<std::string> answers[2];
        for (int i = 0; i < 2; ++i) {
            answers[i].push_back(Line("result", SendMessageA(both[i], step.message, step.wParam, step.lParam)));
            answers[i].push_back(Line("position", SendMessageA(both[i], PBM_GETPOS, 0, 0)));
            answers[i].push_back(Line("range", SendMessageA(both[i], PBM_GETRANGE, TRUE, 0),
                                      SendMessageA(both[i], PBM_GETRANGE, FALSE, 0)));
        }
        EXPECT_EQ(answers[1], answers[0]) << "message 0x" << std::hex << step.message << " " << step.wParam;
    }
}

TEST_F(ParityTest, AnimationOpenFailsAsUnskinned)
{
    const LPARAM kSources[] = {
        reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(999)),
        reinterpret_cast<LPARAM>("NOSUCHCLIP"),
    };
    const std::vector<HWND> both = MakeBoth(ANIMATE_CLASSW, 0, RECT{10, 10, 110, 110});
    for (LPARAM source : kSources) {
        std::string answers[2];
        for (int i = 0; i < 2; ++i) {
            SetLastError(0xDEAD);
            const LRESULT result = SendMessageA(both[i], ACM_OPENA, 0, source);
            answers[i] = Line("result", result, GetLastError());
        }
        EXPECT_EQ(answers[1], answers[0]) << "source " << source;
    }
}

// --- What the control tells its application still reaches it ---------------

struct CustomDrawRow {
    const char* what;
    LRESULT prepaint;
    LRESULT item;
};

const CustomDrawRow kCustomDrawRows[] = {
    {"default", CDRF_DODEFAULT, CDRF_DODEFAULT},
    {"item notifications", CDRF_NOTIFYITEMDRAW, CDRF_DODEFAULT},
    {"item and post-paint notifications", CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT, CDRF_NOTIFYPOSTPAINT},
    {"items drawn by the application", CDRF_NOTIFYITEMDRAW, CDRF_SKIPDEFAULT},
    {"everything drawn by the application", CDRF_SKIPDEFAULT, CDRF_DODEFAULT},
};

void AddHeaderItems(HWND header)
{
    const int kFormats[] = {HDF_LEFT | HDF_STRING, HDF_OWNERDRAW, HDF_CENTER | HDF_STRING};
    char text[] = "Item";
    for (int i = 0; i < 3; ++i) {
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | HDI_LPARAM;
        item.cxy = 80;
        item.pszText = text;
        item.fmt = kFormats[i];
        item.lParam = 0x50 + i;
        SendMessageA(header, HDM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

// The centre of the first item: green where the application drew it.
COLORREF FirstItemCentre(HWND control, int x, int y)
{
    WindowDC dc(control);
    return GetPixel(dc, x, y);
}

TEST_F(ParityTest, HeaderTellsItsApplicationAsUnskinned)
{
    const std::vector<HWND> both = MakeBoth(WC_HEADERW, HDS_HORZ, RECT{10, 10, 300, 34});
    for (HWND header : both)
        AddHeaderItems(header);
    for (const CustomDrawRow& row : kCustomDrawRows) {
        g_parent.prepaintAnswer = row.prepaint;
        g_parent.itemAnswer = row.item;
        const std::vector<std::string> skinned = HeardDuring(both[0]);
        const COLORREF skinnedCentre = FirstItemCentre(both[0], 40, 12);
        const std::vector<std::string> plain = HeardDuring(both[1]);
        const COLORREF plainCentre = FirstItemCentre(both[1], 40, 12);
        EXPECT_EQ(plain, skinned) << row.what;
        EXPECT_EQ(plainCentre == g_parent.ownFill, skinnedCentre == g_parent.ownFill) << row.what;
    }
}

TEST_F(ParityTest, ListViewTellsItsApplicationAsUnskinned)
{
    const std::vector<HWND> both = MakeBoth(WC_LISTVIEWW, LVS_REPORT, RECT{10, 10, 300, 200});
    for (HWND list : both) {
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 120;
        SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        char text[] = "Row";
        for (int i = 0; i < 20; ++i) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = text;
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    const auto scroll = [](HWND list) { SendMessageA(list, WM_VSCROLL, SB_LINEDOWN, 0); };
    const auto select = [](HWND list) {
        SetFocus(list);
        SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0);
    };
    for (const CustomDrawRow& row : kCustomDrawRows) {
        g_parent.prepaintAnswer = row.prepaint;
        g_parent.itemAnswer = row.item;
        EXPECT_EQ(HeardDuring(both[1]), HeardDuring(both[0])) << row.what << ", redrawn";
        // The skin repaints a scrolled list whole: every row the system
        // notified of must be among the skinned list's.
        EXPECT_TRUE(Within(HeardDuring(both[1], scroll), HeardDuring(both[0], scroll))) << row.what << ", scrolled";
        EXPECT_TRUE(Within(HeardDuring(both[1], select), HeardDuring(both[0], select))) << row.what << ", selected";
    }
}

TEST_F(ParityTest, ToolbarAsksForCallbackImagesAsUnskinned)
{
    const std::vector<HWND> both = MakeBoth(TOOLBARCLASSNAMEW, TBSTYLE_FLAT | CCS_NORESIZE, RECT{10, 10, 300, 40});
    std::unique_ptr<_IMAGELIST, decltype(&ImageList_Destroy)> list(ImageList_Create(16, 16, ILC_COLOR24, 1, 0),
                                                                   ImageList_Destroy);
    {
        WindowDC screen(nullptr);
        Bitmap red(CreateCompatibleBitmap(screen, 16, 16));
        OwnedDC dc(CreateCompatibleDC(screen));
        {
            ObjectSelector selected(dc, red);
            Brush fill(CreateSolidBrush(RGB(255, 0, 0)));
            RECT all = {0, 0, 16, 16};
            FillRect(dc, &all, fill);
        }
        ImageList_Add(list.get(), red, nullptr);
    }
    for (HWND toolbar : both) {
        SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list.get()));
        TBBUTTON buttons[2] = {};
        for (int i = 0; i < 2; ++i)
            buttons[i] = TBBUTTON{I_IMAGECALLBACK, 201 + i, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0};
        SendMessageA(toolbar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));
    }
    const std::vector<std::string> skinned = HeardDuring(both[0]);
    const std::vector<std::string> plain = HeardDuring(both[1]);
    EXPECT_EQ(plain, skinned);
    bool red[2] = {};
    for (int i = 0; i < 2; ++i) {
        RECT button;
        SendMessageA(both[i], TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
        const COLORREF centre =
            FirstItemCentre(both[i], (button.left + button.right) / 2, (button.top + button.bottom) / 2);
        red[i] = centre == RGB(255, 0, 0);
    }
    EXPECT_EQ(red[1], red[0]) << "the image the application named is drawn";
    for (HWND toolbar : both)
        SendMessageA(toolbar, TB_SETIMAGELIST, 0, 0);
}

TEST_F(ParityTest, TreeViewCheckBoxesAsUnskinned)
{
    const std::vector<HWND> both = MakeBoth(WC_TREEVIEWW, TVS_CHECKBOXES | TVS_HASLINES, RECT{10, 10, 210, 150});
    HTREEITEM items[2] = {};
    for (int i = 0; i < 2; ++i) {
        char text[] = "Checked item";
        TVINSERTSTRUCTA insert = {};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = text;
        items[i] =
            reinterpret_cast<HTREEITEM>(SendMessageA(both[i], TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        RedrawWindow(both[i], nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpFor(20);
    }
    std::vector<std::string> answers[2];
    for (int i = 0; i < 2; ++i) {
        answers[i].push_back(Line("state images", SendMessageA(both[i], TVM_GETIMAGELIST, TVSIL_STATE, 0) != 0));
        answers[i].push_back(Line("item state", SendMessageA(both[i], TVM_GETITEMSTATE,
                                                             reinterpret_cast<WPARAM>(items[i]), TVIS_STATEIMAGEMASK)));
        RECT text = {};
        TreeView_GetItemRect(both[i], items[i], &text, TRUE);
        const HWND frame = GetParent(both[i]);
        const WindowPixels shown = CaptureWindow(frame);
        const RECT control = RectInFrame(frame, both[i]);
        const RECT box = {control.left, control.top + text.top, control.left + text.left, control.top + text.bottom};
        answers[i].push_back(Line("box drawn", DarkPixelsIn(shown, box) > 8));
    }
    EXPECT_EQ(answers[1], answers[0]);
}

// --- Nothing the unskinned frame shows vanishes -----------------------------

struct TabLayoutRow {
    const char* what;
    bool childOfTab;
    bool madeBeforeTab;
    bool raised;
    DWORD tabClip;
    DWORD controlClip;
};

const TabLayoutRow kTabLayouts[] = {
    {"children of the tab", true, false, false, 0, 0},
    {"children of a clipping tab", true, false, false, WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0},
    {"siblings made after the tab", false, false, false, 0, 0},
    {"siblings made after the tab, raised", false, false, true, 0, 0},
    {"siblings made after a clipping tab, raised", false, false, true, WS_CLIPSIBLINGS, 0},
    {"clipping siblings made after the tab, raised", false, false, true, 0, WS_CLIPSIBLINGS},
    {"siblings made before the tab", false, true, false, 0, 0},
    {"siblings made before the tab, raised", false, true, true, 0, 0},
    {"siblings made before a clipping tab, raised", false, true, true, WS_CLIPSIBLINGS, 0},
};

class TabLayout {
public:
    TabLayout(HWND frame, const TabLayoutRow& row)
    {
        if (row.madeBeforeTab)
            MakeControls(frame, row);
        tab_ = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | row.tabClip, 10, 10, 300, 200, frame,
                               reinterpret_cast<HMENU>(50), GetModuleHandleA(nullptr), nullptr);
        char first[] = "First", second[] = "Second";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = first;
        SendMessageA(tab_, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.pszText = second;
        SendMessageA(tab_, TCM_INSERTITEMA, 1, reinterpret_cast<LPARAM>(&item));
        if (!row.madeBeforeTab)
            MakeControls(row.childOfTab ? tab_ : frame, row);
        if (row.raised)
            for (HWND control : controls_)
                SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        PumpFor(30);
    }
    ~TabLayout()
    {
        for (HWND control : controls_)
            DestroyWindow(control);
        DestroyWindow(tab_);
    }

    HWND Tab() const { return tab_; }
    const std::vector<HWND>& Controls() const { return controls_; }

private:
    void MakeControls(HWND parent, const TabLayoutRow& row)
    {
        // Placed over the page in the frame's coordinates either way.
        const int offset = row.childOfTab && !row.madeBeforeTab ? -10 : 0;
        const DWORD style = WS_CHILD | WS_VISIBLE | row.controlClip;
        controls_.push_back(CreateWindowExA(0, "Static", "Label over the page", style | SS_LEFT, 40 + offset,
                                            70 + offset, 160, 20, parent, reinterpret_cast<HMENU>(51),
                                            GetModuleHandleA(nullptr), nullptr));
        controls_.push_back(CreateWindowExA(0, "Button", "Push", style | BS_PUSHBUTTON, 40 + offset, 110 + offset, 90,
                                            26, parent, reinterpret_cast<HMENU>(52), GetModuleHandleA(nullptr),
                                            nullptr));
    }

    HWND tab_ = nullptr;
    std::vector<HWND> controls_;
};

// For each control: whether it shows anything of its own, after the
// layout was made and again after the tab was repainted.
std::vector<std::string> WhatTheLayoutShows(HWND frame, const TabLayout& layout)
{
    std::vector<std::string> shown;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            SendMessageA(layout.Tab(), TCM_SETCURSEL, 1, 0);
            SendMessageA(layout.Tab(), TCM_SETCURSEL, 0, 0);
            RedrawWindow(layout.Tab(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        PumpFor(20);
        const WindowPixels with = CaptureWindow(frame);
        for (HWND control : layout.Controls()) {
            const RECT area = RectInFrame(frame, control);
            ShowWindow(control, SW_HIDE);
            PumpFor(20);
            const WindowPixels without = CaptureWindow(frame);
            ShowWindow(control, SW_SHOWNA);
            PumpFor(20);
            shown.push_back(Line("visible", IsWindowVisible(control), PixelsDifferingIn(with, area, without) > 20));
        }
    }
    return shown;
}

TEST_F(ParityTest, ControlsOverATabPageShowAsUnskinned)
{
    for (const TabLayoutRow& row : kTabLayouts) {
        std::vector<std::string> shown[2];
        const HWND frames[2] = {Frame(), PlainFrame()};
        for (int i = 0; i < 2; ++i) {
            TabLayout layout(frames[i], row);
            shown[i] = WhatTheLayoutShows(frames[i], layout);
        }
        EXPECT_EQ(shown[1], shown[0]) << row.what;
    }
}

// --- Keyboard cues -----------------------------------------------------------

// A row of alternating pixels: a focus rectangle's dotted edge.
bool ShowsDottedLine(const WindowPixels& p)
{
    for (int y = 0; y < p.height; ++y)
        for (int x = 0, run = 0; x + 2 < p.width; ++x)
            if ((run = p.At(x, y) == p.At(x + 2, y) && p.At(x, y) != p.At(x + 1, y) ? run + 1 : 0) >= 8)
                return true;
    return false;
}

// The UI state of the dialog and its controls, whether each control's
// picture changes when its ampersand goes (the underline), and whether it
// shows a focus rectangle.
std::vector<std::string> CuesShown(HWND dialog)
{
    std::vector<std::string> shown = {Line("dialog", SendMessageA(dialog, WM_QUERYUISTATE, 0, 0))};
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char text[32] = {};
        GetWindowTextA(c, text, sizeof text);
        const WindowPixels with = CaptureWindow(c);
        SetWindowTextA(c, text + 1);
        const bool underlined = CaptureWindow(c).pixels != with.pixels;
        SetWindowTextA(c, text);
        shown.push_back(Line(text, SendMessageA(c, WM_QUERYUISTATE, 0, 0), underlined * 2 + ShowsDottedLine(with)));
    }
    return shown;
}

// Left-aligned captions, placed whatever their ampersand; no system menu,
// which Alt would open in the unskinned dialog.
HWND CuesDialog()
{
    return DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 160, 80, L"Cues")
        .Add(L"Button", L"&Open", 1, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_LEFT, 10, 10, 60, 16)
        .Add(L"Button", L"&Check", 2, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 32, 80, 12)
        .Add(L"Static", L"&Label", 3, WS_CHILD | WS_VISIBLE, 10, 52, 80, 10)
        .Create(nullptr, PlainDialogProc);
}

void Focus(HWND dialog)
{
    SetForegroundWindow(dialog);
    RECT area;
    GetWindowRect(dialog, &area);
    PlacePointer({area.right - 5, area.bottom - 5});
    PumpDialog(dialog, 30);
}

TEST_F(ParityTest, KeyboardCuesShowAsInTheUnskinnedDialog)
{
    BOOL cues = TRUE;
    SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, nullptr, 0);  // for this process only
    HWND dialogs[2];
    for (HWND& dialog : dialogs) {
        if (&dialog != dialogs)
            ClearDialogSkinName();
        dialog = CuesDialog();
        windows_.push_back(dialog);
    }
    EXPECT_TRUE(SkinManager::Instance().FindWindowObject(GetDlgItem(dialogs[0], 1)));
    EXPECT_FALSE(SkinManager::Instance().FindWindowObject(GetDlgItem(dialogs[1], 1)));
    SetWindowPos(dialogs[1], nullptr, 400, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // In order, through the input queue and each dialog's own manager.
    for (const WORD key : {WORD(0), WORD(VK_MENU), WORD(VK_TAB)}) {
        std::vector<std::string> shown[2];
        for (int i = 0; i < 2; ++i) {
            Focus(dialogs[i]);
            if (key)
                SendKeys({{key, true}, {key, false}}, dialogs[i]);
            shown[i] = CuesShown(dialogs[i]);
        }
        EXPECT_EQ(shown[1], shown[0]) << "after key " << key;
    }
    SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(cues)), 0);
}

LRESULT HidesEveryCue(HWND)
{
    return UISF_HIDEACCEL | UISF_HIDEFOCUS;
}

// Wine keeps no UI state, so its dialogs show every cue: a stand-in for the
// system's answer shows the skinned painters hiding what a hidden state
// hides, and showing it again.
TEST_F(ParityTest, HiddenCuesHideTheSkinnedUnderlinesAndFocusRectangle)
{
    const HWND dialog = CuesDialog();
    windows_.push_back(dialog);
    Focus(dialog);
    SendKeys({{VK_TAB, true}, {VK_TAB, false}}, dialog);
    const std::vector<std::string> shown = CuesShown(dialog);
    SetUiStateQuery(HidesEveryCue);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const std::vector<std::string> hidden = CuesShown(dialog);
    SetUiStateQuery(nullptr);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(shown, CuesShown(dialog)) << "shown again";
    const std::vector<std::string> expectedShown = {Line("dialog", 0), Line("&Open", 0, 2), Line("&Check", 0, 3),
                                                    Line("&Label", 0, 2)};
    const std::vector<std::string> expectedHidden = {Line("dialog", 0), Line("&Open", 0, 0), Line("&Check", 0, 0),
                                                     Line("&Label", 0, 0)};
    EXPECT_EQ(expectedShown, shown) << "underlines everywhere, the focus on the check box";
    EXPECT_EQ(expectedHidden, hidden);
}

// --- Text that reads ---------------------------------------------------------

// WCAG's relative luminance of a 0x00RRGGBB pixel.
double Luminance(unsigned pixel)
{
    double sum = 0;
    const double weights[3] = {0.2126, 0.7152, 0.0722};
    for (int channel = 0; channel < 3; ++channel) {
        const double c = ((pixel >> (16 - 8 * channel)) & 0xFF) / 255.0;
        sum += weights[channel] * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return sum;
}

double Contrast(unsigned a, unsigned b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

unsigned Pixel(COLORREF colour)
{
    return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

unsigned EffectPixel(const TextEffect& effect)
{
    return Pixel(LoadColour3(effect.textColour));
}

template <typename Skin>
const Skin& Object(const char* name)
{
    return *static_cast<const Skin*>(DefaultStore().FindObject(name));
}

// The pixels text is drawn over: a framed image inside its margins, or a
// colour where there is no image. Key-coloured pixels let the window behind
// show, which `behind` stands for.
std::vector<unsigned> Under(const FrameImageRef& image, COLORREF fallback, unsigned behind)
{
    const int width = 60, height = 24;
    const WindowPixels piece = RenderFrameImage(image, width, height, fallback);
    std::vector<unsigned> pixels;
    for (int y = image.marginTop; y < height - image.marginBottom; ++y)
        for (int x = image.marginLeft; x < width - image.marginRight; ++x)
            pixels.push_back(piece.At(x, y) == 0xFF00FF ? behind : piece.At(x, y));
    return pixels;
}

// A caption's piece at its own height: the text sits in its middle half,
// clear of the edge and highlight rows.
std::vector<unsigned> Under(const ImageRef& image, COLORREF fallback)
{
    const int height = std::max(1, static_cast<int>(image.source.bottom - image.source.top));
    const WindowPixels piece = RenderPiece(image, 60, height, fallback);
    return std::vector<unsigned>(piece.pixels.begin() + piece.width * (height / 4),
                                 piece.pixels.begin() + piece.width * (height - height / 4));
}

std::vector<unsigned> Plain(COLORREF colour)
{
    return {Pixel(colour)};
}

struct TextLook {
    std::string what;
    unsigned text;
    std::vector<unsigned> background;
    const LOGFONTA* font = nullptr;  // what the text is drawn in, where the skin names it
};

// "File", "Help" and a command, in the program's code page and in English.
const char kSampleText[] = "\xC0\xC9\xAE\xD7 \xBB\xA1\xA9\xFA Refresh";

// The contrast most of the text's drawn pixels reach against the middle
// pixel of the background: a font drawn with smoothed edges at a small
// size never reaches its colour, and reads no better than what it draws.
double DrawnContrast(const TextLook& look)
{
    std::vector<unsigned> sorted = look.background;
    std::sort(sorted.begin(), sorted.end());
    const unsigned background = sorted[sorted.size() / 2];
    const int width = 160, height = 24;
    WindowDC screen(nullptr);
    unsigned* bits = nullptr;
    Bitmap section = TopDownSection(screen, width, height, &bits);
    OwnedDC dc(CreateCompatibleDC(screen));
    Font font(CreateFontIndirectA(look.font));
    std::vector<double> strokes;
    {
        ObjectSelector selected(dc, section);
        ObjectSelector fontSelected(dc, font);
        RECT all = {0, 0, width, height};
        Brush fill(CreateSolidBrush(RGB(background >> 16, background >> 8 & 0xFF, background & 0xFF)));
        FillRect(dc, &all, fill);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(look.text >> 16, look.text >> 8 & 0xFF, look.text & 0xFF));
        DrawTextA(dc, kSampleText, -1, &all, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        GdiFlush();
        for (int i = 0; i < width * height; ++i)
            if ((bits[i] & 0xFFFFFF) != background)
                strokes.push_back(Contrast(bits[i] & 0xFFFFFF, background));
    }
    if (strokes.empty())
        return 0;
    std::sort(strokes.begin(), strokes.end());
    return strokes[strokes.size() / 2];
}

// The lowest contrast of `text` over any pixel of its background.
double WorstContrast(const TextLook& look)
{
    double worst = 1e9;
    for (unsigned pixel : look.background)
        worst = std::min(worst, Contrast(look.text, pixel));
    return worst;
}

std::vector<TextLook> EnabledTextsOfTheDefaultSkin()
{
    const auto& main = Object<FrameSkin>("MainFrame");
    const auto& dialog = Object<FrameSkin>("Dialog");
    const auto& menu = main.menuBar;
    const auto& popup = Object<PopupMenuSkin>("PopupMenu");
    const auto& button = Object<ButtonSkin>("Button");
    const auto& check = Object<CheckBoxSkin>("CheckBox");
    const auto& radio = Object<RadioSkin>("Radio");
    const auto& tab = Object<TabSkin>("Tab");
    const auto& status = Object<StatusBarSkin>("StatusBar");
    const auto& group = Object<GroupBoxSkin>("GroupBox");
    const auto& header = Object<HeaderSkin>("Header");
    const auto& label = Object<StaticSkin>("Static");
    const unsigned dialogClient = Pixel(dialog.clientColour);
    std::vector<TextLook> looks = {
        {"menu bar", EffectPixel(menu.idleEffect), Under(menu.barBackground, menu.backColour, Pixel(menu.backColour)),
         &menu.font.logFont},
        {"menu bar, hot", EffectPixel(menu.hotEffect), Under(menu.hotImage, menu.hotColour, Pixel(menu.backColour)),
         &menu.font.logFont},
        {"menu bar, open", EffectPixel(menu.openEffect), Under(menu.openImage, menu.openColour, Pixel(menu.backColour)),
         &menu.font.logFont},
        {"popup item", EffectPixel(popup.normalEffect),
         Under(popup.frameImages[SkinnedWindow::PartClient], popup.clientColour), &popup.font.logFont},
        {"popup item, hot", EffectPixel(popup.activeEffect),
         Under(popup.activeItemImage, popup.itemActiveColour, Pixel(popup.clientColour)), &popup.font.logFont},
        {"main caption", Pixel(main.font.colour), Under(main.frameImages[SkinnedWindow::PartTop], main.activeColour),
         &main.font.logFont},
        {"dialog caption", Pixel(dialog.font.colour),
         Under(dialog.frameImages[SkinnedWindow::PartTop], dialog.activeColour), &dialog.font.logFont},
        {"label on a dialog", EffectPixel(label.effect), Plain(dialog.clientColour), &label.font.logFont},
        {"label on the main window", EffectPixel(label.effect), Plain(main.clientColour), &label.font.logFont},
        {"list box item", Pixel(Object<SkinObject>("Listbox").textColour),
         Plain(Object<SkinObject>("Listbox").backColour)},
        {"list view item", Pixel(Object<SkinObject>("ListCtrl").textColour),
         Plain(Object<SkinObject>("ListCtrl").backColour)},
        {"tree view item", Pixel(Object<SkinObject>("TreeCtrl").textColour),
         Plain(Object<SkinObject>("TreeCtrl").backColour)},
        {"edit text", Pixel(Object<SkinObject>("Edit").textColour), Plain(Object<SkinObject>("Edit").backColour)},
        {"status bar", Pixel(status.font.colour), Under(status.itemImage, GetSysColor(COLOR_BTNFACE), dialogClient),
         &status.font.logFont},
        {"group box caption", EffectPixel(group.effect), Under(group.captionImage, group.captionColour, dialogClient),
         &group.font.logFont},
        {"header item", EffectPixel(header.effect), Under(header.item, GetSysColor(COLOR_BTNFACE), dialogClient),
         &header.font.logFont},
    };
    const char* const kButtonStates[] = {"normal", "pressed", "default", "focused", "highlighted"};
    for (int state = 0; state < ButtonSkin::StateDisabled; ++state)
        looks.push_back({std::string("button, ") + kButtonStates[state], EffectPixel(button.states[state].effect),
                         Under(button.states[state].image, button.backColour, dialogClient), &button.font.logFont});
    const char* const kTabStates[] = {"normal", "pressed", "", "hovered"};
    for (int state : {TabSkin::StateNormal, TabSkin::StatePressed, TabSkin::StateHovered})
        looks.push_back({std::string("tab, ") + kTabStates[state], EffectPixel(tab.states[state].effect),
                         Under(tab.states[state].image, tab.backColour, dialogClient), &tab.font.logFont});
    for (const CheckableSkinBase* checkable :
         {static_cast<const CheckableSkinBase*>(&check), static_cast<const CheckableSkinBase*>(&radio)})
        for (int group = CheckableSkinBase::GroupNormal; group <= CheckableSkinBase::GroupHighlightedSelected;
             ++group) {
            if (group == CheckableSkinBase::GroupDisabled || group == CheckableSkinBase::GroupGrayedNormal ||
                group == CheckableSkinBase::GroupGrayedSelected)
                continue;
            const CheckStateLook& look = checkable->groups[group];
            looks.push_back(
                {std::string(checkable == &check ? "check box" : "radio button") + ", look " + std::to_string(group),
                 EffectPixel(look.effect), Under(look.background, dialog.clientColour, dialogClient),
                 &checkable->font.logFont});
        }
    return looks;
}

TEST_F(ParityTest, EveryEnabledTextOfTheDefaultSkinReads)
{
    for (const TextLook& look : EnabledTextsOfTheDefaultSkin()) {
        ASSERT_FALSE(look.background.empty()) << look.what;
        EXPECT_GE(WorstContrast(look), 4.5) << look.what << ": text 0x" << std::hex << look.text;
        if (look.font) {
            EXPECT_GE(DrawnContrast(look), 4.5) << look.what << " as drawn in its font";
        }
    }
}

TEST_F(ParityTest, DisabledTextOfTheDefaultSkinStandsApart)
{
    const auto& popup = Object<PopupMenuSkin>("PopupMenu");
    const auto& button = Object<ButtonSkin>("Button");
    const auto& tab = Object<TabSkin>("Tab");
    const auto& check = Object<CheckBoxSkin>("CheckBox");
    const struct {
        const char* what;
        unsigned enabled, disabled;
    } kPairs[] = {
        {"popup item", EffectPixel(popup.normalEffect), EffectPixel(popup.disabledEffect)},
        {"button", EffectPixel(button.states[ButtonSkin::StateNormal].effect),
         EffectPixel(button.states[ButtonSkin::StateDisabled].effect)},
        {"tab", EffectPixel(tab.states[TabSkin::StateNormal].effect),
         EffectPixel(tab.states[TabSkin::StateDisabled].effect)},
        {"check box", EffectPixel(check.groups[CheckableSkinBase::GroupNormal].effect),
         EffectPixel(check.groups[CheckableSkinBase::GroupDisabled].effect)},
    };
    for (const auto& pair : kPairs)
        EXPECT_GE(Contrast(pair.enabled, pair.disabled), 2.0) << pair.what;
}

}  // namespace
