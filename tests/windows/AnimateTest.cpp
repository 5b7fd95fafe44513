// Animation controls: clips opened from files and resources (and their
// temporary files removed), played by the worker frame by frame over the
// skinned background, stopped and notified, placed, bordered, and
// released with no thread, handle or file left behind.
#include "ControlTestSupport.h"

#include "controls/AviPlayer.h"
#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "data/AnimateSkin.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "DcStateCheck.h"
#include "GdiPressure.h"
#include "imaging/WindowHelpers.h"
#include "MessageLog.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <string>

namespace {

const int kId = 300;
const int kClipWidth = 48;  // the clip tools/clip/make_clip.py writes
const int kClipHeight = 40;
const int kClipFrames = 10;
const WORD kClipResource = 1;  // resource ids and names of AnimateTestResources.rc
const WORD kMissingResource = 77;
const unsigned kLit = 0xC82828;  // the lit dot, as 0xRRGGBB
// Where frame n lights its dot (make_clip.py's dot_centre).
const POINT kDots[] = {{24, 7}, {32, 9}, {36, 16}, {36, 24}, {32, 31}, {24, 33}, {16, 31}, {12, 24}, {12, 16}, {16, 9}};
const int kLeakCycles = 1000;

int ProcessThreads()
{
    int count = 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

// Answers the worker's requests until its thread has ended by itself.
bool WorkerEnds(int threadsBefore)
{
    for (int i = 0; i < 1000 && ProcessThreads() > threadsBefore; ++i)
        PumpFor(5);
    return ProcessThreads() == threadsBefore;
}

int TempClipFiles()
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((std::string(dir) + "VX*").c_str(), &found);
    int count = 0;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        ++count;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return count;
}

std::string ClipPath(const char* file)
{
    std::string path = std::string("Z:") + SSO_CLIP_DIR + "/" + file;
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return path;
}

// Frame `frame` of a clip as the player decodes it.
WindowPixels DecodedFrame(const char* file, int frame)
{
    AviPlayer player;
    WindowDC screen(nullptr);
    MemoryDC surface(screen, kClipWidth, kClipHeight);
    if (!player.Open(WideFromAnsi(ClipPath(file).c_str()).c_str()) ||
        !AviPlayer::Frames(player).Draw(surface.Dc(), frame))
        return WindowPixels();
    return ReadPixels(surface.Dc(), kClipWidth, kClipHeight);
}

WPARAM Code(WORD code)
{
    return MAKEWPARAM(kId, code);
}

// What the parent was told, in order.
std::vector<WPARAM> Notifications()
{
    std::vector<WPARAM> codes;
    for (const LoggedMessage& entry : MessageLog::Instance().Entries())
        if (entry.message == WM_COMMAND && (entry.flags & kParent))
            codes.push_back(entry.wParam);
    return codes;
}

const AnimateSkin& Skin()
{
    return *static_cast<const AnimateSkin*>(DefaultStore().FindObjectByType(kTypeAnimate));
}

class AnimateTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_ANIMATE_CLASS};
        InitCommonControlsEx(&classes);
        threads_ = ProcessThreads();
    }

    HWND Animate(DWORD style, int width = 10, int height = 10, DWORD exStyle = 0)
    {
        HWND control = AddControl(ANIMATE_CLASSA, "", style, 20, 30, width, height, kId);
        SetWindowLongPtrA(control, GWL_EXSTYLE, exStyle);
        SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        return control;
    }

    // Plays frames first..last once and waits for the worker to end.
    void PlayOnce(HWND control, WORD first, WORD last)
    {
        SendMessageA(control, ACM_STOP, 0, 0);
        const int threads = ProcessThreads();
        ASSERT_EQ(1, SendMessageA(control, ACM_PLAY, 1, MAKELONG(first, last)));
        ASSERT_TRUE(WorkerEnds(threads));
    }

    int threads_ = 0;
};

TEST(AviPlayerTest, FrameIntervalIsBounded)
{
    const struct {
        DWORD rate, scale, milliseconds;
    } rows[] = {
        {20, 1, 50},
        {15, 1, 66},
        {30000, 1001, 33},
        {1, 2, 2000},
        {1, 5, 5000},
        {0, 1, AviPlayer::kLongestFrame},
        {1, 100, AviPlayer::kLongestFrame},
        {1, 0, AviPlayer::kShortestFrame},
        {5000, 1, AviPlayer::kShortestFrame},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.milliseconds, AviPlayer::FrameInterval(row.rate, row.scale)) << row.rate << "/" << row.scale;
}

TEST(AviPlayerTest, BothEncodingsDecodeToTheClipsPicture)
{
    const WindowPixels plain = DecodedFrame("spinner.avi", 3);
    ASSERT_EQ(kClipWidth, plain.width) << "avifil32 or msvfw32 cannot play uncompressed clips";
    EXPECT_EQ(0x00FF00u, plain.At(0, 0)) << "the key colour";
    EXPECT_EQ(kLit, plain.At(kDots[3].x, kDots[3].y)) << "dot 3 lit";
    EXPECT_NE(kLit, plain.At(kDots[4].x, kDots[4].y));
    const WindowPixels rle = DecodedFrame("spinner-rle.avi", 3);
    if (rle.width == 0)
        GTEST_SKIP() << "this system has no RLE8 decompressor";
    EXPECT_EQ(plain.pixels, rle.pixels);
}

TEST_F(AnimateTest, OpenRemovesEveryTemporaryFile)
{
    const std::string path = ClipPath("spinner.avi");
    const struct {
        LPARAM source;
        LRESULT result;
    } rows[] = {
        {kClipResource, 1},    {reinterpret_cast<LPARAM>("SPINNER"), 1},    {reinterpret_cast<LPARAM>(path.c_str()), 1},
        {kMissingResource, 0}, {reinterpret_cast<LPARAM>("NOSUCHCLIP"), 0},
    };
    const int filesBefore = TempClipFiles();
    for (const auto& row : rows) {
        HWND control = Animate(0);
        EXPECT_EQ(row.result, SendMessageA(control, ACM_OPENA, 0, row.source)) << row.source;
        RECT client;
        GetClientRect(control, &client);
        EXPECT_EQ(row.result ? kClipWidth : 10, client.right) << "sized to the clip when opened";
        // Closing releases the clip: no file stays for good.
        EXPECT_EQ(1, SendMessageA(control, ACM_OPENA, 0, 0));
        EXPECT_EQ(filesBefore, TempClipFiles()) << row.source;
        DestroyWindow(control);
    }
}

// A Unicode caller's clip, each row opened on a skinned and on a plain
// control of the same run.
TEST_F(AnimateTest, UnicodeOpenAnswersAsUnskinned)
{
    const std::wstring path = WideFromAnsi(ClipPath("spinner.avi").c_str());
    const LPARAM kSources[] = {
        kClipResource,    reinterpret_cast<LPARAM>(L"SPINNER"),    reinterpret_cast<LPARAM>(path.c_str()),
        kMissingResource, reinterpret_cast<LPARAM>(L"NOSUCHCLIP"),
    };
    const HWND frames[2] = {Frame(), CreateFrame()};
    for (const LPARAM& source : kSources) {
        std::string answers[2];
        for (int i = 0; i < 2; ++i) {
            HWND control = CreateWindowExW(0, ANIMATE_CLASSW, L"", WS_CHILD | WS_VISIBLE, 20, 30, 10, 10, frames[i],
                                           reinterpret_cast<HMENU>(kId), GetModuleHandleA(nullptr), nullptr);
            EXPECT_EQ(i == 0, SkinManager::Instance().FindWindowObject(control) != nullptr);
            SetLastError(0xDEAD);
            const LRESULT result = SendMessageW(control, ACM_OPENW, 0, source);
            // Only a failure's last error is the caller's to read.
            const DWORD error = result ? 0 : GetLastError();
            RECT client;
            GetClientRect(control, &client);
            answers[i] = std::to_string(result) + " error " + std::to_string(error) + " width " +
                         std::to_string(client.right) + " Unicode " + std::to_string(IsWindowUnicode(control));
            DestroyWindow(control);
        }
        EXPECT_EQ(answers[1], answers[0]) << "source " << (&source - kSources);
    }
}

TEST_F(AnimateTest, RepeatCountPlaysTheFramesThenEndsWithoutStop)
{
    HWND control = Animate(0);
    ASSERT_EQ(1, SendMessageA(control, ACM_OPENA, 0, kClipResource));
    MessageLog& log = MessageLog::Instance();
    log.RestrictTo({WM_COMMAND, WM_SKIN_PAINTBKGND});
    log.Subclass(control);
    log.Subclass(Frame(), kParent);
    log.Flush();
    ASSERT_EQ(1, SendMessageA(control, ACM_PLAY, 2, MAKELONG(0, 9)));
    ASSERT_TRUE(WorkerEnds(threads_));
    EXPECT_EQ(2u * kClipFrames, log.Count(WM_SKIN_PAINTBKGND, kSent)) << "one background per frame";
    PumpFor(20);
    EXPECT_EQ(std::vector<WPARAM>{Code(ACN_START)}, Notifications()) << "ended by its count: no ACN_STOP";
    EXPECT_EQ(kLit, CaptureWindow(control).At(kDots[9].x, kDots[9].y)) << "frame 9 came last";
    // A second play after the stop plays again (the stop left nothing set).
    SendMessageA(control, ACM_STOP, 0, 0);
    log.Flush();
    PlayOnce(control, 0, 2);
    EXPECT_EQ(3u, log.Count(WM_SKIN_PAINTBKGND, kSent));
}

TEST_F(AnimateTest, StartAndStopReachTheParent)
{
    HWND control = Animate(0);
    const LPARAM self = reinterpret_cast<LPARAM>(control);
    const ExpectedMessage start = {WM_COMMAND, kParent | kWParam | kLParam, Code(ACN_START), self};
    const ExpectedMessage stop = {WM_COMMAND, kParent | kWParam | kLParam, Code(ACN_STOP), self};
    MessageLog& log = MessageLog::Instance();
    log.RestrictTo({WM_COMMAND});
    log.Subclass(Frame(), kParent);
    EXPECT_EQ(0, SendMessageA(control, ACM_PLAY, -1, MAKELONG(0, -1))) << "nothing open";
    ASSERT_EQ(1, SendMessageA(control, ACM_OPENA, 0, kClipResource));
    const struct {
        UINT message;
        WPARAM repeat;
        std::vector<ExpectedMessage> expected;
        int threads;
    } rows[] = {
        {ACM_PLAY, static_cast<WPARAM>(-1), {start}, 1},
        {ACM_PLAY, 3, {stop, start}, 1},
        {ACM_STOP, 0, {stop}, 0},
        {ACM_STOP, 0, {}, 0},
    };
    for (const auto& row : rows) {
        log.Flush();
        SendMessageA(control, row.message, row.repeat, MAKELONG(0, -1));
        EXPECT_TRUE(log.Matches(row.expected.data(), row.expected.size(), "start and stop"));
        // Stop returns once the worker is gone.
        EXPECT_EQ(threads_ + row.threads, ProcessThreads());
    }
}

TEST_F(AnimateTest, FrameGoesOverTheBackground)
{
    const struct {
        DWORD style;
        int width, height;
        int destX, destY, sourceX, sourceY;  // where the clip shows in the client
        UINT open = ACM_OPENA;
    } rows[] = {
        {ACS_TRANSPARENT, 10, 10, 0, 0, 0, 0},
        {0, 10, 10, 0, 0, 0, 0},
        {ACS_CENTER | ACS_TRANSPARENT, 80, 60, 16, 10, 0, 0},
        {ACS_CENTER, 30, 20, 0, 0, 9, 10},
        {ACS_TRANSPARENT, 10, 10, 0, 0, 0, 0, ACM_OPENW},  // a Unicode caller's clip is the skin's too
    };
    const WindowPixels frame = DecodedFrame("spinner.avi", 4);
    for (const auto& row : rows) {
        HWND control = Animate(row.style, row.width, row.height);
        ASSERT_EQ(1, SendMessageW(control, row.open, 0, kClipResource));
        PlayOnce(control, 4, 4);
        const WindowPixels shown = CaptureWindow(control);
        const WindowPixels background = (row.style & ACS_TRANSPARENT) ? BackgroundBehind(control)
                                                                      : RenderPiece(Skin().background, shown.width,
                                                                                    shown.height, Skin().backColour);
        int wrong = 0;
        for (int y = 0; y < shown.height; ++y)
            for (int x = 0; x < shown.width; ++x) {
                const int fx = x - row.destX + row.sourceX, fy = y - row.destY + row.sourceY;
                const bool inClip = fx >= 0 && fy >= 0 && fx < kClipWidth && fy < kClipHeight;
                const bool keyed = !inClip || ((row.style & ACS_TRANSPARENT) && frame.At(fx, fy) == 0x00FF00);
                wrong += shown.At(x, y) != (keyed ? background.At(x, y) : frame.At(fx, fy));
            }
        EXPECT_EQ(0, wrong) << "style " << row.style << ", " << row.width << " x " << row.height;
        DestroyWindow(control);
    }
}

TEST_F(AnimateTest, BackgroundRequestLeavesTheDcAsFound)
{
    HWND control = Animate(0);
    WindowDC screen(nullptr);
    MemoryDC surface(screen, 10, 10);
    DcState before(surface.Dc());
    SendMessageA(control, WM_SKIN_PAINTBKGND, reinterpret_cast<WPARAM>(surface.Dc()),
                 reinterpret_cast<LPARAM>(control));
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
}

TEST_F(AnimateTest, BorderComesFromTheSkin)
{
    HWND control = Animate(0, 60, 50, WS_EX_CLIENTEDGE);
    RedrawWindow(control, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    const WindowPixels shown = CaptureWindow(control);
    EXPECT_TRUE(ShowsPicture(shown, 0, 0,
                             RenderFrameImage(Skin().mainImage, shown.width, shown.height, Skin().backColour),
                             GetSystemMetrics(SM_CXEDGE)));
}

TEST_F(AnimateTest, PlayingThroughResizesAndRepaints)
{
    GdiPressure pressure(800);
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_THICKFRAME, 200, 100, L"Clips");
    dialog.Add(L"SysAnimate32", L"", kId, ACS_TRANSPARENT | ACS_AUTOPLAY, 5, 5, 40, 30)
        .Add(L"SysAnimate32", L"", kId + 1, ACS_AUTOPLAY, 60, 5, 40, 30)
        .Add(L"SysAnimate32", L"", kId + 2, ACS_CENTER | ACS_TRANSPARENT | ACS_AUTOPLAY, 120, 5, 60, 50);
    HWND window = dialog.Create(nullptr, PlainDialogProc);
    windows_.push_back(window);
    ShowWindow(window, SW_SHOW);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(1, SendDlgItemMessageA(window, kId + i, ACM_OPENA, 0, kClipResource));
    ASSERT_EQ(threads_ + 3, ProcessThreads());
    auto resizeAndRepaint = [window](int i) {
        SetWindowPos(window, nullptr, 0, 0, 400 + i % 50, 250 + i % 30, SWP_NOMOVE | SWP_NOZORDER);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages();
    };
    // The largest size first: the surfaces painting keeps grow to it once.
    resizeAndRepaint(1499);
    PumpFor(100);
    const int headroom = HeadroomBesideCopies();
    for (int i = 0; i < 1000; ++i)
        resizeAndRepaint(i);
    EXPECT_EQ(threads_ + 3, ProcessThreads()) << "all three still play";
    HWND control = GetDlgItem(window, kId + 2);
    PlayOnce(control, 5, 5);
    const WindowPixels shown = CaptureWindow(control);
    const int x = (shown.width - kClipWidth) / 2 + kDots[5].x, y = (shown.height - kClipHeight) / 2 + kDots[5].y;
    EXPECT_EQ(kLit, shown.At(x, y)) << "dot 5, centred";
    EXPECT_EQ(BackgroundBehind(control).At(0, 0), shown.At(0, 0));
    DestroyWindow(window);
    EXPECT_EQ(threads_, ProcessThreads()) << "closing the dialog ends every worker";
    EXPECT_GE(HeadroomBesideCopies(), headroom - 8);
}

TEST_F(AnimateTest, CyclesLeaveNoThreadHandleOrFile)
{
    GdiPressure pressure(800);
    HWND control = Animate(ACS_TRANSPARENT);
    const int files = TempClipFiles();
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    const int headroom = HeadroomBesideCopies();
    for (int i = 0; i < kLeakCycles; ++i) {
        ASSERT_EQ(1, SendMessageA(control, ACM_OPENA, 0, kClipResource)) << "cycle " << i;
        SendMessageA(control, ACM_PLAY, -1, MAKELONG(0, -1));
        // Every tenth cycle lets a few frames draw before the stop.
        if (i % 10 == 0)
            PumpFor(120);
        SendMessageA(control, ACM_STOP, 0, 0);
    }
    SendMessageA(control, ACM_OPENA, 0, 0);
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_EQ(threads_, ProcessThreads());
    EXPECT_EQ(files, TempClipFiles());
    EXPECT_LE(handlesAfter, handles + 8);
    EXPECT_GE(HeadroomBesideCopies(), headroom - 8);
}

}  // namespace
