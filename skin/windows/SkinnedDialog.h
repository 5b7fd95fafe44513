// The skinned dialog box: a framed dialog gets the skinned non-client
// area like a frame (without a menu bar); every dialog gets its client
// background from the skin.
#pragma once

#include <map>

#include "core/SkinnedWindow.h"
#include "imaging/GdiObject.h"
#include "windows/ClientBackground.h"

class SkinnedDialog : public SkinnedWindow {
public:
    SkinObject* SetSkinObject(SkinObject* skinObject) override;
    void Detach() override;
    WNDPROC Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawCaptionText(HDC hdc, bool active) override;

    int NcHitTest(int x, int y);
    bool EraseClientBackground(HDC hdc);

private:
    bool IsFramed() const;
    void DropClientBackground() override;
    LRESULT FramedWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PlainWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Messages both kinds of dialog answer alike; false for the others.
    bool CommonMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT OnCtlColorUnskinned(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintNonClient(WPARAM region);
    void ResizeForFrame();
    bool IsMaximised() const { return IsZoomed(window_) != FALSE; }

    // The background behind an unskinned child as a brush for its colour
    // requests, made for the place the child has.
    HBRUSH BackgroundBrushFor(HWND child);
    // The client background made again for a client of that size; the
    // children's brushes, cut from the old one, go with it.
    void RebuildBackground(int width, int height);

    struct ChildBrush {
        RECT place;  // the child's client area in the dialog's client
        Bitmap picture;
        Brush brush;
    };

    ClientBackground background_;
    std::map<HWND, ChildBrush> childBrushes_;
};
