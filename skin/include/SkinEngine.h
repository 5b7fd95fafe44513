// The skinning engine's public interface: everything the application calls.
#pragma once

#include <windows.h>

// Installs the engine's thread-local hooks for the calling thread.
BOOL EngineStart(HINSTANCE instance);
// Removes what EngineStart installed for the calling thread.
void EngineStop();
// Loads the compressed skin stored as a resource of the module.
BOOL LoadSkinFromResource(HINSTANCE instance, LPCSTR name, LPCSTR type);
// Names the skin object every dialog box is drawn with.
void SetDialogSkinName(LPCSTR objectName);
// Binds a top-level window to the skin object of that name.
BOOL SetWindowSkin(HWND window, LPCSTR objectName);
