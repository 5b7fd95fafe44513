// Self-drawn non-client scroll bars: a window subclass that keeps both
// scroll bars' state in a record of its own (under the window property
// "CoolSBSubclassPtr"), reserves their room, hit-tests, paints them from
// the skin's scroll bar object and tracks the mouse on them, sending
// WM_HSCROLL / WM_VSCROLL as the system's bars would. The eight
// replacements of the user32 scroll functions serve windows carrying the
// property from that record and pass any other window to the system.
#pragma once

#include <windows.h>

#include "imaging/WindowsVersion.h"

// The property whose presence marks a window served by these bars.
extern const char kNcScrollProperty[];

// Engine operations; `bar` is SB_HORZ, SB_VERT or SB_BOTH.
int NcScroll_Install(HWND window);
HRESULT NcScroll_Remove(HWND window);
int NcScroll_SetSize(HWND window, int bar, int length, int thickness);
int NcScroll_SetStyle(HWND window, int bar, int look);
int NcScroll_SetMinThumbSize(HWND window, int bar, int size);
int NcScroll_IsThumbTracking(HWND window);
// Whether the bars serve the window: the same answer as the property's
// presence, without asking the system for it.
bool NcScroll_ServesWindow(HWND window);

// Whether the system lets the bars be installed: on NT 4, 2000 and XP, and
// on later NT versions where the scroll functions were redirected (without
// the redirection the system's own controls would never tell the bars of
// their scrolling). Never on the 95 family.
bool NcScrollBarsAllowed(WindowsVersionClass version, bool redirected);
// What the engine's start found of that; installing refuses otherwise.
void NcScroll_SetSystemSupport(bool allowed);
// The bars of a skinned window, once, when the system allows them and the
// skin has a scroll bar object: hot-tracked, sized from the skin's arrow
// and thumb. True when installed now.
bool EnableSkinScrollBars(HWND window);
// Whether the window has a scroll bar or a scroll range: a window whose
// range left no room for a page has its bar hidden by the system, and the
// bar comes back with a longer range.
bool UsesScrollBars(HWND window);
// The sizes again, from the current skin (after a skin change).
void SizeSkinScrollBars(HWND window);

// The replacements, with the user32 functions' arguments and results.
BOOL WINAPI NcScroll_EnableScrollBar(HWND window, UINT bar, UINT arrows);
BOOL WINAPI NcScroll_GetScrollInfo(HWND window, int bar, LPSCROLLINFO info);
int WINAPI NcScroll_GetScrollPos(HWND window, int bar);
BOOL WINAPI NcScroll_GetScrollRange(HWND window, int bar, LPINT minPos, LPINT maxPos);
int WINAPI NcScroll_SetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw);
int WINAPI NcScroll_SetScrollPos(HWND window, int bar, int pos, BOOL redraw);
BOOL WINAPI NcScroll_SetScrollRange(HWND window, int bar, int minPos, int maxPos, BOOL redraw);
BOOL WINAPI NcScroll_ShowScrollBar(HWND window, int bar, BOOL show);
