// Stand-alone scroll bar controls and size grips. The skin keeps its own
// copy of the control's scroll values and answers the scroll bar messages
// from it, tracks the mouse itself (arrows and page areas repeat on a
// timer, the thumb follows the pointer) and tells the parent with
// WM_HSCROLL / WM_VSCROLL as the system's control would. Bars are laid out
// and drawn as horizontal ones; a vertical bar shows that picture turned.
#pragma once

#include "controls/SkinnedControl.h"

class ScrollBarSkin;
struct ScrollBarStateLook;

class SkinnedScrollBar : public SkinnedControl {
public:
    // What lies under a point of the bar.
    enum Part { PartNone, PartArrow1, PartArrow2, PartPageBefore, PartPageAfter, PartThumb };
    // Arrows and page areas repeat their scroll on this timer while held.
    static const UINT_PTR kRepeatTimer = 1000;
    static const UINT kRepeatDelay = 300;

    using SkinnedControl::SkinnedControl;

    WNDPROC Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC hdc) override;

protected:
    void OnMouseLeave() override;

private:
    // The parts in the horizontal frame (a vertical bar's client rectangle
    // with x and y exchanged); the thumb is empty when it does not fit.
    struct Layout {
        RECT arrow1;
        RECT arrow2;
        RECT thumb;
    };

    const ScrollBarSkin* Skin() const;
    bool IsVertical() const;
    bool IsSizeGrip() const;
    // The last position a page leaves to scroll to, as the system's control
    // limits it. The thumb travels from the first position to this one:
    // measured to nMax, a bar scrolled to its end would show its thumb
    // short of the end.
    double LastPosition() const;
    RECT Frame() const;
    POINT ToFrame(LPARAM position) const;
    Layout LayOut(const RECT& frame) const;
    // Where the thumb starts on the track; before trackStart when it does
    // not fit.
    int ThumbLeft(int trackStart, int trackEnd, int length) const;
    int HitTest(POINT point) const;
    int PositionAt(int x) const;
    ScrollBarStateLook CurrentLook(const ScrollBarSkin& skin) const;
    void PaintBar(HDC hdc, const RECT& frame, const ScrollBarSkin& skin) const;

    LRESULT OnDeferredInit();
    LRESULT OnEnable(WPARAM enable);
    LRESULT OnSetScrollInfo(WPARAM redraw, LPARAM lParam);
    LRESULT OnGetScrollInfo(LPARAM lParam) const;
    LRESULT OnSetRange(UINT message, WPARAM wParam, LPARAM lParam);
    void StoreScrollInfo(const SCROLLINFO& given);
    LRESULT OnMouse(UINT message, LPARAM position);
    void OnButtonDown();
    void OnDrag();
    void OnHover();
    void OnButtonUp();
    void OnCaptureLost();
    LRESULT OnRepeat();
    // The parent hears of a scroll; false when the bar went away meanwhile.
    bool Notify(int code, int position);
    // The thumb's position for the pointer, sent with `code`.
    bool NotifyTrack(int code);
    void Repaint();

    bool ready_ = false;  // the scroll values were copied from the control
    SCROLLINFO info_ = {sizeof(SCROLLINFO), 0, 0, 0, 0, 0, 0};
    int part_ = PartNone;  // under the pointer, or pressed while the button is held
    bool pressed_ = false;
    POINT pointer_ = {};  // the last pointer position seen, in the horizontal frame
};
