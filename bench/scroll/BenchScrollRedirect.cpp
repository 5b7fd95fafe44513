// What the redirection of the scroll functions costs a window it does not
// serve: GetScrollInfo through the patched user32 function (dispatcher,
// serving check, then the system's code) against the system's function
// called directly, timed in turns within one run.
#include <windows.h>

#include "controls/NcScroll.h"
#include "controls/ScrollApiRedirect.h"
#include "Measure.h"

#include <cstdio>
#include <mutex>
#include <unordered_set>

// The property's name is defined with the scroll bar engine, which this
// benchmark leaves out.
const char kNcScrollProperty[] = "CoolSBSubclassPtr";

namespace {

const int kCallsPerRun = 1000;
const int kRuns = 301;
const double kGoalRatio = 1.5;

// The windows served, as the engine keeps them: a set behind a lock.
std::mutex g_servedLock;
std::unordered_set<HWND> g_served;

bool ServedBySet(HWND window)
{
    std::lock_guard<std::mutex> guard(g_servedLock);
    return g_served.count(window) != 0;
}

BOOL WINAPI NeverCalled(HWND, int, LPSCROLLINFO)
{
    return FALSE;
}

void GetInfoRepeatedly(BOOL(WINAPI* getScrollInfo)(HWND, int, LPSCROLLINFO), HWND window)
{
    for (int i = 0; i < kCallsPerRun; ++i) {
        SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        getScrollInfo(window, SB_VERT, &info);
    }
}

Timing MeasureRedirected(HWND window)
{
    const auto direct = SystemScrollFunctions().getScrollInfo;
    return MeasureAgainst(
        kRuns, [&] { GetInfoRepeatedly(GetScrollInfo, window); }, [&] { GetInfoRepeatedly(direct, window); });
}

}  // namespace

int main()
{
    HWND window = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VSCROLL, 0, 0, 300, 200, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND servedWindow = CreateWindowExA(0, "STATIC", "served", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    if (!window || !servedWindow) {
        std::printf("bench_scroll_redirect: no window\n");
        return 1;
    }
    SetScrollRange(window, SB_VERT, 0, 1000, FALSE);
    g_served.insert(servedWindow);
    ScrollFunctions replacements = {};
    replacements.getScrollInfo = NeverCalled;

    std::printf("GetScrollInfo of a window not served, %d calls per run, %d runs\n", kCallsPerRun, kRuns);
    PrintTableHeader("direct us");
    PrintShareRow("not installed (both direct)", MeasureRedirected(window));
    ScrollApiRedirect_Install(replacements, ServedBySet);
    const RedirectedFunction& patched = ScrollApiRedirect_Status().functions[1];
    if (patched.result != PatchResult::kPatched)
        std::printf("GetScrollInfo not redirected: %s\n", PatchResultText(patched.result));
    PrintRatioRow("redirected, served set behind a lock", MeasureRedirected(window), kGoalRatio);
    ScrollApiRedirect_Remove();
    ScrollApiRedirect_Install(replacements, nullptr);
    PrintShareRow("redirected, window property asked", MeasureRedirected(window));
    ScrollApiRedirect_Remove();

    DestroyWindow(servedWindow);
    DestroyWindow(window);
    return 0;
}
