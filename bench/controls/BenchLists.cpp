// Times the full repaint of each member of the scrolling-client family
// (list box, tree view, list view, edit, IP address) on the gallery's lists
// page, and one line of list box scrolling, against the same control on
// the same page without the engine, interleaved in one run; prints the
// medians with their ratio and the goal.
#include "BenchWindows.h"
#include "GalleryDialog.h"
#include "GalleryIds.h"
#include "Measure.h"
#include "SkinEngine.h"

#include <windows.h>

#include <cstdio>

namespace {

const int kRuns = 41;
const double kGoal = 1.5;

// A line down, then back up on the next call: every call moves the list.
void ScrollOneLine(HWND list, bool& down)
{
    SendMessageA(list, WM_VSCROLL, down ? SB_LINEDOWN : SB_LINEUP, 0);
    down = !down;
    Pump();
}

}  // namespace

int main()
{
    const HINSTANCE module = GetModuleHandleA(nullptr);
    // Made before the engine starts, this page keeps the system's look.
    HWND plain = CreateGalleryDialog(module, FindGalleryPage("lists"));
    if (!EngineStart(module) || !LoadSkinFromResource(module, "SKINRES", "VELTRAMOX")) {
        std::fprintf(stderr, "bench_lists: the skin cannot be loaded\n");
        return 1;
    }
    SetDialogSkinName("Dialog");
    HWND skinned = CreateGalleryDialog(module, FindGalleryPage("lists"));
    if (!plain || !skinned) {
        std::fprintf(stderr, "bench_lists: the lists page cannot be opened\n");
        return 1;
    }
    Pump();
    const PageControl members[] = {
        {"list box repaint", IDC_LISTS_LIST},
        {"tree view repaint", IDC_LISTS_TREE},
        {"list view repaint", IDC_LISTS_VIEW},
        {"edit repaint", IDC_LISTS_EDIT},
        {"edit of several lines repaint", IDC_LISTS_EDIT_LINES},
        {"IP address repaint", IDC_LISTS_IPADDRESS},
    };
    ComparePageControls("lists", skinned, plain, members, kRuns, kGoal);
    bool mineDown = true, systemDown = true;
    HWND mine = GetDlgItem(skinned, IDC_LISTS_LIST);
    HWND system = GetDlgItem(plain, IDC_LISTS_LIST);
    const Timing scrolling = MeasureAgainst(
        kRuns, [&] { ScrollOneLine(mine, mineDown); }, [&] { ScrollOneLine(system, systemDown); });
    PrintRatioRow("list box, one line scrolled", scrolling, kGoal);
    DestroyWindow(skinned);
    DestroyWindow(plain);
    EngineStop();
    return 0;
}
