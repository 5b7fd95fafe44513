// A skinned test window for the frame-element tests: a small skin built
// from source text with one bitmap of flat colours, made current in the
// skin manager, and a plain top-level window bound to its frame object.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/SkinnedWindow.h"
#include "windows/CaptionButton.h"
#include "core/FrameElement.h"
#include "windows/FrameLabel.h"

class FrameLabelSkin;
class Surface;

// The flat colours of the test bitmap, one 10 x 10 cell each; every cell's
// top-left 3 x 3 corner is the key colour.
namespace ElementColours {
const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kIdle = RGB(30, 60, 90);
const COLORREF kHot = RGB(40, 160, 40);
const COLORREF kPressed = RGB(160, 40, 40);
const COLORREF kDisabled = RGB(128, 128, 128);
const COLORREF kRestore = RGB(200, 180, 20);
const COLORREF kLabel = RGB(20, 180, 200);
const COLORREF kBackground = RGB(250, 250, 240);
}  // namespace ElementColours

const int kCellSize = 10;
const int kKeyCorner = 3;
// The frame's design size.
const int kDesignWidth = 200;
const int kDesignHeight = 100;

class ElementTestWindow {
public:
    // Makes the test skin current, with or without the SkinInfo
    // transparency switch, and binds a new window to its frame. Only tests
    // that read the screen show it: Wine without a window manager waits two
    // seconds for a shown window to go away. A Unicode window is made of a
    // class registered with the Unicode call.
    explicit ElementTestWindow(bool transparency = true, bool shown = false, bool unicode = false);
    ~ElementTestWindow();

    ElementTestWindow(const ElementTestWindow&) = delete;
    ElementTestWindow& operator=(const ElementTestWindow&) = delete;

    HWND Window() const { return window_; }
    SkinnedWindow& Skin() { return skin_; }
    // The element made from the child object of that name, or null.
    FrameElement* Element(const char* name) const;
    CaptionButton* Button(const char* name) const;
    FrameLabel* Label(const char* name) const;
    FrameLabelSkin* LabelSkin(const char* name) const;
    // Binds the skin object again, which rebuilds every element.
    void Rebind();
    // Marks the window maximised (WS_MAXIMIZE), minimised (WS_MINIMIZE) or
    // neither, as IsZoomed and IsIconic report it, without showing it: a
    // shown maximised window would cover the windows of the tests that run
    // beside these on the same desktop.
    void MarkState(DWORD stateBits);
    // Gives the window that size; the elements follow at the next pass.
    void Resize(int width, int height);
    // The owner's element pass: every element laid out for the window's
    // size, the shown ones drawn into `surface`.
    void DrawElements(Surface& surface);
    // The messages of that kind posted to the window, taken from the queue.
    std::vector<MSG> TakePosted(UINT message);
    // What the window shows at a window point, read from its window DC.
    COLORREF PixelOnScreen(int x, int y) const;
    // Clicks (down and up) at a window point through the element handlers.
    void Click(int x, int y);

private:
    HWND window_ = nullptr;
    SkinnedWindow skin_;
};

// What the test window's own procedure saw of WM_DRAWITEM. It answers by
// filling the item's rectangle with kOwnerFill and leaves a brush of its
// own selected in the DC, as careless owners do.
struct DrawItemRecord {
    int count = 0;
    WPARAM wParam = 0;
    DRAWITEMSTRUCT item = {};
};
const COLORREF kOwnerFill = RGB(5, 100, 5);
DrawItemRecord& LastDrawItem();

// Draws the element into the surface and checks that the surface's DC was
// left as found.
void DrawChecked(FrameElement& element, Surface& surface);

// Dispatches the thread's messages for `milliseconds`.
void PumpFor(DWORD milliseconds);
