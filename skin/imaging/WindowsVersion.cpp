#include "imaging/WindowsVersion.h"

#include <windows.h>

WindowsVersionClass ClassifyWindowsVersion(bool ntFamily, unsigned major, unsigned minor)
{
    if (ntFamily) {
        if (major == 4)
            return WindowsNt4;
        if (major == 5 && minor == 0)
            return Windows2000;
        if (major == 5 && minor == 1)
            return WindowsXp;
        return WindowsNtOther;
    }
    if (major < 4)
        return WindowsWin32s;
    if (major == 4 && minor == 10)
        return Windows98;
    if (major == 4 && minor == 90)
        return WindowsMe;
    return Windows95Family;
}

WindowsVersionClass GetWindowsVersionClass()
{
    const DWORD version = GetVersion();
    const bool ntFamily = (version & 0x80000000u) == 0;
    const unsigned major = LOBYTE(LOWORD(version));
    // Win32s answers GetVersion only.
    if (!ntFamily && major < 4)
        return WindowsWin32s;
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info))
        return ntFamily ? WindowsNtOther : Windows95Family;
    return ClassifyWindowsVersion(ntFamily, info.dwMajorVersion, info.dwMinorVersion);
}
