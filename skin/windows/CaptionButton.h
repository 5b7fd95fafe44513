// A caption button: close, maximise/restore, minimise/restore, system menu,
// window icon, or a button that posts a command; hot while the mouse is
// over it (polled by a 100 ms timer), pressed while held, optionally a
// toggle.
#pragma once

#include "core/SkinnedWindow.h"
#include "imaging/GdiObject.h"
#include "core/FrameElement.h"

class CaptionButtonSkin;
struct ImageRef;

class CaptionButton : public FrameElement, private WindowTimerClient {
public:
    enum State { StateHot = 0, StatePressed = 1, StateIdle = 3 };

    CaptionButton(const RECT& placement, SkinnedWindow& owner);
    ~CaptionButton() override;

    void Draw(HDC hdc) override;
    // Also takes the skin's transparency switch and colour from the owner;
    // with the switch on, the button's region is cut out of its image when
    // a hit test first needs it.
    SkinObject* SetSkinObject(SkinObject* skinObject) override;
    void OnRButtonDown(int x, int y) override;
    void OnMouseMove(int x, int y) override;
    void OnLButtonUp(int x, int y) override;
    void OnLButtonDown(int x, int y) override;
    void OnLButtonDblClk(int x, int y) override;
    bool HitTest(int x, int y) override;
    virtual void OnMouseLeave();
    // Close and system-menu buttons need WS_SYSMENU, maximise buttons
    // WS_MAXIMIZEBOX, minimise buttons WS_MINIMIZEBOX.
    void EnableForStyle(DWORD style) override;

    // The action code of the skin object (CaptionButtonSkin::Action).
    int Action() const;
    // The window command a click sends for the window's state now
    // (SC_CLOSE, SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE), or 0.
    UINT SystemCommand() const;
    int State() const { return state_; }
    // Held down, or checked for a toggle.
    bool IsPressed() const { return pressed_; }
    bool IsTimerRunning() const { return timerRunning_; }
    bool HasRegion() const { return ShapeRegion() != nullptr; }

private:
    void OnTimer() override;
    bool Responds(int x, int y);
    void StartHoverTimer();
    void StopHoverTimer();
    void SetState(int state);
    void Act();
    void ShowSystemMenu();
    HRGN BuildRegion() const;
    HRGN ShapeRegion() const;
    const ImageRef& StateImage(const CaptionButtonSkin& button) const;
    const CaptionButtonSkin* Button() const;

    // Relative to the button's corner; null: the whole rectangle.
    mutable Region region_;
    mutable bool regionCut_ = false;
    COLORREF transparentColour_ = RGB(255, 0, 255);
    bool useTransparency_ = false;
    bool timerRunning_ = false;
    bool pressed_ = false;
    bool armed_ = false;  // the left button went down on this button
    int state_ = StateIdle;
};
