#include "imaging/WindowHelpers.h"

#include "imaging/GdiObject.h"

#include <shellapi.h>

#include <cstring>

namespace {

const size_t kMenuTextSize = 400;
const DWORD kModulePathSize = 1024;

// An icon the window or its class lends; null when it has none.
HICON BorrowedSmallIcon(HWND window)
{
    HICON icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICONSM));
    return icon;
}

BOOL DrawSmallIcon(HDC hdc, POINT point, HICON icon)
{
    return DrawIconEx(hdc, point.x, point.y, icon, 16, 16, 0, nullptr, DI_NORMAL);
}

// Asked of the default procedure, which keeps the state, and not sent: a
// message sent through the thread's hooks costs a wineserver round trip,
// and painters ask on every paint.
LRESULT SystemUiState(HWND window)
{
    return DefWindowProcA(window, WM_QUERYUISTATE, 0, 0);
}

UiStateQuery g_uiStateQuery = SystemUiState;

}  // namespace

void ScreenToClientRect(HWND window, RECT& rect)
{
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    ScreenToClient(window, &corners[0]);
    ScreenToClient(window, &corners[1]);
    rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void ClientToScreenRect(HWND window, RECT& rect)
{
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    ClientToScreen(window, &corners[0]);
    ClientToScreen(window, &corners[1]);
    rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

BOOL DrawWindowSmallIcon(HWND window, HDC hdc, POINT point)
{
    if (HICON icon = BorrowedSmallIcon(window))
        return DrawSmallIcon(hdc, point, icon);
    char path[kModulePathSize] = {};
    HMODULE module = reinterpret_cast<HMODULE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    if (!GetModuleFileNameA(module, path, kModulePathSize))
        return FALSE;
    // An extracted icon is ours and is destroyed after drawing.
    OwnedIcon extracted;
    const UINT count = ExtractIconExA(path, 0, nullptr, extracted.Put(), 1);
    if (!extracted.Get())
        return static_cast<BOOL>(count);
    return DrawSmallIcon(hdc, point, extracted.Get());
}

const char* GetMenuItemText(HMENU menu, UINT item, bool byPosition)
{
    static char text[kMenuTextSize];
    std::memset(text, 0, sizeof text);
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = kMenuTextSize;
    GetMenuItemInfoA(menu, item, byPosition, &info);
    // Terminated whatever the item held.
    text[kMenuTextSize - 1] = '\0';
    return text;
}

WindowText MenuItemTextW(HMENU menu, UINT position)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info) || !info.cch)
        return WindowText(std::wstring());
    TextBuffer text(true, info.cch + 1);
    info.dwTypeData = text.Address<wchar_t>();
    info.cch = static_cast<UINT>(text.Chars());
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return text.Text();
}

std::wstring WideFromAnsi(const char* text)
{
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 1)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], size);
    wide.resize(static_cast<size_t>(size) - 1);
    return wide;
}

void SetUiStateQuery(UiStateQuery query)
{
    g_uiStateQuery = query ? query : SystemUiState;
}

KeyboardCues KeyboardCuesOf(HWND window)
{
    const LRESULT hidden = g_uiStateQuery(window);
    KeyboardCues cues;
    cues.underlines = !(hidden & UISF_HIDEACCEL);
    cues.focus = !(hidden & UISF_HIDEFOCUS);
    return cues;
}

void DrawFocusCue(HDC hdc, HWND window, const RECT& rect)
{
    if (KeyboardCuesOf(window).focus)
        DrawFocusRect(hdc, &rect);
}
