#include "core/WindowProcedure.h"

WindowProcedure WindowProcedure::Replace(HWND window, WNDPROC ansi, WNDPROC unicode)
{
    const bool isUnicode = IsWindowUnicode(window) != FALSE;
    const LONG_PTR previous = isUnicode ? SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(unicode))
                                        : SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ansi));
    return WindowProcedure(reinterpret_cast<WNDPROC>(previous), isUnicode);
}

bool WindowProcedure::Installed(HWND window, WNDPROC ansi, WNDPROC unicode)
{
    if (IsWindowUnicode(window))
        return GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(unicode);
    return GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ansi);
}

void WindowProcedure::Restore(HWND window) const
{
    if (unicode_)
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure_));
    else
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure_));
}

LRESULT WindowProcedure::Call(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (!procedure_)
        return unicode_ ? DefWindowProcW(window, message, wParam, lParam)
                        : DefWindowProcA(window, message, wParam, lParam);
    return unicode_ ? CallWindowProcW(procedure_, window, message, wParam, lParam)
                    : CallWindowProcA(procedure_, window, message, wParam, lParam);
}
