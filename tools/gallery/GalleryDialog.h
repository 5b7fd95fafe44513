// The gallery dialog: every control family the engine skins, in every
// state, at a fixed place on the screen.
#pragma once

#include <windows.h>

// Where the gallery opens, so that scripts capture the same area each time.
const int kGalleryX = 0;
const int kGalleryY = 0;

// The dialog, modeless, shown; null when it cannot be made. The module
// must hold the gallery's resources and the program's.
HWND CreateGalleryDialog(HINSTANCE module);
// The dialog, modal, until it is closed.
INT_PTR RunGalleryDialog(HINSTANCE module);
// The program's about box, modal, at the gallery's place.
INT_PTR RunAboutBox(HINSTANCE module);
