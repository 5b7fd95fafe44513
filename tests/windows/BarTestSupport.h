// What the bar tests share: bars of every family on a skinned frame, the
// framework's docking-bar classes registered under their names, and
// pictures painted by a skin or rendered from its pieces.
#pragma once

#include "ControlTestSupport.h"

#include <commctrl.h>

#include <functional>
#include <vector>

class ControlSkinBase;

// The framework's docking styles.
const DWORD kAlignLeft = 0x1000;
const DWORD kAlignTop = 0x2000;
const DWORD kAlignRight = 0x4000;
const DWORD kAlignBottom = 0x8000;
const int kFirstButton = 200;  // command ids count up from here
const int kIconSize = 16;

class BarTest : public ControlTest {
protected:
    static void SetUpTestSuite();
    void TearDown() override;

    // A bar of `className` on the skinned frame.
    HWND AddBar(const char* className, DWORD style, int x = 10, int y = 10, int width = 360, int height = 30);
    // A toolbar of `buttons` buttons (ids from kFirstButton) without text
    // unless given; the first has `firstStyle`; with `icons` every button
    // shows a red square of kIconSize.
    HWND AddToolbar(HWND parent, DWORD style, BYTE firstStyle = BTNS_BUTTON, bool icons = false,
                    const char* text = nullptr, int buttons = 2);
    // A window of the framework's docking-bar class `className`: upright
    // (40 x 200) when aligned left or right, else lying (300 x 40).
    HWND AddControlBar(HWND parent, const char* className, DWORD align);

    std::vector<HIMAGELIST> imageLists_;
};

RECT ClientOf(HWND window);
RECT ItemRect(HWND toolbar, int index);
// 0x00RRGGBB of a COLORREF, as WindowPixels hold them.
unsigned PixelOf(COLORREF colour);
// A width x height picture drawn by `draw` into a memory DC.
WindowPixels RenderWith(int width, int height, const std::function<void(HDC)>& draw);
// What `skin` paints over `client` into a memory DC, which it must hand
// back as it found it.
WindowPixels PaintedBy(SkinnedWindow& skin, const RECT& client);
// The client area of a window as the screen shows it now, without letting
// any pending message run first.
WindowPixels ClientPixels(HWND window);
// The bounding box, within `area`, of the pixels equal to `pixel`.
RECT BoundsOf(const WindowPixels& shown, const RECT& area, unsigned pixel);
// The bounding box, within `area`, of the pixels that differ from
// `expected` (a picture of the area's size).
RECT BoundsDifferingFrom(const WindowPixels& shown, const RECT& area, const WindowPixels& expected);
// The toolbar object's background over `client`, straight or turned by
// 270 degrees, worked out pixel by pixel from the picture laid flat.
WindowPixels BarBackground(const ControlSkinBase& skin, const RECT& client, bool turned);
int TextHeight(HWND control, const char* text);
