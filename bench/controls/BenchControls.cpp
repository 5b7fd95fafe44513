// Times a full repaint of the gallery dialog (frame, background and every
// skinned control) against the same dialog without the engine, and each
// of its controls against the same control without the engine, run by run
// in turns; one BitBlt of the dialog's area is printed beside as
// information. Then a stand-alone scroll bar's repaint against the same
// bar without the engine.
//
// The plain gallery is made before the engine starts, so no skin binds
// it, and stands beside the skinned one so that neither covers the other;
// the engine's thread hooks see its messages as they see any window of
// the program.
#include "GalleryDialog.h"
#include "BenchWindows.h"
#include "Measure.h"
#include "SkinEngine.h"
#include "imaging/GdiObject.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

const int kRuns = 41;
const double kGalleryGoal = 1.5;
const double kControlGoal = 1.5;
const UINT kEverything = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;

std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

void RepaintAll(HWND dialog)
{
    RedrawWindow(dialog, nullptr, nullptr, kEverything);
    Pump();
}

// The whole dialog, skinned against plain; the BitBlt of its area as
// information.
void MeasureGallery(HWND skinned, HWND plain)
{
    RECT window;
    GetWindowRect(skinned, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    WindowDC screen(nullptr);
    OwnedDC source(CreateCompatibleDC(screen));
    Bitmap picture(CreateCompatibleBitmap(screen, width, height));
    ObjectSelector selected(source, picture);
    const auto blit = [&] {
        HDC target = GetWindowDC(skinned);
        BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
        ReleaseDC(skinned, target);
    };
    std::printf("gallery dialog %dx%d, medians of %d runs in turns\n", width, height, kRuns);
    PrintTableHeader("no engine");
    PrintRatioRow("full repaint",
                  MeasureAgainst(
                      kRuns, [&] { RepaintAll(skinned); }, [&] { RepaintAll(plain); }),
                  kGalleryGoal);
    PrintShareRow("  the same against one BitBlt of its area (info)", MeasureAgainst(
                                                                          kRuns, [&] { RepaintAll(skinned); }, blit));
    // The same without the controls: what the frame and background cost.
    const std::vector<HWND> skinnedChildren = Children(skinned), plainChildren = Children(plain);
    for (HWND child : skinnedChildren)
        ShowWindow(child, SW_HIDE);
    for (HWND child : plainChildren)
        ShowWindow(child, SW_HIDE);
    PrintShareRow("frame and background only (info)",
                  MeasureAgainst(
                      kRuns, [&] { RepaintAll(skinned); }, [&] { RepaintAll(plain); }));
    for (HWND child : skinnedChildren)
        ShowWindow(child, SW_SHOWNA);
    for (HWND child : plainChildren)
        ShowWindow(child, SW_SHOWNA);
    Pump();
}

// Each control alone, against the control at the same place of the plain
// gallery.
void MeasureControls(HWND skinned, HWND plain)
{
    const std::vector<HWND> mine = Children(skinned), system = Children(plain);
    std::printf("\neach control's full repaint against the same control without the engine:\n");
    PrintTableHeader("no engine");
    for (size_t i = 0; i < mine.size() && i < system.size(); ++i) {
        char className[32] = {}, text[20] = {}, name[64];
        GetClassNameA(mine[i], className, sizeof className);
        GetWindowTextA(mine[i], text, sizeof text);
        for (char& c : text)
            c = c == '\n' ? ' ' : c;
        std::snprintf(name, sizeof name, "%s %08lX \"%s\"", className,
                      static_cast<unsigned long>(GetWindowLongPtrA(mine[i], GWL_STYLE)), text);
        PrintRatioRow(name,
                      MeasureAgainst(
                          kRuns, [&] { Repaint(mine[i]); }, [&] { Repaint(system[i]); }),
                      kControlGoal);
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

int main()
{
    const HINSTANCE module = GetModuleHandleA(nullptr);
    HWND plain = CreateGalleryDialog(module);
    if (!plain || !EngineStart(module) || !LoadSkinFromResource(module, "SKINRES", "VELTRAMOX")) {
        std::fprintf(stderr, "bench_controls: the plain gallery or the skin cannot be loaded\n");
        return 1;
    }
    SetDialogSkinName("Dialog");
    HWND skinned = CreateGalleryDialog(module);
    if (!skinned) {
        std::fprintf(stderr, "bench_controls: the gallery cannot be opened\n");
        return 1;
    }
    RECT placed;
    GetWindowRect(skinned, &placed);
    SetWindowPos(plain, nullptr, placed.right + 8, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    MeasureGallery(skinned, plain);
    MeasureControls(skinned, plain);
    DestroyWindow(skinned);
    DestroyWindow(plain);
    Pump();
    MeasureScrollBars(module);
    EngineStop();
    return 0;
}
