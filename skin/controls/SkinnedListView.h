// List views: the skin's colours given to the control, which paints
// itself; the border and the skin's scroll bars; scrolling out of sight.
#pragma once

#include "controls/SkinnedScrollControl.h"

class SkinnedListView : public SkinnedScrollControl {
public:
    using SkinnedScrollControl::SkinnedScrollControl;

    // Owner-drawn list views are the owner's to paint: refused.
    WNDPROC Attach(HWND hwnd) override;
    void Detach() override;
    SkinObject* SetSkinObject(SkinObject* skinObject) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void OnPaint() override;
    LRESULT OnEraseBackground(HDC hdc) override;
    LRESULT OnHScroll(int code, int position, HWND bar) override;
    QuietRules QuietTable() const override;
    CurrentItems Current() const override;
    // Its bars come with its items, whatever its style.
    bool MayShowScrollBars() const override { return true; }

private:
    struct Colours {
        COLORREF back;
        COLORREF textBack;
        COLORREF text;
        bool operator==(const Colours& other) const
        {
            return back == other.back && textBack == other.textBack && text == other.text;
        }
    };
    Colours CurrentColours() const;
    void PostColours();
    LRESULT OnApplyColours();
    static void SendColours(HWND window, const Colours& colours);

    Colours own_ = {};  // the control's colours before the skin's
};
