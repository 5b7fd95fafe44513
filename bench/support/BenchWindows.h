// What the window benchmarks share: pumping the thread's messages, a full
// repaint of one window, frame included, and a page's controls repainted
// against the same controls without the engine.
#pragma once

#include "Measure.h"

#include <windows.h>

#include <cstddef>
#include <cstdio>

inline void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline void Repaint(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

struct PageControl {
    const char* name;
    int id;
};

// Each control of the skinned page against its twin on the plain page, in
// interleaved runs, one ratio row each.
template <std::size_t N>
void ComparePageControls(const char* page, HWND skinned, HWND plain, const PageControl (&controls)[N], int runs,
                         double goal)
{
    std::printf("%s page, medians of %d interleaved runs against the same control without the engine\n", page, runs);
    PrintTableHeader("no engine");
    for (const PageControl& control : controls) {
        HWND mine = GetDlgItem(skinned, control.id);
        HWND system = GetDlgItem(plain, control.id);
        const Timing timing = MeasureAgainst(
            runs,
            [&] {
                Repaint(mine);
                Pump();
            },
            [&] {
                Repaint(system);
                Pump();
            });
        PrintRatioRow(control.name, timing, goal);
    }
}
