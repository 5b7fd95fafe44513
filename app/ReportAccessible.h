// The report as a screen reader sees it: the main window's client area is
// a read-only text whose value is the whole report and whose children are
// its lines, in the order they are drawn.
#pragma once

#include <windows.h>

// WM_GETOBJECT of the main window.
LRESULT AnswerReportObject(HWND window, WPARAM wParam, LPARAM lParam);
// Tells readers that the report shown changed, when it did.
void AnnounceReportChange(HWND window, const char* before, const char* after);
