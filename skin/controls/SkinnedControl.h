// The base of every control skin: binds a child control to its skin object
// (or to the object made for its control id), gives it the skin's font and
// placement when the object asks for them, tracks the pointer for hover
// looks, and paints the control off-screen in one copy.
#pragma once

#include "core/SkinnedWindow.h"
#include "imaging/GdiObject.h"
#include "imaging/WindowText.h"

class ControlSkinBase;

class SkinnedControl : public SkinnedWindow {
public:
    SkinnedControl(int controlType, SkinnedWindow& owner);
    // A control skin no skinned window made (the manager's own toolbars).
    explicit SkinnedControl(int controlType);

    SkinObject* SetSkinObject(SkinObject* skinObject) override;
    void Detach() override;
    WNDPROC Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The whole control into `hdc`, in client coordinates.
    void Paint(HDC hdc) override {}

    bool IsHovered() const { return hovered_; }
    int ControlType() const { return controlType_; }
    const ControlSkinBase* ControlObject() const;

protected:
    virtual void OnPaint();
    virtual void OnMouseLeave();
    // WM_UPDATEUISTATE: the keyboard cues the painters follow changed.
    LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam);
    // What a repaint puts on the off-screen surface (push buttons lay the
    // background behind them first), and the part of the client area it
    // covers: only that part reaches the screen. Null: all of it.
    virtual Region PaintSurface(HDC surface);
    // WM_PAINT through an off-screen surface of the client size.
    void PaintBuffered();
    // The same outside WM_PAINT, straight to the screen.
    void RedrawNow();
    // The whole control composed off-screen; of what it painted, only
    // `area` (client coordinates; null: all of it) is copied to `target`.
    void RenderInto(HDC target, HDC reference, const RECT* area = nullptr);
    // Whether an object given after the attach gives way to the one made
    // for this control id (CONTROLID); the attach always looks for it.
    virtual bool RebindsToSpecificObject() const { return true; }
    void RedrawAttached() override;
    // The skinned background of the window behind the control (a tab page
    // or the parent) for the control's client area.
    void PaintBackgroundBehind(HDC hdc) const;
    // Requests a leave notification while the pointer is over the control;
    // true when the hover flag changed.
    bool TrackHover();
    // The system's own handling with WS_VISIBLE removed, so that it paints
    // nothing; the other style bits it changed are kept.
    LRESULT CallPreviousHidden(UINT message, WPARAM wParam, LPARAM lParam);
    // The font the control was given (WM_GETFONT); null: the system font.
    // Painting reads the control's state, text, font and images from its
    // own procedure (CallPrevious), not through SendMessage: a message sent
    // through the thread's hooks costs a round trip to the wineserver under
    // Wine, and painting asks several.
    HFONT ControlFont() const;
    // The window at the origin and the client area in the same
    // coordinates, for painting the frame around the client.
    void WindowAndClientRects(RECT& window, RECT& client) const;
    // The client area covered by `face` (the system's face colour where a
    // piece is missing).
    void PaintFace(HDC hdc, const FrameImageRef& face) const;
    // The control's font, a transparent background and `colour` for the
    // text drawn next; the caller keeps the DC's state around it.
    void PrepareText(HDC hdc, COLORREF colour) const;
    // The control's text, at most size - 1 units of its character set.
    WindowText ReadText(int size) const;

private:
    SkinObject* FindSpecificObject(HWND window) const;
    // The skin font when the object asks for it, else the saved font back;
    // the placement of a control-specific object. True when moved.
    bool ApplyFontAndPlacement(bool redrawFont);
    // The font of the object in use when it asks for it (AUTOSKINFONT).
    HFONT WantedSkinFont() const;
    // The skin font at once when the control's own is recorded; otherwise
    // asks for the recording first (WM_SKIN_SAVEFONT), which applies it.
    void ApplySkinFont(HFONT font, bool redraw);
    void OnSaveFont();
    bool HasText() const;

    HFONT savedFont_ = nullptr;  // the control's own font, not ours to delete
    bool saveFontPosted_ = false;
    bool skinFontRedraw_ = false;  // what the pending request applies the skin font with
    bool hovered_ = false;
    bool specific_ = false;  // bound to the object made for this control id
    HWND owner_;
    int controlType_;
};
