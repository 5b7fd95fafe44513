// Times the full repaint of each bar family (header, toolbar, rebar,
// status bar, docking control bar) on the gallery's bars page against the
// same control on the same page without the engine, interleaved in one
// run, and prints the medians with their ratio and the goal.
#include "BenchWindows.h"
#include "GalleryDialog.h"
#include "GalleryIds.h"
#include "Measure.h"
#include "SkinEngine.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>

namespace {

const int kRuns = 41;
const double kGoal = 1.5;
const int kControlBarId = 1690;
const char kControlBarClass[] = "AfxControlBar42sd";

// The bars page with a docking control bar added, laid flat under the
// rebar.
HWND BarsPage(HINSTANCE module)
{
    HWND dialog = CreateGalleryDialog(module, FindGalleryPage("bars"));
    if (dialog)
        CreateWindowExA(0, kControlBarClass, "", WS_CHILD | WS_VISIBLE | 0x2000, 12, 190, 300, 30, dialog,
                        reinterpret_cast<HMENU>(kControlBarId), module, nullptr);
    Pump();
    return dialog;
}

}  // namespace

int main()
{
    const HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSA barClass = {};
    barClass.lpfnWndProc = DefWindowProcA;
    barClass.hInstance = module;
    barClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    barClass.lpszClassName = kControlBarClass;
    RegisterClassA(&barClass);
    // Made before the engine starts, this page keeps the system's look.
    HWND plain = BarsPage(module);
    if (!EngineStart(module) || !LoadSkinFromResource(module, "SKINRES", "VELTRAMOX")) {
        std::fprintf(stderr, "bench_bars: the skin cannot be loaded\n");
        return 1;
    }
    SetDialogSkinName("Dialog");
    HWND skinned = BarsPage(module);
    if (!plain || !skinned) {
        std::fprintf(stderr, "bench_bars: the bars page cannot be opened\n");
        return 1;
    }
    const PageControl families[] = {
        {"header repaint", IDC_BARS_HEADER},
        {"toolbar repaint", IDC_BARS_TOOLBAR},
        {"rebar repaint (with its toolbar)", IDC_BARS_REBAR},
        {"status bar repaint", IDC_BARS_STATUS},
        {"docking control bar repaint", kControlBarId},
    };
    ComparePageControls("bars", skinned, plain, families, kRuns, kGoal);
    DestroyWindow(skinned);
    DestroyWindow(plain);
    EngineStop();
    return 0;
}
