// What the window-side tests share: the engine started on the test thread
// with our default skin (embedded in the test program as in sso.exe), test
// windows, and reading back what a window shows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

class SkinStore;

// Starts the engine for the test thread and loads the default skin once
// per test; stops the engine afterwards.
class SkinnedWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A plain top-level window (WS_OVERLAPPEDWINDOW unless told), shown,
    // not yet skinned; destroyed by TearDown when still there.
    HWND CreateFrame(DWORD style = WS_OVERLAPPEDWINDOW, int width = 400, int height = 300, HMENU menu = nullptr);
    // CreateFrame, then bound to "MainFrame".
    HWND CreateSkinnedFrame(DWORD style = WS_OVERLAPPEDWINDOW, int width = 400, int height = 300,
                            HMENU menu = nullptr);

    std::vector<HWND> windows_;
};

// The compiled default skin, as the program embeds it.
std::vector<BYTE> DefaultSkinBytes();
// A store loaded from the default skin.
SkinStore& DefaultStore();

// The window's whole image (non-client area included) as 0x00RRGGBB
// pixels, top-down, read from the screen after pending messages ran.
struct WindowPixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned> pixels;
    unsigned At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
WindowPixels CaptureWindow(HWND window);

// Draws an image reference of the current skin into a w x h picture.
WindowPixels RenderPiece(const struct ImageRef& ref, int width, int height, COLORREF fallback);

// Messages of the test thread's windows, with a short wait for anything
// the system delivers late (X events).
void PumpFor(DWORD milliseconds);
