// The skinned background of a frame's or dialog's client area, kept as a
// ready surface: erasing copies from it, and children draw their
// transparent parts from it.
#pragma once

#include <windows.h>

#include <memory>

#include "imaging/MemoryDC.h"

class SkinnedWindow;

class ClientBackground {
public:
    // Draws the skin's client piece over a new surface of width x height.
    // A stretched piece changes every pixel with the size, so the next
    // erase repaints the whole client area instead of a part of it.
    void Rebuild(const SkinnedWindow& window, int width, int height);
    // Draws the skin's client piece straight into `hdc`, keeping no
    // surface: for a window's first erase after it is shown, where a
    // surface would be made, filled and copied for that one erase.
    void PaintOnce(const SkinnedWindow& window, HDC hdc, int width, int height);
    // Captures what the application's own erase paints instead.
    void Capture(HWND window, int width, int height);
    void Drop()
    {
        surface_.reset();
        paintedOnce_ = {-1, -1};
    }
    bool Exists() const { return surface_ != nullptr; }
    HDC Dc() const { return surface_ ? surface_->Dc() : nullptr; }

    // WM_ERASEBKGND from the surface; true when it answered.
    bool Erase(HWND window, HDC hdc);

private:
    void Create(HWND window, int width, int height);
    // Whether the piece drawn at width x height differs from what the
    // window shows: a stretched piece drawn at another size than the last
    // one painted once.
    bool StretchedAnew(const SkinnedWindow& window, int width, int height) const;
    static void DrawPiece(const SkinnedWindow& window, HDC hdc, int width, int height);

    std::unique_ptr<MemoryDC> surface_;
    bool stretched_ = false;
    SIZE paintedOnce_ = {-1, -1};
};
