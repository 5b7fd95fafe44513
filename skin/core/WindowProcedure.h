// A window procedure replaced by a subclass, kept with the character set
// it is called in. A window is subclassed in its own character set: an
// ANSI subclass turns a Unicode window into an ANSI one, and every text
// its application gives it then passes through the code page.
#pragma once

#include <windows.h>

class WindowProcedure {
public:
    WindowProcedure() = default;
    // A procedure a subclass kept elsewhere (a window property), with the
    // character set it was replaced in.
    WindowProcedure(WNDPROC procedure, bool unicode) : procedure_(procedure), unicode_(unicode) {}

    // Puts `ansi` or `unicode`, as `window` is, in place of its procedure;
    // the result is the procedure replaced, empty when that failed.
    static WindowProcedure Replace(HWND window, WNDPROC ansi, WNDPROC unicode);
    // Whether `window`'s procedure is still the one Replace put there: read
    // in the other character set, the system answers a translating handle.
    static bool Installed(HWND window, WNDPROC ansi, WNDPROC unicode);
    // This procedure made `window`'s again.
    void Restore(HWND window) const;
    // The message in the character set the subclass received it in; the
    // default procedure when empty.
    LRESULT Call(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

    explicit operator bool() const { return procedure_ != nullptr; }
    WNDPROC Get() const { return procedure_; }
    bool Unicode() const { return unicode_; }

private:
    WNDPROC procedure_ = nullptr;
    bool unicode_ = false;
};

// The default procedure of a subclass entry point that receives messages
// in the given character set.
template <bool Unicode>
LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Unicode ? DefWindowProcW(window, message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}
