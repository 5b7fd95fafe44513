// What the accessibility tests ask an accessible object with, as a
// screen reader asks it.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

inline VARIANT ChildId(long id)
{
    VARIANT child = {};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// The text of an answer (empty for none); the string is freed.
inline std::wstring TakeText(BSTR text)
{
    std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return result;
}

// The object of a window as AccessibleObjectFromWindow gives it, or null.
inline IAccessible* AccessibleOf(HWND window, LONG objectId)
{
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, objectId, __uuidof(IAccessible), reinterpret_cast<void**>(&object))))
        return nullptr;
    return object;
}
