// Scroll bar controls: the mouse protocol the skin reproduces (the parent's
// WM_HSCROLL / WM_VSCROLL, repeats driven by the skin's timer, the thumb
// following the pointer), the scroll values the skin keeps and hands on to
// the system's control, and every part's look in every state, vertical
// bars being the horizontal picture turned clockwise.
#include "ControlTestSupport.h"

#include "controls/SkinnedScrollBar.h"
#include "core/SkinManager.h"
#include "data/ScrollBarSkin.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "DcStateCheck.h"
#include "MessageLog.h"
#include "SkinEngine.h"
#include "TimerLog.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bar = SkinnedScrollBar;
const int kBarId = 300;
const int kThickness = 16;
const int kAcross = kThickness / 2;

// Our skin's arrows and thumb are 16 pixels long; the track of a 200-pixel
// bar is 168 pixels, so position p of 0..100 centres the thumb at 16 + 1.68p.
const int kLength = 200;

const ScrollBarSkin& Skin()
{
    return *static_cast<const ScrollBarSkin*>(DefaultStore().FindObjectByType(kTypeScrollBar));
}

// A point `along` the bar, `across` it, as the bar's client coordinates.
LPARAM At(bool vertical, int along, int across = kAcross)
{
    return vertical ? MAKELPARAM(across, along) : MAKELPARAM(along, across);
}

void SetValues(HWND bar, int minimum, int maximum, int page, int position)
{
    SCROLLINFO info = {sizeof info, SIF_ALL, minimum, maximum, static_cast<UINT>(page), position, 0};
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

// A parent that takes no part in what is tested: a size grip's move or
// size request ends here instead of starting the system's size loop.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SYSCOMMAND)
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* HostClass()
{
    static const char kName[] = "ScrollBarTestHost";
    static bool registered = false;
    if (!registered) {
        WNDCLASSA host = {};
        host.lpfnWndProc = HostProc;
        host.hInstance = GetModuleHandleA(nullptr);
        host.lpszClassName = kName;
        registered = RegisterClassA(&host) != 0;
    }
    return kName;
}

// Bars whose messages are recorded above the skin and below it (what
// reaches the system's control), and what their parent receives.
class ScrollBarProtocolTest : public ControlTest {
protected:
    HWND RecordedBar(DWORD style, int width, int height)
    {
        HWND frame = CreateFrame(WS_OVERLAPPEDWINDOW, 480, 360);
        HWND host = CreateWindowExA(0, HostClass(), "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, frame, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        HWND bar = CreateWindowExA(0, "ScrollBar", "", style | WS_CHILD | WS_VISIBLE, 10, 10, width, height, host,
                                   reinterpret_cast<HMENU>(kBarId), GetModuleHandleA(nullptr), nullptr);
        MessageLog& log = MessageLog::Instance();
        log.Subclass(bar, kDefWinProc);
        EXPECT_TRUE(SetWindowSkin(frame, "MainFrame"));
        EXPECT_NE(nullptr, SkinManager::Instance().FindWindowObject(bar));
        log.Subclass(host, kParent);
        log.Subclass(bar, kSent);
        // The real pointer stays off the bar: its moves would be the test's.
        SetCursorPos(0, 0);
        PumpFor(30);
        SetValues(bar, 0, 100, 0, 50);
        log.RestrictTo({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_HSCROLL, WM_VSCROLL, WM_SYSCOMMAND});
        log.Flush();
        return bar;
    }

    HWND RecordedBar(bool vertical, int length = kLength)
    {
        vertical_ = vertical;
        return vertical ? RecordedBar(SBS_VERT, kThickness, length) : RecordedBar(SBS_HORZ, length, kThickness);
    }

    void TearDown() override
    {
        MessageLog::Instance().RestrictTo({});
        ControlTest::TearDown();
    }

    UINT ScrollMessage() const { return vertical_ ? WM_VSCROLL : WM_HSCROLL; }
    ExpectedMessage Scroll(int code, int position = 0) const
    {
        return {ScrollMessage(), kParent | kWParam, MAKEWPARAM(code, position), 0};
    }
    static void Tick(HWND bar) { SendMessageA(bar, WM_TIMER, Bar::kRepeatTimer, 0); }
    bool NothingScrolled() const { return !MessageLog::Instance().Contains(ScrollMessage()); }

    bool vertical_ = false;
    // The repeat timer runs from the test's WM_TIMER only.
    TimerLog timers_;
};

struct RepeatCase {
    const char* what;
    int along;      // where the button goes down
    int code;       // what the parent hears, at once and on each repeat
    int elsewhere;  // a point on another part
};

// The thumb of 0..100 at 50 lies at 92..108.
const RepeatCase kRepeatCases[] = {
    {"first arrow", 5, SB_LINEUP, 60},
    {"second arrow", 195, SB_LINEDOWN, 60},
    {"page before the thumb", 40, SB_PAGEUP, 150},
    {"page after the thumb", 150, SB_PAGEDOWN, 40},
};

}  // namespace

TEST_F(ScrollBarProtocolTest, ArrowsAndPagesRepeatWhileThePointerStaysOnThem)
{
    for (bool vertical : {false, true}) {
        for (const RepeatCase& row : kRepeatCases) {
            SCOPED_TRACE(std::string(vertical ? "vertical, " : "horizontal, ") + row.what);
            HWND bar = RecordedBar(vertical);
            MessageLog& log = MessageLog::Instance();
            SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(vertical, row.along));
            const ExpectedMessage pressed[] = {{WM_LBUTTONDOWN, kSent, 0, 0}, Scroll(row.code)};
            EXPECT_TRUE(LogMatches(pressed, "press: one scroll at once, the system's control never sees it"));
            EXPECT_TRUE(timers_.IsRunning(bar, 1000, 300));
            EXPECT_EQ(bar, GetCapture());

            log.Flush();
            Tick(bar);
            Tick(bar);
            const ExpectedMessage repeated[] = {Scroll(row.code), Scroll(row.code)};
            EXPECT_TRUE(LogMatches(repeated, "two ticks of the repeat timer"));

            log.Flush();
            SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(vertical, row.along + 1, kAcross + 1));
            EXPECT_TRUE(timers_.IsRunning(bar, 1000, 300)) << "a move on the part sets the timer again";
            Tick(bar);
            const ExpectedMessage stillOn[] = {Scroll(row.code)};
            EXPECT_TRUE(LogMatches(stillOn, "a tick after a move on the part"));

            log.Flush();
            SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(vertical, row.elsewhere));
            EXPECT_FALSE(timers_.IsRunning(bar, 1000)) << "off the part the timer stops";
            Tick(bar);
            EXPECT_TRUE(NothingScrolled()) << "a late tick off the part";

            SendMessageA(bar, WM_LBUTTONUP, 0, At(vertical, row.elsewhere));
            const ExpectedMessage released[] = {{WM_LBUTTONUP, kSent, 0, 0}, Scroll(SB_ENDSCROLL)};
            EXPECT_TRUE(LogMatches(released, "release"));
            EXPECT_EQ(nullptr, GetCapture());
            Tick(bar);
            EXPECT_EQ(1u, log.Count(ScrollMessage())) << "nothing repeats after the release";
        }
    }
}

TEST_F(ScrollBarProtocolTest, TheThumbFollowsThePointerWithinTheRange)
{
    struct Step {
        const char* what;
        UINT message;
        int along;
        int code;
        int position;
    };
    // Along the 168-pixel track from 16, each position is 1.68 pixels.
    const Step steps[] = {
        {"press on the thumb: the position held", WM_LBUTTONDOWN, 100, SB_THUMBTRACK, 50},
        {"to the pointer", WM_MOUSEMOVE, 59, SB_THUMBTRACK, 25},
        {"over the thumb: the position held", WM_MOUSEMOVE, 104, SB_THUMBTRACK, 50},
        {"near the end", WM_MOUSEMOVE, 183, SB_THUMBTRACK, 99},
        {"beyond the end", WM_MOUSEMOVE, 500, SB_THUMBTRACK, 100},
        {"beyond the start", WM_MOUSEMOVE, -40, SB_THUMBTRACK, 0},
        {"release", WM_LBUTTONUP, 75, SB_THUMBPOSITION, 35},
    };
    for (bool vertical : {false, true}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        HWND bar = RecordedBar(vertical);
        for (const Step& step : steps) {
            MessageLog::Instance().Flush();
            const bool move = step.message == WM_MOUSEMOVE;
            SendMessageA(bar, step.message, step.message == WM_LBUTTONUP ? 0 : MK_LBUTTON, At(vertical, step.along));
            std::vector<ExpectedMessage> expected;
            if (!move)
                expected.push_back({step.message, kSent, 0, 0});
            expected.push_back(Scroll(step.code, step.position));
            if (step.message == WM_LBUTTONUP)
                expected.push_back(Scroll(SB_ENDSCROLL));
            EXPECT_TRUE(MessageLog::Instance().Matches(expected.data(), expected.size(), step.what));
            SCROLLINFO info = {sizeof info, SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, -1};
            GetScrollInfo(bar, SB_CTL, &info);
            EXPECT_EQ(step.position, info.nTrackPos) << step.what << ": the 32-bit position for the parent";
            EXPECT_EQ(50, info.nPos) << step.what << ": the position is the parent's to set";
        }
    }
}

TEST_F(ScrollBarProtocolTest, WithAPageTheThumbTravelsOverTheReachablePositions)
{
    HWND bar = RecordedBar(false);
    // 0..100 with a page of 21 reaches 80; 40 puts the thumb at 16 + 84 - 8,
    // 92..108.
    SetValues(bar, 0, 100, 21, 40);
    MessageLog::Instance().Flush();
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(false, 100));
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(false, 59));
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(false, 190));
    SendMessageA(bar, WM_LBUTTONUP, 0, At(false, 190));
    const ExpectedMessage dragged[] = {
        {WM_LBUTTONDOWN, kSent, 0, 0}, Scroll(SB_THUMBTRACK, 40),   Scroll(SB_THUMBTRACK, 20),
        Scroll(SB_THUMBTRACK, 80),     {WM_LBUTTONUP, kSent, 0, 0}, Scroll(SB_THUMBPOSITION, 80),
        Scroll(SB_ENDSCROLL),
    };
    EXPECT_TRUE(LogMatches(dragged, "drag to the end"));
}

TEST_F(ScrollBarProtocolTest, ADragEndsOnceWhereverThePointerAndCaptureWent)
{
    HWND bar = RecordedBar(false);
    MessageLog& log = MessageLog::Instance();
    // The pointer left the bar while the thumb was held.
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(false, 100));
    SendMessageA(bar, WM_MOUSELEAVE, 0, 0);
    log.Flush();
    SendMessageA(bar, WM_LBUTTONUP, 0, At(false, 59));
    const ExpectedMessage released[] = {
        {WM_LBUTTONUP, kSent, 0, 0}, Scroll(SB_THUMBPOSITION, 25), Scroll(SB_ENDSCROLL)};
    EXPECT_TRUE(LogMatches(released, "release after the pointer left"));

    // Another window took the capture while an arrow was held.
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(false, 5));
    log.Flush();
    ReleaseCapture();
    const ExpectedMessage lost[] = {Scroll(SB_ENDSCROLL)};
    EXPECT_TRUE(LogMatches(lost, "capture lost"));
    EXPECT_FALSE(KillTimer(bar, Bar::kRepeatTimer)) << "the repeat stopped with the capture";
    log.Flush();
    Tick(bar);
    SendMessageA(bar, WM_LBUTTONUP, 0, At(false, 5));
    EXPECT_TRUE(NothingScrolled()) << "nothing repeats or ends twice";

    // Button messages without a press on the bar.
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(false, 100));
    SendMessageA(bar, WM_LBUTTONUP, 0, At(false, 100));
    EXPECT_TRUE(NothingScrolled()) << "a drag that began elsewhere";
}

TEST_F(ScrollBarProtocolTest, APageStopsRepeatingOnceTheThumbReachesThePointer)
{
    HWND bar = RecordedBar(false);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(false, 150));
    // The parent scrolled: the thumb (16 + 142 - 8) now lies under the pointer.
    SetValues(bar, 0, 100, 0, 85);
    MessageLog::Instance().Flush();
    Tick(bar);
    EXPECT_TRUE(NothingScrolled()) << "the thumb under the pointer";
    SetValues(bar, 0, 100, 0, 50);
    Tick(bar);
    const ExpectedMessage resumed[] = {Scroll(SB_PAGEDOWN)};
    EXPECT_TRUE(LogMatches(resumed, "the page under the pointer again"));
    SendMessageA(bar, WM_LBUTTONUP, 0, At(false, 150));
}

TEST_F(ScrollBarProtocolTest, ShortBarsAndEmptyRangesScrollWithoutAThumb)
{
    struct Case {
        const char* what;
        int length;
        int minimum;
        int maximum;
        int along;
        int code;
        int position;
    };
    const Case cases[] = {
        // 40 pixels leave an 8-pixel track: no room for the thumb, all page.
        {"no room for the thumb", 40, 0, 100, 18, SB_PAGEDOWN, 0},
        // 24 pixels: two arrows of 12.
        {"first half arrow", 24, 0, 100, 11, SB_LINEUP, 0},
        {"second half arrow", 24, 0, 100, 12, SB_LINEDOWN, 0},
        // An empty range keeps its thumb at the start of the track, 16..32.
        {"empty range, thumb", kLength, 7, 7, 20, SB_THUMBTRACK, 7},
        {"empty range, page", kLength, 7, 7, 150, SB_PAGEDOWN, 0},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        HWND bar = RecordedBar(false, row.length);
        SetValues(bar, row.minimum, row.maximum, 0, row.minimum);
        MessageLog::Instance().Flush();
        SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(false, row.along));
        const ExpectedMessage pressed[] = {{WM_LBUTTONDOWN, kSent, 0, 0}, Scroll(row.code, row.position)};
        EXPECT_TRUE(LogMatches(pressed, row.what));
        SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, At(false, 150));
        SendMessageA(bar, WM_LBUTTONUP, 0, At(false, 150));
        EXPECT_EQ(row.minimum, SendMessageA(bar, SBM_GETPOS, 0, 0));
    }
}

TEST_F(ScrollBarProtocolTest, ASizeGripKeepsTheSystemsMouseHandling)
{
    HWND grip = RecordedBar(SBS_SIZEGRIP, 16, 16);
    SendMessageA(grip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
    const ExpectedMessage pressed[] = {
        {WM_LBUTTONDOWN, kSent, 0, 0},
        {WM_LBUTTONDOWN, kDefWinProc, 0, 0},
        {WM_SYSCOMMAND, kParent | kWParam, SC_SIZE | WMSZ_BOTTOMRIGHT, 0},
    };
    EXPECT_TRUE(LogMatches(pressed, "press on the grip"));
}

namespace {

struct Values {
    int minimum;
    int maximum;
    int page;
    int position;
    int track;
};

// A bar of 0..100, page 10, at 20, as the parent set it through the skin
// (SIF_ALL: the track position 0 with it).
class ScrollBarValuesTest : public ControlTest {
protected:
    HWND FreshBar()
    {
        if (bar_)
            DestroyWindow(bar_);
        bar_ = AddControl("ScrollBar", "", SBS_HORZ, 10, 10, kLength, kThickness, kBarId);
        SetValues(bar_, 0, 100, 10, 20);
        return bar_;
    }

    static Values Held(HWND bar)
    {
        SCROLLINFO info = {sizeof info, SIF_ALL, -1, -1, 0, -1, -1};
        EXPECT_TRUE(SendMessageA(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info)));
        return {info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos, info.nTrackPos};
    }

    HWND bar_ = nullptr;
};

testing::AssertionResult Same(const Values& got, const Values& want, bool withTrack = true)
{
    if (got.minimum == want.minimum && got.maximum == want.maximum && got.page == want.page &&
        got.position == want.position && (!withTrack || got.track == want.track))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "range " << got.minimum << ".." << got.maximum << " page " << got.page
                                       << " pos " << got.position << " track " << got.track << ", expected "
                                       << want.minimum << ".." << want.maximum << " page " << want.page << " pos "
                                       << want.position << " track " << want.track;
}

}  // namespace

TEST_F(ScrollBarValuesTest, SettingValuesKeepsTheSkinsCopyAndTheSystemsControl)
{
    // SBM_SETSCROLLINFO (redraw on) with a SCROLLINFO of `size`, `mask` and
    // the five values; any other message with wParam and lParam.
    struct Call {
        UINT message;
        UINT size;
        UINT mask;
        Values values;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };
    struct Case {
        const char* what;
        Call call;
        LRESULT result;
        Values held;
        bool enabled;
        int systemPosition;  // the range and page the system's control holds are the copy's
    };
    const UINT kSize = sizeof(SCROLLINFO);
    const UINT kDisable = SIF_POS | SIF_DISABLENOSCROLL;
    const UINT kSet = SBM_SETSCROLLINFO;
    const UINT kRangeAndPosition = SIF_RANGE | SIF_POS;
    const WPARAM kMinus8 = static_cast<WPARAM>(-8);
    const Case cases[] = {
        {"in the range", {kSet, kSize, SIF_POS, {0, 0, 0, 40, 0}}, 40, {0, 100, 10, 40, 40}, true, 40},
        {"beyond the last page", {kSet, kSize, SIF_POS, {0, 0, 0, 150, 0}}, 91, {0, 100, 10, 91, 91}, true, 91},
        {"below the range", {kSet, kSize, SIF_POS, {0, 0, 0, -5, 0}}, 0, {0, 100, 10, 0, 0}, true, 0},
        // The range given with a position limits it, not the one it replaces.
        {"wider range", {kSet, kSize, kRangeAndPosition, {0, 500, 0, 300, 0}}, 300, {0, 500, 10, 300, 300}, true, 300},
        {"narrower range", {kSet, kSize, kRangeAndPosition, {-10, 30, 0, 50, 0}}, 21, {-10, 30, 10, 21, 21}, true, 21},
        {"page", {kSet, kSize, SIF_PAGE, {0, 0, 25, 0, 0}}, 20, {0, 100, 25, 20, 0}, true, 20},
        {"track position", {kSet, kSize, SIF_TRACKPOS, {0, 0, 0, 0, 33}}, 20, {0, 100, 10, 20, 33}, true, 20},
        {"SIF_DISABLENOSCROLL", {kSet, kSize, kDisable, {0, 0, 0, 60, 0}}, 20, {0, 100, 10, 60, 60}, false, 20},
        {"other size", {kSet, kSize - 4, SIF_POS, {0, 0, 0, 60, 0}}, 20, {0, 100, 10, 20, 0}, true, 20},
        // It answers the position before.
        {"SBM_SETPOS", {SBM_SETPOS, 0, 0, {}, 45, TRUE}, 20, {0, 100, 10, 45, 45}, true, 45},
        {"SBM_SETRANGE", {SBM_SETRANGE, 0, 0, {}, 5, 50}, 0, {5, 50, 10, 20, 0}, true, 20},
        {"SBM_SETRANGEREDRAW", {SBM_SETRANGEREDRAW, 0, 0, {}, kMinus8, 12}, 0, {-8, 12, 10, 20, 0}, true, 20},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        HWND bar = FreshBar();
        const Call& call = row.call;
        const Values& v = call.values;
        SCROLLINFO given = {call.size, call.mask, v.minimum, v.maximum, static_cast<UINT>(v.page), v.position, v.track};
        const bool withInfo = call.message == kSet;
        const LRESULT result = SendMessageA(bar, call.message, withInfo ? TRUE : call.wParam,
                                            withInfo ? reinterpret_cast<LPARAM>(&given) : call.lParam);
        EXPECT_EQ(row.result, result);
        EXPECT_TRUE(Same(Held(bar), row.held));
        EXPECT_EQ(row.held.position, SendMessageA(bar, SBM_GETPOS, 0, 0));
        EXPECT_EQ(row.enabled, IsWindowEnabled(bar) != FALSE);
        ASSERT_TRUE(SkinManager::Instance().UnskinWindow(bar));
        Values system = row.held;
        system.position = row.systemPosition;
        EXPECT_TRUE(Same(Held(bar), system, false)) << "the system's control";
    }
}

TEST_F(ScrollBarValuesTest, ReadingValuesWritesOnlyWhatWasAskedFor)
{
    struct Case {
        const char* what;
        UINT cbSize;
        UINT mask;
        LRESULT result;
        Values written;  // kUntouched where nothing may be written
    };
    const int kUntouched = 0x5A5A5A5A;
    const int u = kUntouched;
    const UINT kSize = sizeof(SCROLLINFO);
    const Case cases[] = {
        {"position", kSize, SIF_POS, TRUE, {u, u, u, 20, u}},
        {"page and range", kSize, SIF_PAGE | SIF_RANGE, TRUE, {0, 100, 10, u, u}},
        {"track position", kSize, SIF_TRACKPOS, TRUE, {u, u, u, u, 33}},
        {"nothing asked", kSize, 0, FALSE, {u, u, u, u, u}},
        {"a structure without the track position", kSize - 4, SIF_ALL, TRUE, {0, 100, 10, 20, u}},
        {"a structure of no known size", kSize - 8, SIF_ALL, FALSE, {u, u, u, u, u}},
    };
    HWND bar = FreshBar();
    SCROLLINFO track = {sizeof track, SIF_TRACKPOS, 0, 0, 0, 0, 33};
    SendMessageA(bar, SBM_SETSCROLLINFO, FALSE, reinterpret_cast<LPARAM>(&track));
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        SCROLLINFO info = {row.cbSize, row.mask, u, u, static_cast<UINT>(u), u, u};
        EXPECT_EQ(row.result, SendMessageA(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info)));
        EXPECT_TRUE(Same({info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos, info.nTrackPos}, row.written));
    }
    EXPECT_EQ(FALSE, SendMessageA(bar, SBM_GETSCROLLINFO, 0, 0)) << "no structure";
    EXPECT_EQ(20, SendMessageA(bar, SBM_SETSCROLLINFO, TRUE, 0)) << "no structure";
}

TEST_F(ScrollBarValuesTest, TheCopyIsTakenOnceTheParentSetTheValues)
{
    HWND bar = CreateWindowExA(0, "ScrollBar", "", SBS_HORZ | WS_CHILD | WS_VISIBLE, 10, 10, kLength, kThickness,
                               Frame(), reinterpret_cast<HMENU>(kBarId), GetModuleHandleA(nullptr), nullptr);
    SetValues(bar, 10, 90, 5, 70);
    EXPECT_EQ(70, SendMessageA(bar, SBM_GETPOS, 0, 0)) << "before the copy the system's control answers";
    PumpFor(20);
    EXPECT_TRUE(Same(Held(bar), {10, 90, 5, 70, 70}));
    // From here the copy answers: a value only the system's control took is
    // not seen.
    SCROLLINFO behind = {sizeof behind, SIF_POS, 0, 0, 0, 30, 0};
    auto* skin = SkinManager::Instance().FindWindowObject(bar);
    ASSERT_NE(nullptr, skin);
    skin->CallPrevious(SBM_SETSCROLLINFO, FALSE, reinterpret_cast<LPARAM>(&behind));
    EXPECT_EQ(70, SendMessageA(bar, SBM_GETPOS, 0, 0));
}

namespace {

enum Action { ActionNone, ActionHover, ActionPress, ActionDisable };
enum Place { OnNothing, OnArrow1, OnArrow2, OnThumb, OnPage };

struct Geometry {
    int length;
    int thickness;
    int position;  // of 0..100
    int page;
    int thumbLeft;  // -1: no thumb
    int arrow;
};

// The thumb centred on the position along the track, held between the
// arrows; none where it does not fit; arrows of half the bar on a bar
// shorter than two.
const Geometry kGeometries[] = {
    {200, 16, 25, 0, 50, 16},    // 16 + 42 - 8
    {120, 18, 100, 20, 88, 16},  // the last page's 81: 16 + 88 - 8, held at 120 - 16 - 16
    {40, 16, 50, 0, -1, 16},     // an 8-pixel track
    {24, 17, 50, 0, -1, 12},     // two half arrows
};

struct LookCase {
    const char* what;
    Action action;
    Place place;
    ScrollBarSkin::State state;
};

const LookCase kLookCases[] = {
    {"normal", ActionNone, OnNothing, ScrollBarSkin::StateNormal},
    {"first arrow hot", ActionHover, OnArrow1, ScrollBarSkin::StateHighlighted},
    {"second arrow hot", ActionHover, OnArrow2, ScrollBarSkin::StateHighlighted},
    {"thumb hot", ActionHover, OnThumb, ScrollBarSkin::StateHighlighted},
    {"page hot", ActionHover, OnPage, ScrollBarSkin::StateHighlighted},
    {"first arrow pressed", ActionPress, OnArrow1, ScrollBarSkin::StatePressed},
    {"second arrow pressed", ActionPress, OnArrow2, ScrollBarSkin::StatePressed},
    {"thumb pressed", ActionPress, OnThumb, ScrollBarSkin::StatePressed},
    {"page pressed", ActionPress, OnPage, ScrollBarSkin::StatePressed},
    {"disabled", ActionDisable, OnNothing, ScrollBarSkin::StateDisabled},
};

// The look a case shows: the normal images, with the acted-on part's (or,
// disabled, every part's) taken from the case's state.
ScrollBarStateLook LookOf(const ScrollBarSkin& skin, const LookCase& row)
{
    ScrollBarStateLook look = skin.states[ScrollBarSkin::StateNormal];
    const ScrollBarStateLook& state = skin.states[row.state];
    if (row.action == ActionDisable)
        return state;
    if (row.place == OnArrow1)
        look.arrow1 = state.arrow1;
    else if (row.place == OnArrow2)
        look.arrow2 = state.arrow2;
    else if (row.place == OnThumb)
        look.thumb = state.thumb;
    return look;
}

std::string Hex(unsigned pixel)
{
    char text[16];
    snprintf(text, sizeof text, "0x%06X", pixel);
    return text;
}

// What drawing `ref` over width x height covers: a piece drawn once
// covers no more than its own size.
WindowPixels DrawnPiece(const ImageRef& ref, int width, int height)
{
    if (ref.drawMode == DrawModeOnce) {
        width = std::min<int>(width, ref.source.right - ref.source.left);
        height = std::min<int>(height, ref.source.bottom - ref.source.top);
    }
    return RenderPiece(ref, width, height, GetSysColor(COLOR_BTNFACE));
}

void Overlay(WindowPixels& picture, const WindowPixels& piece, int x0, int y0)
{
    for (int y = 0; y < piece.height; ++y)
        for (int x = 0; x < piece.width; ++x)
            if (piece.At(x, y) != 0xFF00FF)
                picture.pixels[static_cast<size_t>(y0 + y) * picture.width + x0 + x] = piece.At(x, y);
}

// The horizontal picture of a bar from the skin's pieces: the track, the
// two arrows, the thumb keyed over the track inside its margins.
WindowPixels ExpectedBar(const ScrollBarStateLook& look, const Geometry& bar)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const FrameImageRef& track = Skin().states[ScrollBarSkin::StateNormal].bar;
    WindowPixels picture = RenderFrameImage(look.bar, bar.length, bar.thickness, face);
    Overlay(picture, DrawnPiece(look.arrow1, bar.arrow, bar.thickness), 0, 0);
    Overlay(picture, DrawnPiece(look.arrow2, bar.arrow, bar.thickness), bar.length - bar.arrow, 0);
    if (bar.thumbLeft >= 0) {
        const SourceRect& normal = Skin().states[ScrollBarSkin::StateNormal].thumb.source;
        const int length = normal.right - normal.left;
        const int height = bar.thickness - track.marginTop - track.marginBottom;
        Overlay(picture, RenderFrameImage(look.thumb, length, height, face), bar.thumbLeft, track.marginTop);
    }
    return picture;
}

// `shown` against the horizontal `expected`, turned clockwise for a
// vertical bar: the picture's left end at the top, its top edge at the
// right.
testing::AssertionResult ShowsBar(const WindowPixels& shown, const WindowPixels& expected, bool vertical)
{
    const int width = vertical ? expected.height : expected.width;
    const int height = vertical ? expected.width : expected.height;
    if (shown.width != width || shown.height != height)
        return testing::AssertionFailure() << "shown " << shown.width << "x" << shown.height;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) {
            const unsigned got = vertical ? shown.At(expected.height - 1 - y, x) : shown.At(x, y);
            if (got != expected.At(x, y))
                return testing::AssertionFailure() << "picture pixel " << x << "," << y << " shows " << Hex(got)
                                                   << ", the skin's is " << Hex(expected.At(x, y));
        }
    return testing::AssertionSuccess();
}

class ScrollBarLookTest : public ControlTest {
protected:
    // The pointer put back where the next test expects it, and its moves
    // delivered here, not to the next test's windows.
    void TearDown() override
    {
        SetCursorPos(0, 0);
        PumpFor(20);
        ControlTest::TearDown();
    }

    HWND MakeBar(bool vertical, const Geometry& geometry)
    {
        const int width = vertical ? geometry.thickness : geometry.length;
        const int height = vertical ? geometry.length : geometry.thickness;
        HWND bar = AddControl("ScrollBar", "", vertical ? SBS_VERT : SBS_HORZ, 20, 20, width, height, kBarId);
        SetValues(bar, 0, 100, geometry.page, geometry.position);
        SetCursorPos(0, 0);
        PumpFor(10);
        return bar;
    }

    static int AlongOf(Place place, const Geometry& bar)
    {
        switch (place) {
        case OnArrow1:
            return 3;
        case OnArrow2:
            return bar.length - 3;
        case OnThumb:
            return bar.thumbLeft + 4;
        default:
            return bar.arrow + 1;
        }
    }

    static void Act(HWND bar, bool vertical, const LookCase& row, const Geometry& geometry)
    {
        const LPARAM point = At(vertical, AlongOf(row.place, geometry), geometry.thickness / 2);
        POINT screen = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
        ClientToScreen(bar, &screen);
        if (row.action == ActionHover) {
            SetCursorPos(screen.x, screen.y);
            SendMessageA(bar, WM_MOUSEMOVE, 0, point);
        } else if (row.action == ActionPress) {
            SetCursorPos(screen.x, screen.y);
            SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, point);
        } else if (row.action == ActionDisable) {
            EnableWindow(bar, FALSE);
        }
    }
};

}  // namespace

TEST_F(ScrollBarLookTest, EveryPartInEveryStateShowsTheSkinsPieces)
{
    for (const Geometry& geometry : kGeometries) {
        const bool hasThumb = geometry.thumbLeft >= 0;
        for (bool vertical : {false, true}) {
            HWND bar = MakeBar(vertical, geometry);
            for (const LookCase& row : kLookCases) {
                if (!hasThumb && (row.place == OnThumb || row.place == OnPage) && row.action != ActionNone)
                    continue;
                SCOPED_TRACE(std::string(vertical ? "vertical " : "horizontal ") + std::to_string(geometry.length) +
                             ", " + row.what);
                Act(bar, vertical, row, geometry);
                PumpFor(10);
                EXPECT_TRUE(ShowsBar(CaptureWindow(bar), ExpectedBar(LookOf(Skin(), row), geometry), vertical));
                SendMessageA(bar, WM_LBUTTONUP, 0, 0);
                SetCursorPos(0, 0);
                SendMessageA(bar, WM_MOUSELEAVE, 0, 0);
                EnableWindow(bar, TRUE);
                PumpFor(10);
            }
            DestroyWindow(bar);
        }
    }
}

TEST_F(ScrollBarLookTest, MissingStateImagesFallBackToTheNormalOnes)
{
    std::string source = DefaultSkinSource();
    for (const char* key : {"  HIGHLIGHTED.THUMB = ", "  DISABLED.ARROW2 = "}) {
        const size_t begin = source.find(key);
        ASSERT_NE(std::string::npos, begin) << key;
        source.erase(begin, source.find('\n', begin) + 1 - begin);
    }
    ASSERT_TRUE(LoadSkinSource(source));
    const Geometry& geometry = kGeometries[0];
    const ScrollBarStateLook& normal = Skin().states[ScrollBarSkin::StateNormal];
    const ScrollBarStateLook& disabled = Skin().states[ScrollBarSkin::StateDisabled];
    HWND bar = MakeBar(false, geometry);
    Act(bar, false, kLookCases[3], geometry);  // thumb hot
    EXPECT_TRUE(ShowsBar(CaptureWindow(bar), ExpectedBar(normal, geometry), false)) << "hot thumb";
    SetCursorPos(0, 0);
    SendMessageA(bar, WM_MOUSELEAVE, 0, 0);
    EnableWindow(bar, FALSE);
    ScrollBarStateLook look = disabled;
    look.arrow2 = normal.arrow2;
    EXPECT_TRUE(ShowsBar(CaptureWindow(bar), ExpectedBar(look, geometry), false)) << "disabled";
}

TEST_F(ScrollBarLookTest, ASizeGripShowsTheGripper)
{
    const SIZE sizes[] = {{16, 16}, {23, 19}};
    for (const SIZE& size : sizes) {
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
        HWND grip = AddControl("ScrollBar", "", SBS_SIZEGRIP, 30, 30, size.cx, size.cy, kBarId);
        // The system's face colour around a gripper smaller than the grip.
        WindowPixels expected = RenderFrameImage(FrameImageRef{}, size.cx, size.cy, GetSysColor(COLOR_BTNFACE));
        Overlay(expected, DrawnPiece(Skin().gripper, size.cx, size.cy), 0, 0);
        EXPECT_TRUE(ShowsBar(CaptureWindow(grip), expected, false));
        DestroyWindow(grip);
    }
}

TEST_F(ScrollBarLookTest, PaintingLeavesTheDcAsFound)
{
    const Geometry& geometry = kGeometries[0];
    struct Case {
        const char* what;
        DWORD style;
        int width;
        int height;
        bool pumped;  // the values copied
    };
    const Case cases[] = {
        {"horizontal", SBS_HORZ, geometry.length, geometry.thickness, true},
        {"vertical", SBS_VERT, geometry.thickness, geometry.length, true},
        {"size grip", SBS_SIZEGRIP, 16, 16, true},
        {"before the copy", SBS_HORZ, geometry.length, geometry.thickness, false},
    };
    WindowDC screen(nullptr);
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        HWND bar = CreateWindowExA(0, "ScrollBar", "", row.style | WS_CHILD | WS_VISIBLE, 20, 20, row.width, row.height,
                                   Frame(), reinterpret_cast<HMENU>(kBarId), GetModuleHandleA(nullptr), nullptr);
        if (row.pumped) {
            PumpFor(10);
            SetValues(bar, 0, 100, geometry.page, geometry.position);
        }
        // The thumb pressed: its keyed look too. A grip's press is the
        // system's, which would start sizing the frame.
        if (row.pumped && row.style != SBS_SIZEGRIP)
            SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(row.style == SBS_VERT, geometry.thumbLeft + 4));
        SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(bar);
        ASSERT_NE(nullptr, skin);
        OwnedDC memory(CreateCompatibleDC(screen));
        Bitmap bitmap(CreateCompatibleBitmap(screen, row.width, row.height));
        ObjectSelector selected(memory, bitmap);
        const DcState before(memory);
        skin->Paint(memory);
        EXPECT_TRUE(before.Unchanged(memory));
        if (!row.pumped) {
            const WindowPixels expected = RenderFrameImage(Skin().states[ScrollBarSkin::StateNormal].bar, row.width,
                                                           row.height, GetSysColor(COLOR_BTNFACE));
            EXPECT_TRUE(ShowsBar(ReadPixels(memory, row.width, row.height), expected, false)) << "only the track";
        }
        SendMessageA(bar, WM_LBUTTONUP, 0, 0);
        DestroyWindow(bar);
    }
}
