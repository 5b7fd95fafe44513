// stress.exe: a seeded stream of random input (mouse, keys, window states,
// skin changes) against the program's skinned main window and the
// gallery's pages, in one process:
//
//     stress.exe [--seconds=N] [--events=N] [--seed=S]
//
// The user-interface thread runs the windows as the program does; a driver
// thread delivers the input through the system's queue and, after each
// event, waits until the user-interface thread has taken it. A window that
// stops answering for 5 s ends the run with a report. The run prints its
// seed, its events and the GDI and USER objects at its start and its end,
// and fails when they grew beyond the bounds below.
#include "CommandLine.h"
#include "GalleryDialog.h"
#include "GdiPressure.h"
#include "MainWindow.h"
#include "Report.h"
#include "Resource.h"
#include "SkinDocument.h"
#include "SkinEngine.h"
#include "SkinSourceParser.h"
#include "StressEvents.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Messages of the run's control window (a message-only window of the
// user-interface thread), from the driver.
const UINT kSwitchSkin = WM_APP + 1;
const UINT kResize = WM_APP + 2;  // wParam the window's index, lParam width and height
const UINT kRaise = WM_APP + 3;   // wParam the window's index
const UINT kEnsureWindows = WM_APP + 4;
const UINT kPendingInput = WM_APP + 5;  // sent; answers the input not yet taken

const DWORD kWatchdogMilliseconds = 5000;
// A handful of GDI objects may stay cached by the system (fonts, stock
// objects made on first use); a leak of one object per event or per skin
// change is far beyond it. What the system itself keeps of every window
// the run makes again comes on top, measured before the engine starts.
const int kGdiGrowthBound = 32;
// How often each window is made and destroyed to measure what the system
// keeps of it.
const int kCostSamples = 2;
// Every window of the run is destroyed before the count: none may stay.
const int kUserGrowthBound = 0;
// The run's windows: the main window, then one per gallery page.
const int kMaxWindows = 8;
const int kGdiTableSize = 65536;

struct Counts {
    int gdi;
    int user;
};

struct Run {
    HINSTANCE module = nullptr;
    std::vector<BYTE> skins[2];
    int skin = 0;
    int windowCount = 0;
    std::atomic<HWND> windows[kMaxWindows] = {};
    int made[kMaxWindows] = {};         // since the first count
    int systemKeeps[kMaxWindows] = {};  // GDI objects, over kCostSamples makings
    HWND control = nullptr;
    DWORD uiThread = 0;
    HANDLE uiDone = nullptr;
    std::atomic<bool> finishing{false};
    uint32_t seed = 0;
    long long maxEvents = 0;
    DWORD seconds = 30;
    std::atomic<long long> events{0};
    DWORD elapsed = 0;
    char lastEvent[200] = "none";
};

Run g_run;

void QuietProbeError(const char*) {}

void Say(const char* text)
{
    std::fputs(text, stdout);
    std::fflush(stdout);
}

// Ends the process from any thread with what the run was doing.
[[noreturn]] void Abandon(const char* why)
{
    std::printf("stress: FAILED: %s\nstress: seed %u, event %lld: %s\n", why, g_run.seed, g_run.events.load(),
                g_run.lastEvent);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    for (;;) {
    }
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info)
{
    char why[80];
    std::snprintf(why, sizeof why, "exception %08lX", info->ExceptionRecord->ExceptionCode);
    Abandon(why);
}

// --- The skins --------------------------------------------------------------

std::vector<BYTE> ResourceSkin()
{
    HRSRC found = FindResourceA(g_run.module, "SKINRES", "VELTRAMOX");
    HGLOBAL loaded = found ? LoadResource(g_run.module, found) : nullptr;
    const BYTE* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    return bytes ? std::vector<BYTE>(bytes, bytes + SizeofResource(g_run.module, found)) : std::vector<BYTE>();
}

// Our skin with every colour but the key colour turned (red and blue
// swapped): the same pieces, another look.
std::string Recoloured(std::string text)
{
    for (size_t at = text.find('#'); at != std::string::npos; at = text.find('#', at + 1)) {
        if (at + 7 > text.size() || text.compare(at, 7, "#FF00FF") == 0)
            continue;
        std::swap_ranges(text.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                         text.begin() + static_cast<std::ptrdiff_t>(at) + 3,
                         text.begin() + static_cast<std::ptrdiff_t>(at) + 5);
    }
    return text;
}

std::vector<BYTE> VariantSkin()
{
    std::ifstream file(std::string(SSO_SKIN_SOURCE_DIR) + "/skin.txt", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    SkinDocument document;
    std::vector<uint8_t> container;
    try {
        SkinSourceParser(std::string(SSO_SKIN_SOURCE_DIR) + "/recoloured.txt", Recoloured(text.str())).Parse(document);
    } catch (const SourceError& error) {
        std::printf("stress: the recoloured skin does not build: %s\n", error.what());
        return {};
    }
    if (!document.WriteContainer(container))
        return {};
    return std::vector<BYTE>(container.begin(), container.end());
}

void LoadSkin(int which)
{
    g_run.skin = which;
    LoadSkinFromMemory(g_run.skins[which].data(), static_cast<DWORD>(g_run.skins[which].size()));
}

// --- The windows (user-interface thread) ------------------------------------

void Place(HWND window, int index)
{
    SetWindowPos(window, nullptr, 40 + 90 * index, 30 + 60 * index, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The run's windows are the main window, then the gallery's pages in
// their order.
const GalleryPage& PageOf(int index)
{
    int count = 0;
    return GalleryPages(count)[index - 1];
}

const char* WindowName(int index)
{
    return index == 0 ? "main" : PageOf(index).name;
}

// The run's window of that index, made and shown.
HWND MakeWindow(int index)
{
    if (index == 0)
        return CreateMainWindow(g_run.module, SW_SHOW) ? MainWindow() : nullptr;
    return CreateGalleryDialog(g_run.module, &PageOf(index));
}

// Makes again whatever window the input closed.
void EnsureWindows()
{
    for (int i = 0; i < g_run.windowCount; ++i) {
        if (IsWindow(g_run.windows[i]))
            continue;
        HWND window = MakeWindow(i);
        g_run.windows[i] = window;
        if (!window)
            continue;
        Place(window, i);
        ++g_run.made[i];
    }
}

void DestroyWindows()
{
    for (int i = 0; i < g_run.windowCount; ++i)
        if (IsWindow(g_run.windows[i]))
            DestroyWindow(g_run.windows[i]);
}

void Pump(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

void MakeAndDestroy(int index)
{
    HWND window = MakeWindow(index);
    Pump(30);
    if (window)
        DestroyWindow(window);
    Pump(10);
}

// The GDI objects the system keeps for every window of the run made and
// destroyed, with the engine not started yet (Wine's IP address control
// keeps the font it made for its fields): the run may keep as many for
// each window it makes again.
void MeasureWhatTheSystemKeeps()
{
    for (int i = 0; i < g_run.windowCount; ++i)
        g_run.systemKeeps[i] = std::max(0, GdiObjectsKept([i] { MakeAndDestroy(i); }, kCostSamples));
}

int SystemAllowance()
{
    int kept = 0;
    for (int i = 0; i < g_run.windowCount; ++i)
        kept += g_run.made[i] * g_run.systemKeeps[i];
    return (kept + kCostSamples - 1) / kCostSamples;
}

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kSwitchSkin:
        LoadSkin(1 - g_run.skin);
        return 0;
    case kResize:
        SetWindowPos(g_run.windows[wParam], nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    case kRaise:
        SetForegroundWindow(g_run.windows[wParam]);
        return 0;
    case kEnsureWindows:
        EnsureWindows();
        return 0;
    case kPendingInput:
        return HIWORD(GetQueueStatus(QS_INPUT));
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND CreateControlWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ControlProc;
    windowClass.hInstance = g_run.module;
    windowClass.lpszClassName = "SsoStressControl";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, g_run.module,
                           nullptr);
}

bool IsPageMessage(MSG& msg)
{
    for (int i = 1; i < g_run.windowCount; ++i) {
        HWND page = g_run.windows[i];
        if (page && IsWindow(page) && IsDialogMessageA(page, &msg))
            return true;
    }
    return false;
}

// The program's loop, over the gallery's pages too. A quit from the input
// (the main window's Exit) ends nothing: the window is made again.
void RunLoop()
{
    HACCEL accelerators = LoadAcceleratorsA(g_run.module, MAKEINTRESOURCEA(IDR_MAINFRAME));
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got < 0 || (got == 0 && g_run.finishing))
            return;
        if (got == 0 || IsPageMessage(msg))
            continue;
        ProcessLoopMessage(msg, accelerators);
    }
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

// Wine's GetGuiResources answers 0: the GDI objects in use are then what
// the handle table cannot take any more, and the USER objects the
// thread's windows.
Counts CountObjects()
{
    Counts counts = {static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)),
                     static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))};
    if (counts.gdi == 0)
        counts.gdi = kGdiTableSize - FreeGdiHandles();
    if (counts.user == 0) {
        // Top-level windows, their descendants counted by CountWindow.
        int windows = 0;
        EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
        counts.user = windows;
    }
    return counts;
}

// The state both counts are taken in: no window of the run, the skin
// loaded afresh (a store keeps copies of what it drew).
Counts SettledCounts()
{
    DestroyWindows();
    Pump(300);
    LoadSkin(0);
    Pump(50);
    return CountObjects();
}

// --- The driver thread --------------------------------------------------------

int Normalised(int value, int size)
{
    return (value * 65536 + size - 1) / size;
}

INPUT MouseInput(DWORD flags, POINT at = {}, int wheel = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    input.mi.dx = Normalised(at.x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = Normalised(at.y, GetSystemMetrics(SM_CYSCREEN));
    input.mi.mouseData = static_cast<DWORD>(wheel);
    return input;
}

INPUT KeyInput(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

void AddKey(std::vector<INPUT>& inputs, const StressEvent& event)
{
    if (event.alt)
        inputs.push_back(KeyInput(VK_MENU, false));
    if (event.shift)
        inputs.push_back(KeyInput(VK_SHIFT, false));
    inputs.push_back(KeyInput(event.key, false));
    inputs.push_back(KeyInput(event.key, true));
    if (event.shift)
        inputs.push_back(KeyInput(VK_SHIFT, true));
    if (event.alt)
        inputs.push_back(KeyInput(VK_MENU, true));
}

// The input of a mouse or key event, all of it queued at once: a modal
// loop its first part starts (a move, a menu) finds the rest waiting.
std::vector<INPUT> InputOf(const StressEvent& event, const RECT& rect)
{
    const POINT at = ResolvePlace(event.from, rect);
    std::vector<INPUT> inputs(1, MouseInput(0, at));
    switch (event.kind) {
    case StressKind::Click:
    case StressKind::DoubleClick:
        for (int i = 0; i < (event.kind == StressKind::Click ? 1 : 2); ++i) {
            inputs.push_back(MouseInput(MOUSEEVENTF_LEFTDOWN, at));
            inputs.push_back(MouseInput(MOUSEEVENTF_LEFTUP, at));
        }
        break;
    case StressKind::RightClick:
        inputs.push_back(MouseInput(MOUSEEVENTF_RIGHTDOWN, at));
        inputs.push_back(MouseInput(MOUSEEVENTF_RIGHTUP, at));
        break;
    case StressKind::Drag: {
        const POINT to = ResolvePlace(event.to, rect);
        inputs.push_back(MouseInput(MOUSEEVENTF_LEFTDOWN, at));
        for (int step = 1; step <= 4; ++step)
            inputs.push_back(MouseInput(0, {at.x + (to.x - at.x) * step / 4, at.y + (to.y - at.y) * step / 4}));
        inputs.push_back(MouseInput(MOUSEEVENTF_LEFTUP, to));
        break;
    }
    case StressKind::Wheel:
        inputs.push_back(MouseInput(MOUSEEVENTF_WHEEL, at, event.amount * WHEEL_DELTA));
        break;
    case StressKind::Key:
        AddKey(inputs, event);
        break;
    default:
        break;
    }
    return inputs;
}

void Deliver(const StressEvent& event)
{
    const HWND window = g_run.windows[event.window];
    RECT rect;
    if (!IsWindow(window) || !GetWindowRect(window, &rect))
        return;
    switch (event.kind) {
    case StressKind::Resize:
        PostMessageA(g_run.control, kResize, event.window, MAKELPARAM(event.amount, event.height));
        return;
    case StressKind::Minimise:
    case StressKind::Maximise:
    case StressKind::Restore: {
        const WPARAM command = event.kind == StressKind::Minimise   ? SC_MINIMIZE
                               : event.kind == StressKind::Maximise ? SC_MAXIMIZE
                                                                    : SC_RESTORE;
        PostMessageA(window, WM_SYSCOMMAND, command, 0);
        return;
    }
    case StressKind::SwitchSkin:
        PostMessageA(g_run.control, kSwitchSkin, 0, 0);
        return;
    case StressKind::Raise:
        PostMessageA(g_run.control, kRaise, event.window, 0);
        return;
    default: {
        std::vector<INPUT> inputs = InputOf(event, rect);
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        return;
    }
    }
}

// Waits until the user-interface thread took all input; false when it did
// not answer, or left input waiting, for the watchdog's time.
bool WaitUntilTaken(const char*& why)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD waited = GetTickCount() - start;
        DWORD_PTR pending = 0;
        if (waited >= kWatchdogMilliseconds || !SendMessageTimeoutA(g_run.control, kPendingInput, 0, 0, SMTO_NORMAL,
                                                                    kWatchdogMilliseconds - waited, &pending)) {
            why = waited >= kWatchdogMilliseconds ? "input left untaken for 5 s" : "no answer for 5 s";
            return false;
        }
        if (!pending)
            return true;
        Sleep(1);
    }
}

// The watchdog's end: the report says whether the window was only slow
// (it answered later) or hung, to tell a starved machine from a fault.
[[noreturn]] void Hung(const char* why)
{
    const DWORD start = GetTickCount();
    DWORD_PTR ignored = 0;
    char text[160];
    if (SendMessageTimeoutA(g_run.control, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored))
        std::snprintf(text, sizeof text, "%s (it answered %.1f s later)", why, (GetTickCount() - start) / 1000.0);
    else
        std::snprintf(text, sizeof text, "%s (and 30 s more)", why);
    Abandon(text);
}

bool TimeLeft(DWORD start)
{
    if (g_run.maxEvents)
        return g_run.events < g_run.maxEvents;
    return GetTickCount() - start < g_run.seconds * 1000;
}

DWORD WINAPI Drive(void*)
{
    StressEventStream stream(g_run.seed, g_run.windowCount);
    const DWORD start = GetTickCount();
    const char* why = nullptr;
    while (TimeLeft(start)) {
        if (g_run.events % 64 == 0)
            PostMessageA(g_run.control, kEnsureWindows, 0, 0);
        const StressEvent event = stream.Next();
        std::snprintf(g_run.lastEvent, sizeof g_run.lastEvent, "%s", Describe(event).c_str());
        Deliver(event);
        if (!WaitUntilTaken(why))
            Hung(why);
        ++g_run.events;
    }
    g_run.elapsed = GetTickCount() - start;
    std::snprintf(g_run.lastEvent, sizeof g_run.lastEvent, "the end of the run");
    // Whatever menu or dialog is open closes, then the loop ends.
    g_run.finishing = true;
    for (int i = 0; i < 3; ++i) {
        INPUT escape[2] = {KeyInput(VK_ESCAPE, false), KeyInput(VK_ESCAPE, true)};
        SendInput(2, escape, sizeof(INPUT));
        if (!WaitUntilTaken(why))
            Hung(why);
    }
    PostThreadMessageA(g_run.uiThread, WM_QUIT, 0, 0);
    if (WaitForSingleObject(g_run.uiDone, kWatchdogMilliseconds) != WAIT_OBJECT_0)
        Abandon("the loop did not end within 5 s");
    return 0;
}

// --- The run ------------------------------------------------------------------

bool ReadOptions()
{
    const char* commandLine = GetCommandLineA();
    const std::string bad = FindBadOption(commandLine, {"seconds", "events", "seed"});
    if (!bad.empty()) {
        std::fprintf(stderr, "stress: bad option %s (usage: stress.exe [--seconds=N] [--events=N] [--seed=S])\n",
                     bad.c_str());
        return false;
    }
    std::string value;
    g_run.seed = FindOption(commandLine, "seed", value) ? static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 0))
                                                        : GetTickCount() ^ GetCurrentProcessId();
    if (FindOption(commandLine, "seconds", value))
        g_run.seconds = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
    if (FindOption(commandLine, "events", value))
        g_run.maxEvents = std::strtoll(value.c_str(), nullptr, 10);
    return true;
}

bool StartProgram()
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES | ICC_ANIMATE_CLASS | ICC_COOL_CLASSES};
    InitCommonControlsEx(&classes);
    SetProbeErrorHandler(QuietProbeError);
    LoadAppStrings(g_run.module);
    RegisterMainWindowClass(g_run.module);
    BuildReport(g_report, QuietProbeError);
    int pages = 0;
    GalleryPages(pages);
    g_run.windowCount = std::min(1 + pages, kMaxWindows);
    MeasureWhatTheSystemKeeps();
    EngineStart(g_run.module);
    g_run.skins[0] = ResourceSkin();
    g_run.skins[1] = VariantSkin();
    if (g_run.skins[0].empty() || g_run.skins[1].empty())
        return false;
    LoadSkin(0);
    SetDialogSkinName("Dialog");
    g_run.control = CreateControlWindow();
    return g_run.control != nullptr;
}

// Each window's makings in the run and what the system keeps of it.
void ReportWindowsMade()
{
    Say("stress: windows made (GDI objects the system keeps of each, per making):");
    for (int i = 0; i < g_run.windowCount; ++i)
        std::printf(" %s %d (%.2f)", WindowName(i), g_run.made[i], g_run.systemKeeps[i] / double(kCostSamples));
    Say("\n");
}

bool Report(const Counts& start, const Counts& end)
{
    const long long events = g_run.events;
    std::printf("stress: seed %u, %lld events in %.1f s (%.0f a second)\n", g_run.seed, events, g_run.elapsed / 1000.0,
                g_run.elapsed ? events * 1000.0 / g_run.elapsed : 0.0);
    ReportWindowsMade();
    const int systems = SystemAllowance();
    const int gdiBound = kGdiGrowthBound + systems;
    std::printf("stress: GDI objects %d at the start, %d at the end (bound: %d more, %d of them the system's)\n",
                start.gdi, end.gdi, gdiBound, systems);
    std::printf("stress: USER objects (windows) %d at the start, %d at the end (bound: %d more)\n", start.user,
                end.user, kUserGrowthBound);
    const bool passed = end.gdi - start.gdi <= gdiBound && end.user - start.user <= kUserGrowthBound;
    Say(passed ? "stress: passed\n" : "stress: FAILED: objects grew beyond the bound\n");
    return passed;
}

}  // namespace

int main()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(OnCrash);
    g_run.module = GetModuleHandleA(nullptr);
    g_run.uiThread = GetCurrentThreadId();
    if (!ReadOptions())
        return 2;
    if (!StartProgram()) {
        Say("stress: FAILED: the program could not start\n");
        return 1;
    }
    std::printf("stress: seed %u\n", g_run.seed);
    // Every window made and shown once, so that what the system makes on
    // first use is there before the first count.
    EnsureWindows();
    Pump(300);
    const Counts start = SettledCounts();
    std::printf("stress: GDI objects %d, USER objects %d at the start\n", start.gdi, start.user);
    // The windows made from here on are the run's.
    std::fill(std::begin(g_run.made), std::end(g_run.made), 0);
    std::fflush(stdout);
    EnsureWindows();
    Pump(100);
    g_run.uiDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE driver = CreateThread(nullptr, 0, Drive, nullptr, 0, nullptr);
    RunLoop();
    SetEvent(g_run.uiDone);
    const Counts end = SettledCounts();
    WaitForSingleObject(driver, INFINITE);
    CloseHandle(driver);
    const bool passed = Report(start, end);
    EngineStop();
    return passed ? 0 : 1;
}
