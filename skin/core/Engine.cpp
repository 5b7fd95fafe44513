#include "SkinEngine.h"

// The engine's window side arrives in later work; until then every entry
// point succeeds without effect so the application runs with plain windows.

BOOL EngineStart(HINSTANCE) { return TRUE; }

void EngineStop() {}

BOOL LoadSkinFromResource(HINSTANCE, LPCSTR, LPCSTR) { return FALSE; }

void SetDialogSkinName(LPCSTR) {}

BOOL SetWindowSkin(HWND, LPCSTR) { return FALSE; }
