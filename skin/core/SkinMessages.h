// The engine's private window messages. Their numbers are fixed: skinned
// windows of one thread send and post them to each other.
#pragma once

#include <windows.h>

enum SkinMessage : UINT {
    WM_SKIN_MENUCLICK = 6024,       // 6024 left, 6025 right button outside the open menus; lParam screen point
    WM_SKIN_MENUMOUSEMOVE = 6026,   // lParam screen point
    WM_SKIN_MENUCLOSED = 6027,      // a popup-menu tracking ended
    WM_SKIN_MDICHILDGONE = 6028,    // lParam: the child's last RECT in its parent's client coordinates
    WM_SKIN_ENABLESCROLLBARS = 6029,  // posted by a scrolling control's skin to itself: put on the skin's bars
    WM_SKIN_DEFERREDINIT = 6030,    // a control skin posts it to itself at attach: read the control's state
    WM_SKIN_READPROGRESS = 6031,    // posted by a progress skin to itself: take over the control's state
    WM_SKIN_CLOSESUBMENU = 6032,
    WM_SKIN_MENUCOMMAND = 6033,
    WM_SKIN_CHILDDETACHED = 6035,   // wParam: the child whose skin went away
    WM_SKIN_MENUKEY = 6036,         // wParam virtual key, lParam key flags; non-zero answer: key used
    WM_SKIN_PAINTBKGND = 6037,      // wParam HDC, lParam the child to paint the background for
    WM_SKIN_SAVEFONT = 6038,
};
