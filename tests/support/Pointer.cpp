#include "Pointer.h"

namespace {

void DropMouseInput()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
           PeekMessageA(&msg, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {
    }
}

}  // namespace

void PlacePointer(POINT screen)
{
    // Wine warps the X pointer under a grab whose crossing events come
    // back later as moves to where the pointer was. A position query more
    // than 100 ms after a change asks the X server, whose answer follows
    // those events: they are read and dropped, and the position set again.
    POINT now;
    if (GetCursorPos(&now) && now.x == screen.x && now.y == screen.y) {
        DropMouseInput();
        return;
    }
    SetCursorPos(screen.x, screen.y);
    Sleep(110);
    POINT asked;
    GetCursorPos(&asked);
    DropMouseInput();
    SetCursorPos(screen.x, screen.y);
    DropMouseInput();
}
