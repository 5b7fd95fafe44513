// The class of the running Windows version, as the painters distinguish
// them.
#pragma once

enum WindowsVersionClass {
    WindowsWin32s = 0,      // Win32s / Windows 3.x
    WindowsNtOther = 1,     // NT family not named below (Server 2003, Vista and later)
    Windows95Family = 2,    // Windows 95 family not named below
    Windows98 = 3,          // 4.10
    WindowsMe = 4,          // 4.90
    WindowsNt4 = 5,
    Windows2000 = 6,        // 5.0
    WindowsXp = 7,          // 5.1
};

// The class of a version number on the NT family or on the 95 family.
WindowsVersionClass ClassifyWindowsVersion(bool ntFamily, unsigned major, unsigned minor);

// The class of the running system.
WindowsVersionClass GetWindowsVersionClass();
