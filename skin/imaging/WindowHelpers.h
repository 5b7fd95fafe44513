// Small window-side helpers of the painters: rectangle conversions, the
// window's small icon, menu item texts, keyboard cues.
#pragma once

#include <windows.h>

#include "imaging/WindowText.h"

#include <string>

// Both corners converted in place.
void ScreenToClientRect(HWND window, RECT& rect);
void ClientToScreenRect(HWND window, RECT& rect);

// Draws the window's small icon, 16 x 16, at `point`: the window's small
// or big icon, else its class's small icon, else the first small icon of
// the module that owns the window. Returns DrawIconEx's result, or 0 when
// the window has no icon at all.
BOOL DrawWindowSmallIcon(HWND window, HDC hdc, POINT point);

// The text of a menu item, by position or by command. The buffer is
// shared by all callers and overwritten by the next call.
const char* GetMenuItemText(HMENU menu, UINT item, bool byPosition);
// The text of the menu item at `position` as a Unicode caller reads it.
WindowText MenuItemTextW(HMENU menu, UINT position);

// An ANSI text in Unicode, converted as the system converts what an ANSI
// caller gives a Unicode window.
std::wstring WideFromAnsi(const char* text);

// What the window's UI state lets a painter show: until the keyboard is
// used the system hides mnemonic underlines and focus rectangles
// (UISF_HIDEACCEL, UISF_HIDEFOCUS), and so must every skinned painter.
struct KeyboardCues {
    bool underlines = true;
    bool focus = true;
    // Added to a DrawText format that processes prefixes.
    UINT PrefixFormat() const { return underlines ? 0 : DT_HIDEPREFIX; }
};
KeyboardCues KeyboardCuesOf(HWND window);
// Answers for the system which cues a window hides (UISF_* bits): a test's
// stand-in where the system keeps no UI state (Wine 8 answers 0 always).
// Null puts the system's answer back.
using UiStateQuery = LRESULT (*)(HWND window);
void SetUiStateQuery(UiStateQuery query);
// Runs `pass`, the handling of WM_UPDATEUISTATE below the skin, and tells
// whether it changed the window's UI state: the skin repaints then.
template <typename Pass>
bool ChangesKeyboardCues(HWND window, Pass&& pass)
{
    const LRESULT before = DefWindowProcA(window, WM_QUERYUISTATE, 0, 0);
    pass();
    return IsWindow(window) && DefWindowProcA(window, WM_QUERYUISTATE, 0, 0) != before;
}
// The system's focus rectangle around `rect`, unless the window's UI state
// hides focus.
void DrawFocusCue(HDC hdc, HWND window, const RECT& rect);
