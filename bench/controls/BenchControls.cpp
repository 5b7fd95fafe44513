// Times a full repaint of the gallery dialog (frame, background and every
// skinned control) against one BitBlt of the dialog's area, interleaved run
// by run, and prints the medians in microseconds with their ratio; then a
// stand-alone scroll bar's repaint against the same bar without the engine.
#include "GalleryDialog.h"
#include "BenchWindows.h"
#include "Measure.h"
#include "SkinEngine.h"
#include "imaging/GdiObject.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int kRuns = 41;
const double kGoal = 4.0;

double Microseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

template <typename Work>
double Time(Work work)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    work();
    GdiFlush();
    QueryPerformanceCounter(&end);
    return Microseconds(start, end);
}

// Where the controls' share goes: each child repainted on its own, the
// slowest first.
void PrintControlCosts(const std::vector<HWND>& children)
{
    struct Cost {
        double median;
        HWND child;
    };
    std::vector<Cost> costs;
    for (HWND child : children) {
        std::vector<double> times;
        for (int i = 0; i < 9; ++i)
            times.push_back(Time([&] {
                RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
            }));
        costs.push_back({Median(times), child});
    }
    std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.median > b.median; });
    std::printf("\neach control repainted alone (median of 9), slowest first:\n");
    for (const Cost& cost : costs) {
        char className[64] = {}, text[40] = {};
        GetClassNameA(cost.child, className, sizeof className);
        GetWindowTextA(cost.child, text, sizeof text);
        RECT rect;
        GetClientRect(cost.child, &rect);
        std::printf("  %10.1f us  %-16s style %08lX  %3ldx%-3ld \"%s\"\n", cost.median, className,
                    static_cast<unsigned long>(GetWindowLongPtrA(cost.child, GWL_STYLE)), rect.right, rect.bottom,
                    text);
    }
}

LRESULT CALLBACK PlainHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// A shown top-level window holding one scroll bar of `style`; bound to the
// skin's main frame (so the bar is skinned) when `skinned`.
HWND ScrollBarHost(HINSTANCE module, DWORD style, bool skinned, int x, HWND& bar)
{
    static const char kClass[] = "BenchScrollBarHost";
    WNDCLASSA host = {};
    host.lpfnWndProc = PlainHostProc;
    host.hInstance = module;
    host.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    host.lpszClassName = kClass;
    RegisterClassA(&host);
    HWND window = CreateWindowExA(0, kClass, "Scroll bar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 300, 300, 280,
                                  nullptr, nullptr, module, nullptr);
    if (skinned)
        SetWindowSkin(window, "MainFrame");
    const bool vertical = (style & SBS_VERT) != 0;
    bar = CreateWindowExA(0, "ScrollBar", "", style | WS_CHILD | WS_VISIBLE, 20, 20, vertical ? 17 : 220,
                          vertical ? 200 : 17, window, nullptr, module, nullptr);
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 100, 10, 40, 0};
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    Pump();
    return window;
}

// Each bar repainted whole, skinned against the system's own bar of the
// same size, in turns.
void MeasureScrollBars(HINSTANCE module)
{
    const double kScrollBarGoal = 1.5;
    const UINT repaint = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
    std::printf("\nstand-alone scroll bar, skinned against the system's bar, medians of %d runs:\n", kRuns);
    PrintTableHeader("system us");
    for (DWORD style : {DWORD{SBS_HORZ}, DWORD{SBS_VERT}}) {
        HWND plainBar = nullptr, skinnedBar = nullptr;
        HWND plain = ScrollBarHost(module, style, false, 0, plainBar);
        HWND skinned = ScrollBarHost(module, style, true, 320, skinnedBar);
        const Timing timing = MeasureAgainst(
            kRuns, [&] { RedrawWindow(skinnedBar, nullptr, nullptr, repaint); },
            [&] { RedrawWindow(plainBar, nullptr, nullptr, repaint); });
        PrintRatioRow(style & SBS_VERT ? "vertical bar 17x200, full repaint" : "horizontal bar 220x17, full repaint",
                      timing, kScrollBarGoal);
        DestroyWindow(skinned);
        DestroyWindow(plain);
        Pump();
    }
}

}  // namespace

// The same gallery without the engine: what the system's own controls
// cost to repaint in the same run.
double UnskinnedRepaint(HINSTANCE module)
{
    HWND dialog = CreateGalleryDialog(module);
    if (!dialog)
        return 0;
    Pump();
    const UINT everything = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
    std::vector<double> repaints;
    for (int i = 0; i < kRuns + 1; ++i) {
        const double repaint = Time([&] { RedrawWindow(dialog, nullptr, nullptr, everything); });
        Pump();
        if (i > 0)
            repaints.push_back(repaint);
    }
    DestroyWindow(dialog);
    Pump();
    return Median(repaints);
}

int main()
{
    const HINSTANCE module = GetModuleHandleA(nullptr);
    const double unskinned = UnskinnedRepaint(module);
    if (!EngineStart(module) || !LoadSkinFromResource(module, "SKINRES", "VELTRAMOX")) {
        std::fprintf(stderr, "bench_controls: the skin cannot be loaded\n");
        return 1;
    }
    SetDialogSkinName("Dialog");
    HWND dialog = CreateGalleryDialog(module);
    if (!dialog) {
        std::fprintf(stderr, "bench_controls: the gallery cannot be opened\n");
        return 1;
    }
    Pump();
    RECT window;
    GetWindowRect(dialog, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    WindowDC screen(nullptr);
    OwnedDC source(CreateCompatibleDC(screen));
    Bitmap picture(CreateCompatibleBitmap(screen, width, height));
    ObjectSelector selected(source, picture);
    const UINT everything = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;

    // Each repaint is timed next to a blit, so that both see the same load.
    auto measure = [&](const char* name) {
        std::vector<double> repaints, blits;
        for (int i = 0; i < kRuns + 1; ++i) {
            const double blit = Time([&] {
                HDC target = GetWindowDC(dialog);
                BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
                ReleaseDC(dialog, target);
            });
            const double repaint = Time([&] { RedrawWindow(dialog, nullptr, nullptr, everything); });
            Pump();
            if (i == 0)
                continue;  // warm-up
            blits.push_back(blit);
            repaints.push_back(repaint);
        }
        const double repaint = Median(repaints);
        const double blit = Median(blits);
        std::printf("%-34s %10.1f us   BitBlt %8.1f us   ratio %6.1f\n", name, repaint, blit, repaint / blit);
        return repaint / blit;
    };
    std::printf("gallery dialog %dx%d, medians of %d interleaved runs (goal: ratio <= %.0f)\n", width, height, kRuns,
                kGoal);
    measure("full repaint");
    std::printf("for comparison, the same dialog without the engine:  %10.1f us\n", unskinned);
    // The same without the controls: what the frame and background cost.
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (HWND child : children)
        ShowWindow(child, SW_HIDE);
    measure("frame and background only");
    for (HWND child : children)
        ShowWindow(child, SW_SHOWNA);
    Pump();
    PrintControlCosts(children);
    DestroyWindow(dialog);
    MeasureScrollBars(module);
    EngineStop();
    return 0;
}
