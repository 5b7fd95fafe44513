// Controls that show a client area inside a border, with scroll bars:
// edits, list boxes, list views, tree views and IP address controls. The
// system keeps painting text, items and selection; the skin gives the
// border, the background image behind whatever the control paints in the
// window colour, its own non-client scroll bars, and lets the system
// scroll out of sight before the control is repainted once.
#pragma once

#include "controls/SkinnedControl.h"

#include <cstddef>

class ClientEdgeSkin;

class SkinnedScrollControl : public SkinnedControl {
public:
    // How a member lets the system handle one message without showing its
    // intermediate painting.
    enum Hide { HideNever, HideAlways, HideWithButton, HideUnlessWindows98 };
    enum After {
        AfterNothing,
        AfterRedrawIfMoved,    // one full repaint when the position or the current item changed
        AfterRedraw,           // one full repaint
        AfterUpdate,           // the client repainted
        AfterUpdateWithButton  // the client repainted while the left button is down
    };
    static const int kNoBar = -1;
    struct QuietRule {
        UINT message;
        Hide hide;
        int bar;  // SB_HORZ, SB_VERT or kNoBar: the bar whose position tells a move
        After after;
    };
    struct QuietRules {
        const QuietRule* rules;
        size_t count;
    };

    using SkinnedControl::SkinnedControl;

    WNDPROC Attach(HWND hwnd) override;
    void Detach() override;
    SkinObject* SetSkinObject(SkinObject* skinObject) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The client area as the skin shows it: the control's own painting
    // over the skin's background.
    void Paint(HDC hdc) override;

    bool ScrollBarsEnabled() const { return scrollBarsEnabled_; }
    // The border widths the extended style gives a window.
    static SIZE BorderWidths(LONG_PTR exStyle);

protected:
    void OnPaint() override;
    virtual LRESULT OnEraseBackground(HDC hdc);
    virtual LRESULT OnNcPaint(HRGN region);
    virtual LRESULT OnMouseWheel(int keys, int delta, int x, int y);
    virtual LRESULT OnMouseMove(int keys, int x, int y);
    virtual LRESULT OnLButtonUp(int keys, int x, int y);
    virtual LRESULT OnLButtonDown(int keys, int x, int y);
    virtual LRESULT OnLButtonDblClk(int keys, int x, int y);
    virtual LRESULT OnHScroll(int code, int position, HWND bar);
    virtual LRESULT OnVScroll(int code, int position, HWND bar);

    const ClientEdgeSkin* Skin() const;
    // The messages a member lets the system handle out of sight; none for
    // the base.
    virtual QuietRules QuietTable() const { return QuietRules{nullptr, 0}; }
    // The item the keyboard works on and the item selected, so that a key
    // that moves either without scrolling still repaints; zero for members
    // without them.
    struct CurrentItems {
        LRESULT caret;
        LRESULT selected;
    };
    virtual CurrentItems Current() const { return CurrentItems{0, 0}; }
    // Whether the control can come to show a bar: one made with a scroll
    // bar style, or that has one now. A member that shows its bars only
    // once it has something to scroll says so whatever its style.
    virtual bool MayShowScrollBars() const;
    // The message handled by the rule of the member's table for it (or
    // passed on unchanged without one).
    LRESULT Quietly(UINT message, WPARAM wParam, LPARAM lParam);
    int ScrollPosition(int bar) const;

private:
    struct ViewState {
        int position;
        CurrentItems current;
        bool operator!=(const ViewState& other) const
        {
            return position != other.position || current.caret != other.current.caret ||
                   current.selected != other.current.selected;
        }
    };
    const QuietRule* FindQuietRule(UINT message) const;
    ViewState ReadViewState(int bar) const;
    bool HiddenFor(const QuietRule& rule, WPARAM wParam) const;
    void RepaintAfter(const QuietRule& rule, WPARAM wParam, const ViewState& before);
    void OnEnableScrollBars();
    void PaintClientBackground(HDC hdc, const RECT& client) const;
    // The system's non-client pass, kept inside the border (screen
    // coordinates).
    LRESULT PaintInsideBorder(const RECT& inner);

    bool scrollBarsEnabled_ = false;
    bool madeWithScrollBars_ = false;
};
