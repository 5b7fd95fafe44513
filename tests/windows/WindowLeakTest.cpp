// Skinned windows made, painted, resized, activated and destroyed thousands
// of times, and skins switched under live windows, with the GDI handle
// table nearly full: every window, skin registration, window property,
// timer, menu and GDI handle the engine takes must come back, so that a
// leak fails within a few hundred cycles instead of after days of use.
#include "WindowTestSupport.h"

#include "core/SkinManager.h"
#include "data/MemoryStream.h"
#include "data/SkinStore.h"
#include "GdiPressure.h"
#include "imaging/GdiObject.h"
#include "MessageLog.h"
#include "Resource.h"
#include "SkinEngine.h"
#include "windows/CaptionButton.h"
#include "windows/SkinnedFrame.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Under Wine on this project's test machine (two cores shared with other
// builds) a frame cycle takes 160 to 240 ms, a dialog cycle 140 to 210 ms
// and a skin switch 170 to 310 ms, so 10,000 cycles of each would run for
// well over an hour. These counts keep the whole program near two
// minutes (117 s there); the counts are compared every ten cycles, so
// even one handle lost in ten cycles fails the run.
const int kFrameCycles = 150;
const int kDialogCycles = 150;
const int kSkinSwitches = 100;
const int kRepaints = 1000;
// Each takes two skin switches.
const int kUnskinCycles = 20;
const int kEngineRestarts = 1000;
// Counts are compared this often, so a leak stops the run close to the
// cycle that caused it.
const int kCheckEvery = 10;
const int kWarmUpCycles = 5;
// What GdiPressure leaves free: a leak of one handle per cycle exhausts it
// within a few hundred cycles.
const int kHeadroom = 300;
// Enough for any skin store while its handles are counted.
const int kMeasuringRoom = 5000;
// Long enough for a hover or hot-tracking timer (100 ms polls) to notice
// that the cursor is elsewhere and stop itself.
const DWORD kTimerSettleMilliseconds = 400;
const DWORD kTimerQuietMilliseconds = 350;

const char kLeakFrameClass[] = "SsoLeakTestFrame";
const char kReportLikeText[] = "Readers: 1\n  Reader 1: card present\nRoot certificate: installed\n"
                               "CSP: installed\nDriver: installed\nCard number: TP03000000000000";
const int kFrameWidth = 520;
const int kFrameHeight = 420;
// Far from every test window, so no hover timer finds the cursor over
// its element and keeps running.
const POINT kCursorHome = {1000, 740};

LRESULT CALLBACK LeakFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, kReportLikeText, -1, &client, 0);
    EndPaint(window, &paint);
    return 0;
}

void RegisterLeakFrameClass()
{
    static const ATOM atom = [] {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = LeakFrameProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kLeakFrameClass;
        return RegisterClassExA(&windowClass);
    }();
    ASSERT_NE(0, atom);
}

INT_PTR CALLBACK ModelessDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// A modeless dialog in memory: framed, captioned, with a push button, a
// text, an edit box and a check box.
class DialogTemplate {
public:
    DialogTemplate()
    {
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        AddHeader(style, 4, 0, 0, 200, 120, L"Leak test dialog");
        AddItem(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 140, 96, 50, 14, IDOK, 0x0080, L"OK");
        AddItem(WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 180, 10, 1001, 0x0082, L"A static text");
        AddItem(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 30, 180, 14, 1002, 0x0081, L"");
        AddItem(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 52, 180, 12, 1003, 0x0080, L"Check");
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void AddDword(DWORD value)
    {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void AddString(const wchar_t* text)
    {
        do
            words_.push_back(static_cast<WORD>(*text));
        while (*text++);
    }
    void AlignToDword()
    {
        if (words_.size() % 2)
            words_.push_back(0);
    }
    void AddHeader(DWORD style, WORD items, short x, short y, short cx, short cy, const wchar_t* title)
    {
        AddDword(style);
        AddDword(0);
        words_.insert(words_.end(), {items, static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(cx),
                                     static_cast<WORD>(cy), 0, 0});
        AddString(title);
    }
    void AddItem(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const wchar_t* text)
    {
        AlignToDword();
        AddDword(style);
        AddDword(0);
        words_.insert(words_.end(), {static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(cx),
                                     static_cast<WORD>(cy), id, 0xFFFF, classAtom});
        AddString(text);
        words_.push_back(0);  // no creation data
    }

    // DLGTEMPLATE must start on a DWORD boundary; a vector of WORDs from
    // the heap does.
    std::vector<WORD> words_;
};

// Thousands of top-level windows are shown and destroyed here while other
// test programs use the shared desktop. On a desktop of its own (under
// Wine a virtual desktop, which takes its size from the registry value
// written below; without one Wine hands the windows to an X window manager
// and, with none running, waits two seconds on each hide) no other
// program's window overlaps the windows read back, and none of them
// reaches a person's screen.
const char kDesktopName[] = "SsoWindowLeakTests";
const char kDesktopSize[] = "1024x768";

class PrivateDesktop : public testing::Environment {
public:
    void SetUp() override
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, kDesktopName, 0, REG_SZ, reinterpret_cast<const BYTE*>(kDesktopSize),
                           sizeof kDesktopSize);
            RegCloseKey(key);
        }
        desktop_ = CreateDesktopA(kDesktopName, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        ASSERT_TRUE(desktop_);
        ASSERT_TRUE(SetThreadDesktop(desktop_));
    }

private:
    // The thread's desktop until the process ends: a thread with windows
    // cannot change desktops, and a desktop in use cannot be closed.
    HDESK desktop_ = nullptr;
};

testing::Environment* const g_privateDesktop = testing::AddGlobalTestEnvironment(new PrivateDesktop);

// How many more GDI objects the process can create now. Meaningful under
// GdiPressure only, where the answer is a few hundred.
// The GDI handles a store of that skin holds while it is loaded.
int HandlesOfStore(const std::vector<BYTE>& skin)
{
    GdiPressure room(kMeasuringRoom);
    const int before = FreeGdiHandles();
    SkinStore store;
    EXPECT_TRUE(store.Load(MemoryStream(skin.data(), static_cast<int32_t>(skin.size()))));
    return before - FreeGdiHandles();
}

// WM_TIMER messages that reach the thread within `milliseconds`: a timer
// nobody stops keeps arriving.
int TimerMessagesWithin(DWORD milliseconds)
{
    int count = 0;
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER)
                ++count;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
    return count;
}

// A menu and every drop-down below it.
void CollectMenus(HMENU menu, std::vector<HMENU>& menus)
{
    menus.push_back(menu);
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position)
        if (HMENU submenu = GetSubMenu(menu, position))
            CollectMenus(submenu, menus);
}

void SendNcMouseMove(HWND window, POINT windowPoint)
{
    RECT rect;
    GetWindowRect(window, &rect);
    SendMessageA(window, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(rect.left + windowPoint.x, rect.top + windowPoint.y));
}

POINT CentreOf(const RECT& rect)
{
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Puts the mouse over the window's first caption button, which starts its
// hover timer; false when the window has no responding button.
bool HoverCaptionButton(HWND window)
{
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(window);
    if (!skin)
        return false;
    for (const auto& element : skin->Elements()) {
        auto* button = dynamic_cast<CaptionButton*>(element.get());
        if (!button || !button->IsVisible() || !button->IsEnabled())
            continue;
        SendNcMouseMove(window, CentreOf(button->Rect()));
        return button->IsTimerRunning();
    }
    return false;
}

// Puts the mouse over the first item of a skinned frame's menu bar, which
// starts the bar's hot-tracking timer.
bool HoverMenuBarItem(HWND frame)
{
    auto* skin = dynamic_cast<SkinnedFrame*>(SkinManager::Instance().FindWindowObject(frame));
    if (!skin || skin->Bar().Items().empty())
        return false;
    SendNcMouseMove(frame, CentreOf(skin->Bar().Items().front().rect));
    return skin->Bar().Items().front().state == MenuBar::ItemHot;
}

// Our default skin without its dialog, button and static objects and with
// the main frame renamed: every skinned window must be re-bound by type,
// and the button and static objects go and come back with each switch.
std::vector<BYTE> VariantSkinBytes()
{
    std::string text = WithoutObject(DefaultSkinSource(), "FrameSkin", "Dialog");
    text = WithoutObject(text, "ButtonSkin", "Button");
    text = WithoutObject(text, "StaticSkin", "Static");
    text = Replaced(text, "object FrameSkin \"MainFrame\"", "object FrameSkin \"MainFrameVariant\"");
    EXPECT_EQ(std::string::npos, text.find("\"Dialog\"\n")) << "the variant lost its dialog frame";
    return CompileSkin(text);
}

// Our default skin without any frame object: frames and dialogs lose
// their skin.
std::vector<BYTE> FramelessSkinBytes()
{
    const std::string text =
        WithoutObject(WithoutObject(DefaultSkinSource(), "FrameSkin", "Dialog"), "FrameSkin", "MainFrame");
    EXPECT_EQ(std::string::npos, text.find("object FrameSkin "));
    return CompileSkin(text);
}

// Everything the test can count that a leak would change.
struct Resources {
    int threadWindows = 0;
    size_t skinnedWindows = 0;
    int survivorProperties = 0;
    int freeGdiHandles = 0;
};

bool operator==(const Resources& a, const Resources& b)
{
    return a.threadWindows == b.threadWindows && a.skinnedWindows == b.skinnedWindows &&
           a.survivorProperties == b.survivorProperties && a.freeGdiHandles == b.freeGdiHandles;
}

std::ostream& operator<<(std::ostream& out, const Resources& r)
{
    return out << "{thread windows " << r.threadWindows << ", skinned windows " << r.skinnedWindows
               << ", properties on surviving windows " << r.survivorProperties << ", free GDI handles "
               << r.freeGdiHandles << "}";
}

class WindowLeakTest : public SkinnedWindowTest {
protected:
    void SetUp() override
    {
        SkinnedWindowTest::SetUp();
        RegisterLeakFrameClass();
        SetCursorPos(kCursorHome.x, kCursorHome.y);
        // The window that takes the activation back from each cycle's
        // window; skinned, so its properties are counted as a survivor.
        anchor_ = CreateMenuFrame(60, 60);
        ASSERT_TRUE(anchor_);
        KeepForTheTest(anchor_);
    }

    // A window that lives through the cycles: its properties are counted,
    // and TearDown destroys it.
    void KeepForTheTest(HWND window)
    {
        windows_.push_back(window);
        survivors_.push_back(window);
    }

    // A frame with the application's menu, bound to "MainFrame", shown.
    HWND CreateMenuFrame(int x, int y)
    {
        HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
        HWND frame = CreateWindowExA(0, kLeakFrameClass, "Leak test frame", WS_OVERLAPPEDWINDOW, x, y, kFrameWidth,
                                     kFrameHeight, nullptr, menu, GetModuleHandleA(nullptr), nullptr);
        if (!frame) {
            DestroyMenu(menu);
            return nullptr;
        }
        SetWindowSkin(frame, "MainFrame");
        ShowWindow(frame, SW_SHOW);
        UpdateWindow(frame);
        return frame;
    }

    // Counted once the posted and pending paints have run, which create
    // and drop surfaces of their own.
    Resources Count() const
    {
        PumpMessages();
        Resources resources;
        resources.threadWindows = ThreadWindowCount();
        resources.skinnedWindows = SkinManager::Instance().WindowCount();
        for (HWND survivor : survivors_)
            resources.survivorProperties += PropertyCount(survivor);
        resources.freeGdiHandles = FreeGdiHandles();
        return resources;
    }

    testing::AssertionResult Unchanged(const Resources& start, int cycle) const
    {
        const Resources now = Count();
        if (now == start)
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "after " << cycle << " cycles: " << now << ", at the start " << start;
    }

    // Hover timers stop themselves once the cursor is elsewhere; after
    // that, none may be left running.
    static testing::AssertionResult NoTimerRunning()
    {
        TimerMessagesWithin(kTimerSettleMilliseconds);
        const int late = TimerMessagesWithin(kTimerQuietMilliseconds);
        if (late == 0)
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << late << " timer messages arrived after every timer should have stopped";
    }

    // Paints, resizes, hovers (starting timers), activates back and forth
    // and repaints a shown skinned window.
    testing::AssertionResult Exercise(HWND window, bool hasMenuBar)
    {
        UpdateWindow(window);
        RECT rect;
        GetWindowRect(window, &rect);
        SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left + 37, rect.bottom - rect.top + 23,
                     SWP_NOMOVE | SWP_NOZORDER);
        if (!HoverCaptionButton(window))
            return testing::AssertionFailure() << "hovering the caption button started no timer";
        if (hasMenuBar && !HoverMenuBarItem(window))
            return testing::AssertionFailure() << "hovering the menu bar lit no item";
        SetActiveWindow(anchor_);
        SetActiveWindow(window);
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpMessages();
        return testing::AssertionSuccess();
    }

    testing::AssertionResult FrameCycle()
    {
        HWND frame = CreateMenuFrame(120, 90);
        if (!frame)
            return testing::AssertionFailure() << "CreateWindowEx failed (error " << GetLastError() << ")";
        if (!SkinManager::Instance().FindWindowObject(frame))
            return testing::AssertionFailure() << "the frame was not skinned";
        if (GetMenu(frame))
            return testing::AssertionFailure() << "the menu bar did not take the window's menu";
        std::vector<HMENU> menus;
        CollectMenus(static_cast<SkinnedFrame*>(SkinManager::Instance().FindWindowObject(frame))->Bar().Menu(), menus);
        const testing::AssertionResult exercised = Exercise(frame, true);
        DestroyWindow(frame);
        if (!exercised)
            return exercised;
        for (HMENU menu : menus)
            if (IsMenu(menu))
                return testing::AssertionFailure() << "a menu outlived its window";
        return testing::AssertionSuccess();
    }

    HWND CreateTemplateDialog(HWND owner) const
    {
        return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), template_.Get(), owner, ModelessDialogProc, 0);
    }

    testing::AssertionResult DialogCycle(HWND owner, bool aboutBox)
    {
        HWND dialog = aboutBox ? CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), owner,
                                                    ModelessDialogProc, 0)
                               : CreateTemplateDialog(owner);
        if (!dialog)
            return testing::AssertionFailure() << "the dialog was not created (error " << GetLastError() << ")";
        if (!SkinManager::Instance().FindWindowObject(dialog)) {
            DestroyWindow(dialog);
            return testing::AssertionFailure() << "the dialog was not skinned";
        }
        ShowWindow(dialog, SW_SHOW);
        const testing::AssertionResult exercised = Exercise(dialog, false);
        DestroyWindow(dialog);
        return exercised;
    }

    // A skinned frame with a menu and a dialog, hovered, lose their skin
    // to a skin without frames, then die under the standard skin.
    testing::AssertionResult UnskinCycle(const std::vector<BYTE>& standard, const std::vector<BYTE>& frameless)
    {
        HWND frame = CreateMenuFrame(120, 90);
        HWND dialog = frame ? CreateTemplateDialog(frame) : nullptr;
        auto* skin = dynamic_cast<SkinnedFrame*>(SkinManager::Instance().FindWindowObject(frame));
        if (!dialog || !skin || !SkinManager::Instance().FindWindowObject(dialog))
            return testing::AssertionFailure() << "the frame and dialog were not made and skinned";
        ShowWindow(dialog, SW_SHOW);
        const HMENU menu = skin->Bar().Menu();
        HoverCaptionButton(frame);
        HoverCaptionButton(dialog);
        if (!LoadSkinFromMemory(frameless.data(), static_cast<DWORD>(frameless.size())))
            return testing::AssertionFailure() << "the skin without frames did not load";
        testing::AssertionResult result = testing::AssertionSuccess();
        if (SkinManager::Instance().FindWindowObject(frame) || SkinManager::Instance().FindWindowObject(dialog))
            result = testing::AssertionFailure() << "a window kept its skin";
        else if (GetMenu(frame) != menu)
            result = testing::AssertionFailure() << "the frame did not get its menu back";
        else if (PropertyCount(frame) != plainFrameProperties_ || PropertyCount(dialog) != plainDialogProperties_)
            result = testing::AssertionFailure()
                     << "properties left behind: frame " << PropertyCount(frame) << " (plain " << plainFrameProperties_
                     << "), dialog " << PropertyCount(dialog) << " (plain " << plainDialogProperties_ << ")";
        LoadSkinFromMemory(standard.data(), static_cast<DWORD>(standard.size()));
        DestroyWindow(dialog);
        DestroyWindow(frame);
        if (result && IsMenu(menu))
            result = testing::AssertionFailure() << "the menu outlived its window";
        return result;
    }

    HWND anchor_ = nullptr;
    std::vector<HWND> survivors_;
    int plainFrameProperties_ = 0;
    int plainDialogProperties_ = 0;
    DialogTemplate template_;
};

TEST_F(WindowLeakTest, FrameCyclesGiveBackWindowsMenusTimersAndHandles)
{
    for (int cycle = 0; cycle < kWarmUpCycles; ++cycle)
        ASSERT_TRUE(FrameCycle());
    ASSERT_TRUE(NoTimerRunning());
    GdiPressure pressure(kHeadroom);
    const Resources start = Count();
    for (int cycle = 1; cycle <= kFrameCycles; ++cycle) {
        ASSERT_TRUE(FrameCycle()) << "cycle " << cycle;
        if (cycle % kCheckEvery == 0) {
            ASSERT_TRUE(Unchanged(start, cycle));
        }
    }
    EXPECT_TRUE(NoTimerRunning());
    EXPECT_TRUE(Unchanged(start, kFrameCycles));
}

TEST_F(WindowLeakTest, DialogCyclesGiveBackWindowsTimersAndHandles)
{
    HWND owner = CreateMenuFrame(80, 80);
    ASSERT_TRUE(owner);
    KeepForTheTest(owner);
    for (int cycle = 0; cycle < kWarmUpCycles; ++cycle) {
        ASSERT_TRUE(DialogCycle(owner, false));
        ASSERT_TRUE(DialogCycle(owner, true));
    }
    ASSERT_TRUE(NoTimerRunning());
    GdiPressure pressure(kHeadroom);
    const Resources start = Count();
    // Template and about box in turn.
    for (int cycle = 1; cycle <= kDialogCycles; ++cycle) {
        ASSERT_TRUE(DialogCycle(owner, cycle % 2 == 0)) << "cycle " << cycle;
        if (cycle % kCheckEvery == 0) {
            ASSERT_TRUE(Unchanged(start, cycle));
        }
    }
    EXPECT_TRUE(NoTimerRunning());
    EXPECT_TRUE(Unchanged(start, kDialogCycles));
}

TEST_F(WindowLeakTest, SkinSwitchesUnderLiveWindowsGiveBackEverything)
{
    const std::vector<BYTE> standard = DefaultSkinBytes();
    const std::vector<BYTE> variant = VariantSkinBytes();
    ASSERT_FALSE(standard.empty());
    ASSERT_FALSE(variant.empty());
    HWND frame = CreateMenuFrame(80, 80);
    ASSERT_TRUE(frame);
    KeepForTheTest(frame);
    HWND dialog = CreateTemplateDialog(frame);
    HWND about =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), frame, ModelessDialogProc, 0);
    ASSERT_TRUE(dialog && about);
    for (HWND window : {dialog, about}) {
        ShowWindow(window, SW_SHOW);
        KeepForTheTest(window);
    }
    const auto switchTo = [](const std::vector<BYTE>& skin) {
        return LoadSkinFromMemory(skin.data(), static_cast<DWORD>(skin.size()));
    };
    // Warm-up: both skins once, so that the counts start from the larger.
    ASSERT_TRUE(switchTo(variant));
    ASSERT_TRUE(switchTo(standard));
    // The old store lives until the new one is in force: both need room.
    GdiPressure pressure(std::max(HandlesOfStore(standard), HandlesOfStore(variant)) + kHeadroom);
    const Resources start = Count();
    for (int change = 1; change <= kSkinSwitches; ++change) {
        // A hover timer running on each window as its skin goes away.
        for (HWND window : {frame, dialog, about})
            HoverCaptionButton(window);
        ASSERT_TRUE(switchTo(change % 2 ? variant : standard)) << "switch " << change;
        if (change % 2 == 0 && change % kCheckEvery == 0) {
            ASSERT_TRUE(Unchanged(start, change));
        }
    }
    EXPECT_TRUE(NoTimerRunning());
    EXPECT_TRUE(Unchanged(start, kSkinSwitches));
    for (HWND window : {anchor_, frame, dialog, about}) {
        SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(window);
        EXPECT_NE(nullptr, skin);
        EXPECT_EQ(skin, GetPropA(window, SkinnedWindow::kObjectProperty));
    }
}

TEST_F(WindowLeakTest, RepaintsUnderPressureKeepThePicture)
{
    HWND frame = CreateMenuFrame(80, 80);
    ASSERT_TRUE(frame);
    KeepForTheTest(frame);
    SetActiveWindow(frame);
    const UINT repaint = RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
    RedrawWindow(frame, nullptr, nullptr, repaint);
    const WindowPixels first = CaptureWindow(frame);
    GdiPressure pressure(kHeadroom);
    const Resources start = Count();
    for (int paint = 1; paint <= kRepaints; ++paint) {
        ASSERT_TRUE(RedrawWindow(frame, nullptr, nullptr, repaint));
        if (paint % kCheckEvery == 0) {
            ASSERT_TRUE(Unchanged(start, paint));
        }
    }
    // A paint that ran out of handles leaves parts of the frame unpainted.
    RedrawWindow(frame, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
    const WindowPixels last = CaptureWindow(frame);
    ASSERT_EQ(first.width, last.width);
    ASSERT_EQ(first.height, last.height);
    EXPECT_TRUE(first.pixels == last.pixels);
}

TEST_F(WindowLeakTest, SkinWithoutFramesGivesBackMenusAndProperties)
{
    // What the same windows carry without the engine's skin.
    HWND plainFrame = CreateWindowExA(0, kLeakFrameClass, "plain", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
    plainFrameProperties_ = PropertyCount(plainFrame);
    DestroyWindow(plainFrame);
    ClearDialogSkinName();
    HWND plainDialog = CreateTemplateDialog(anchor_);
    plainDialogProperties_ = PropertyCount(plainDialog);
    DestroyWindow(plainDialog);
    SetDialogSkinName("Dialog");
    const std::vector<BYTE> standard = DefaultSkinBytes();
    const std::vector<BYTE> frameless = FramelessSkinBytes();
    // The anchor loses its skin for good in the warm-up.
    ASSERT_TRUE(UnskinCycle(standard, frameless));
    GdiPressure pressure(std::max(HandlesOfStore(standard), HandlesOfStore(frameless)) + kHeadroom);
    const Resources start = Count();
    for (int cycle = 1; cycle <= kUnskinCycles; ++cycle) {
        ASSERT_TRUE(UnskinCycle(standard, frameless)) << "cycle " << cycle;
        if (cycle % 5 == 0) {
            ASSERT_TRUE(Unchanged(start, cycle));
        }
    }
    EXPECT_TRUE(NoTimerRunning());
}

// The hooks cannot be counted from outside; what they do can: after any
// number of stops and starts, a started thread skins its new dialogs and
// a stopped one does not.
TEST_F(WindowLeakTest, EngineRestartsLeaveTheHooksWorking)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    for (int restart = 0; restart < kEngineRestarts; ++restart) {
        EngineStop();
        ASSERT_TRUE(EngineStart(instance));
        ASSERT_TRUE(EngineStart(instance));
    }
    SetDialogSkinName("Dialog");
    const size_t skinned = SkinManager::Instance().WindowCount();
    HWND dialog = CreateTemplateDialog(anchor_);
    EXPECT_TRUE(SkinManager::Instance().FindWindowObject(dialog));
    // The dialog and each of its controls the engine skins.
    size_t controls = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        controls += SkinManager::Instance().FindWindowObject(child) != nullptr;
    EXPECT_GT(controls, 0u);
    EXPECT_EQ(skinned + 1 + controls, SkinManager::Instance().WindowCount());
    DestroyWindow(dialog);
    EXPECT_EQ(skinned, SkinManager::Instance().WindowCount());

    EngineStop();
    SetDialogSkinName("Dialog");
    dialog = CreateTemplateDialog(anchor_);
    EXPECT_EQ(nullptr, SkinManager::Instance().FindWindowObject(dialog));
    DestroyWindow(dialog);
    ASSERT_TRUE(EngineStart(instance));
}

}  // namespace
