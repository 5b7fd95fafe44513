#include "MainWindow.h"

#include "Big5Text.h"
#include "ReaderWatcher.h"
#include "Report.h"
#include "ReportAccessible.h"
#include "ReportClipboard.h"
#include "ReportSave.h"
#include "ReportView.h"
#include "Resource.h"
#include "SkinEngine.h"

#include <cstring>
#include <string>

char g_report[kAppTextSize];
char g_title[kAppTextSize];
char g_className[kAppTextSize];

namespace {

// A burst of changes (a reader plugged in with its card) makes one re-check.
const UINT kSettleMs = 500;
HINSTANCE g_instance;
HWND g_mainWindow;
ProbeErrorHandler g_probeErrorHandler = ShowProbeErrorBox;

}  // namespace

void DrawBig5Text(HDC dc, RECT* area, const char* text, UINT systemCodePage)
{
    const int length = static_cast<int>(strlen(text));
    if (systemCodePage == kBig5CodePage) {
        DrawTextA(dc, text, length, area, 0);
        return;
    }
    const std::wstring wide = WideFromBig5(text, length);
    if (!wide.empty())
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), area, 0);
    else
        DrawTextA(dc, text, length, area, 0);
}

namespace {

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    // Moved up by the scroll position; the bottom stays, so the lines
    // shown at the bottom of the window are not cut.
    client.top -= ReportScrollOffset(window);
    DrawBig5Text(dc, &client, g_report, GetACP());
    EndPaint(window, &paint);
    return 0;
}

// The person did not ask for a re-check the watcher started; the report
// shows the same state its message boxes would.
void IgnoreProbeError(const char*) {}

// Drops the change notices of a watcher that was just stopped: the re-check
// about to run covers them.
void DropPendingChanges(HWND window)
{
    MSG msg;
    while (PeekMessageA(&msg, window, kReadersChangedMessage, kReadersChangedMessage, PM_REMOVE))
        ;
}

// The whole client area is invalidated before the checks run; the repaint
// comes after they return, so it shows the new report. The watcher is
// stopped while they run, and starts again from the state they saw.
LRESULT OnRecheck(HWND window, ProbeErrorHandler onError)
{
    KillTimer(window, kSettleTimer);
    const bool watching = StopReaderWatcher();
    DropPendingChanges(window);
    RECT client;
    GetClientRect(window, &client);
    InvalidateRect(window, &client, TRUE);
    const std::string before = g_report;
    BuildReport(g_report, onError);
    UpdateReportScroll(window);
    AnnounceReportChange(window, before.c_str(), g_report);
    if (watching)
        StartReaderWatcher(window, kReadersChangedMessage);
    return 0;
}

LRESULT OnTimer(HWND window, WPARAM timer, LPARAM lParam)
{
    if (timer != kSettleTimer)
        return DefWindowProcA(window, WM_TIMER, timer, lParam);
    return OnRecheck(window, IgnoreProbeError);
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDM_RECHECK:
        return OnRecheck(window, g_probeErrorHandler);
    case IDM_COPY_REPORT:
        CopyReportToClipboard(window, g_report);
        return 0;
    case IDM_SAVE_REPORT:
        SaveReport(window, g_report);
        return 0;
    case IDM_ABOUT:
        DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_ABOUTBOX), window, AboutDlgProc, 0);
        return 0;
    case IDM_EXIT:
        DestroyWindow(window);
        return 0;
    default:
        return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    }
}

}  // namespace

void LoadAppStrings(HINSTANCE instance)
{
    LoadStringA(instance, IDS_APP_TITLE, g_title, kAppTextSize);
    LoadStringA(instance, IDR_MAINFRAME, g_className, kAppTextSize);
}

ATOM RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SSO));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINFRAME);
    windowClass.lpszClassName = g_className;
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SMALL));
    return RegisterClassExA(&windowClass);
}

bool CreateMainWindow(HINSTANCE instance, int showCommand)
{
    g_instance = instance;
    HWND window = CreateWindowExA(0, g_className, g_title, WS_OVERLAPPEDWINDOW | WS_VSCROLL, CW_USEDEFAULT, 0, 800, 700,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return false;
    g_mainWindow = window;
    SetWindowSkin(window, "MainFrame");
    UpdateReportScroll(window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return true;
}

void SetProbeErrorHandler(ProbeErrorHandler handler)
{
    g_probeErrorHandler = handler;
}

HWND MainWindow()
{
    return g_mainWindow;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    case WM_PAINT:
        return OnPaint(window);
    case WM_SIZE:
        UpdateReportScroll(window);
        return 0;
    case WM_VSCROLL:
        OnReportScroll(window, wParam);
        return 0;
    case WM_GETOBJECT:
        return AnswerReportObject(window, wParam, lParam);
    case WM_MOUSEWHEEL:
        OnReportWheel(window, wParam);
        return 0;
    case WM_KEYDOWN:
        if (OnReportKey(window, wParam))
            return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    case kReadersChangedMessage:
        SetTimer(window, kSettleTimer, kSettleMs, nullptr);  // a later change restarts the wait
        return 0;
    case WM_TIMER:
        return OnTimer(window, wParam, lParam);
    case WM_DESTROY:
        StopReaderWatcher();
        KillTimer(window, kSettleTimer);
        if (window == g_mainWindow)
            g_mainWindow = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void ProcessLoopMessage(MSG& msg, HACCEL accelerators)
{
    if (!TranslateAcceleratorA(msg.hwnd, accelerators, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
