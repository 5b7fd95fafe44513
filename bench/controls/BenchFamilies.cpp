// Times the full repaint of each skinned tab control, progress bar,
// trackbar, up-down button and drop-down combo box against the same
// control without the engine, side by side on the desktop and in turns
// within one loop, and prints the medians in microseconds with their ratio
// and the goal.
//
// The plain controls are made before the engine starts, so no skin binds
// them; the engine's thread hooks still see their messages, as they would
// see any window of the program.
#include "BenchWindows.h"
#include "Measure.h"
#include "SkinEngine.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <vector>

namespace {

const int kRuns = 101;
const double kGoal = 1.5;
const char kClassName[] = "BenchFamilies";

struct Family {
    const char* name;
    const char* className;
    DWORD style;
    RECT place;  // x, y, width, height
};

const Family kFamilies[] = {
    {"tabs on top, three", WC_TABCONTROLA, WS_CLIPSIBLINGS, {10, 10, 240, 140}},
    {"tabs on the left, three", WC_TABCONTROLA, TCS_VERTICAL | TCS_MULTILINE, {260, 10, 240, 140}},
    {"progress bar, half", PROGRESS_CLASSA, WS_BORDER, {10, 160, 240, 18}},
    {"progress bar, vertical, half", PROGRESS_CLASSA, PBS_VERTICAL | WS_BORDER, {260, 160, 18, 120}},
    {"progress bar, no border", PROGRESS_CLASSA, 0, {10, 300, 240, 18}},
    {"progress bar, vertical, no border", PROGRESS_CLASSA, PBS_VERTICAL, {500, 160, 18, 120}},
    {"trackbar", TRACKBAR_CLASSA, TBS_HORZ | TBS_AUTOTICKS, {10, 190, 240, 30}},
    {"trackbar, vertical", TRACKBAR_CLASSA, TBS_VERT | TBS_AUTOTICKS, {300, 160, 30, 120}},
    {"up-down", UPDOWN_CLASSA, 0, {10, 230, 16, 26}},
    {"up-down, horizontal", UPDOWN_CLASSA, UDS_HORZ, {40, 230, 26, 16}},
    {"combo box, drop-down", WC_COMBOBOXA, CBS_DROPDOWN | WS_VSCROLL, {340, 160, 150, 120}},
    {"combo box, drop-down list", WC_COMBOBOXA, CBS_DROPDOWNLIST | WS_VSCROLL, {340, 200, 150, 120}},
};

// A frame at `x` with one control of each family; their handles in order.
HWND MakeFrame(HINSTANCE module, int x, bool skinned, std::vector<HWND>& controls)
{
    HWND frame = CreateWindowExA(0, kClassName, skinned ? "Skinned" : "Plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 0,
                                 560, 360, nullptr, nullptr, module, nullptr);
    if (!frame || (skinned && !SetWindowSkin(frame, "MainFrame")))
        return nullptr;
    for (const Family& family : kFamilies) {
        HWND control =
            CreateWindowExA(0, family.className, "", WS_CHILD | WS_VISIBLE | family.style, family.place.left,
                            family.place.top, family.place.right, family.place.bottom, frame, nullptr, module, nullptr);
        if (lstrcmpA(family.className, WC_TABCONTROLA) == 0) {
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
            for (const char* name : {"General", "Details", "Advanced"}) {
                TCITEMA item = {};
                item.mask = TCIF_TEXT;
                item.pszText = const_cast<char*>(name);
                SendMessageA(control, TCM_INSERTITEMA, 99, reinterpret_cast<LPARAM>(&item));
            }
        }
        if (lstrcmpA(family.className, WC_COMBOBOXA) == 0) {
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
            for (const char* name : {"First", "Second", "Third"})
                SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            SendMessageA(control, CB_SETCURSEL, 1, 0);
        }
        if (lstrcmpA(family.className, TRACKBAR_CLASSA) == 0)
            SendMessageA(control, TBM_SETPOS, TRUE, 50);
        else if (lstrcmpA(family.className, PROGRESS_CLASSA) == 0)
            SendMessageA(control, PBM_SETPOS, 50, 0);
        controls.push_back(control);
    }
    Pump();
    return frame;
}

}  // namespace

int main()
{
    const HINSTANCE module = GetModuleHandleA(nullptr);
    InitCommonControls();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = module;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    std::vector<HWND> plain, skinned;
    if (!MakeFrame(module, 0, false, plain)) {
        std::fprintf(stderr, "bench_families: the plain frame cannot be made\n");
        return 1;
    }
    if (!EngineStart(module) || !LoadSkinFromResource(module, "SKINRES", "VELTRAMOX") ||
        !MakeFrame(module, 600, true, skinned)) {
        std::fprintf(stderr, "bench_families: the skin cannot be loaded\n");
        return 1;
    }
    std::printf("each control's full repaint, skinned against the same control without the engine, "
                "medians of %d runs in turns\n",
                kRuns);
    PrintTableHeader("no skin us");
    for (size_t i = 0; i < skinned.size(); ++i) {
        const Timing timing = MeasureAgainst(
            kRuns, [&] { Repaint(skinned[i]); }, [&] { Repaint(plain[i]); });
        PrintRatioRow(kFamilies[i].name, timing, kGoal);
        Pump();
    }
    EngineStop();
    return 0;
}
