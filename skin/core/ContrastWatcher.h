// A hidden top-level window that hears the system announce a change of
// high contrast or of the system colours. While high contrast is on no
// window of the program is skinned, so no skinned window would hear the
// announcement that it went off: this window always does.
#pragma once

#include <windows.h>

class ContrastWatcher {
public:
    // Creates the window on the calling thread; false when it could not.
    static bool Start(HINSTANCE instance);
    // Destroys the window and its class; only the thread that started it
    // can.
    static void Stop();
    // Null until started.
    static HWND Window();
};
