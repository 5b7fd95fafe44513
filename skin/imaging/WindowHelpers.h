// Small window-side helpers of the painters: rectangle conversions, the
// window's small icon, menu item texts.
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
