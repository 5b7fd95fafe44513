// Times the engine's skinned main window against what the same work costs
// without the engine, in the same run: a full repaint of an 800 x 700
// window bound to "MainFrame" against the same window unskinned (and, as
// information, against one BitBlt of that area), and the start-up to the
// first complete paint with the engine against without it. Prints medians
// in microseconds, their ratios and whether each meets its goal, then
// where the skinned paint and start-up spend their time.
#include "core/SkinManager.h"
#include "imaging/GdiObject.h"
#include "imaging/MemoryDC.h"
#include "ReportText.h"
#include "Resource.h"
#include "SkinEngine.h"
#include "windows/SkinnedFrame.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const int kRuns = 31;
// A fresh process's start-up varies by several per cent from run to run:
// the median of 21 of each moves less than that of a few.
const int kStartupRuns = 21;
const int kWidth = 800;
const int kHeight = 700;
const UINT kFullRepaint = RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
const char kWindowClass[] = "SsoBenchMainWindow";
const char kStartupFlag[] = "--startup=";
const double kUnskinnedGoal = 1.0;
const double kStartupGoal = 1.2;
// A row without a goal: information only.
const double kNoGoal = 0;

char g_report[4096];
// A main window marked so paints no report: what is left of its repaint is
// the engine's work and the system's.
const LONG_PTR kPaintsNothing = 1;

double Microseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double TimeOnce(const std::function<void()>& work)
{
    const LARGE_INTEGER start = Now();
    work();
    GdiFlush();
    return Microseconds(start, Now());
}

double Median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

struct Pair {
    double measured;
    double baseline;
};

// The operation and its baseline in turn, run after run, so that both see
// the same machine load; medians of each.
Pair MedianPair(const std::function<void()>& operation, const std::function<void()>& baseline)
{
    operation();
    baseline();
    std::vector<double> measured, base;
    for (int i = 0; i < kRuns; ++i) {
        measured.push_back(TimeOnce(operation));
        base.push_back(TimeOnce(baseline));
    }
    return {Median(measured), Median(base)};
}

double MedianOf(const std::function<void()>& work)
{
    work();
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i)
        times.push_back(TimeOnce(work));
    return Median(times);
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A report like the one the program paints on a ready machine.
void BuildReportLikeText()
{
    using namespace ReportText;
    char* out = g_report;
    const char* const end = g_report + sizeof g_report;
    const auto append = [&](const char* format, auto... values) {
        const int written = std::snprintf(out, static_cast<size_t>(end - out), format, values...);
        if (written > 0)
            out += std::min<int>(written, static_cast<int>(end - out) - 1);
    };
    append("%s", kTitle);
    append("%s", kReadersHeader);
    append(kReaderCount, 1);
    append(kReaderLine, 1, "Generic Smart Card Reader 0");
    append("%s", kCardPresent);
    append("3B DF 18 00 81 31 FE 58 80 31 90 52 41 01 64 05 C9 03 AC 73 B7 B1 D4 44\n");
    append("%s", kRootHeader);
    append("%s", kRootPresent);
    append(kRootValidity, 2034, 12, 31);
    append("%s", kCspHeader);
    append("%s%s%s%s", kSafeSignPresent, kHiCosPresent, kSafeSignDriverPresent, kHiCosDriverPresent);
    append("%s%s", kCardHeader, kCardInserted);
    append("%s", kCertificateHeader);
    append(kCertificateSubject, "TP03000000000000");
    append(kCertificateValidity, 2030, 6, 30);
    append("%s", kCardNumberHeader);
    append(kCardNumberLine, "TP03000000000000");
    append("%s%s%s", kMaker, kSupportContact, kProductLine);
}

// The program's main window procedure in what matters here: the report
// painted as text over the background.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    if (GetWindowLongPtrA(window, GWLP_USERDATA) != kPaintsNothing)
        DrawTextA(dc, g_report, -1, &client, 0);
    EndPaint(window, &paint);
    return 0;
}

void RegisterMainWindowClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = LoadIconA(windowClass.hInstance, MAKEINTRESOURCEA(IDI_SSO));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINFRAME);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hIconSm = LoadIconA(windowClass.hInstance, MAKEINTRESOURCEA(IDI_SMALL));
    RegisterClassExA(&windowClass);
}

HWND CreateMainWindow()
{
    return CreateWindowExA(0, kWindowClass, "sso", WS_OVERLAPPEDWINDOW, 0, 0, kWidth, kHeight, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// ---- Start-up, one per process ------------------------------------------

// The steps of one start-up, in the order the program takes them.
enum StartupStep { StepEngine, StepSkin, StepCreate, StepBind, StepShow, StepUpdate, StepCount };
const char* const kStepNames[StepCount] = {"EngineStart",
                                           "LoadSkinFromResource + SetDialogSkinName",
                                           "RegisterClassEx + CreateWindowEx",
                                           "SetWindowSkin",
                                           "ShowWindow",
                                           "UpdateWindow"};

// The start-ups compared: with the engine, without it, and without it but
// with the skin's window shape set, which is what the platform alone
// charges for a window of that shape (its region, kept in a file).
enum class StartupKind { kSkinned, kPlain, kShaped, kCount };
const char* const kKindFlags[] = {"skinned", "plain", "shaped"};
const int kKindCount = static_cast<int>(StartupKind::kCount);

std::string RegionFile()
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "sso-bench-region.bin";
}

// The skinned window's region as the system holds it, for the shaped start-ups.
bool SaveWindowRegion(HWND window)
{
    Region region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(window, region) == ERROR)
        return false;
    std::vector<char> data(GetRegionData(region, 0, nullptr));
    if (data.empty() ||
        !GetRegionData(region, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data())))
        return false;
    FILE* file = std::fopen(RegionFile().c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    return std::fclose(file) == 0 && written;
}

HRGN LoadWindowRegion()
{
    std::vector<char> data;
    if (FILE* file = std::fopen(RegionFile().c_str(), "rb")) {
        char buffer[4096];
        for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            data.insert(data.end(), buffer, buffer + read);
        std::fclose(file);
    }
    if (data.empty())
        return nullptr;
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
}

// Runs in a fresh process: every start-up pays for its first skin load,
// its first fonts and its first window of the class, as the program does;
// a second start-up in the same process would find all of that warm. The
// process start itself is the same for every kind and is not timed.
int RunStartup(StartupKind kind)
{
    const bool skinned = kind == StartupKind::kSkinned;
    BuildReportLikeText();
    double steps[StepCount] = {};
    HINSTANCE instance = GetModuleHandleA(nullptr);
    LARGE_INTEGER mark = Now();
    const auto lap = [&](StartupStep step) {
        const LARGE_INTEGER now = Now();
        steps[step] = Microseconds(mark, now);
        mark = now;
    };
    if (skinned) {
        EngineStart(instance);
        lap(StepEngine);
        LoadSkinFromResource(instance, "SKINRES", "VELTRAMOX");
        SetDialogSkinName("Dialog");
        lap(StepSkin);
    }
    RegisterMainWindowClass();
    HWND window = CreateMainWindow();
    lap(StepCreate);
    if (skinned) {
        SetWindowSkin(window, "MainFrame");
        lap(StepBind);
    } else if (kind == StartupKind::kShaped) {
        SetWindowRgn(window, LoadWindowRegion(), FALSE);
        lap(StepBind);
    }
    ShowWindow(window, SW_SHOW);
    lap(StepShow);
    UpdateWindow(window);
    GdiFlush();
    lap(StepUpdate);
    for (double step : steps)
        std::printf("%.1f ", step);
    std::printf("\n");
    std::fflush(stdout);
    // Windows and hooks go with the process.
    return window ? 0 : 1;
}

// Starts this program again for one start-up and reads the step times it
// prints; empty when it could not run.
std::vector<double> ChildStartup(const std::string& program, StartupKind kind)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return {};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string line = "\"" + program + "\" " + kStartupFlag + kKindFlags[static_cast<int>(kind)];
    const BOOL started =
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[256];
        DWORD read = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0)
            output.append(buffer, read);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    std::vector<double> steps;
    const char* text = output.c_str();
    char* next = nullptr;
    for (int i = 0; i < StepCount; ++i, text = next) {
        const double value = std::strtod(text, &next);
        if (next == text)
            return {};
        steps.push_back(value);
    }
    return steps;
}

double Total(const std::vector<double>& steps)
{
    double total = 0;
    for (double step : steps)
        total += step;
    return total;
}

// ---- Printing ------------------------------------------------------------

struct Row {
    std::string operation;
    double median;
    std::string baselineName;
    double baseline;
    double goal;
};

void PrintTable(const std::vector<Row>& rows)
{
    std::printf("%-46s %12s  %-30s %12s %7s %6s  %s\n", "operation", "median us", "baseline", "median us", "ratio",
                "goal", "");
    for (const Row& row : rows) {
        const double ratio = row.median / row.baseline;
        std::printf("%-46s %12.1f  %-30s %12.1f %7.2f", row.operation.c_str(), row.median, row.baselineName.c_str(),
                    row.baseline, ratio);
        if (row.goal == kNoGoal)
            std::printf(" %6s  (info)\n", "-");
        else
            std::printf(" %5.1fx  %s\n", row.goal, ratio <= row.goal ? "met" : "NOT MET");
    }
}

void PrintPart(const char* name, double median, double whole)
{
    std::printf("  %-58s %10.1f us  %5.1f%%\n", name, median, 100.0 * median / whole);
}

// ---- Repaint ---------------------------------------------------------------

// The copy a non-client paint ends with: the caption band with the menu
// bar, the two sides and the bottom row, from the composed surface.
void BlitStrips(HWND window, SkinnedFrame& skin, HDC surface)
{
    const RECT bar = skin.Bar().GetRect();
    const RECT& topLeft = skin.PartRect(SkinnedWindow::PartTopLeft);
    const RECT& left = skin.PartRect(SkinnedWindow::PartLeft);
    const RECT& right = skin.PartRect(SkinnedWindow::PartRight);
    const RECT& bottom = skin.PartRect(SkinnedWindow::PartBottomLeft);
    const int top = (topLeft.bottom - topLeft.top) + (bar.bottom - bar.top);
    const int bottomHeight = bottom.bottom - bottom.top;
    const int middle = kHeight - top - bottomHeight;
    WholeWindowDC dc(window);
    BitBlt(dc, 0, 0, kWidth, top, surface, 0, 0, SRCCOPY);
    BitBlt(dc, 0, top, left.right - left.left, middle, surface, 0, top, SRCCOPY);
    BitBlt(dc, right.left, top, right.right - right.left, middle, surface, right.left, top, SRCCOPY);
    BitBlt(dc, 0, kHeight - bottomHeight, kWidth, bottomHeight, surface, 0, kHeight - bottomHeight, SRCCOPY);
}

// Where a skinned repaint of `window` spends its time: the window-side
// steps timed one by one, each against the whole repaint.
void PrintRepaintParts(HWND window, double whole)
{
    auto* skin = dynamic_cast<SkinnedFrame*>(SkinManager::Instance().FindWindowObject(window));
    if (!skin)
        return;
    WholeWindowDC windowDc(window);
    MemoryDC surface(windowDc, kWidth, kHeight);
    std::printf("\nWhere a full skinned repaint goes (each step alone, median of %d; %% of the full repaint):\n",
                kRuns);
    PrintPart("non-client only (WM_NCPAINT sent)", MedianOf([&] { SendMessageA(window, WM_NCPAINT, 1, 0); }), whole);
    PrintPart("  its work replayed: new surface, frame, elements, strips", MedianOf([&] {
                  WholeWindowDC dc(window);
                  MemoryDC fresh(dc, kWidth, kHeight);
                  skin->DrawFrame(fresh.Dc(), true);
                  skin->LayoutAndDrawElements(fresh.Dc());
                  BlitStrips(window, *skin, fresh.Dc());
              }),
              whole);
    PrintPart("  the same into a surface kept from paint to paint", MedianOf([&] {
                  skin->DrawFrame(surface.Dc(), true);
                  skin->LayoutAndDrawElements(surface.Dc());
                  BlitStrips(window, *skin, surface.Dc());
              }),
              whole);
    PrintPart("    MemoryDC 800x700 alone (made and dropped)",
              MedianOf([&] { MemoryDC scratch(windowDc, kWidth, kHeight); }), whole);
    PrintPart("    DrawFrame (9 parts, caption text, menu bar)", MedianOf([&] { skin->DrawFrame(surface.Dc(), true); }),
              whole);
    PrintPart("      DrawCaptionText (creates its font each time)",
              MedianOf([&] { skin->DrawCaptionText(surface.Dc(), true); }), whole);
    PrintPart("      DrawMenuBar", MedianOf([&] { skin->DrawMenuBar(surface.Dc()); }), whole);
    PrintPart("    LayoutAndDrawElements (the 4 caption buttons shown)",
              MedianOf([&] { skin->LayoutAndDrawElements(surface.Dc()); }), whole);
    PrintPart("    the 4 strips BitBlt to the whole-window DC",
              MedianOf([&] { BlitStrips(window, *skin, surface.Dc()); }), whole);
    PrintPart("    MenuBar::GetRect (screen DC + text sizes; 3 per paint)", MedianOf([&] { skin->Bar().GetRect(); }),
              whole);
    PrintPart("    IsActiveWindow (GetWindowInfo)", MedianOf([&] { skin->IsActiveWindow(); }), whole);
    PrintPart("client only (erase from the background surface, then the text)",
              MedianOf([&] { RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }),
              whole);
    RECT client;
    GetClientRect(window, &client);
    PrintPart("RebuildClientBackground (on size changes only)",
              MedianOf([&] { skin->RebuildClientBackground(client.right, client.bottom); }), whole);
    PrintPart("ApplyWindowRegion(BuildWindowRegion()) (on size changes only)",
              MedianOf([&] { skin->ApplyWindowRegion(skin->BuildWindowRegion()); }), whole);
    PrintPart("  BuildWindowRegion alone", MedianOf([&] { DeleteObject(skin->BuildWindowRegion()); }), whole);
}

Row MeasureRepaint(HWND window, const char* operation)
{
    WindowDC screen(window);
    MemoryDC source(screen, kWidth, kHeight);
    const Pair pair = MedianPair([&] { RedrawWindow(window, nullptr, nullptr, kFullRepaint); },
                                 [&] {
                                     HDC dc = GetWindowDC(window);
                                     BitBlt(dc, 0, 0, kWidth, kHeight, source.Dc(), 0, 0, SRCCOPY);
                                     ReleaseDC(window, dc);
                                 });
    return {operation, pair.measured, "BitBlt 800x700 to window DC", pair.baseline, kNoGoal};
}

// The skinned window's full repaint against the same window unskinned, in
// turns; each is raised above the other first (untimed), so that neither
// is measured half covered.
Row MeasureAgainstUnskinned(HWND window, HWND plain)
{
    const auto raisedRepaint = [](HWND shown) {
        return [shown] {
            SetWindowPos(shown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            PumpMessages();
            return TimeOnce([&] { RedrawWindow(shown, nullptr, nullptr, kFullRepaint); });
        };
    };
    const auto skinned = raisedRepaint(window);
    const auto unskinned = raisedRepaint(plain);
    skinned();
    unskinned();
    std::vector<double> measured, base;
    for (int i = 0; i < kRuns; ++i) {
        measured.push_back(skinned());
        base.push_back(unskinned());
    }
    return {"full repaint 800x700, skinned", Median(measured), "same window unskinned", Median(base), kUnskinnedGoal};
}

// ---- Start-up, driven from the parent ----------------------------------------

struct StartupFigures {
    Row row;
    Row shapedRow;
    std::vector<double> steps[kKindCount];
};

// The kinds in turns, so that a slow spell of the machine falls on all.
bool MeasureStartup(const std::string& program, StartupFigures& figures)
{
    std::vector<std::vector<double>> steps[kKindCount];
    std::vector<double> totals[kKindCount];
    for (auto& kind : steps)
        kind.resize(StepCount);
    for (int run = 0; run < kStartupRuns; ++run) {
        for (int kind = 0; kind < kKindCount; ++kind) {
            const std::vector<double> measured = ChildStartup(program, static_cast<StartupKind>(kind));
            if (measured.empty())
                return false;
            totals[kind].push_back(Total(measured));
            for (int step = 0; step < StepCount; ++step)
                steps[kind][step].push_back(measured[step]);
        }
    }
    const double plain = Median(totals[static_cast<int>(StartupKind::kPlain)]);
    figures.row = {"start-up to first paint, with the engine", Median(totals[static_cast<int>(StartupKind::kSkinned)]),
                   "same without the engine", plain, kStartupGoal};
    figures.shapedRow = {"  the same without the engine, the skin's shape set",
                         Median(totals[static_cast<int>(StartupKind::kShaped)]), "same without the engine", plain,
                         kNoGoal};
    for (int kind = 0; kind < kKindCount; ++kind)
        for (int step = 0; step < StepCount; ++step)
            figures.steps[kind].push_back(Median(steps[kind][step]));
    return true;
}

void PrintStartupParts(const StartupFigures& figures)
{
    std::printf("\nWhere a start-up goes (median per step of %d fresh processes each):\n", kStartupRuns);
    std::printf("  %-46s %14s %14s %14s\n", "step", "with engine us", "without us", "shape only us");
    for (int step = 0; step < StepCount; ++step)
        std::printf("  %-46s %14.1f %14.1f %14.1f\n", kStepNames[step], figures.steps[0][step], figures.steps[1][step],
                    figures.steps[2][step]);
}

std::string ProgramPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

int RunBenchmarks()
{
    BuildReportLikeText();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    EngineStart(instance);
    LoadSkinFromResource(instance, "SKINRES", "VELTRAMOX");
    SetDialogSkinName("Dialog");
    RegisterMainWindowClass();
    HWND window = CreateMainWindow();
    if (!window || !SetWindowSkin(window, "MainFrame")) {
        std::printf("could not create the skinned main window\n");
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetActiveWindow(window);
    PumpMessages();
    StartupFigures startup;
    const bool startupMeasured = SaveWindowRegion(window) && MeasureStartup(ProgramPath(), startup);

    std::vector<Row> rows;
    // Unskinned: created after the engine started, but never bound.
    if (HWND plain = CreateMainWindow()) {
        SetWindowPos(plain, nullptr, GetSystemMetrics(SM_CXSCREEN) - kWidth, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(plain, SW_SHOWNOACTIVATE);
        UpdateWindow(plain);
        rows.push_back(MeasureAgainstUnskinned(window, plain));
        DestroyWindow(plain);
        SetActiveWindow(window);
        PumpMessages();
    }
    rows.push_back(MeasureRepaint(window, "full skinned repaint 800x700, MainFrame"));
    if (HWND empty = CreateMainWindow()) {
        SetWindowLongPtrA(empty, GWLP_USERDATA, kPaintsNothing);
        SetWindowSkin(empty, "MainFrame");
        ShowWindow(empty, SW_SHOW);
        UpdateWindow(empty);
        PumpMessages();
        rows.push_back(MeasureRepaint(empty, "the same, the window painting no report"));
        DestroyWindow(empty);
        SetActiveWindow(window);
        PumpMessages();
    }
    if (startupMeasured) {
        rows.push_back(startup.row);
        rows.push_back(startup.shapedRow);
    }
    std::printf("Skinned windows against the same windows without the engine, medians of %d interleaved runs "
                "(start-up: %d fresh processes each)\n\n",
                kRuns, kStartupRuns);
    PrintTable(rows);
    PrintRepaintParts(window, rows.front().median);
    if (startupMeasured)
        PrintStartupParts(startup);
    else
        std::printf("\nstart-up not measured: the program could not be started again\n");
    DeleteFileA(RegionFile().c_str());
    DestroyWindow(window);
    EngineStop();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const size_t flagLength = std::strlen(kStartupFlag);
    if (argc > 1 && std::strncmp(argv[1], kStartupFlag, flagLength) == 0) {
        for (int kind = 0; kind < kKindCount; ++kind)
            if (std::strcmp(argv[1] + flagLength, kKindFlags[kind]) == 0)
                return RunStartup(static_cast<StartupKind>(kind));
        return 1;
    }
    return RunBenchmarks();
}
