// The background toolbars and docking control bars share: the main frame
// image of their skin object, drawn straight for a horizontal bar and
// turned for a bar docked at the left or right.
#pragma once

#include <windows.h>

class ControlSkinBase;
class ImageSource;

// Whether a docking bar of `style` stands upright (docked left or right).
bool IsUprightBarStyle(LONG_PTR style);

// The background over `area`: the main frame image drawn straight (or,
// for an upright bar, drawn for the bar laid flat and turned by 270
// degrees), the object's back colour where an image is missing.
void DrawBarBackground(HDC hdc, const RECT& area, const ControlSkinBase& skin, const ImageSource& images, bool upright);
