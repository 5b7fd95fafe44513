// Skinned frames: the non-client area drawn from the skin's parts at any
// size and activation, the window region, hit testing, maximising, the
// menu bar, and the system never painting the frame.
#include "WindowTestSupport.h"

#include "DcStateCheck.h"
#include "MessageLog.h"
#include "SkinEngine.h"
#include "core/SkinManager.h"
#include "core/SkinnedWindow.h"
#include "data/ButtonPart.h"
#include "data/FrameSkin.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "windows/CaptionButton.h"
#include "windows/SkinnedFrame.h"

#include <cctype>
#include <functional>
#include <sstream>

namespace {

const COLORREF kKey = RGB(255, 0, 255);
const unsigned kKeyPixel = 0xFF00FF;

// The main frame's parts for a window of w x h: the design (176 x 61)
// fitted as the skin's layout rules say, written out for these tests.
struct MainFrameLayout {
    int w, h;
    RECT Part(int part) const
    {
        switch (part) {
        case 0: return {0, 0, 40, 32};
        case 1: return {40, 0, w - 112, 32};
        case 2: return {w - 112, 0, w, 32};
        case 3: return {0, 32, 5, h - 5};
        case 4: return {5, 32, w - 5, h - 5};
        case 5: return {w - 5, 32, w, h - 5};
        case 6: return {0, h - 5, 16, h};
        case 7: return {16, h - 5, w - 16, h};
        default: return {w - 16, h - 5, w, h};
        }
    }
    // Where the caption buttons sit: the system button at the left, the
    // others following the right edge.
    std::vector<RECT> Buttons() const
    {
        return {{10, 6, 30, 26}, {w - 34, 5, w - 6, 27}, {w - 64, 5, w - 36, 27}, {w - 94, 5, w - 66, 27}};
    }
};

const FrameSkin& MainFrameSkin()
{
    return *static_cast<const FrameSkin*>(DefaultStore().FindObject("MainFrame"));
}

bool Inside(const std::vector<RECT>& rects, int x, int y)
{
    for (const RECT& r : rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    return false;
}

// The window shows the piece (active or inactive) over `area`, pixel for
// pixel, except where the piece is transparent or `skip` covers it.
testing::AssertionResult ShowsPart(const WindowPixels& shown, const RECT& area, int part, bool active,
                                   const std::vector<RECT>& skip = {})
{
    const FrameSkin& skin = MainFrameSkin();
    const ImageRef& piece = skin.frameImages[active ? part : part + 9];
    const int w = area.right - area.left, h = area.bottom - area.top;
    const WindowPixels expected = RenderPiece(piece, w, h, active ? skin.activeColour : skin.inactiveColour);
    int differing = 0;
    std::ostringstream first;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned want = expected.At(x, y);
            if (want == kKeyPixel || Inside(skip, area.left + x, area.top + y))
                continue;
            const unsigned got = shown.At(area.left + x, area.top + y);
            if (got != want && differing++ == 0)
                first << " first at (" << area.left + x << "," << area.top + y << "): 0x" << std::hex << got
                      << " instead of 0x" << want;
        }
    if (differing)
        return testing::AssertionFailure() << "part " << part << (active ? " active" : " inactive") << ": "
                                           << differing << " pixels differ;" << first.str();
    return testing::AssertionSuccess();
}

// Every part outside the caption text and the buttons shows the skin.
testing::AssertionResult ShowsFrame(HWND window, bool active)
{
    RECT rect;
    GetWindowRect(window, &rect);
    const MainFrameLayout layout{rect.right - rect.left, rect.bottom - rect.top};
    const WindowPixels shown = CaptureWindow(window);
    const RECT text = layout.Part(1);
    std::vector<RECT> skip = layout.Buttons();
    skip.push_back({text.left, text.top + 6, text.right, text.bottom - 5});
    for (int part : {0, 1, 2, 3, 5, 6, 7, 8}) {
        testing::AssertionResult result = ShowsPart(shown, layout.Part(part), part, active, skip);
        if (!result)
            return result;
    }
    return testing::AssertionSuccess();
}

// The client area shows the skin's client piece drawn over all of it.
bool ShowsClientPiece(HWND window)
{
    const FrameSkin& skin = MainFrameSkin();
    const RECT client = ClientInWindow(window);
    const WindowPixels piece = RenderPiece(skin.frameImages[SkinnedWindow::PartClient], client.right - client.left,
                                           client.bottom - client.top, skin.clientColour);
    return Cut(CaptureWindow(window), client).pixels == piece.pixels;
}

// The screen point of a window-relative point.
LPARAM At(HWND window, int x, int y)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return MAKELPARAM(rect.left + x, rect.top + y);
}

LRESULT HitTest(HWND window, int x, int y)
{
    return SendMessageA(window, WM_NCHITTEST, 0, At(window, x, y));
}

class FrameTest : public SkinnedWindowTest {
protected:
    HWND CreateOtherWindow()
    {
        HWND other = CreateWindowExA(0, "SsoTestFrame", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500, 200, 150,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(other);
        return other;
    }
};

TEST_F(FrameTest, AtItsDesignSizeTheFrameHasItsDesignParts)
{
    HWND window = CreateSkinnedFrame(WS_OVERLAPPEDWINDOW, 176, 61);
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(window);
    RECT rect;
    GetWindowRect(window, &rect);
    ASSERT_EQ(176, rect.right - rect.left);
    skin->LayoutParts({0, 0, 176, 61});
    for (int part = 0; part < SkinnedWindow::kPartCount; ++part)
        EXPECT_TRUE(EqualRect(&MainFrameSkin().designRects[part], &skin->PartRect(part))) << "part " << part;
}

TEST_F(FrameTest, AtEverySizeEachPartShowsItsPieceAsItsModeSays)
{
    HWND window = CreateSkinnedFrame(WS_OVERLAPPEDWINDOW, 400, 300);
    SetWindowTextA(window, "");
    for (SIZE size : {SIZE{400, 300}, SIZE{641, 479}, SIZE{233, 120}}) {
        SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        PumpFor(20);
        EXPECT_TRUE(ShowsFrame(window, true)) << size.cx << " x " << size.cy;
    }
}

TEST_F(FrameTest, TheCaptionShowsTheWindowTextInTheCaptionFontColour)
{
    HWND window = CreateSkinnedFrame();
    const RECT caption = MainFrameLayout{400, 300}.Part(1);
    auto countTextPixels = [&] {
        const WindowPixels shown = CaptureWindow(window);
        int count = 0;
        for (int y = caption.top; y < caption.bottom; ++y)
            for (int x = caption.left; x < caption.right; ++x)
                count += (shown.At(x, y) & 0xC0C0C0) == 0xC0C0C0;  // the caption font is white

        return count;
    };
    SetWindowTextA(window, "");
    const int empty = countTextPixels();
    SetWindowTextA(window, "WWWW MMMM");
    const int titled = countTextPixels();
    EXPECT_GT(titled, empty + 40);
    EXPECT_TRUE(ShowsFrame(window, true)) << "text stays inside the caption";
}

TEST_F(FrameTest, KeyColouredCornersAreOutsideTheWindowRegion)
{
    HWND window = CreateSkinnedFrame();
    Region region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, GetWindowRgn(window, region));
    const FrameSkin& skin = MainFrameSkin();
    for (int part : {0, 2, 6, 8}) {
        const RECT area = MainFrameLayout{400, 300}.Part(part);
        const WindowPixels piece =
            RenderPiece(skin.frameImages[part], area.right - area.left, area.bottom - area.top, skin.activeColour);
        int keyed = 0;
        for (int y = 0; y < piece.height; ++y)
            for (int x = 0; x < piece.width; ++x) {
                const bool transparent = piece.At(x, y) == kKeyPixel;
                keyed += transparent;
                EXPECT_EQ(!transparent, PtInRegion(region, area.left + x, area.top + y) != FALSE)
                    << "part " << part << " at " << x << "," << y;
            }
        if (part == 0) {
            EXPECT_GT(keyed, 0) << "our skin rounds its top-left corner";
        }
    }
}

// The first and last pixel of every part and of every 5 x 5 sizing corner
// of the main frame (top-left part 40 x 32, top-right part 112 wide, sides
// and bottom 5, bottom corners 16 wide), and the pixels just past them.
struct HitCase {
    int x, y;
    LRESULT sizable, fixed, maximised;
};
const HitCase kHitCases[] = {
    {0, 0, HTTOPLEFT, HTCAPTION, HTCAPTION},
    {4, 4, HTTOPLEFT, HTCAPTION, HTCAPTION},
    {5, 4, HTCAPTION, HTCAPTION, HTCAPTION},
    {4, 5, HTCAPTION, HTCAPTION, HTCAPTION},
    {39, 31, HTCAPTION, HTCAPTION, HTCAPTION},
    {40, 0, HTTOP, HTCAPTION, HTCAPTION},
    {Far(113), 4, HTTOP, HTCAPTION, HTCAPTION},
    {40, 5, HTCAPTION, HTCAPTION, HTCAPTION},
    {Far(113), 31, HTCAPTION, HTCAPTION, HTCAPTION},
    {Far(112), 0, HTCAPTION, HTCAPTION, HTCAPTION},
    {Far(1), 0, HTTOPRIGHT, HTCAPTION, HTCAPTION},
    {Far(5), 4, HTTOPRIGHT, HTCAPTION, HTCAPTION},
    {Far(6), 0, HTCAPTION, HTCAPTION, HTCAPTION},
    {Far(1), 5, HTCAPTION, HTCAPTION, HTCAPTION},
    {Far(1), 31, HTCAPTION, HTCAPTION, HTCAPTION},
    {0, 32, HTLEFT, 0, 0},
    {4, Far(6), HTLEFT, 0, 0},
    {5, 32, HTCLIENT, HTCLIENT, HTCLIENT},
    {Far(6), Far(6), HTCLIENT, HTCLIENT, HTCLIENT},
    {Far(5), 32, HTRIGHT, 0, 0},
    {Far(1), Far(6), HTRIGHT, 0, 0},
    {0, Far(5), HTBOTTOMLEFT, 0, 0},
    {4, Far(1), HTBOTTOMLEFT, 0, 0},
    {5, Far(1), HTBOTTOM, 0, 0},
    {0, Far(6), HTLEFT, 0, 0},
    {15, Far(5), HTBOTTOM, 0, 0},
    {16, Far(5), HTBOTTOM, 0, 0},
    {Far(17), Far(1), HTBOTTOM, 0, 0},
    {Far(16), Far(5), HTBOTTOM, 0, 0},
    {Far(5), Far(5), HTBOTTOMRIGHT, 0, 0},
    {Far(1), Far(1), HTBOTTOMRIGHT, 0, 0},
    {Far(6), Far(1), HTBOTTOM, 0, 0},
    {Far(0), 100, HTERROR, HTERROR, 0},
    {100, Far(0), HTERROR, HTERROR, 0},
};

// Every row of the table hits the window as its column says.
void ExpectHits(HWND window, LRESULT HitCase::*column, const char* what)
{
    RECT rect;
    GetWindowRect(window, &rect);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    for (const HitCase& test : kHitCases) {
        const int x = Resolve(test.x, w), y = Resolve(test.y, h);
        EXPECT_EQ(test.*column, HitTest(window, x, y)) << what << " " << w << " x " << h << " at " << x << "," << y;
    }
}

TEST_F(FrameTest, HitTestsFollowThePartsTheSizabilityAndTheMaximisedState)
{
    HWND sizable = CreateSkinnedFrame(WS_OVERLAPPEDWINDOW, 400, 300);
    HWND fixed = CreateSkinnedFrame(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 400, 300);
    for (SIZE size : {SIZE{400, 300}, SIZE{233, 120}, SIZE{641, 479}}) {
        for (HWND window : {sizable, fixed})
            SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        PumpFor(20);
        ExpectHits(sizable, &HitCase::sizable, "sizable");
        ExpectHits(fixed, &HitCase::fixed, "fixed");
    }
    ShowWindow(sizable, SW_MAXIMIZE);
    PumpFor(20);
    ExpectHits(sizable, &HitCase::maximised, "maximised");
}

TEST_F(FrameTest, AMaximisedFrameCoversTheWorkAreaLessOnePixel)
{
    HWND window = CreateSkinnedFrame();
    ShowWindow(window, SW_MAXIMIZE);
    PumpFor(20);
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    RECT bar;
    if (taskbar && IsWindowVisible(taskbar) && GetWindowRect(taskbar, &bar)) {
        const RECT screen = work;
        SubtractRect(&work, &screen, &bar);
    }
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(work.left, rect.left);
    EXPECT_EQ(work.top, rect.top);
    EXPECT_EQ(work.right - 1, rect.right);
    EXPECT_EQ(work.bottom - 1, rect.bottom);
    EXPECT_EQ(HTCAPTION, HitTest(window, 150, 16));
    EXPECT_EQ(0, HitTest(window, 1, 100)) << "a maximised frame has no sizing edges";
}

// Which caption buttons of the frame answer the mouse, by action: one
// letter each for close, maximise, minimise and the system menu, upper
// case when every button of that action is enabled, lower case when none
// is.
std::string EnabledButtons(HWND window)
{
    const struct {
        int action;
        char letter;
    } kActions[] = {{CaptionButtonSkin::ActionClose, 'c'},
                    {CaptionButtonSkin::ActionMaximise, 'x'},
                    {CaptionButtonSkin::ActionMinimise, 'n'},
                    {CaptionButtonSkin::ActionSystemMenu, 's'}};
    std::string letters;
    for (const auto& kind : kActions) {
        int enabled = 0, count = 0;
        for (const auto& element : SkinManager::Instance().FindWindowObject(window)->Elements()) {
            auto* button = dynamic_cast<CaptionButton*>(element.get());
            if (button && button->Action() == kind.action) {
                ++count;
                enabled += button->IsEnabled();
            }
        }
        letters += count == 0 ? '-' : enabled == count ? char(toupper(kind.letter)) : enabled == 0 ? kind.letter : '?';
    }
    return letters;
}

TEST_F(FrameTest, EachCaptionButtonIsEnabledByTheStyleBitThatGovernsIt)
{
    const DWORD kAll = WS_OVERLAPPEDWINDOW;
    const struct {
        DWORD style, exStyle;
        const char* enabled;
    } kCases[] = {
        {kAll, 0, "CXNS"},
        {kAll & ~WS_SYSMENU, 0, "cXNs"},
        {kAll & ~WS_MAXIMIZEBOX, 0, "CxNS"},
        {kAll & ~WS_MINIMIZEBOX, 0, "CXnS"},
        {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, "CxnS"},
        {WS_OVERLAPPED | WS_CAPTION | WS_MAXIMIZEBOX, 0, "cXns"},
        {kAll | WS_MAXIMIZE, 0, "CXNS"},
        {(kAll & ~WS_MAXIMIZEBOX) | WS_MAXIMIZE, 0, "CxNS"},
        {(kAll & ~WS_MINIMIZEBOX) | WS_MINIMIZE, 0, "CXnS"},
        {kAll, WS_EX_TOOLWINDOW, "CXNS"},
        {kAll & ~WS_SYSMENU, WS_EX_CONTEXTHELP, "cXNs"},
    };
    // Bound with the style, and given the style later: both must agree.
    HWND changed = CreateSkinnedFrame(kAll);
    for (const auto& test : kCases) {
        HWND bound = CreateFrame(test.style & ~(WS_MAXIMIZE | WS_MINIMIZE));
        SetWindowLongPtrA(bound, GWL_EXSTYLE, static_cast<LONG_PTR>(test.exStyle));
        SetWindowLongPtrA(bound, GWL_STYLE, static_cast<LONG_PTR>(test.style | WS_VISIBLE));
        ASSERT_TRUE(SetWindowSkin(bound, "MainFrame"));
        EXPECT_EQ(test.enabled, EnabledButtons(bound)) << "bound with style 0x" << std::hex << test.style;

        SetWindowLongPtrA(changed, GWL_EXSTYLE, static_cast<LONG_PTR>(test.exStyle));
        SetWindowLongPtrA(changed, GWL_STYLE, static_cast<LONG_PTR>(test.style | WS_VISIBLE));
        EXPECT_EQ(test.enabled, EnabledButtons(changed)) << "style changed to 0x" << std::hex << test.style;
        DestroyWindow(bound);
    }
}

// Waits until the wall clock's millisecond is within [from, to).
void WaitForMillisecond(int from, int to)
{
    for (;;) {
        SYSTEMTIME now;
        GetSystemTime(&now);
        if (now.wMilliseconds >= from && now.wMilliseconds < to)
            return;
        Sleep(1);
    }
}

TEST_F(FrameTest, TwoCaptionClicksInOneSecondRestoreAMaximisedFrame)
{
    HWND window = CreateSkinnedFrame();
    ShowWindow(window, SW_MAXIMIZE);
    PumpFor(20);
    WaitForMillisecond(0, 300);
    SendMessageA(window, WM_NCLBUTTONUP, HTCAPTION, At(window, 150, 16));
    SendMessageA(window, WM_NCLBUTTONUP, HTCAPTION, At(window, 150, 16));
    PumpFor(20);
    EXPECT_FALSE(IsZoomed(window));
}

TEST_F(FrameTest, TwoCaptionClicksAcrossASecondBoundaryDoNot)
{
    HWND window = CreateSkinnedFrame();
    ShowWindow(window, SW_MAXIMIZE);
    PumpFor(20);
    WaitForMillisecond(850, 950);
    SendMessageA(window, WM_NCLBUTTONUP, HTCAPTION, At(window, 150, 16));
    Sleep(200);
    SendMessageA(window, WM_NCLBUTTONUP, HTCAPTION, At(window, 150, 16));
    PumpFor(20);
    EXPECT_TRUE(IsZoomed(window));
}

TEST_F(FrameTest, ADoubleClickOnTheCaptionMaximisesOnlyASizableFrame)
{
    HWND sizable = CreateSkinnedFrame(WS_OVERLAPPEDWINDOW);
    HWND fixed = CreateSkinnedFrame(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX);
    SendMessageA(sizable, WM_NCLBUTTONDBLCLK, HTCAPTION, At(sizable, 150, 16));
    SendMessageA(fixed, WM_NCLBUTTONDBLCLK, HTCAPTION, At(fixed, 150, 16));
    PumpFor(20);
    EXPECT_TRUE(IsZoomed(sizable));
    EXPECT_FALSE(IsZoomed(fixed));
}

bool g_systemMenuOpened;

void CALLBACK CloseAnyMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu && IsWindowVisible(menu)) {
        g_systemMenuOpened = true;
        EndMenu();
    }
}

TEST_F(FrameTest, ARightClickOnTheFrameOpensNoSystemMenu)
{
    HWND window = CreateSkinnedFrame();
    g_systemMenuOpened = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, CloseAnyMenu);
    SendMessageA(window, WM_NCRBUTTONDOWN, HTCAPTION, At(window, 150, 16));
    SendMessageA(window, WM_NCRBUTTONUP, HTCAPTION, At(window, 150, 16));
    SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), At(window, 150, 16));
    PumpFor(300);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(g_systemMenuOpened);
}

HMENU TwoItemMenu()
{
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 501, "&File");
    AppendMenuA(menu, MF_STRING, 502, "&Help");
    return menu;
}

TEST_F(FrameTest, TheMenuLivesInTheSkinnedMenuBar)
{
    HMENU menu = TwoItemMenu();
    HWND window = CreateSkinnedFrame(WS_OVERLAPPEDWINDOW, 400, 300, menu);
    EXPECT_EQ(nullptr, GetMenu(window)) << "the system has no menu bar to draw";
    RECT client, rect;
    GetClientRect(window, &client);
    GetWindowRect(window, &rect);
    const int barHeight = (rect.bottom - rect.top) - client.bottom - 32 - 5;
    EXPECT_GT(barHeight, 10);
    EXPECT_EQ(client.right, rect.right - rect.left - 10);

    DestroyWindow(window);
    EXPECT_FALSE(IsMenu(menu)) << "the menu went back to its window and died with it";
}

TEST_F(FrameTest, AMenuSetAfterSkinningMovesIntoTheMenuBar)
{
    HWND window = CreateSkinnedFrame();
    RECT before;
    GetClientRect(window, &before);
    SetMenu(window, TwoItemMenu());
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpFor(20);
    EXPECT_EQ(nullptr, GetMenu(window));
    RECT after;
    GetClientRect(window, &after);
    EXPECT_LT(after.bottom, before.bottom) << "the bar took room from the client area";
}

TEST_F(FrameTest, AMenuReplacedAfterAPaintIsLaidOutAnew)
{
    HWND window = CreateSkinnedFrame(WS_OVERLAPPEDWINDOW, 400, 300, TwoItemMenu());
    auto* skin = static_cast<SkinnedFrame*>(SkinManager::Instance().FindWindowObject(window));
    ASSERT_NE(nullptr, skin);
    HMENU longer = TwoItemMenu();
    for (const char* text : {"&Alpha", "&Bravo", "&Charlie"})
        AppendMenuA(longer, MF_STRING, 900, text);
    SetMenu(window, longer);
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpFor(20);
    ASSERT_EQ(5u, skin->Bar().Items().size());
    const RECT first = skin->Bar().ItemRect(0);
    const RECT last = skin->Bar().ItemRect(4);
    EXPECT_EQ(first.top, last.top);
    EXPECT_GT(last.left, first.right) << "the new items have places of their own";
}

TEST_F(FrameTest, TheSystemNeverPaintsTheFrame)
{
    HWND window = CreateFrame();
    MessageLog::Instance().Subclass(window, kDefWinProc);
    ASSERT_TRUE(SetWindowSkin(window, "MainFrame"));
    SetWindowTextA(window, "");
    SetForegroundWindow(window);
    PumpFor(20);
    MessageLog::Instance().Flush();
    MessageLog::Instance().RestrictTo({WM_NCPAINT});

    struct Action {
        const char* what;
        void (*act)(HWND);
    };
    HICON icon = LoadIconA(nullptr, IDI_INFORMATION);
    static HICON s_icon;
    s_icon = icon;
    const Action kActions[] = {
        {"text", [](HWND w) { SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("")); }},
        {"icon", [](HWND w) { SendMessageA(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(s_icon)); }},
        {"style", [](HWND w) {
             SetWindowLongPtrA(w, GWL_STYLE, GetWindowLongPtrA(w, GWL_STYLE) & ~WS_MAXIMIZEBOX);
             SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
         }},
        {"size", [](HWND w) { SetWindowPos(w, nullptr, 0, 0, 500, 360, SWP_NOMOVE | SWP_NOZORDER); }},
        {"maximise", [](HWND w) { ShowWindow(w, SW_MAXIMIZE); }},
        {"restore", [](HWND w) { ShowWindow(w, SW_RESTORE); }},
        {"minimise and restore", [](HWND w) {
             ShowWindow(w, SW_MINIMIZE);
             PumpFor(20);
             ShowWindow(w, SW_RESTORE);
         }},
        {"enable", [](HWND w) {
             EnableWindow(w, FALSE);
             EnableWindow(w, TRUE);
         }},
    };
    for (const Action& action : kActions) {
        SetForegroundWindow(window);
        action.act(window);
        PumpFor(30);
        EXPECT_TRUE(ShowsFrame(window, GetActiveWindow() == window)) << "after " << action.what;
    }
    // Inactive, the frame shows its inactive pieces; active again, the
    // active ones.
    SetForegroundWindow(CreateOtherWindow());
    PumpFor(30);
    ASSERT_NE(window, GetActiveWindow());
    EXPECT_TRUE(ShowsFrame(window, false)) << "after deactivation";
    SetForegroundWindow(window);
    PumpFor(30);
    EXPECT_TRUE(ShowsFrame(window, true)) << "after activation again";
    EXPECT_FALSE(MessageLog::Instance().Contains(WM_NCPAINT, kDefWinProc)) << "WM_NCPAINT reached the system";
    MessageLog::Instance().RestrictTo({});
}

class FrameMessageTest : public FrameTest {
protected:
    // A frame with a recorder below its skin (what reaches the default
    // processing: kDefWinProc) and one above it (kSent).
    HWND CreateRecordedFrame()
    {
        HWND window = CreateFrame();
        MessageLog::Instance().Subclass(window, kDefWinProc);
        EXPECT_TRUE(SetWindowSkin(window, "MainFrame"));
        MessageLog::Instance().Subclass(window, kSent);
        SetForegroundWindow(window);
        PumpFor(20);
        MessageLog::Instance().RestrictTo({WM_SETTEXT, WM_SETICON, WM_NCACTIVATE, WM_NCPAINT});
        MessageLog::Instance().Flush();
        return window;
    }
    void TearDown() override
    {
        MessageLog::Instance().RestrictTo({});
        FrameTest::TearDown();
    }
};

TEST_F(FrameMessageTest, EachChangeRepaintsTheFrameOnceAndNeverThroughTheSystem)
{
    HWND window = CreateRecordedFrame();
    HWND other = CreateOtherWindow();
    SetForegroundWindow(window);
    // Each change: what the skin was sent, the same passed on below it,
    // then one frame paint by the skin; the wParam is compared where the
    // row gives one (and then the paint's too, a whole-frame 1).
    struct Row {
        const char* what;
        std::function<void()> act;
        UINT message;
        bool withWParam;
        WPARAM wParam;
    };
    const Row kRows[] = {
        {"SetWindowText", [&] { SetWindowTextA(window, "New title"); }, WM_SETTEXT, false, 0},
        {"WM_SETICON",
         [&] {
             SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_WARNING)));
         },
         WM_SETICON, false, 0},
        {"a style bit off",
         [&] { SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) & ~WS_MAXIMIZEBOX); },
         WM_STYLECHANGED, true, static_cast<WPARAM>(GWL_STYLE)},
        {"a style bit on",
         [&] { SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_MAXIMIZEBOX); },
         WM_STYLECHANGED, true, static_cast<WPARAM>(GWL_STYLE)},
        {"another window activated", [&] { SetForegroundWindow(other); }, WM_NCACTIVATE, true, FALSE},
        {"activated again", [&] { SetForegroundWindow(window); }, WM_NCACTIVATE, true, TRUE},
    };
    for (const Row& row : kRows) {
        // The skin's own passing style overrides show as WM_STYLECHANGED
        // too: only a style change of the caller's is logged with it.
        std::vector<UINT> logged = {WM_SETTEXT, WM_SETICON, WM_NCACTIVATE, WM_NCPAINT};
        if (row.message == WM_STYLECHANGED)
            logged.push_back(WM_STYLECHANGED);
        MessageLog::Instance().RestrictTo(logged);
        PumpFor(20);
        MessageLog::Instance().Flush();
        row.act();
        PumpFor(20);
        const unsigned wParamFlag = row.withWParam ? static_cast<unsigned>(kWParam) : 0u;
        const ExpectedMessage expected[] = {
            {row.message, kSent | wParamFlag, row.wParam, 0},
            {row.message, kDefWinProc | wParamFlag, row.wParam, 0},
            {WM_NCPAINT, kSent | wParamFlag, row.withWParam ? 1u : 0u, 0},
        };
        EXPECT_TRUE(LogMatches(expected, row.what));
    }
}

// A program binds its main window before showing it: the first show then
// paints the frame once and the client once, whatever the frame's kind
// and however it is shown, and shows the skin.
TEST_F(FrameTest, AFrameBoundBeforeItsFirstShowPaintsOnce)
{
    struct FirstShow {
        const char* what;
        DWORD style;
        int command;
    };
    const FirstShow kShows[] = {
        {"sizable, shown", WS_OVERLAPPEDWINDOW, SW_SHOW},
        {"sizable, shown without activation", WS_OVERLAPPEDWINDOW, SW_SHOWNOACTIVATE},
        {"fixed size, shown", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, SW_SHOW},
    };
    static const ExpectedMessage kPaintedOnce[] = {
        {WM_NCPAINT, kSent, 0, 0},
        {WM_ERASEBKGND, kSent, 0, 0},
        {WM_PAINT, kSent, 0, 0},
    };
    MessageLog& log = MessageLog::Instance();
    for (const FirstShow& show : kShows) {
        HWND window = CreateWindowExA(0, "SsoTestFrame", "First show", show.style, 40, 40, 400, 300, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(window);
        ASSERT_TRUE(SetWindowSkin(window, "MainFrame"));
        log.Subclass(window, kSent);
        log.RestrictTo({WM_NCPAINT, WM_ERASEBKGND, WM_PAINT});
        log.Flush();
        ShowWindow(window, show.command);
        UpdateWindow(window);
        PumpMessages();
        EXPECT_TRUE(LogMatches(kPaintedOnce, show.what));
        EXPECT_TRUE(ShowsFrame(window, GetActiveWindow() == window)) << show.what;
        EXPECT_TRUE(ShowsClientPiece(window)) << show.what;
        // A later erase of a part, at the same size, is one erase: the
        // picture the first show drew needs no second erase of the whole.
        log.Flush();
        const RECT part = {10, 10, 60, 40};
        RedrawWindow(window, &part, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
        static const ExpectedMessage kErasedOnce[] = {{WM_ERASEBKGND, kSent, 0, 0}};
        EXPECT_TRUE(LogMatches(kErasedOnce, show.what));
        EXPECT_TRUE(ShowsClientPiece(window)) << show.what;
        log.RestrictTo({});
        DestroyWindow(window);
        PumpMessages();
    }
}

// However a sizable frame is bound, shown or not, with a window region or
// without one, its client area lies inside the skin's parts, and beside
// the skin's scroll bar where it has one (as wide as when a frame on
// screen puts it on).
TEST_F(FrameTest, BindingLaysTheClientInsideTheSkinsParts)
{
    struct Binding {
        const char* what;
        bool shown;
        bool region;
        bool bar;
    };
    const Binding kBindings[] = {
        {"hidden, with a region", false, true, false},
        {"shown, with a region", true, true, false},
        {"shown, with a region and a bar", true, true, true},
        {"hidden, with a region and a bar", false, true, true},
        {"hidden, without a region", false, false, false},
        {"shown, without a region", true, false, false},
        {"hidden, without a region, with a bar", false, false, true},
    };
    const RECT parts = MainFrameLayout{400, 300}.Part(SkinnedWindow::PartClient);
    int barWidth = 0;
    for (const Binding& binding : kBindings) {
        if (!binding.region) {
            ASSERT_TRUE(
                LoadSkinSource(Replaced(DefaultSkinSource(), "USETRANSPARENTCOLOR = 1", "USETRANSPARENTCOLOR = 0")));
        }
        const DWORD style = WS_OVERLAPPEDWINDOW | (binding.shown ? WS_VISIBLE : 0) | (binding.bar ? WS_VSCROLL : 0);
        HWND window = CreateWindowExA(0, "SsoTestFrame", "Client", style, 40, 40, 400, 300, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(window);
        ASSERT_TRUE(SetWindowSkin(window, "MainFrame"));
        const RECT client = ClientInWindow(window);
        if (binding.bar && !barWidth)
            barWidth = parts.right - client.right;
        RECT expected = parts;
        expected.right -= binding.bar ? barWidth : 0;
        EXPECT_TRUE(EqualRect(&expected, &client))
            << binding.what << ": " << client.left << "," << client.top << "," << client.right << "," << client.bottom;
    }
    EXPECT_GT(barWidth, 0) << "the bar takes room from the client";
}

TEST_F(FrameTest, PaintersLeaveTheDcAsTheyFoundIt)
{
    HWND window = CreateSkinnedFrame(WS_OVERLAPPEDWINDOW, 400, 300, TwoItemMenu());
    SetWindowTextA(window, "Caption");
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(window);
    WindowDC screen(nullptr);
    OwnedDC dc(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, 400, 300));
    ObjectSelector selected(dc, bitmap);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    SetBkMode(dc, OPAQUE);
    ObjectSelector font(dc, GetStockObject(ANSI_FIXED_FONT));
    skin->LayoutParts({0, 0, 400, 300});

    const DcState before(dc);
    skin->DrawFrame(dc, true);
    EXPECT_TRUE(before.Unchanged(dc)) << "active frame";
    skin->DrawFrame(dc, false);
    EXPECT_TRUE(before.Unchanged(dc)) << "inactive frame";
    skin->DrawBackground(dc, true);
    EXPECT_TRUE(before.Unchanged(dc)) << "client background";
    skin->LayoutAndDrawElements(dc);
    EXPECT_TRUE(before.Unchanged(dc)) << "caption buttons";
    skin->Paint(dc);
    EXPECT_TRUE(before.Unchanged(dc)) << "the whole window";
}

}  // namespace
