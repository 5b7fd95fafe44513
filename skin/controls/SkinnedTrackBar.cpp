#include "controls/SkinnedTrackBar.h"

#include "controls/ButtonLayout.h"
#include "data/SkinStore.h"
#include "data/TrackBarSkin.h"
#include "imaging/GdiObject.h"

#include <commctrl.h>

namespace {

RECT Transposed(const RECT& rect)
{
    return RECT{rect.top, rect.left, rect.bottom, rect.right};
}

}  // namespace

const TrackBarSkin* SkinnedTrackBar::Skin() const
{
    return dynamic_cast<const TrackBarSkin*>(skinObject_);
}

RECT SkinnedTrackBar::ChannelInClient(const RECT& reported, bool vertical)
{
    const bool across = reported.right - reported.left > reported.bottom - reported.top;
    return vertical && across ? Transposed(reported) : reported;
}

WNDPROC SkinnedTrackBar::Attach(HWND hwnd)
{
    attachStyle_ = GetWindowLongPtrA(hwnd, GWL_STYLE);
    SetWindowLongPtrA(hwnd, GWL_STYLE, attachStyle_ | TBS_BOTH);
    const WNDPROC previous = SkinnedControl::Attach(hwnd);
    if (!previous)
        SetWindowLongPtrA(hwnd, GWL_STYLE, attachStyle_);
    return previous;
}

void SkinnedTrackBar::Detach()
{
    const HWND window = window_;
    SkinnedControl::Detach();
    if (!window || windowDying_)
        return;
    // Only the bit the skin added goes back: whatever else changed since
    // (disabled, hidden, turned vertical) is the application's.
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    SetWindowLongPtrA(window, GWL_STYLE, (style & ~TBS_BOTH) | (attachStyle_ & TBS_BOTH));
    InvalidateRect(window, nullptr, TRUE);
}

LRESULT SkinnedTrackBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    const bool repaint = message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_LBUTTONDBLCLK ||
                         (message == WM_MOUSEMOVE && !(wParam & MK_LBUTTON));
    if (!repaint)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    const HWND window = window_;
    const LRESULT result = SkinnedControl::WindowProc(message, wParam, lParam);
    if (IsStillSkinOf(window, this)) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    return result;
}

void SkinnedTrackBar::Paint(HDC hdc)
{
    const TrackBarSkin* skin = Skin();
    if (!skin)
        return;
    const bool vertical = (GetWindowLongPtrA(window_, GWL_STYLE) & TBS_VERT) != 0;
    const QuarterTurn turn = vertical ? TurnAnticlockwise : TurnNone;
    RECT client, thumb = {}, channel = {};
    GetClientRect(window_, &client);
    CallPrevious(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    CallPrevious(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    PaintBackground(hdc, client, turn);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    DrawTurned(hdc, ChannelInClient(channel, vertical), turn, [&](HDC surface, const RECT& frame) {
        DrawFrameImage(surface, frame, skin->channel, face, true, Store());
    });
    PaintThumb(hdc, thumb, vertical);
}

void SkinnedTrackBar::PaintBackground(HDC hdc, const RECT& client, QuarterTurn turn) const
{
    const TrackBarSkin& skin = *Skin();
    // What lies behind needs no turn: it is drawn as it lies.
    if (skin.transparent) {
        PaintBackgroundBehind(hdc);
        return;
    }
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    DrawTurned(hdc, client, turn, [&](HDC surface, const RECT& frame) {
        DrawFrameImage(surface, frame, skin.mainImage, face, true, Store());
    });
}

void SkinnedTrackBar::PaintThumb(HDC hdc, const RECT& thumb, bool vertical) const
{
    const TrackBarSkin& skin = *Skin();
    if (!vertical || !IsEmptyImage(skin.verticalThumb)) {
        DrawFrameImageKeyed(hdc, thumb, vertical ? skin.verticalThumb : skin.horizontalThumb, transparentColour_,
                            Store());
        return;
    }
    // No upright thumb in the skin: the lying one, stood up.
    DrawTurnedKeyed(hdc, thumb, TurnAnticlockwise, transparentColour_, [&](HDC surface, const RECT& frame) {
        DrawFrameImage(surface, frame, skin.horizontalThumb, 0, false, Store());
    });
}
