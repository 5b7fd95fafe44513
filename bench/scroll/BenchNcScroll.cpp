// What painting the engine's own vertical scroll bar costs: the non-client
// paint of a 300x300 window whose bar the engine draws from the skin,
// against the same window whose bar the system draws, timed in turns
// within one run. The blit of the bar's area is printed beside them as
// the floor any drawing of that area has.
#include <windows.h>

#include "controls/NcScroll.h"
#include "imaging/GdiObject.h"
#include "BenchWindows.h"
#include "Measure.h"
#include "SkinEngine.h"

#include <cstdio>

namespace {

const int kPaintsPerRun = 10;
const int kRuns = 301;
const double kGoalRatio = 1.5;
const int kWindowSize = 300;
const char kClassName[] = "SsoBenchNcScroll";

// A bordered popup with a vertical bar whose thumb shows.
HWND MakeScrolled(HINSTANCE module, int x)
{
    HWND window = CreateWindowExA(0, kClassName, "", WS_POPUP | WS_VISIBLE | WS_BORDER | WS_VSCROLL, x, 40, kWindowSize,
                                  kWindowSize, nullptr, nullptr, module, nullptr);
    if (!window)
        return nullptr;
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 999, 100, 300, 0};
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    return window;
}

void PaintFrame(HWND window)
{
    for (int i = 0; i < kPaintsPerRun; ++i)
        SendMessageA(window, WM_NCPAINT, 1, 0);
}

// The vertical bar's rectangle in window coordinates: between the client
// and the right border.
RECT BarArea(HWND window)
{
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const int left = origin.x - outer.left + client.right;
    const int top = origin.y - outer.top;
    const int border = origin.x - outer.left;
    return {left, top, outer.right - outer.left - border, top + client.bottom};
}

// The floor: the bar's area copied into the window as often, against the
// system's paint.
Timing MeasureBlit(HWND window, const RECT& bar, HWND system)
{
    const int width = bar.right - bar.left, height = bar.bottom - bar.top;
    const WholeWindowDC target(window);
    OwnedDC memory(CreateCompatibleDC(target));
    Bitmap picture(CreateCompatibleBitmap(target, width, height));
    ObjectSelector selected(memory, picture);
    BitBlt(memory, 0, 0, width, height, target, bar.left, bar.top, SRCCOPY);
    return MeasureAgainst(
        kRuns,
        [&] {
            for (int i = 0; i < kPaintsPerRun; ++i)
                BitBlt(target, bar.left, bar.top, width, height, memory, 0, 0, SRCCOPY);
        },
        [&] { PaintFrame(system); });
}

}  // namespace

int main()
{
    const HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = module;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    if (!EngineStart(module) || !LoadSkinFromResource(module, "SKINRES", "VELTRAMOX")) {
        std::fprintf(stderr, "bench_ncscroll: the skin cannot be loaded\n");
        return 1;
    }
    HWND system = MakeScrolled(module, 0);
    HWND engine = MakeScrolled(module, kWindowSize + 20);
    NcScroll_SetSystemSupport(true);
    if (!system || !engine || !EnableSkinScrollBars(engine)) {
        std::fprintf(stderr, "bench_ncscroll: the windows or the engine's bars cannot be made\n");
        return 1;
    }
    Pump();
    const RECT engineBar = BarArea(engine);
    const RECT systemBar = BarArea(system);
    const int width = engineBar.right - engineBar.left, height = engineBar.bottom - engineBar.top;
    std::printf("non-client paint of a %dx%d window with a vertical bar (engine's %dx%d, system's %ldx%ld), "
                "%d paints per run, medians of %d runs in turns\n",
                kWindowSize, kWindowSize, width, height, systemBar.right - systemBar.left,
                systemBar.bottom - systemBar.top, kPaintsPerRun, kRuns);
    PrintTableHeader("system us");
    const Timing paint = MeasureAgainst(
        kRuns, [&] { PaintFrame(engine); }, [&] { PaintFrame(system); });
    PrintRatioRow("WM_NCPAINT, engine's bar", paint, kGoalRatio);

    const Timing blit = MeasureBlit(engine, engineBar, system);
    PrintShareRow("BitBlt of the bar's area (information)", blit);
    Pump();
    DestroyWindow(engine);
    DestroyWindow(system);
    EngineStop();
    return 0;
}
