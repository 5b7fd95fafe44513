// Elements placed on a skinned window's frame (from the child objects of
// its skin object): the plain picture of type 22 is this class itself;
// caption buttons and labels (skin/windows) derive from it. The skinned
// window deals with its elements only through these operations.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/SkinBoundObject.h"

class ButtonPartBase;
class SkinnedWindow;

class FrameElement : public SkinBoundObject {
public:
    // Show codes: when an element is drawn and hit.
    enum ShowCode { ShowAlways, ShowMinimised, ShowNotMinimised, ShowMaximised, ShowNotMaximised,
                    ShowActive, ShowInactive, ShowEnabled, ShowDisabled };

    // `placement` is the element's design rectangle in window coordinates.
    FrameElement(const RECT& placement, SkinnedWindow& owner);

    void Paint(HDC hdc) override { Draw(hdc); }
    virtual void Draw(HDC hdc);
    SkinObject* SetSkinObject(SkinObject* skinObject) override;
    ~FrameElement() override;
    // Stores the flag and redraws the element at once through the owner's
    // window DC.
    virtual void SetEnabled(bool enabled);
    virtual void OnRButtonUp(int x, int y);
    virtual void OnRButtonDown(int x, int y);
    virtual void OnMouseMove(int x, int y);
    virtual void OnLButtonUp(int x, int y);
    virtual void OnLButtonDown(int x, int y);
    virtual void OnLButtonDblClk(int x, int y);
    // Window-relative point.
    virtual bool HitTest(int x, int y);
    // Fits the element to a window rectangle at the origin.
    virtual void Layout(int left, int top, int right, int bottom);
    // Enables what the window's style allows (caption buttons).
    virtual void EnableForStyle(DWORD style) {}
    // Labels mark areas for hit testing and shape the window; they take no
    // clicks of their own.
    virtual bool IsLabel() const { return false; }
    // The non-client hit-test code the element stands for, 0 for none.
    virtual int HitCode() const { return 0; }
    // Whether the element shows the window text (the frame then draws no
    // caption text of its own).
    virtual bool ShowsWindowText() const { return false; }
    // Joins the element's shape into the window region `region`.
    virtual void JoinRegion(HRGN region) const {}

    // WM_MOUSEMOVE, WM_[LR]BUTTON{DOWN,UP}, WM_LBUTTONDBLCLK to the handlers.
    void DispatchMouse(UINT message, int x, int y);
    // The show code against the owner window's state.
    bool IsVisible() const;
    bool IsEnabled() const { return enabled_; }
    const RECT& Rect() const { return rect_; }
    const RECT& Placement() const { return placement_; }
    SkinnedWindow& Owner() const { return owner_; }
    const ButtonPartBase* Part() const;

protected:
    // Draws the element through the owner's window DC now, when it is shown.
    void Redraw();
    // The size the owner's frame was designed for (the far corner of its
    // bottom-right piece); false unless the owner's skin object is a frame
    // of type `frameType` (0: any frame).
    bool OwnerDesignSize(int32_t frameType, SIZE& size) const;

    bool enabled_ = true;
    RECT rect_;
    RECT placement_;
    SkinnedWindow& owner_;
};
