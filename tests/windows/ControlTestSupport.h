// What the control-skin tests share: a skinned frame to put controls on,
// the skin's looks rendered for comparison, and pixel checks.
#pragma once

#include "WindowTestSupport.h"

#include "imaging/ImageRef.h"

class ControlTest : public SkinnedWindowTest {
protected:
    // A skinned frame, made on first use; controls created on it are
    // skinned as they are created.
    HWND Frame();
    HWND AddControl(const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                    int id = 100);
    // The frame's client background where `control` lies, as the skin
    // paints it (asked of the frame's skin like every control does).
    WindowPixels BackgroundBehind(HWND control);

private:
    HWND frame_ = nullptr;
};

// A framed image of the current skin drawn over width x height, every
// piece present (fallback fill for missing ones).
WindowPixels RenderFrameImage(const FrameImageRef& ref, int width, int height, COLORREF fallback,
                              const SkinStore& store = DefaultStore());

// `shown` at (x0, y0) against `expected`, skipping the expected picture's
// key-colour pixels; with band > 0 only pixels within band of its edges.
testing::AssertionResult ShowsPicture(const WindowPixels& shown, int x0, int y0, const WindowPixels& expected,
                                      int band = 0);
// Pixels of `shown` in the rectangle that differ from `background`, which
// covers the same area.
int PixelsDifferingIn(const WindowPixels& shown, const RECT& area, const WindowPixels& background);
// Free GDI handles beside the copies drawing keeps of the skin's bitmaps,
// as many as what it drew last needed (the store frees them when it
// goes): only what is left beside them counts in a leak test.
int HeadroomBesideCopies();
// What a leak would change, counted once the pending messages ran: the
// thread's windows (a dropped list is a window of its own), USER objects
// (a stub answering 0 under Wine, counted on Windows), the skinned windows
// and the free GDI handles beside the drawing copies.
struct LeakCounts {
    int threadWindows = 0;
    DWORD userObjects = 0;
    size_t skinned = 0;
    int gdiHeadroom = 0;
};
LeakCounts CountLeakables();
// `now` against `start`, with up to `slack` GDI handles fewer free.
testing::AssertionResult NothingLeaked(const LeakCounts& start, const LeakCounts& now, int slack);
// The control's skin painted into a memory DC of that size whose colours,
// mode and font are not the defaults: the DC must come back as it went in.
testing::AssertionResult PaintLeavesDcAsFound(HWND control, int width, int height);
// Loads a compiled skin as the program's resource would be.
bool SwitchSkin(const std::vector<BYTE>& skin);
