#pragma once

#include <windows.h>

const size_t kAppTextSize = 20480;

// The shell's three text buffers: the report, the window title and the
// window class name (from the string table).
extern char g_report[kAppTextSize];
extern char g_title[kAppTextSize];
extern char g_className[kAppTextSize];

void LoadAppStrings(HINSTANCE instance);
ATOM RegisterMainWindowClass(HINSTANCE instance);
bool CreateMainWindow(HINSTANCE instance, int showCommand);
// The main window CreateMainWindow made, for the message loop and tests.
HWND MainWindow();

// Posted by the reader watcher at each change of the readers or cards; the
// window re-checks once the changes have settled (500 ms without another),
// without the probes' message boxes.
const UINT kReadersChangedMessage = WM_APP + 1;
const UINT_PTR kSettleTimer = 0x5E77;

#include "CardNumber.h"

// Where the re-check reports failed smart-card calls (message boxes unless
// changed).
void SetProbeErrorHandler(ProbeErrorHandler handler);

// Draws Big5 text with DrawText format 0. On a code-page-950 system the
// bytes are drawn as they are; on any other they are converted explicitly,
// so the text reads the same there.
void DrawBig5Text(HDC dc, RECT* area, const char* text, UINT systemCodePage);

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Handles one message of the loop: accelerators first, then translation and
// dispatch.
void ProcessLoopMessage(MSG& msg, HACCEL accelerators);
