// Tabs, progress bars, trackbars and up-down buttons: the progress bar's
// own state and what the system control holds after the skin let it go,
// the trackbar's style given back, the up-down's half under the pointer,
// and every family's pixels on every side, from the skin's own pieces.
#include "ControlTestSupport.h"

#include "controls/ButtonLayout.h"
#include "controls/SkinnedTab.h"
#include "controls/SkinnedTrackBar.h"
#include "controls/SkinnedUpDown.h"
#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "data/ProgressSkin.h"
#include "data/SkinStore.h"
#include "data/SpinSkin.h"
#include "data/TabSkin.h"
#include "data/TrackBarSkin.h"
#include "DcStateCheck.h"
#include "imaging/TurnedDrawing.h"
#include "MessageLog.h"
#include "SkinEngine.h"

#include <commctrl.h>

#include <map>
#include <string>

namespace {

const unsigned kKey = 0xFF00FF;
const unsigned kNoPixel = 0xFFFFFFFF;  // pixels are 0x00RRGGBB

template <typename Skin>
const Skin& Object(const char* name)
{
    return *static_cast<const Skin*>(DefaultStore().FindObject(name));
}

unsigned Rgb(COLORREF colour)
{
    return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

// The test's own reference turn of a picture (clockwise quarters).
WindowPixels Turned(const WindowPixels& picture, QuarterTurn turn)
{
    const bool across = turn == TurnClockwise || turn == TurnAnticlockwise;
    WindowPixels out;
    out.width = across ? picture.height : picture.width;
    out.height = across ? picture.width : picture.height;
    out.pixels.resize(picture.pixels.size());
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const POINT to = turn == TurnClockwise       ? POINT{picture.height - 1 - y, x}
                             : turn == TurnHalf          ? POINT{picture.width - 1 - x, picture.height - 1 - y}
                             : turn == TurnAnticlockwise ? POINT{y, picture.width - 1 - x}
                                                         : POINT{x, y};
            out.pixels[static_cast<size_t>(to.y) * out.width + to.x] = picture.At(x, y);
        }
    return out;
}

// `over` laid on `under` from the left, `columns` wide; key pixels of
// `over` keep `under`.
WindowPixels Overlaid(WindowPixels under, const WindowPixels& over, int columns)
{
    for (int y = 0; y < under.height; ++y)
        for (int x = 0; x < columns; ++x)
            if (over.At(x, y) != kKey)
                under.pixels[static_cast<size_t>(y) * under.width + x] = over.At(x, y);
    return under;
}

// `expected` at (x0, y0) of `shown`, skipping key pixels, `hole` (shown's
// coordinates) and shown pixels of the colour `skipped`.
testing::AssertionResult ShowsPictureAround(const WindowPixels& shown, int x0, int y0, const WindowPixels& expected,
                                            const RECT& hole, unsigned skipped = kNoPixel)
{
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) {
            const POINT at = {x0 + x, y0 + y};
            if (expected.At(x, y) == kKey || PtInRect(&hole, at) || shown.At(at.x, at.y) == skipped)
                continue;
            if (shown.At(at.x, at.y) != expected.At(x, y))
                return testing::AssertionFailure() << "pixel " << x << "," << y << " is 0x" << std::hex
                                                   << shown.At(at.x, at.y) << ", the skin's is 0x" << expected.At(x, y);
        }
    return testing::AssertionSuccess();
}

// The colours of the pixels in `area` that differ from `picture`, counted.
std::map<unsigned, int> ChangedColours(const WindowPixels& shown, const RECT& area, const WindowPixels& picture)
{
    std::map<unsigned, int> colours;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const unsigned want = picture.At(x - area.left, y - area.top);
            if (want != kKey && shown.At(x, y) != want)
                ++colours[shown.At(x, y)];
        }
    return colours;
}

void InsertTabs(HWND tabs, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(name);
        SendMessageA(tabs, TCM_INSERTITEMA, 99, reinterpret_cast<LPARAM>(&item));
    }
}

class FamilyTest : public ControlTest {
protected:
    void TearDown() override
    {
        MessageLog::Instance().RestrictTo({});
        ControlTest::TearDown();
    }

    // A control made before its frame is skinned, with a recorder below
    // the skin (kDefWinProc) and one above it (kSent).
    HWND Recorded(const char* className, DWORD style, int width, int height)
    {
        HWND frame = CreateFrame(WS_OVERLAPPEDWINDOW, 400, 300);
        HWND control = CreateWindowExA(0, className, "", style | WS_CHILD | WS_VISIBLE, 10, 10, width, height, frame,
                                       reinterpret_cast<HMENU>(100), GetModuleHandleA(nullptr), nullptr);
        MessageLog& log = MessageLog::Instance();
        log.Subclass(control, kDefWinProc);
        EXPECT_TRUE(SetWindowSkin(frame, "MainFrame"));
        log.Subclass(control, kSent);
        PumpFor(30);
        return control;
    }

    // Loads our skin without the object of that type and name: the
    // controls it drew are let go.
    static void LoadWithout(const char* type, const char* name)
    {
        ASSERT_TRUE(LoadSkinSource(WithoutObject(DefaultSkinSource(), type, name)));
        PumpFor(20);
    }

    static void LoadDefaultSkin()
    {
        const std::vector<BYTE> skin = DefaultSkinBytes();
        ASSERT_TRUE(LoadSkinFromMemory(skin.data(), static_cast<DWORD>(skin.size())));
    }

    static bool Skinned(HWND window) { return SkinManager::Instance().FindWindowObject(window) != nullptr; }
};

// --- Progress bars ---------------------------------------------------------

struct ProgressStep {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    int position;  // PBM_GETPOS afterwards
};

const ProgressStep kProgressSteps[] = {
    {PBM_SETRANGE32, 10, 110, MAKELONG(0, 100), 10},  // the position follows the new low end
    {PBM_SETPOS, 60, 0, 10, 60},
    {PBM_DELTAPOS, 100, 0, 60, 110},
    {PBM_SETSTEP, 7, 0, 10, 110},
    {PBM_STEPIT, 0, 0, 110, 17},  // past the end it starts over, as the system's does
    {PBM_SETPOS, 200, 0, 17, 110},
    {PBM_SETPOS, 0, 0, 110, 10},
    {PBM_DELTAPOS, static_cast<WPARAM>(-50), 0, 10, 10},  // never below the low end
    {PBM_STEPIT, 0, 0, 10, 17},
    {PBM_SETBARCOLOR, 0, RGB(255, 0, 0), static_cast<LRESULT>(CLR_DEFAULT), 17},
    {PBM_SETBKCOLOR, 0, RGB(0, 255, 0), static_cast<LRESULT>(CLR_DEFAULT), 17},
    {PBM_GETRANGE, TRUE, 0, 10, 17},
    {PBM_GETRANGE, FALSE, 0, 110, 17},
    {PBM_SETRANGE, 0, MAKELPARAM(0, 15), MAKELONG(10, 110), 15},
};

}  // namespace

TEST_F(FamilyTest, TheProgressBarKeepsItsOwnState)
{
    HWND bar = Recorded(PROGRESS_CLASSA, 0, 200, 20);
    ASSERT_TRUE(Skinned(bar));
    MessageLog& log = MessageLog::Instance();
    for (const ProgressStep& step : kProgressSteps) {
        const std::string context = "message 0x" + std::to_string(step.message) + " " + std::to_string(step.wParam);
        log.Flush();
        EXPECT_EQ(step.result, SendMessageA(bar, step.message, step.wParam, step.lParam)) << context;
        EXPECT_EQ(step.position, SendMessageA(bar, PBM_GETPOS, 0, 0)) << context;
        // The colours are the application's, kept by the control; the rest
        // is the skin's own.
        const bool colour = step.message == PBM_SETBARCOLOR || step.message == PBM_SETBKCOLOR;
        EXPECT_EQ(colour, log.Contains(step.message, kDefWinProc)) << context << " reached the system's control";
    }
    PBRANGE range = {};
    SendMessageA(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(15, range.iHigh);
}

TEST_F(FamilyTest, StepsRepaintOnceAndColoursNotAtAll)
{
    HWND bar = Recorded(PROGRESS_CLASSA, 0, 200, 20);
    MessageLog& log = MessageLog::Instance();
    log.RestrictTo({WM_PAINT, PBM_STEPIT, PBM_SETBARCOLOR, WM_ERASEBKGND});
    const WindowPixels before = CaptureWindow(bar);
    log.Flush();
    SendMessageA(bar, PBM_SETBARCOLOR, 0, RGB(255, 0, 0));
    PumpMessages();
    const ExpectedMessage kBarColour[] = {{PBM_SETBARCOLOR, kSent, 0, 0}, {PBM_SETBARCOLOR, kDefWinProc, 0, 0}};
    EXPECT_TRUE(LogMatches(kBarColour, "bar colour"));
    const WindowPixels after = CaptureWindow(bar);
    EXPECT_EQ(0, PixelsDifferingIn(after, RECT{0, 0, after.width, after.height}, before));

    log.Flush();
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    const ExpectedMessage kStep[] = {
        {PBM_STEPIT, kSent, 0, 0},
        {WM_PAINT, kSent, 0, 0},
        {WM_ERASEBKGND, kSent | kOptional, 0, 0},
    };
    EXPECT_TRUE(LogMatches(kStep, "step"));
}

TEST_F(FamilyTest, TheSystemsProgressBarHasItsStateBackAfterTheSkin)
{
    HWND frame = CreateFrame(WS_OVERLAPPEDWINDOW, 400, 300);
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, frame, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SendMessageA(bar, PBM_SETRANGE32, 20, 80);
    SendMessageA(bar, PBM_SETPOS, 50, 0);
    SendMessageA(bar, PBM_SETSTEP, 5, 0);
    ASSERT_TRUE(SetWindowSkin(frame, "MainFrame"));
    PumpFor(20);
    ASSERT_TRUE(Skinned(bar));
    EXPECT_EQ(50, SendMessageA(bar, PBM_GETPOS, 0, 0)) << "read when the skin came";
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    LoadWithout("ProgressSkin", "ProgressBar");
    ASSERT_FALSE(Skinned(bar));
    EXPECT_EQ(20, SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(80, SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(60, SendMessageA(bar, PBM_GETPOS, 0, 0));
    EXPECT_EQ(5, SendMessageA(bar, PBM_SETSTEP, 5, 0));
}

namespace {

struct FillRow {
    bool usePercent;
    bool vertical;
    bool bordered;
    int high;
    int position;
    int filledPerMille;  // of the bar's length
};

const FillRow kFills[] = {
    {false, false, false, 100, 0, 0},
    {false, false, false, 100, 33, 330},
    {false, false, false, 100, 50, 500},
    {false, false, false, 100, 100, 1000},
    {false, false, false, 0x7FFFFFFF, 0x40000000, 500},  // a range whose products overflow 32 bits
    {true, false, false, 100, 33, 330},
    {true, false, false, 100, 100, 1000},
    {false, true, false, 100, 50, 500},
    {true, true, false, 100, 33, 330},
    {false, false, true, 100, 50, 500},  // the bar spans the border, the client shows its part
    {false, true, true, 100, 33, 330},
};

}  // namespace

TEST_F(FamilyTest, ProgressFillsAsFarAsItsPositionRevealingWithUsePercent)
{
    const std::string usePercent = Replaced(DefaultSkinSource(), "USEPERCENT = 0", "USEPERCENT = 1");
    const int length = 200, thickness = 18;
    for (const FillRow& row : kFills) {
        if (row.usePercent) {
            ASSERT_TRUE(LoadSkinSource(usePercent));
        }
        // Looked up in the store now in force: a new skin frees the old.
        const ProgressSkin& skin = Object<ProgressSkin>("ProgressBar");
        ASSERT_EQ(row.usePercent, skin.usePercent != 0);
        const DWORD style = (row.vertical ? PBS_VERTICAL : 0) | (row.bordered ? WS_BORDER : 0);
        HWND bar = row.vertical ? AddControl(PROGRESS_CLASSA, "", style, 10, 10, thickness, length)
                                : AddControl(PROGRESS_CLASSA, "", style, 10, 10, length, thickness);
        SendMessageA(bar, PBM_SETRANGE32, 0, row.high);
        SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(row.position), 0);
        const int filled = length * row.filledPerMille / 1000;
        const QuarterTurn turn = row.vertical ? TurnAnticlockwise : TurnNone;
        const WindowPixels background =
            Turned(RenderFrameImage(skin.mainImage, length, thickness, skin.backColour), turn);
        WindowPixels expected = RenderFrameImage(skin.mainImage, length, thickness, skin.backColour);
        if (filled > 0)
            expected = Overlaid(
                expected,
                RenderFrameImage(skin.progressImage, row.usePercent ? length : filled, thickness, skin.textColour),
                filled);
        expected = Turned(expected, turn);
        // The border shows the background, the client the bar's middle:
        // one picture over the whole window.
        const int border = row.bordered ? 1 : 0;
        const RECT inside = {border, border, expected.width - border, expected.height - border};
        const WindowPixels shown = CaptureWindow(bar);
        const std::string context = "percent " + std::to_string(row.usePercent) + " vertical " +
                                    std::to_string(row.vertical) + " position " + std::to_string(row.position);
        EXPECT_TRUE(ShowsPicture(Cut(shown, inside), 0, 0, Cut(expected, inside))) << context;
        EXPECT_TRUE(ShowsPictureAround(shown, 0, 0, background, inside)) << context << ": the border";
        DestroyWindow(bar);
        if (row.usePercent)
            LoadDefaultSkin();
    }
}

// --- Trackbars --------------------------------------------------------------

TEST_F(FamilyTest, TheTrackbarGetsBackItsStyleButKeepsWhatChangedSince)
{
    for (DWORD style : {static_cast<DWORD>(TBS_HORZ), static_cast<DWORD>(TBS_VERT | TBS_LEFT),
                        static_cast<DWORD>(TBS_BOTH | TBS_NOTICKS)}) {
        LoadDefaultSkin();
        HWND track = AddControl(TRACKBAR_CLASSA, "", style, 10, 10, 120, 40);
        ASSERT_TRUE(Skinned(track));
        const LONG_PTR original = GetWindowLongPtrA(track, GWL_STYLE);
        EXPECT_EQ(TBS_BOTH, original & TBS_BOTH) << "no pointed thumb while skinned";
        EnableWindow(track, FALSE);
        LoadWithout("TrackBarSkin", "Slider");
        ASSERT_FALSE(Skinned(track));
        const LONG_PTR expected = (original & ~TBS_BOTH) | (style & TBS_BOTH) | WS_DISABLED;
        EXPECT_EQ(expected, GetWindowLongPtrA(track, GWL_STYLE)) << "style 0x" << std::hex << style;
        DestroyWindow(track);
    }
}

TEST_F(FamilyTest, PointingAtTheTrackbarRepaintsItAtOnce)
{
    HWND track = Recorded(TRACKBAR_CLASSA, TBS_HORZ, 120, 40);
    MessageLog& log = MessageLog::Instance();
    log.RestrictTo({WM_PAINT, WM_MOUSEMOVE});
    log.Flush();
    SendMessageA(track, WM_MOUSEMOVE, 0, MAKELPARAM(30, 10));
    const ExpectedMessage kPointed[] = {
        {WM_MOUSEMOVE, kSent, 0, 0},
        {WM_MOUSEMOVE, kDefWinProc, 0, 0},
        {WM_PAINT, kSent, 0, 0},
    };
    EXPECT_TRUE(LogMatches(kPointed, "pointer over the trackbar"));
}

namespace {

struct TrackRow {
    DWORD style;
    bool verticalThumbInSkin;
};

const TrackRow kTracks[] = {
    {TBS_HORZ, true},
    {TBS_VERT, true},
    {TBS_VERT, false},
};

}  // namespace

TEST_F(FamilyTest, TheTrackbarShowsTheSkinsChannelAndThumb)
{
    // Our skin with the upright thumb's rectangle emptied.
    const std::string noUprightThumb = Replaced(DefaultSkinSource(), "rect 61 107 81 118", "rect 0 0 0 0");
    for (const char* folder : kSkinFolders)
        for (const TrackRow& row : kTracks) {
            SCOPED_TRACE(folder);
            ASSERT_TRUE(LoadSkinSource(row.verticalThumbInSkin ? DefaultSkinSource() : noUprightThumb, folder));
            const TrackBarSkin& skin = Object<TrackBarSkin>("Slider");
            const SkinStore& store = SkinManager::Instance().GetSkinStore();
            ASSERT_EQ(row.verticalThumbInSkin, !IsEmptyImage(skin.verticalThumb));
            const bool vertical = (row.style & TBS_VERT) != 0;
            HWND track = vertical ? AddControl(TRACKBAR_CLASSA, "", row.style, 10, 10, 40, 160)
                                  : AddControl(TRACKBAR_CLASSA, "", row.style, 10, 10, 160, 40);
            SendMessageA(track, TBM_SETPOS, TRUE, 100);
            const WindowPixels shown = CaptureWindow(track);
            RECT thumb = {}, reported = {};
            SendMessageA(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
            SendMessageA(track, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&reported));
            const RECT channel = SkinnedTrackBar::ChannelInClient(reported, vertical);
            const QuarterTurn turn = vertical ? TurnAnticlockwise : TurnNone;
            const RECT lying = UnturnedFrame(channel, turn);
            const WindowPixels channelPicture = Turned(
                RenderFrameImage(skin.channel, lying.right, lying.bottom, GetSysColor(COLOR_BTNFACE), store), turn);
            const std::string context = "style 0x" + std::to_string(row.style);
            EXPECT_TRUE(ShowsPictureAround(shown, channel.left, channel.top, channelPicture, thumb)) << context;
            const RECT upright = UnturnedFrame(thumb, turn);
            const WindowPixels thumbPicture =
                row.verticalThumbInSkin
                    ? RenderFrameImage(vertical ? skin.verticalThumb : skin.horizontalThumb, thumb.right - thumb.left,
                                       thumb.bottom - thumb.top, kKey, store)
                    : Turned(RenderFrameImage(skin.horizontalThumb, upright.right, upright.bottom, kKey, store), turn);
            EXPECT_TRUE(ShowsPicture(shown, thumb.left, thumb.top, thumbPicture)) << context;
            DestroyWindow(track);
        }
}

// --- Up-down buttons --------------------------------------------------------

namespace {

struct PointerRow {
    UINT message;
    WPARAM keys;
    POINT point;
    SkinnedUpDown::State state;
};

// A 20 x 40 up-down; for UDS_HORZ the points are read across (x for y).
const PointerRow kPointer[] = {
    {WM_MOUSEMOVE, 0, {8, 5}, SkinnedUpDown::StateUpHovered},
    {WM_MOUSEMOVE, 0, {8, 30}, SkinnedUpDown::StateDownHovered},
    {WM_LBUTTONDOWN, MK_LBUTTON, {8, 30}, SkinnedUpDown::StateDownPressed},
    {WM_MOUSEMOVE, MK_LBUTTON, {8, 5}, SkinnedUpDown::StateUpPressed},
    {WM_MOUSEMOVE, MK_LBUTTON, {80, 5}, SkinnedUpDown::StateNone},
    {WM_LBUTTONUP, 0, {8, 5}, SkinnedUpDown::StateUpHovered},
    {WM_MOUSELEAVE, 0, {80, 5}, SkinnedUpDown::StateNone},
};

// The arrow images each half shows in a state: a disabled control shows
// its disabled arrows whatever the pointer did.
void ArrowsOf(SkinnedUpDown::State state, bool enabled, SpinSkin::Arrow& up, SpinSkin::Arrow& down)
{
    up = !enabled                                 ? SpinSkin::DisabledUp
         : state == SkinnedUpDown::StateUpPressed ? SpinSkin::PressedUp
         : state == SkinnedUpDown::StateUpHovered ? SpinSkin::HoverUp
                                                  : SpinSkin::NormalUp;
    down = !enabled                                   ? SpinSkin::DisabledDown
           : state == SkinnedUpDown::StateDownPressed ? SpinSkin::PressedDown
           : state == SkinnedUpDown::StateDownHovered ? SpinSkin::HoverDown
                                                      : SpinSkin::NormalDown;
}

// The up-down shows the arrows of its state, turned with UDS_HORZ.
testing::AssertionResult ShowsArrows(HWND spin, const SpinSkin& skin, SpinSkin::Arrow up, SpinSkin::Arrow down)
{
    const bool across = (GetWindowLongPtrA(spin, GWL_STYLE) & UDS_HORZ) != 0;
    const WindowPixels shown = CaptureWindow(spin);
    const QuarterTurn turn = across ? TurnAnticlockwise : TurnNone;
    // The system gives the control a width of its own.
    RECT client;
    GetClientRect(spin, &client);
    const RECT upright = UnturnedFrame(client, turn);
    const int half = upright.bottom / 2;
    const WindowPixels upPicture = Turned(RenderPiece(skin.arrows[up], upright.right, half, kKey), turn);
    const WindowPixels downPicture =
        Turned(RenderPiece(skin.arrows[down], upright.right, upright.bottom - half, kKey), turn);
    if (!ShowsPicture(shown, 0, 0, upPicture))
        return testing::AssertionFailure() << "up half";
    if (!ShowsPicture(shown, across ? half : 0, across ? 0 : half, downPicture))
        return testing::AssertionFailure() << "down half";
    return testing::AssertionSuccess();
}

}  // namespace

TEST_F(FamilyTest, UpDownHalvesFollowThePointerAndTurnWithUdsHorz)
{
    const SpinSkin& skin = Object<SpinSkin>("Spin");
    for (DWORD style : {0ul, static_cast<unsigned long>(UDS_HORZ)}) {
        const bool across = style == UDS_HORZ;
        HWND spin = Recorded(UPDOWN_CLASSA, style, across ? 40 : 20, across ? 20 : 40);
        auto* skinned = dynamic_cast<SkinnedUpDown*>(SkinManager::Instance().FindWindowObject(spin));
        ASSERT_NE(nullptr, skinned);
        MessageLog& log = MessageLog::Instance();
        log.RestrictTo({WM_PAINT, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP});
        for (const PointerRow& row : kPointer) {
            const POINT at = across ? POINT{row.point.y, row.point.x} : row.point;
            // The real pointer goes there first: otherwise the system
            // would tell the control at once that the pointer left.
            POINT screen = at;
            ClientToScreen(spin, &screen);
            PlacePointer(screen);
            log.Flush();
            SendMessageA(spin, row.message, row.keys, MAKELPARAM(at.x, at.y));
            const std::string context = "style " + std::to_string(style) + " message " + std::to_string(row.message) +
                                        " at " + std::to_string(at.x) + "," + std::to_string(at.y);
            EXPECT_EQ(row.state, skinned->GetState()) << context;
            if (row.message != WM_MOUSELEAVE) {
                // The new look is on the screen before the system acts.
                const ExpectedMessage kRepainted[] = {
                    {row.message, kSent, 0, 0},
                    {WM_PAINT, kSent, 0, 0},
                    {row.message, kDefWinProc, 0, 0},
                };
                EXPECT_TRUE(LogMatches(kRepainted, context.c_str()));
            }
            SpinSkin::Arrow up, down;
            ArrowsOf(row.state, true, up, down);
            EXPECT_TRUE(ShowsArrows(spin, skin, up, down)) << context;
        }
        // Disabled while a half is held: the disabled arrows win.
        SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        EnableWindow(spin, FALSE);
        PumpFor(10);
        SpinSkin::Arrow up, down;
        ArrowsOf(SkinnedUpDown::StateUpPressed, false, up, down);
        EXPECT_TRUE(ShowsArrows(spin, skin, up, down)) << "style " << style << ", disabled while held";
        ReleaseCapture();
    }
}

// --- Tabs -------------------------------------------------------------------

namespace {

struct SideRow {
    DWORD style;
    SkinnedTab::Side side;
};

const SideRow kSides[] = {
    {0, SkinnedTab::SideTop},
    {TCS_BOTTOM, SkinnedTab::SideBottom},
    {TCS_VERTICAL | TCS_MULTILINE, SkinnedTab::SideLeft},
    {TCS_VERTICAL | TCS_MULTILINE | TCS_RIGHT, SkinnedTab::SideRight},
};

const TabSkin::State kTabStates[] = {TabSkin::StatePressed, TabSkin::StateHovered, TabSkin::StateNormal};

}  // namespace

TEST_F(FamilyTest, EveryTabShowsItsStatesImageAndTextColourOnEverySide)
{
    const TabSkin& skin = Object<TabSkin>("Tab");
    // Without smoothing, glyphs show the text colour itself.
    LOGFONTA look = {};
    look.lfHeight = -13;
    look.lfWeight = FW_BOLD;
    look.lfQuality = NONANTIALIASED_QUALITY;
    lstrcpyA(look.lfFaceName, "Tahoma");
    const Font font(CreateFontIndirectA(&look));
    for (const SideRow& row : kSides) {
        for (bool enabled : {true, false}) {
            HWND tabs = AddControl(WC_TABCONTROLA, "", row.style | WS_CLIPSIBLINGS, 10, 10, 300, 200);
            SendMessageA(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
            InsertTabs(tabs, {"First", "Second", "Third"});
            // The selected tab is highlighted too: its pressed look wins.
            SendMessageA(tabs, TCM_HIGHLIGHTITEM, 0, TRUE);
            SendMessageA(tabs, TCM_HIGHLIGHTITEM, 1, TRUE);
            EnableWindow(tabs, enabled);
            const WindowPixels shown = CaptureWindow(tabs);
            for (int index = 0; index < 3; ++index) {
                const TabSkin::State state = enabled ? kTabStates[index] : TabSkin::StateDisabled;
                const std::string context = "side " + std::to_string(row.side) + " tab " + std::to_string(index) +
                                            " state " + std::to_string(state);
                RECT tab = {};
                SendMessageA(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&tab));
                const QuarterTurn turn = SkinnedTab::TurnOf(row.side);
                const RECT frame = UnturnedFrame(tab, turn);
                const FrameImageRef& image = skin.states[state].image;
                const WindowPixels picture = Turned(RenderFrameImage(image, frame.right, frame.bottom, kKey), turn);
                const unsigned textColour = Rgb(LoadColour3(skin.states[state].effect.textColour));
                // Its edges, two pixels deep, except where the text runs.
                RECT inner = tab;
                InflateRect(&inner, -2, -2);
                EXPECT_TRUE(ShowsPictureAround(shown, tab.left, tab.top, picture, inner, textColour))
                    << context << ": the tab's image";
                // What the text changed of the picture is in the state's colour.
                const std::map<unsigned, int> text = ChangedColours(shown, tab, picture);
                EXPECT_GT(text.count(textColour) ? text.at(textColour) : 0, 4) << context << ": text in its colour";
                for (const ImageEffectLook& other : skin.states) {
                    const unsigned otherColour = Rgb(LoadColour3(other.effect.textColour));
                    if (otherColour != textColour) {
                        EXPECT_EQ(0u, text.count(otherColour)) << context << ": text in another state's colour";
                    }
                }
            }
            DestroyWindow(tabs);
        }
    }
}

TEST_F(FamilyTest, AStaticOnATabPageShowsThePageImage)
{
    const TabSkin& skin = Object<TabSkin>("Tab");
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 220, 150, L"Tabs");
    dialog.Add(WC_TABCONTROLW, L"", 601, WS_CLIPSIBLINGS, 5, 5, 200, 130)
        .Add(L"Static", L"", 602, SS_LEFT, 30, 50, 80, 20);
    HWND window = dialog.Create(nullptr, PlainDialogProc);
    windows_.push_back(window);
    HWND tabs = GetDlgItem(window, 601);
    HWND text = GetDlgItem(window, 602);
    InsertTabs(tabs, {"Page"});
    ShowWindow(window, SW_SHOW);
    PumpFor(40);
    ASSERT_TRUE(Skinned(tabs) && Skinned(text));

    MessageLog& log = MessageLog::Instance();
    log.Subclass(window, kParent);
    log.Subclass(tabs, kSent);
    log.RestrictTo({WM_SKIN_PAINTBKGND});
    log.Flush();
    RedrawWindow(text, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // The static asks the tab, and the tab (transparent in our skin) its
    // dialog.
    const ExpectedMessage kAsked[] = {
        {WM_SKIN_PAINTBKGND, kSent | kLParam, 0, reinterpret_cast<LPARAM>(text)},
        {WM_SKIN_PAINTBKGND, kParent | kLParam, 0, reinterpret_cast<LPARAM>(tabs)},
    };
    EXPECT_TRUE(LogMatches(kAsked, "the static asks the tab, the tab its dialog"));

    // The page starts at the tabs' bottom edge, which it overlaps by one.
    RECT page, tab = {}, area;
    GetClientRect(tabs, &page);
    SendMessageA(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    page.top = tab.bottom - 1;
    GetClientRect(text, &area);
    MapWindowPoints(text, tabs, reinterpret_cast<POINT*>(&area), 2);
    const WindowPixels pageImage =
        RenderFrameImage(skin.frame, page.right - page.left, page.bottom - page.top, GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(ShowsPictureAround(CaptureWindow(tabs), page.left, page.top, pageImage, tab)) << "the page";
    const WindowPixels shown = CaptureWindow(text);
    WindowPixels expected;
    expected.width = shown.width;
    expected.height = shown.height;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
            expected.pixels.push_back(pageImage.At(area.left - page.left + x, area.top - page.top + y));
    EXPECT_TRUE(ShowsPicture(shown, 0, 0, expected));
    const WindowPixels dialogBackground = BackgroundBehind(text);
    EXPECT_GT(PixelsDifferingIn(shown, RECT{0, 0, shown.width, shown.height}, dialogBackground), 0)
        << "not the dialog's background";
}

TEST_F(FamilyTest, OwnerDrawnTabsStayTheSystems)
{
    HWND tabs = AddControl(WC_TABCONTROLA, "", TCS_OWNERDRAWFIXED, 10, 10, 200, 100);
    EXPECT_FALSE(Skinned(tabs));
}

// --- Every painter ----------------------------------------------------------

TEST_F(FamilyTest, ThePaintersLeaveTheDcAsTheyFoundIt)
{
    struct Made {
        const char* className;
        DWORD style;
    };
    const Made kMade[] = {
        {WC_TABCONTROLA, TCS_VERTICAL | TCS_MULTILINE},
        {WC_TABCONTROLA, 0},
        {PROGRESS_CLASSA, PBS_VERTICAL},
        {PROGRESS_CLASSA, WS_BORDER},
        {TRACKBAR_CLASSA, TBS_VERT},
        {UPDOWN_CLASSA, UDS_HORZ},
    };
    WindowDC screen(nullptr);
    OwnedDC dc(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, 300, 200));
    ObjectSelector selected(dc, bitmap);
    SetBkMode(dc, OPAQUE);
    ObjectSelector font(dc, GetStockObject(ANSI_FIXED_FONT));
    for (const Made& made : kMade) {
        HWND control = AddControl(made.className, "", made.style, 10, 10, 120, 120);
        if (lstrcmpA(made.className, WC_TABCONTROLA) == 0)
            InsertTabs(control, {"Tab"});
        SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(control);
        ASSERT_NE(nullptr, skin) << made.className;
        const DcState before(dc);
        skin->Paint(dc);
        EXPECT_TRUE(before.Unchanged(dc)) << made.className << " style 0x" << std::hex << made.style;
        DestroyWindow(control);
    }
}
