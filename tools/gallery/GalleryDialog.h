// The gallery: every control family the engine skins, in every state, on
// pages of their own (one dialog each), at a fixed place on the screen.
#pragma once

#include <windows.h>

// Where the gallery opens, so that scripts capture the same area each time.
const int kGalleryX = 0;
const int kGalleryY = 0;

// One page: a dialog template of the gallery's resources and what sets its
// controls' states once they exist (null: nothing to set). Pages own what
// they give their controls through their cleanup.
struct GalleryPage {
    const char* name;  // --show=NAME
    int dialogId;
    void (*init)(HWND dialog);
    void (*cleanup)(HWND dialog);
};

// Every page, the first being the buttons and statics page "gallery".
const GalleryPage* GalleryPages(int& count);
// The page of that name, or null.
const GalleryPage* FindGalleryPage(const char* name);

// A page, modeless, shown; null when it cannot be made. The module must
// hold the gallery's resources and the program's. Without a page: the
// first one.
HWND CreateGalleryDialog(HINSTANCE module, const GalleryPage* page = nullptr);
// A page, modal, until it is closed.
INT_PTR RunGalleryDialog(HINSTANCE module, const GalleryPage* page = nullptr);
// The program's about box, modal, at the gallery's place.
INT_PTR RunAboutBox(HINSTANCE module);
