// The report's place in the main window: when the report is taller than
// the client area, a vertical scroll bar scrolls it by lines, pages, the
// wheel and the keys; otherwise the bar is hidden. The report's text is
// drawn as it is, only moved up by the scroll position.
#pragma once

#include <windows.h>

// The scroll bar set again from the report's height and the client's:
// after a size change and after the report was rebuilt. A position still
// within the new range is kept.
void UpdateReportScroll(HWND window);
// The pixels the report is moved up by.
int ReportScrollOffset(HWND window);
// The height of one line of the report as the window draws it.
int ReportLineHeight(HWND window);

// WM_VSCROLL, WM_MOUSEWHEEL and WM_KEYDOWN of the main window; true when
// the message scrolled (or tried to scroll) the report.
bool OnReportScroll(HWND window, WPARAM wParam);
bool OnReportWheel(HWND window, WPARAM wParam);
bool OnReportKey(HWND window, WPARAM key);
