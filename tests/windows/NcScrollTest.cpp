// The self-drawn non-client scroll bars: geometry, the replacement scroll
// functions, the mouse protocol and what the bars show.
#include "WindowTestSupport.h"

#include "controls/NcScroll.h"
#include "controls/NcScrollGeometry.h"
#include "controls/ScrollBarPainter.h"
#include "core/SkinManager.h"
#include "data/ScrollBarSkin.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "DcStateCheck.h"
#include "imaging/ImageRef.h"
#include "imaging/TurnedDrawing.h"
#include "MessageLog.h"
#include "TimerLog.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace {

// ---- Geometry ------------------------------------------------------------

struct ThumbCase {
    const char* what;
    int length;  // of the bar, arrows included
    ScrollBarMetrics metrics;
    ThumbPlacement expected;
};

const ThumbCase kThumbCases[] = {
    {"page of a quarter at the start", 140, {0, 99, 25, 0, 20, 6}, {25, 20}},
    {"page of a quarter at the end", 140, {0, 99, 25, 75, 20, 6}, {25, 95}},
    {"position beyond the end stays at the end", 140, {0, 99, 25, 500, 20, 6}, {25, 95}},
    {"no page: an arrow-long thumb", 140, {0, 100, 0, 50, 20, 6}, {20, 60}},
    {"a tiny page keeps the smallest thumb", 140, {0, 9999, 1, 0, 20, 6}, {6, 20}},
    {"a page of the whole range fills the track", 140, {0, 9, 10, 5, 20, 6}, {100, 20}},
    {"a reversed range with a page: no thumb", 140, {10, 0, 5, 3, 20, 6}, {0, 20}},
    {"a minimum that is not zero", 140, {100, 199, 25, 150, 20, 6}, {25, 70}},
};

TEST(NcScrollGeometry, ThumbSizeAndPlace)
{
    for (const ThumbCase& c : kThumbCases) {
        const RECT bar = {0, 0, c.length, 17};
        const ThumbPlacement thumb = PlaceThumb(bar, c.metrics);
        EXPECT_EQ(thumb.size, c.expected.size) << c.what;
        EXPECT_EQ(thumb.left, c.expected.left) << c.what;
    }
}

struct HitCase {
    const char* what;
    int length;
    int x;
    ScrollBarPart expected;
};

// A 140-long bar, 20-long arrows, thumb of 25 at 45 (range 0..99, page 25,
// position 25).
const HitCase kHitCases[] = {
    {"first pixel of the bar", 140, 0, PartArrowLeft},
    {"last pixel of the left arrow", 140, 19, PartArrowLeft},
    {"first pixel of the track", 140, 20, PartPageLeft},
    {"last pixel before the thumb", 140, 44, PartPageLeft},
    {"first pixel of the thumb", 140, 45, PartThumb},
    {"last pixel of the thumb", 140, 69, PartThumb},
    {"first pixel after the thumb", 140, 70, PartPageRight},
    {"first pixel of the right arrow", 140, 120, PartArrowRight},
    {"last pixel of the bar", 140, 139, PartArrowRight},
    {"beyond the bar", 140, 140, PartNone},
    // Two arrows do not fit: half the bar each, the odd middle pixel is
    // neither arrow, and there is no thumb.
    {"short bar, left half", 31, 14, PartArrowLeft},
    {"short bar, middle pixel", 31, 15, PartNone},
    {"short bar, right half", 31, 16, PartArrowRight},
};

TEST(NcScrollGeometry, HitTestAtTheEdgesOfEveryPart)
{
    const ScrollBarMetrics metrics = {0, 99, 25, 25, 20, 6};
    for (const HitCase& c : kHitCases) {
        const RECT bar = {0, 0, c.length, 17};
        EXPECT_EQ(HitTestBar(bar, metrics, POINT{c.x, 8}), c.expected) << c.what;
    }
    const RECT bar = {0, 0, 140, 17};
    EXPECT_EQ(HitTestBar(bar, metrics, POINT{50, 17}), PartNone) << "below the bar";
}

TEST(NcScrollGeometry, VersionRule)
{
    struct Row {
        WindowsVersionClass version;
        bool redirected;
        bool allowed;
    };
    static const Row kRows[] = {
        {WindowsNt4, false, true},    {Windows2000, false, true},     {WindowsXp, true, true},
        {WindowsNtOther, true, true}, {WindowsNtOther, false, false}, {Windows95Family, true, false},
        {Windows98, true, false},     {WindowsMe, true, false},       {WindowsWin32s, true, false},
    };
    for (const Row& row : kRows)
        EXPECT_EQ(NcScrollBarsAllowed(row.version, row.redirected), row.allowed)
            << row.version << " redirected " << row.redirected;
}

// ---- A window with the bars ---------------------------------------------------

const int kClientWidth = 300;
const int kClientHeight = 200;

// The window's own procedure, below the bars: it logs what reaches it.
LRESULT CALLBACK ScrolledProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageLog::Instance().Record(window, message, kSent, wParam, lParam);
    if (message == WM_HSCROLL || message == WM_VSCROLL)
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

// Puts the pointer at `at` and lets every move message it causes arrive:
// the X server reports a warp later, and a late report at an older place
// would read as a move there. A process's first placement is undone once
// by the desktop centring the pointer, so it is placed until it stays.
void SettlePointer(POINT at)
{
    for (int i = 0; i < 50; ++i) {
        INPUT move = {};
        move.type = INPUT_MOUSE;
        move.mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN));
        move.mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN));
        move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &move, sizeof move);
        PumpFor(20);
        POINT now;
        if (GetCursorPos(&now) && now.x == at.x && now.y == at.y)
            break;
    }
    PumpFor(60);
}

const ScrollBarSkin& SkinScrollBar()
{
    return *dynamic_cast<const ScrollBarSkin*>(SkinManager::Instance().GetSkinStore().FindObjectByType(kTypeScrollBar));
}

// A place on the desktop far from every window of the tests.
const POINT kPointerAway = {2, 2};

const SkinStore& CurrentStore()
{
    return SkinManager::Instance().GetSkinStore();
}

int SkinBarSize()
{
    const ImageRef& arrow = SkinScrollBar().states[ScrollBarSkin::StateNormal].arrow1;
    return arrow.source.bottom - arrow.source.top;
}

class NcScrollTest : public SkinnedWindowTest {
protected:
    void SetUp() override
    {
        SkinnedWindowTest::SetUp();
        barSize_ = SkinBarSize();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = ScrolledProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = "NcScrollTestWindow";
        RegisterClassA(&windowClass);
    }

    // A popup window with both bars, served by the self-drawn ones.
    HWND MakeScrolled(DWORD exStyle = 0)
    {
        HWND window = CreateWindowExA(exStyle, "NcScrollTestWindow", "",
                                      WS_POPUP | WS_VISIBLE | WS_BORDER | WS_HSCROLL | WS_VSCROLL, 40, 40, 100, 100,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(window);
        EXPECT_EQ(NcScroll_Install(window), 1);
        NcScroll_SetStyle(window, SB_BOTH, 2);
        NcScroll_SetSize(window, SB_BOTH, barSize_, barSize_);
        SetInfo(window, SB_HORZ, 0, 99, 25, 0);
        SetInfo(window, SB_VERT, 0, 99, 25, 0);
        SizeClient(window, kClientWidth, kClientHeight);
        return window;
    }

    // The outer size that leaves this client with both bars shown.
    void SizeClient(HWND window, int width, int height) const
    {
        SetWindowPos(window, nullptr, 0, 0, width + 2 + barSize_, height + 2 + barSize_, SWP_NOMOVE | SWP_NOZORDER);
        PumpMessages();
    }

    static void SetInfo(HWND window, int bar, int minPos, int maxPos, UINT page, int pos)
    {
        SCROLLINFO info = {sizeof info, SIF_ALL, minPos, maxPos, page, pos, 0};
        NcScroll_SetScrollInfo(window, bar, &info, TRUE);
    }

    // The bars' thickness and arrow length, from the skin the test began with.
    int barSize_ = 0;
};

TEST_F(NcScrollTest, InstallOnceRemoveOnceAndTheFramesRoomFollows)
{
    HWND window = MakeScrolled();
    EXPECT_EQ(NcScroll_Install(window), 0) << "a second install";
    EXPECT_TRUE(GetPropA(window, kNcScrollProperty));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, kClientWidth);
    EXPECT_EQ(client.bottom, kClientHeight);
    EXPECT_EQ(NcScroll_Remove(window), S_OK);
    EXPECT_EQ(NcScroll_Remove(window), E_FAIL);
    EXPECT_FALSE(GetPropA(window, kNcScrollProperty));
    EXPECT_FALSE(NcScroll_ServesWindow(window));
    EXPECT_EQ(NcScroll_SetSize(window, SB_BOTH, 10, 10), 0);
}

// One row: a call of a replacement and what the vertical bar holds after.
struct ReplacementCase {
    const char* what;
    void (*call)(HWND);
    int minPos, maxPos;
    UINT page;
    int pos;
    bool shown;  // the bar has room in the frame
};

void Info(HWND w, UINT mask, int minPos, int maxPos, UINT page, int pos)
{
    SCROLLINFO info = {sizeof info, mask, minPos, maxPos, page, pos, 0};
    NcScroll_SetScrollInfo(w, SB_VERT, &info, TRUE);
}

const ReplacementCase kReplacementCases[] = {
    {"range, page and position", [](HWND w) { Info(w, SIF_ALL, 0, 49, 10, 20); }, 0, 49, 10, 20, true},
    {"position clamped to the last page", [](HWND w) { Info(w, SIF_POS, 0, 0, 0, 400); }, 0, 99, 25, 75, true},
    {"position clamped to the minimum", [](HWND w) { Info(w, SIF_POS, 0, 0, 0, -5); }, 0, 99, 25, 0, true},
    {"page larger than the range is clamped and hides the bar", [](HWND w) { Info(w, SIF_PAGE, 0, 0, 500, 0); }, 0, 99,
     100, 0, false},
    {"the same with SIF_DISABLENOSCROLL keeps it",
     [](HWND w) { Info(w, SIF_PAGE | SIF_DISABLENOSCROLL, 0, 0, 500, 0); }, 0, 99, 100, 0, true},
    {"an empty page allows the maximum itself", [](HWND w) { Info(w, SIF_PAGE | SIF_POS, 0, 0, 0, 500); }, 0, 99, 0, 99,
     true},
    {"SetScrollPos clamps", [](HWND w) { NcScroll_SetScrollPos(w, SB_VERT, 1000, TRUE); }, 0, 99, 25, 75, true},
    {"SetScrollRange with a reversed range empties it and hides the bar, as the system's",
     [](HWND w) { NcScroll_SetScrollRange(w, SB_VERT, 5, 3, TRUE); }, 0, 0, 1, 0, false},
    {"a range that no longer reaches the position pulls it back",
     [](HWND w) {
         NcScroll_SetScrollPos(w, SB_VERT, 70, TRUE);
         NcScroll_SetScrollRange(w, SB_VERT, 0, 49, TRUE);
     },
     0, 49, 25, 25, true},
    {"ShowScrollBar hides", [](HWND w) { NcScroll_ShowScrollBar(w, SB_VERT, FALSE); }, 0, 99, 25, 0, false},
    {"ShowScrollBar of both hides the vertical one too", [](HWND w) { NcScroll_ShowScrollBar(w, SB_BOTH, FALSE); }, 0,
     99, 25, 0, false},
};

TEST_F(NcScrollTest, ReplacementsStoreWhatTheSystemWouldAndShowTheBarAccordingly)
{
    for (const ReplacementCase& c : kReplacementCases) {
        HWND window = MakeScrolled();
        c.call(window);
        PumpMessages();
        SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        ASSERT_TRUE(NcScroll_GetScrollInfo(window, SB_VERT, &info)) << c.what;
        EXPECT_EQ(info.nMin, c.minPos) << c.what;
        EXPECT_EQ(info.nMax, c.maxPos) << c.what;
        EXPECT_EQ(info.nPage, c.page) << c.what;
        EXPECT_EQ(info.nPos, c.pos) << c.what;
        EXPECT_EQ(NcScroll_GetScrollPos(window, SB_VERT), c.pos) << c.what;
        int minPos = 0, maxPos = 0;
        EXPECT_TRUE(NcScroll_GetScrollRange(window, SB_VERT, &minPos, &maxPos)) << c.what;
        EXPECT_EQ(maxPos, c.maxPos) << c.what;
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, c.shown ? kClientWidth : kClientWidth + SkinBarSize()) << c.what;
        EXPECT_EQ((GetWindowLongPtrA(window, GWL_STYLE) & WS_VSCROLL) != 0, c.shown) << c.what;
        DestroyWindow(window);
    }
}

TEST_F(NcScrollTest, NullAndUnknownArgumentsAnswerZero)
{
    HWND window = MakeScrolled();
    EXPECT_EQ(NcScroll_SetScrollInfo(window, SB_VERT, nullptr, TRUE), 0);
    EXPECT_FALSE(NcScroll_GetScrollInfo(window, SB_VERT, nullptr));
    int value = 0;
    EXPECT_FALSE(NcScroll_GetScrollRange(window, SB_VERT, nullptr, &value));
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    EXPECT_FALSE(NcScroll_GetScrollInfo(window, SB_BOTH, &info));
    info.fMask = 0;
    EXPECT_FALSE(NcScroll_GetScrollInfo(window, SB_VERT, &info)) << "nothing asked, nothing filled";
    EXPECT_EQ(NcScroll_SetSize(window, SB_BOTH, 0, 10), 0);
    EXPECT_EQ(NcScroll_SetSize(window, SB_BOTH, 10, 257), 0);
    EXPECT_EQ(NcScroll_SetSize(window, SB_BOTH, -9, 10), 0);
    EXPECT_EQ(NcScroll_SetSize(window, SB_BOTH, -1, 256), 1);
}

TEST_F(NcScrollTest, EnableScrollBarAnswersWhetherEveryAddressedBarChanged)
{
    HWND window = MakeScrolled();
    EXPECT_TRUE(NcScroll_EnableScrollBar(window, SB_VERT, ESB_DISABLE_UP));
    EXPECT_FALSE(NcScroll_EnableScrollBar(window, SB_BOTH, ESB_DISABLE_UP)) << "the vertical bar did not change";
    EXPECT_TRUE(NcScroll_EnableScrollBar(window, SB_BOTH, ESB_DISABLE_BOTH));
    EXPECT_TRUE(NcScroll_EnableScrollBar(window, SB_BOTH, ESB_ENABLE_BOTH));
}

// ---- The user32 functions on a served window, against the system's bars ----

using Answers = std::vector<long>;

const DWORD kErrorMarker = 0xC0DE;

// One call as the program makes it, with what it answers and the last
// error it leaves (set to a marker before).
template <typename Call>
void Ask(Answers& answers, Call call)
{
    SetLastError(kErrorMarker);
    answers.push_back(static_cast<long>(call()));
    answers.push_back(static_cast<long>(GetLastError()));
}

// A setter, by its answer alone: the system's setters clear the last
// error on some paths and not on others, as a side effect of the frame
// change or repaint they make, which no program can rely on.
template <typename Call>
void Set(Answers& answers, Call call)
{
    answers.push_back(static_cast<long>(call()));
}

void AskInfo(Answers& answers, HWND w, int bar)
{
    SCROLLINFO info = {sizeof info, SIF_ALL, -1, -1, 99, -1, -1};
    Ask(answers, [&] { return GetScrollInfo(w, bar, &info); });
    answers.insert(answers.end(), {info.nMin, info.nMax, static_cast<long>(info.nPage), info.nPos});
}

void AskBoth(Answers& answers, HWND w)
{
    AskInfo(answers, w, SB_HORZ);
    AskInfo(answers, w, SB_VERT);
    int minPos = -1, maxPos = -1;
    Ask(answers, [&] { return GetScrollRange(w, SB_VERT, &minPos, &maxPos); });
    Ask(answers, [&] { return GetScrollPos(w, SB_HORZ); });
    answers.insert(answers.end(), {minPos, maxPos, GetWindowLongA(w, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)});
    // Room kept for each bar inside the one-pixel border, whatever its thickness.
    RECT client, outer;
    GetClientRect(w, &client);
    GetWindowRect(w, &outer);
    answers.insert(answers.end(),
                   {client.right < outer.right - outer.left - 2, client.bottom < outer.bottom - outer.top - 2});
}

int SetInfoOf(HWND w, UINT mask, int minPos, int maxPos, UINT page, int pos)
{
    SCROLLINFO info = {sizeof info, mask, minPos, maxPos, page, pos, 0};
    return SetScrollInfo(w, SB_VERT, &info, TRUE);
}

struct SystemParityCase {
    const char* what;
    DWORD style;
    void (*calls)(Answers&, HWND);
};

const SystemParityCase kSystemParityCases[] = {
    {"never set, with both styles", WS_HSCROLL | WS_VSCROLL, [](Answers&, HWND) {}},
    {"never set, without a style", 0, [](Answers&, HWND) {}},
    {"one bar set, the other read", 0,
     [](Answers& a, HWND w) { Set(a, [&] { return SetInfoOf(w, SIF_RANGE | SIF_PAGE, 0, 40, 10, 0); }); }},
    {"a range that excludes the position pulls it up", WS_VSCROLL,
     [](Answers& a, HWND w) {
         Set(a, [&] { return SetInfoOf(w, SIF_POS, 0, 0, 0, 50); });
         Set(a, [&] { return SetInfoOf(w, SIF_RANGE, 11, 22, 0, 0); });
     }},
    {"a range above the position pulls it to the minimum", WS_VSCROLL,
     [](Answers& a, HWND w) { Set(a, [&] { return SetInfoOf(w, SIF_RANGE, 11, 22, 0, 0); }); }},
    {"SetScrollRange pulls the position in", WS_VSCROLL,
     [](Answers& a, HWND w) {
         Set(a, [&] { return SetScrollPos(w, SB_VERT, 5, TRUE); });
         Set(a, [&] { return SetScrollRange(w, SB_VERT, 20, 30, TRUE); });
     }},
    {"a page pulls the position back from the end", WS_VSCROLL,
     [](Answers& a, HWND w) {
         Set(a, [&] { return SetScrollRange(w, SB_VERT, 20, 30, TRUE); });
         Set(a, [&] { return SetScrollPos(w, SB_VERT, 30, TRUE); });
         Set(a, [&] { return SetInfoOf(w, SIF_PAGE, 0, 0, 5, 0); });
     }},
    {"a reversed range is empty", WS_VSCROLL,
     [](Answers& a, HWND w) {
         Set(a, [&] { return SetScrollPos(w, SB_VERT, 40, TRUE); });
         Set(a, [&] { return SetScrollRange(w, SB_VERT, 5, 3, TRUE); });
     }},
    {"SIF_POS with the previous-position flag answers the position before", WS_VSCROLL,
     [](Answers& a, HWND w) {
         Set(a, [&] { return SetInfoOf(w, SIF_POS, 0, 0, 0, 30); });
         Set(a, [&] { return SetInfoOf(w, SIF_POS | 0x1000, 0, 0, 0, 60); });
     }},
    {"a range too short to scroll hides the bar, a longer one shows it", WS_VSCROLL,
     [](Answers& a, HWND w) {
         Set(a, [&] { return SetInfoOf(w, SIF_RANGE | SIF_PAGE, 0, 9, 10, 0); });
         Set(a, [&] { return SetInfoOf(w, SIF_RANGE, 0, 59, 0, 0); });
     }},
    {"scroll bar styles the program sets itself", WS_VSCROLL,
     [](Answers&, HWND w) {
         SetWindowLongA(w, GWL_STYLE, (GetWindowLongA(w, GWL_STYLE) & ~WS_VSCROLL) | WS_HSCROLL);
         SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
     }},
    {"SB_CTL on a window that is no scroll bar control", WS_VSCROLL,
     [](Answers& a, HWND w) {
         Ask(a, [&] { return ShowScrollBar(w, SB_CTL, TRUE); });
         Ask(a, [&] { return EnableScrollBar(w, SB_CTL, ESB_DISABLE_BOTH); });
         Ask(a, [&] { return GetScrollPos(w, SB_CTL); });
     }},
    {"SB_BOTH and an unknown bar", WS_VSCROLL,
     [](Answers& a, HWND w) {
         Set(a, [&] { return SetScrollPos(w, SB_BOTH, 10, TRUE); });
         Set(a, [&] { return SetScrollRange(w, 7, 0, 10, TRUE); });
         Ask(a, [&] { return GetScrollPos(w, 7); });
     }},
};

TEST_F(NcScrollTest, UserFunctionsOnAServedWindowAnswerAsTheSystemsBars)
{
    for (const SystemParityCase& c : kSystemParityCases) {
        SCOPED_TRACE(c.what);
        Answers answers[2];
        for (bool served : {false, true}) {
            HWND window = CreateWindowExA(0, "NcScrollTestWindow", "", WS_POPUP | WS_VISIBLE | WS_BORDER | c.style, 40,
                                          40, 200, 160, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
            windows_.push_back(window);
            if (served)
                ASSERT_EQ(NcScroll_Install(window), 1);
            PumpMessages();
            c.calls(answers[served], window);
            AskBoth(answers[served], window);
            DestroyWindow(window);
        }
        EXPECT_EQ(answers[false], answers[true]);
    }
}

TEST_F(NcScrollTest, LeftScrollBarMovesTheBarAndTheSizeBoxToTheLeft)
{
    HWND window = MakeScrolled(WS_EX_LEFTSCROLLBAR);
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    RECT windowRect;
    GetWindowRect(window, &windowRect);
    EXPECT_EQ(origin.x - windowRect.left, 1 + SkinBarSize()) << "the client starts after the bar";
    const POINT onBar = {windowRect.left + 1 + SkinBarSize() / 2, windowRect.top + 40};
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(onBar.x, onBar.y)), HTVSCROLL);
    // The size box follows: the horizontal bar starts after it.
    const POINT hBar = {windowRect.left + 1 + SkinBarSize() + 30, windowRect.bottom - 1 - SkinBarSize() / 2};
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(hBar.x, hBar.y)), HTHSCROLL);
}

// ---- Mouse -------------------------------------------------------------------

class NcScrollMouseTest : public NcScrollTest {
protected:
    void SetUp() override
    {
        NcScrollTest::SetUp();
        window_ = MakeScrolled();
        GetWindowRect(window_, &windowRect_);
        MessageLog::Instance().RestrictTo({WM_VSCROLL, WM_HSCROLL, WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN});
    }
    void TearDown() override
    {
        MessageLog::Instance().RestrictTo({});
        NcScrollTest::TearDown();
    }

    // A point on the vertical bar, `along` pixels from its top.
    POINT OnVerticalBar(int along) const
    {
        return {windowRect_.right - 1 - SkinBarSize() / 2, windowRect_.top + 1 + along};
    }
    void Press(POINT at)
    {
        SettlePointer(at);
        MessageLog::Instance().Flush();
        SendMessageA(window_, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(at.x, at.y));
    }
    // The system's own move message, which carries the pointer's place
    // (a posted one would not), reaches the window holding the capture.
    void MoveTo(POINT at) { SettlePointer(at); }
    void Release()
    {
        PostMessageA(window_, WM_LBUTTONUP, 0, 0);
        PumpMessages();
    }
    void Tick(UINT_PTR id) { SendMessageA(window_, WM_TIMER, id, 0); }
    int TrackLength() const { return kClientHeight - 2 * SkinBarSize(); }

    HWND window_ = nullptr;
    RECT windowRect_ = {};
    // The repeat timers run from the test's WM_TIMER only, never from
    // the clock.
    TimerLog timers_;
};

TEST_F(NcScrollMouseTest, HeldArrowRepeatsFromTheSecondTimerOnlyWhileThePointerStaysOnIt)
{
    static const ExpectedMessage kPress[] = {{WM_VSCROLL, kSent | kWParam, MAKEWPARAM(SB_LINEDOWN, 0), 0}};
    static const ExpectedMessage kRepeat[] = {{WM_VSCROLL, kSent | kWParam, MAKEWPARAM(SB_LINEDOWN, 0), 0}};
    static const ExpectedMessage kRelease[] = {{WM_VSCROLL, kSent | kWParam, MAKEWPARAM(SB_ENDSCROLL, 0), 0}};
    const POINT arrow = OnVerticalBar(kClientHeight - SkinBarSize() / 2);
    Press(arrow);
    EXPECT_TRUE(LogMatches(kPress, "press on the down arrow"));
    EXPECT_TRUE(timers_.IsRunning(window_, 0xFFFD, 300));
    MessageLog::Instance().Flush();
    Tick(0xFFFD);
    EXPECT_TRUE(MessageLog::Instance().Entries().empty()) << "the first delay only starts the repeat";
    EXPECT_TRUE(timers_.IsRunning(window_, 0xFFFE, 55));
    EXPECT_FALSE(timers_.IsRunning(window_, 0xFFFD));
    Tick(0xFFFE);
    EXPECT_TRUE(LogMatches(kRepeat, "repeat timer over the arrow"));
    MessageLog::Instance().Flush();
    MoveTo(OnVerticalBar(kClientHeight / 2));
    Tick(0xFFFE);
    EXPECT_TRUE(MessageLog::Instance().Entries().empty()) << "no repeat once the pointer left the arrow";
    Release();
    EXPECT_TRUE(LogMatches(kRelease, "release"));
    EXPECT_NE(GetCapture(), window_);
    EXPECT_FALSE(timers_.IsRunning(window_, 0xFFFE));
}

TEST_F(NcScrollMouseTest, PageClickSendsOnePageScroll)
{
    static const ExpectedMessage kPress[] = {{WM_VSCROLL, kSent | kWParam, MAKEWPARAM(SB_PAGEDOWN, 0), 0}};
    Press(OnVerticalBar(kClientHeight - SkinBarSize() - 5));
    EXPECT_TRUE(LogMatches(kPress, "press below the thumb"));
    Release();
}

// The thumb positions sent since the last flush. Under Wine the X server
// reports a warp of the pointer late, at the place it left, so a move may
// be followed by a report of the previous place and the new one again:
// what counts is that every position sent is one of the places visited and
// the last one is where the pointer is.
std::vector<int> TrackedPositions()
{
    std::vector<int> positions;
    for (const LoggedMessage& entry : MessageLog::Instance().Entries())
        if (entry.message == WM_VSCROLL && LOWORD(entry.wParam) == SB_THUMBTRACK)
            positions.push_back(HIWORD(entry.wParam));
    return positions;
}

testing::AssertionResult TrackedTo(int expected, std::initializer_list<int> visited)
{
    const std::vector<int> positions = TrackedPositions();
    if (positions.empty() || positions.back() != expected)
        return testing::AssertionFailure()
               << "last position " << (positions.empty() ? -1 : positions.back()) << ", expected " << expected;
    for (int position : positions)
        if (std::find(visited.begin(), visited.end(), position) == visited.end())
            return testing::AssertionFailure() << "position " << position << " of no place visited";
    return testing::AssertionSuccess();
}

TEST_F(NcScrollMouseTest, ThumbDragTracksSnapsBackFarAwayAndEndsWithPositionThenEnd)
{
    const int arrow = SkinBarSize();
    const ScrollBarMetrics metrics = {0, 99, 25, 0, arrow, 0};
    const RECT bar = {0, 0, kClientHeight, arrow};
    const ThumbPlacement thumb = PlaceThumb(bar, metrics);
    const int free = TrackLength() - thumb.size;
    const POINT grab = OnVerticalBar(thumb.left + 2);
    Press(grab);
    EXPECT_TRUE(MessageLog::Instance().Entries().empty()) << "pressing the thumb sends nothing yet";
    EXPECT_EQ(NcScroll_IsThumbTracking(window_), 1);

    // Half the free track down: the position by the thumb's own rule.
    MessageLog::Instance().Flush();
    MoveTo(POINT{grab.x, grab.y + free / 2});
    const int half = MulDiv(free / 2, 99 - 25 + 1, free);
    EXPECT_TRUE(TrackedTo(half, {0, half})) << "drag to the middle";

    // SetScrollRange changes nothing while the thumb is dragged.
    NcScroll_SetScrollRange(window_, SB_VERT, 0, 10, TRUE);
    int minPos, maxPos;
    NcScroll_GetScrollRange(window_, SB_VERT, &minPos, &maxPos);
    EXPECT_EQ(maxPos, 99);

    // 30 pixels across the bar: beyond 24 the thumb snaps back home.
    MessageLog::Instance().Flush();
    MoveTo(POINT{grab.x - SkinBarSize() / 2 - 30, grab.y + free / 2});
    EXPECT_TRUE(TrackedTo(0, {0, half})) << "far across the bar";
    // 20 across it follows again.
    MessageLog::Instance().Flush();
    MoveTo(POINT{grab.x - SkinBarSize() / 2 - 20, grab.y + free / 2});
    EXPECT_TRUE(TrackedTo(half, {0, half})) << "near the bar";

    // Past the bottom end: the last position, then released there.
    MoveTo(POINT{grab.x, grab.y + free + 40});
    MessageLog::Instance().Flush();
    Release();
    static const ExpectedMessage kRelease[] = {
        {WM_VSCROLL, kSent | kWParam, MAKEWPARAM(SB_THUMBPOSITION, 75), 0},
        {WM_VSCROLL, kSent | kWParam, MAKEWPARAM(SB_ENDSCROLL, 0), 0},
    };
    EXPECT_TRUE(LogMatches(kRelease, "release at the end"));
    EXPECT_EQ(NcScroll_IsThumbTracking(window_), 0);
}

TEST_F(NcScrollMouseTest, RightAndMiddleClicksOnABarAreSwallowed)
{
    const POINT at = OnVerticalBar(60);
    MessageLog::Instance().Flush();
    SendMessageA(window_, WM_NCRBUTTONDOWN, HTVSCROLL, MAKELPARAM(at.x, at.y));
    SendMessageA(window_, WM_NCMBUTTONDOWN, HTVSCROLL, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(MessageLog::Instance().Count(WM_NCRBUTTONDOWN), 0u);
    EXPECT_EQ(MessageLog::Instance().Count(WM_NCMBUTTONDOWN), 0u);
    SendMessageA(window_, WM_NCRBUTTONDOWN, HTBORDER, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(MessageLog::Instance().Count(WM_NCRBUTTONDOWN), 1u) << "elsewhere it passes";
}

// ---- Pixels ------------------------------------------------------------------

WindowPixels Turned(const WindowPixels& picture)
{
    WindowPixels turned;
    turned.width = picture.height;
    turned.height = picture.width;
    turned.pixels.resize(picture.pixels.size());
    for (int y = 0; y < turned.height; ++y)
        for (int x = 0; x < turned.width; ++x)
            turned.pixels[static_cast<size_t>(y) * turned.width + x] = picture.At(y, picture.height - 1 - x);
    return turned;
}

int DifferingPixels(const WindowPixels& shown, int x0, int y0, const WindowPixels& expected)
{
    int differing = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            differing += shown.At(x0 + x, y0 + y) != expected.At(x, y);
    return differing;
}

TEST_F(NcScrollTest, ArrowsInEachStateAreTheSkinsPicturesHorizontalAndTurned)
{
    for (const char* folder : kSkinFolders) {
        SCOPED_TRACE(folder);
        ASSERT_TRUE(LoadSkinSource(DefaultSkinSource(), folder));
        SettlePointer(kPointerAway);
        HWND window = MakeScrolled();
        const int size = SkinBarSize();
        const ScrollBarSkin& skin = SkinScrollBar();
        const auto arrowOf = [&](int state) -> const ImageRef& {
            const ImageRef& own = skin.states[state].arrow1;
            return IsImageRefEmpty(own) ? skin.states[ScrollBarSkin::StateNormal].arrow1 : own;
        };
        RECT windowRect;
        GetWindowRect(window, &windowRect);
        const POINT upArrow = {windowRect.right - 1 - size / 2, windowRect.top + 1 + size / 2};
        struct StateRow {
            const char* what;
            int state;
            void (*enter)(HWND, POINT);
        };
        static const StateRow kRows[] = {
            {"disabled", ScrollBarSkin::StateDisabled,
             [](HWND w, POINT) { NcScroll_EnableScrollBar(w, SB_BOTH, ESB_DISABLE_LTUP); }},
            {"normal", ScrollBarSkin::StateNormal, [](HWND w, POINT) { NcScroll_EnableScrollBar(w, SB_BOTH, 0); }},
            {"hot", ScrollBarSkin::StateHighlighted,
             [](HWND w, POINT at) {
                 SettlePointer(at);
                 SendMessageA(w, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(at.x, at.y));
             }},
            {"pressed", ScrollBarSkin::StatePressed,
             [](HWND w, POINT at) {
                 SendMessageA(w, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(at.x, at.y));
                 KillTimer(w, 0xFFFD);
             }},
        };
        for (const StateRow& row : kRows) {
            row.enter(window, upArrow);
            PumpMessages();
            const WindowPixels shown = CaptureWindow(window);
            const WindowPixels left =
                RenderPiece(arrowOf(row.state), size, size, GetSysColor(COLOR_BTNFACE), CurrentStore());
            EXPECT_EQ(DifferingPixels(shown, shown.width - 1 - size, 1, Turned(left)), 0) << row.what << ", vertical";
            if (row.state != ScrollBarSkin::StatePressed && row.state != ScrollBarSkin::StateHighlighted) {
                EXPECT_EQ(DifferingPixels(shown, 1, shown.height - 1 - size, left), 0) << row.what << ", horizontal";
            }
        }
        SendMessageA(window, WM_LBUTTONUP, 0, 0);
        DestroyWindow(window);
    }
}

TEST_F(NcScrollTest, SizeBoxIsTheGripper)
{
    for (const char* folder : kSkinFolders) {
        SCOPED_TRACE(folder);
        ASSERT_TRUE(LoadSkinSource(DefaultSkinSource(), folder));
        HWND window = MakeScrolled();
        const int size = SkinBarSize();
        const WindowPixels shown = CaptureWindow(window);
        const WindowPixels grip =
            RenderPiece(SkinScrollBar().gripper, size, size, GetSysColor(COLOR_BTNFACE), CurrentStore());
        EXPECT_EQ(DifferingPixels(shown, shown.width - 1 - size, shown.height - 1 - size, grip), 0);
    }
}

// ---- What the pages and the thumb show -----------------------------------------

// Our skin draws every state's track from one picture with even margins;
// here the pressed and hot tracks have pictures and uneven margins of their
// own, so a track or a thumb inset taken from the wrong state shows.
std::string TellingTracksSkin()
{
    const std::string normal = "bitmap \"controls.bmp\" rect 0 77 16 93 margins 0 2 0 2";
    std::string text = Replaced(DefaultSkinSource(), "PRESSED.SCROLLBAR = { " + normal,
                                "PRESSED.SCROLLBAR = { bitmap \"controls.bmp\" rect 18 77 34 93 margins 0 3 0 1");
    return Replaced(text, "HIGHLIGHTED.SCROLLBAR = { " + normal,
                    "HIGHLIGHTED.SCROLLBAR = { bitmap \"controls.bmp\" rect 144 77 160 93 margins 0 1 0 4");
}

// One part of a horizontal bar as the current skin's pieces of `state`
// draw it on their own: a thumb lies on its track, inset by the track's
// top and bottom margins.
WindowPixels RenderPart(int part, int state, int width, int height)
{
    const ScrollBarStateLook& look = SkinScrollBar().states[state];
    const SkinStore& store = SkinManager::Instance().GetSkinStore();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    WindowDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, width, height));
    ObjectSelector selected(memory, bitmap);
    const RECT area = {0, 0, width, height};
    if (part == PartArrowLeft || part == PartArrowRight) {
        DrawImageRef(memory, area, part == PartArrowLeft ? look.arrow1 : look.arrow2, face, true, store);
    } else {
        DrawFrameImage(memory, area, look.bar, face, true, store);
        const RECT inset = {0, look.bar.marginTop, width, height - look.bar.marginBottom};
        if (part == PartThumb)
            DrawFrameImage(memory, inset, look.thumb, face, true, store);
    }
    return ReadPixels(memory, width, height);
}

void Paste(WindowPixels& into, int x0, const WindowPixels& part)
{
    for (int y = 0; y < part.height; ++y)
        for (int x = 0; x < part.width; ++x)
            into.pixels[static_cast<size_t>(y) * into.width + x0 + x] = part.At(x, y);
}

// A whole horizontal bar: normal arrows, the pages and the thumb in the
// states given.
struct BarStates {
    int pageLeft, pageRight, thumb;
};

WindowPixels ExpectedBar(int length, int thickness, const ThumbPlacement& thumb, const BarStates& states)
{
    WindowPixels bar;
    bar.width = length;
    bar.height = thickness;
    bar.pixels.resize(static_cast<size_t>(length) * thickness);
    const int arrow = thickness;
    const int thumbRight = thumb.left + thumb.size;
    const int normal = ScrollBarSkin::StateNormal;
    Paste(bar, 0, RenderPart(PartArrowLeft, normal, arrow, thickness));
    Paste(bar, arrow, RenderPart(PartPageLeft, states.pageLeft, thumb.left - arrow, thickness));
    Paste(bar, thumb.left, RenderPart(PartThumb, states.thumb, thumb.size, thickness));
    Paste(bar, thumbRight, RenderPart(PartPageRight, states.pageRight, length - arrow - thumbRight, thickness));
    Paste(bar, length - arrow, RenderPart(PartArrowRight, normal, arrow, thickness));
    return bar;
}

// Pixels inside `area` (window coordinates) that are not `colour`, and
// pixels outside it that changed from `before` to `after`.
int PixelsNot(const WindowPixels& shown, const RECT& area, unsigned colour)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += shown.At(x, y) != colour;
    return count;
}

int ChangedOutside(const WindowPixels& before, const WindowPixels& after, const RECT& area)
{
    int count = 0;
    for (int y = 0; y < after.height; ++y)
        for (int x = 0; x < after.width; ++x)
            count += !PtInRect(&area, POINT{x, y}) && before.At(x, y) != after.At(x, y);
    return count;
}

// What the mouse does on a part, each as the system delivers it: a click
// is a press and a release, a double click a click and the double-click
// message in place of the second press.
enum class MouseAction { kNone, kHover, kPress, kClick, kDoubleClick };

// Where the pointer goes, what it does there, what the bar shows then
// and the repeat timer left running (id 0: none).
struct PartStateRow {
    const char* what;
    int target;  // PartNone: away from the window
    MouseAction action;
    BarStates expected;
    UINT_PTR timer;
    UINT delay;
};

const int kNormal = ScrollBarSkin::StateNormal;
const int kPressed = ScrollBarSkin::StatePressed;
const int kHot = ScrollBarSkin::StateHighlighted;
const UINT_PTR kFirstRepeat = 0xFFFD;
const UINT_PTR kHover = static_cast<UINT_PTR>(-14);

const PartStateRow kPartStateRows[] = {
    {"at rest", PartNone, MouseAction::kNone, {kNormal, kNormal, kNormal}, 0, 0},
    {"pointer over a page: pages are never hot", PartPageRight, MouseAction::kHover, {kNormal, kNormal, kNormal}, 0, 0},
    {"left page pressed", PartPageLeft, MouseAction::kPress, {kPressed, kNormal, kNormal}, kFirstRepeat, 300},
    {"right page pressed", PartPageRight, MouseAction::kPress, {kNormal, kPressed, kNormal}, kFirstRepeat, 300},
    {"right page clicked", PartPageRight, MouseAction::kClick, {kNormal, kNormal, kNormal}, 0, 0},
    {"left page double-clicked",
     PartPageLeft,
     MouseAction::kDoubleClick,
     {kPressed, kNormal, kNormal},
     kFirstRepeat,
     300},
    {"thumb hot", PartThumb, MouseAction::kHover, {kNormal, kNormal, kHot}, 0, 0},
    {"thumb pressed", PartThumb, MouseAction::kPress, {kNormal, kNormal, kPressed}, 0, 0},
    {"thumb clicked: hot again under the pointer", PartThumb, MouseAction::kClick, {kNormal, kNormal, kHot}, 0, 0},
    {"thumb double-clicked", PartThumb, MouseAction::kDoubleClick, {kNormal, kNormal, kPressed}, 0, 0},
};

const COLORREF kClientMark = RGB(0x12, 0x34, 0x56);
const unsigned kClientMarkPixel = 0x123456;

class NcScrollPartTest : public NcScrollTest {
protected:
    // Nothing pressed or hot, the client marked so that a bar painting
    // into it, or the client being repainted, shows.
    void AtRest(HWND window)
    {
        SendMessageA(window, WM_LBUTTONUP, 0, 0);
        SettlePointer(kPointerAway);
        SendMessageA(window, WM_TIMER, static_cast<WPARAM>(-14), 0);
        PumpMessages();
        const WindowDC client(window);
        RECT rect;
        GetClientRect(window, &rect);
        const Brush mark(CreateSolidBrush(kClientMark));
        FillRect(client, &rect, mark);
    }

    // The bar's rectangle in window coordinates, `length` long.
    RECT BarIn(const WindowPixels& shown, int bar, int length) const
    {
        if (bar == SB_HORZ)
            return {1, shown.height - 1 - barSize_, 1 + length, shown.height - 1};
        return {shown.width - 1 - barSize_, 1, shown.width - 1, 1 + length};
    }

    // A screen point `along` the bar, in the middle of its thickness.
    POINT OnBar(HWND window, int bar, int along) const
    {
        RECT rect;
        GetWindowRect(window, &rect);
        if (bar == SB_HORZ)
            return {rect.left + 1 + along, rect.bottom - 1 - barSize_ / 2};
        return {rect.right - 1 - barSize_ / 2, rect.top + 1 + along};
    }

    void Enter(HWND window, int bar, const PartStateRow& row, int along)
    {
        if (row.target == PartNone)
            return;
        const POINT at = OnBar(window, bar, along);
        SettlePointer(at);
        const WPARAM hit = bar == SB_HORZ ? HTHSCROLL : HTVSCROLL;
        const LPARAM place = MAKELPARAM(at.x, at.y);
        if (row.action == MouseAction::kHover) {
            SendMessageA(window, WM_NCMOUSEMOVE, hit, place);
            return;
        }
        SendMessageA(window, WM_NCLBUTTONDOWN, hit, place);
        if (row.action == MouseAction::kPress)
            return;
        SendMessageA(window, WM_LBUTTONUP, 0, 0);
        if (row.action == MouseAction::kDoubleClick)
            SendMessageA(window, WM_NCLBUTTONDBLCLK, hit, place);
    }

    // The repeat timer the row's action leaves running; the pointer on the
    // bar keeps the hover poll running too.
    void ExpectTimers(HWND window, const PartStateRow& row, const std::string& what) const
    {
        for (const UINT_PTR id : {kFirstRepeat, kFirstRepeat + 1})
            EXPECT_EQ(id == row.timer, timers_.IsRunning(window, id)) << what << ": timer " << id;
        if (row.timer)
            EXPECT_TRUE(timers_.IsRunning(window, row.timer, row.delay)) << what;
        EXPECT_EQ(row.target != PartNone, timers_.IsRunning(window, kHover, 20)) << what << ": hover poll";
    }

    // Every timer is driven by the test.
    TimerLog timers_;
};

// The middle of a part along a bar whose thumb lies at `thumb`.
int MiddleOf(int part, int length, int arrow, const ThumbPlacement& thumb)
{
    switch (part) {
    case PartPageLeft:
        return (arrow + thumb.left) / 2;
    case PartPageRight:
        return (thumb.left + thumb.size + length - arrow) / 2;
    default:
        return thumb.left + thumb.size / 2;
    }
}

TEST_F(NcScrollPartTest, PagesAndThumbInEachStateAreTheSkinsPiecesAtTwoLengthsBothWays)
{
    for (const char* folder : kSkinFolders) {
        SCOPED_TRACE(folder);
        ASSERT_TRUE(LoadSkinSource(TellingTracksSkin(), folder));
        ASSERT_NE(SkinScrollBar().states[kPressed].bar.marginTop, SkinScrollBar().states[kNormal].bar.marginTop);
        HWND window = MakeScrolled();
        const int size = barSize_;
        const SIZE kClients[] = {{kClientWidth, kClientHeight}, {150, 120}};
        for (const SIZE& client : kClients) {
            SizeClient(window, client.cx, client.cy);
            for (int bar : {SB_HORZ, SB_VERT}) {
                SetInfo(window, bar, 0, 99, 25, 30);
                const int length = bar == SB_HORZ ? client.cx : client.cy;
                const ThumbPlacement thumb = PlaceThumb(RECT{0, 0, length, size}, {0, 99, 25, 30, size, 0});
                for (const PartStateRow& row : kPartStateRows) {
                    const std::string what = std::string(row.what) +
                                             (bar == SB_HORZ ? ", horizontal " : ", vertical ") +
                                             std::to_string(length) + " long";
                    AtRest(window);
                    const WindowPixels before = CaptureWindow(window);
                    Enter(window, bar, row, MiddleOf(row.target, length, size, thumb));
                    const WindowPixels after = CaptureWindow(window);
                    const RECT area = BarIn(after, bar, length);
                    const WindowPixels lying = ExpectedBar(length, size, thumb, row.expected);
                    EXPECT_EQ(DifferingPixels(after, area.left, area.top, bar == SB_HORZ ? lying : Turned(lying)), 0)
                        << what;
                    EXPECT_EQ(ChangedOutside(before, after, area), 0) << what << ": painted outside the bar";
                    ExpectTimers(window, row, what);
                    const RECT clientArea = {1, 1, 1 + client.cx, 1 + client.cy};
                    EXPECT_EQ(PixelsNot(after, clientArea, kClientMarkPixel), 0) << what << ": the client was touched";
                }
            }
        }
        AtRest(window);
    }
}

TEST_F(NcScrollPartTest, ABarShorterThanTwoArrowsShowsTwoHalfArrowsAndNoThumb)
{
    HWND window = MakeScrolled();
    const int size = barSize_;
    // An odd length: each arrow takes half, the middle pixel is page.
    const int length = 2 * size - 1;
    SizeClient(window, kClientWidth, length);
    // Pressing where a thumb would be must not start a drag.
    const POINT middle = OnBar(window, SB_VERT, length / 2);
    SendMessageA(window, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(middle.x, middle.y));
    EXPECT_EQ(NcScroll_IsThumbTracking(window), 0);
    AtRest(window);
    const WindowPixels shown = CaptureWindow(window);
    const int half = length / 2;
    WindowPixels lying;
    lying.width = length;
    lying.height = size;
    lying.pixels.resize(static_cast<size_t>(length) * size);
    Paste(lying, 0, RenderPart(PartArrowLeft, kNormal, half, size));
    Paste(lying, half, RenderPart(PartPageRight, kNormal, 1, size));
    Paste(lying, half + 1, RenderPart(PartArrowRight, kNormal, half, size));
    const RECT area = BarIn(shown, SB_VERT, length);
    EXPECT_EQ(DifferingPixels(shown, area.left, area.top, Turned(lying)), 0);
}

// ---- Without the skin's scroll bar object: the system's look ---------------------

// The system's flat arrow of `kind`, drawn as the system look draws it.
WindowPixels SystemArrow(UINT kind, int size)
{
    WindowDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, size, size));
    ObjectSelector selected(memory, bitmap);
    RECT area = {0, 0, size, size};
    DrawFrameControl(memory, &area, DFC_SCROLL, kind | DFCS_FLAT);
    return ReadPixels(memory, size, size);
}

TEST_F(NcScrollPartTest, WithoutTheSkinsObjectTheBarsTakeTheSystemsLook)
{
    ASSERT_TRUE(LoadSkinSource(WithoutObject(DefaultSkinSource(), "ScrollBarSkin", "ScrollBar")));
    ASSERT_EQ(SkinManager::Instance().GetSkinStore().FindObjectByType(kTypeScrollBar), nullptr);
    HWND window = MakeScrolled();
    AtRest(window);
    const int size = barSize_;
    const WindowPixels shown = CaptureWindow(window);
    const int right = shown.width - 1 - size;
    const int bottom = shown.height - 1 - size;
    struct ArrowRow {
        const char* what;
        UINT kind;
        int x, y;
    };
    const ArrowRow kArrows[] = {
        {"up", DFCS_SCROLLUP, right, 1},
        {"down", DFCS_SCROLLDOWN, right, bottom - size},
        {"left", DFCS_SCROLLLEFT, 1, bottom},
        {"right", DFCS_SCROLLRIGHT, right - size, bottom},
    };
    for (const ArrowRow& row : kArrows)
        EXPECT_EQ(DifferingPixels(shown, row.x, row.y, SystemArrow(row.kind, size)), 0) << row.what;
    // No parent whose corner it is: the size box is the button face.
    const RECT box = {right, bottom, right + size, bottom + size};
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(PixelsNot(shown, box, (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face)), 0);
    const RECT client = {1, 1, 1 + kClientWidth, 1 + kClientHeight};
    EXPECT_EQ(PixelsNot(shown, client, kClientMarkPixel), 0) << "the client was touched";
}

// Both painters are handed a memory DC here, which they must give back
// as they found it, in every state of every part.
TEST_F(NcScrollPartTest, PaintersGiveTheDcBackAsTheyFoundIt)
{
    WindowDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, 64, 64));
    ObjectSelector selected(memory, bitmap);
    const RECT rect = {3, 5, 40, 21};
    for (int part : {PartArrowLeft, PartArrowRight, PartPageLeft, PartPageRight, PartThumb})
        for (UINT state : {kItemNormal, kItemHot, kItemPressed, kItemDisabled})
            for (int look : {0, 2}) {
                const DcState before(memory);
                PaintSystemScrollPart(memory, rect, part, state, look == 2, look);
                EXPECT_TRUE(before.Unchanged(memory)) << "system part " << part << " state " << state;
                EXPECT_EQ(PaintScrollBarPart(nullptr, 0, kScrollStageItem, memory, rect, part, state, look & 1),
                          kPainterSkipDefault);
                EXPECT_TRUE(before.Unchanged(memory)) << "skin part " << part << " state " << state;
            }
    const DcState before(memory);
    PaintScrollBarPart(nullptr, 0, kScrollStageItem, memory, rect, PartSizeBox, kItemNormal, SB_BOTH);
    EXPECT_TRUE(before.Unchanged(memory)) << "size box";
}

}  // namespace
