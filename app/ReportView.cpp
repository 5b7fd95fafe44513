#include "ReportView.h"

#include "MainWindow.h"

#include <algorithm>
#include <cstring>

namespace {

const int kWheelLines = 3;

int ReportHeight(HWND window)
{
    HDC dc = GetDC(window);
    RECT area = {0, 0, 1, 1};
    const int length = static_cast<int>(strlen(g_report));
    DrawTextA(dc, g_report, length, &area, DT_CALCRECT);
    ReleaseDC(window, dc);
    return area.bottom - area.top;
}

int ClientHeight(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return client.bottom - client.top;
}

SCROLLINFO ReadScroll(HWND window)
{
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(window, SB_VERT, &info))
        info = SCROLLINFO{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    return info;
}

// Moves the report to `pos` (clamped by the bar) and repaints the client
// once, background included: the skin's background stays where it is.
void ScrollTo(HWND window, int pos)
{
    const SCROLLINFO before = ReadScroll(window);
    SCROLLINFO info = {sizeof info, SIF_POS, 0, 0, 0, pos, 0};
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    if (ReadScroll(window).nPos == before.nPos)
        return;
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

int ScrolledBy(HWND window, const SCROLLINFO& info, int code, int track)
{
    const int page = static_cast<int>(info.nPage);
    switch (code) {
    case SB_LINEUP:
        return info.nPos - ReportLineHeight(window);
    case SB_LINEDOWN:
        return info.nPos + ReportLineHeight(window);
    case SB_PAGEUP:
        return info.nPos - page;
    case SB_PAGEDOWN:
        return info.nPos + page;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        return track;
    case SB_TOP:
        return info.nMin;
    case SB_BOTTOM:
        return info.nMax;
    default:
        return info.nPos;
    }
}

}  // namespace

int ReportLineHeight(HWND window)
{
    HDC dc = GetDC(window);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(window, dc);
    return std::max<int>(1, metrics.tmHeight);
}

void UpdateReportScroll(HWND window)
{
    const int height = ReportHeight(window);
    const int client = ClientHeight(window);
    const int kept = ReadScroll(window).nPos;
    // A range of the report's pixels and a page of the client's: the bar
    // hides itself when the page holds the whole range.
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, height - 1),
                       static_cast<UINT>(std::max(0, client)), kept, 0};
    SetScrollInfo(window, SB_VERT, &info, TRUE);
}

int ReportScrollOffset(HWND window)
{
    return ReadScroll(window).nPos;
}

bool OnReportScroll(HWND window, WPARAM wParam)
{
    const SCROLLINFO info = ReadScroll(window);
    // The thumb's 32-bit track position, not the 16 bits of the message.
    const int target = ScrolledBy(window, info, LOWORD(wParam), info.nTrackPos);
    if (LOWORD(wParam) == SB_ENDSCROLL)
        return true;
    ScrollTo(window, target);
    return true;
}

bool OnReportWheel(HWND window, WPARAM wParam)
{
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    if (notches == 0)
        return true;
    ScrollTo(window, ReportScrollOffset(window) - notches * kWheelLines * ReportLineHeight(window));
    return true;
}

bool OnReportKey(HWND window, WPARAM key)
{
    static const struct {
        WPARAM key;
        int code;
    } kKeys[] = {
        {VK_UP, SB_LINEUP}, {VK_DOWN, SB_LINEDOWN}, {VK_PRIOR, SB_PAGEUP},
        {VK_NEXT, SB_PAGEDOWN}, {VK_HOME, SB_TOP},   {VK_END, SB_BOTTOM},
    };
    for (const auto& row : kKeys)
        if (row.key == key) {
            ScrollTo(window, ScrolledBy(window, ReadScroll(window), row.code, 0));
            return true;
        }
    return false;
}
