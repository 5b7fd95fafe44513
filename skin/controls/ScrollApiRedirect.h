// Process-wide redirection of the system's scroll functions, so that the
// self-drawn scroll bars also see the calls the system's own controls
// (list box, edit, list view, tree view) make on themselves: the start of
// each of the eight user32 functions, and of the three win32u entries
// that the user32 controls call directly, jumps to a dispatcher of ours
// that hands a served window to the replacement and any other window to
// the system's code.
#pragma once

#include <windows.h>

#include "controls/CodePatch.h"

// The eight scroll functions with the user32 signatures.
struct ScrollFunctions {
    BOOL(WINAPI* enableScrollBar)(HWND, UINT, UINT);
    BOOL(WINAPI* getScrollInfo)(HWND, int, LPSCROLLINFO);
    int(WINAPI* getScrollPos)(HWND, int);
    BOOL(WINAPI* getScrollRange)(HWND, int, LPINT, LPINT);
    int(WINAPI* setScrollInfo)(HWND, int, LPCSCROLLINFO, BOOL);
    int(WINAPI* setScrollPos)(HWND, int, int, BOOL);
    BOOL(WINAPI* setScrollRange)(HWND, int, int, int, BOOL);
    BOOL(WINAPI* showScrollBar)(HWND, int, BOOL);
};

// Which windows the replacements serve: a process-local answer that must
// agree with "the window has the property kNcScrollProperty"; null means
// ask GetPropA. It runs on every scroll call of the process, so it must be
// cheap and callable from any thread.
using ServesWindow = bool (*)(HWND);

// Patches the eight user32 functions (in the order of ScrollFunctions),
// then the win32u entries NtUserSetScrollInfo, NtUserShowScrollBar and
// NtUserEnableScrollBar where win32u exists. 0 on Windows 9x, else 1,
// whatever each patch did (see ScrollApiRedirect_Status). While installed,
// a second call changes nothing. Called inside the engine lock at the
// first engine start; null members of `replacements` leave every window
// with the system's function.
int ScrollApiRedirect_Install(const ScrollFunctions& replacements, ServesWindow serves);
// Puts back every byte the install changed. 0 on Windows 9x, else 1; a
// patch that is no longer as installed stays, with the last error set.
int ScrollApiRedirect_Remove();

const int kRedirectedFunctionCount = 11;

struct RedirectedFunction {
    const char* module;
    const char* name;
    PatchResult result;
    const void* target;  // the code patched or refused; null when not found
};

// What the last install did, per function.
struct RedirectStatus {
    bool installed;
    RedirectedFunction functions[kRedirectedFunctionCount];
};
const RedirectStatus& ScrollApiRedirect_Status();

// The system's own functions, callable before, during and after the
// redirection; a served window reaches the system through them too.
const ScrollFunctions& SystemScrollFunctions();
