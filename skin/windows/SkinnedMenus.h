// The engine's replacements for the system's popup menus: context menus
// and the window's system menu, drawn as skinned popup menus.
#pragma once

#include <windows.h>

// Shows `menu` as a skinned popup menu at (x, y) under the TrackPopupMenu
// alignment flags and returns 0 once it closed. The chosen command reaches
// `owner` as a posted WM_SYSCOMMAND (systemMenu) or WM_COMMAND.
int TrackSkinnedPopupMenu(HMENU menu, UINT tpmFlags, int x, int y, HWND owner, bool systemMenu);

// The window's system menu (restore, size, move, minimise, maximise,
// close; next for an MDI child), enabled as the window's state allows,
// shown at the cursor. Returns 0; nothing is shown for a window without a
// system menu.
int TrackSkinnedSystemMenu(HWND window);
