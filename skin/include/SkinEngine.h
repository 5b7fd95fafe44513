// The skinning engine's public interface: everything the application calls.
#pragma once

#include <windows.h>

// Installs the engine's thread-local hooks for the calling thread; every
// window the thread creates afterwards is skinned as its class says.
// Starting a started thread again changes nothing.
BOOL EngineStart(HINSTANCE instance);
// Removes what EngineStart installed for the calling thread. Windows that
// still exist keep their skin until they are destroyed.
void EngineStop();
// Loads the compressed skin stored as resource (type, name) of the module
// and makes it the current skin of every skinned window. FALSE (and the
// skin in force unchanged) for a missing resource or a corrupt container.
BOOL LoadSkinFromResource(HINSTANCE instance, LPCSTR name, LPCSTR type);
// The same for a skin container held in memory (a skin file read by the
// caller).
BOOL LoadSkinFromMemory(const void* bytes, DWORD size);
// Names the skin object every dialog box is drawn with (at most 49
// characters are kept). Returns 1.
int SetDialogSkinName(LPCSTR objectName);
// Dialog boxes are no longer skinned as such. Returns 1.
int ClearDialogSkinName();
// Binds a top-level window to the frame skin object of that name.
BOOL SetWindowSkin(HWND window, LPCSTR objectName);
