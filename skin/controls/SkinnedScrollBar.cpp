#include "controls/SkinnedScrollBar.h"

#include "controls/ButtonLayout.h"
#include "core/SkinMessages.h"
#include "data/ScrollBarSkin.h"
#include "data/SkinStore.h"
#include "imaging/DrawUtils.h"
#include "imaging/TurnedDrawing.h"

#include <algorithm>
#include <cmath>

namespace {

// Undocumented: SBM_SETPOS asks with it for the position before the call.
const UINT kReturnPrevious = 0x1000;
// A SCROLLINFO of the oldest layout ends before nTrackPos.
const UINT kShortScrollInfo = sizeof(SCROLLINFO) - sizeof(int);

int SourceWidth(const SourceRect& source)
{
    return source.right - source.left;
}

bool IsRepeatingPart(int part)
{
    return part >= SkinnedScrollBar::PartArrow1 && part <= SkinnedScrollBar::PartPageAfter;
}

int ScrollCodeOf(int part)
{
    switch (part) {
    case SkinnedScrollBar::PartArrow1:
        return SB_LINEUP;
    case SkinnedScrollBar::PartArrow2:
        return SB_LINEDOWN;
    case SkinnedScrollBar::PartPageBefore:
        return SB_PAGEUP;
    default:
        return SB_PAGEDOWN;
    }
}

bool Between(int value, int from, int to)
{
    return value >= from && value < to;
}

}  // namespace

const ScrollBarSkin* SkinnedScrollBar::Skin() const
{
    return dynamic_cast<const ScrollBarSkin*>(skinObject_);
}

bool SkinnedScrollBar::IsVertical() const
{
    return (GetWindowLongPtrA(window_, GWL_STYLE) & SBS_VERT) != 0;
}

bool SkinnedScrollBar::IsSizeGrip() const
{
    return (GetWindowLongPtrA(window_, GWL_STYLE) & SBS_SIZEGRIP) != 0;
}

WNDPROC SkinnedScrollBar::Attach(HWND hwnd)
{
    const WNDPROC previous = SkinnedControl::Attach(hwnd);
    // Posted: a dialog sets its bars' values after creating them, and those
    // are the values to copy.
    if (previous)
        PostMessageA(hwnd, WM_SKIN_DEFERREDINIT, 0, 0);
    return previous;
}

LRESULT SkinnedScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    if (message == WM_SKIN_DEFERREDINIT)
        return OnDeferredInit();
    if (message == WM_TIMER && wParam == kRepeatTimer)
        return OnRepeat();
    // Until the values are copied the system's control answers for itself.
    if (!ready_)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    switch (message) {
    case WM_ENABLE:
        return OnEnable(wParam);
    case SBM_SETSCROLLINFO:
        return OnSetScrollInfo(wParam, lParam);
    case SBM_GETSCROLLINFO:
        return OnGetScrollInfo(lParam);
    case SBM_GETPOS:
        return info_.nPos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
        return OnSetRange(message, wParam, lParam);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        if (!IsSizeGrip())
            return OnMouse(message, lParam);
        break;
    case WM_CAPTURECHANGED:
        OnCaptureLost();
        break;
    default:
        break;
    }
    return SkinnedControl::WindowProc(message, wParam, lParam);
}

LRESULT SkinnedScrollBar::OnDeferredInit()
{
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    if (CallPrevious(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info)))
        info_ = info;
    ready_ = true;
    Repaint();
    return 0;
}

LRESULT SkinnedScrollBar::OnEnable(WPARAM enable)
{
    const HWND window = window_;
    const LRESULT result = CallPreviousHidden(WM_ENABLE, enable, 0);
    if (IsStillSkinOf(window, this))
        Repaint();
    return result;
}

LRESULT SkinnedScrollBar::OnSetScrollInfo(WPARAM redraw, LPARAM lParam)
{
    const auto* given = reinterpret_cast<const SCROLLINFO*>(lParam);
    if (!given || given->cbSize != sizeof(SCROLLINFO))
        return info_.nPos;
    const int previous = info_.nPos;
    StoreScrollInfo(*given);
    if (given->fMask & SIF_DISABLENOSCROLL) {
        EnableWindow(window_, FALSE);
        return previous;
    }
    const HWND window = window_;
    CallPreviousHidden(SBM_SETSCROLLINFO, FALSE, lParam);
    if (!IsStillSkinOf(window, this))
        return previous;
    if (redraw)
        Repaint();
    return (given->fMask & kReturnPrevious) ? previous : info_.nPos;
}

void SkinnedScrollBar::StoreScrollInfo(const SCROLLINFO& given)
{
    if (given.fMask & SIF_PAGE)
        info_.nPage = given.nPage;
    // The range of the same call comes first: a position limited by the
    // range it replaces could lie outside the new one.
    if (given.fMask & SIF_RANGE) {
        info_.nMin = given.nMin;
        info_.nMax = given.nMax;
    }
    if (given.fMask & SIF_POS) {
        // Limited as the system's control limits it: the copy and the
        // control hold the same position.
        const double last = LastPosition();
        info_.nPos = static_cast<int>(std::max(std::min<double>(given.nPos, last), static_cast<double>(info_.nMin)));
        info_.nTrackPos = info_.nPos;
    }
    if (given.fMask & SIF_TRACKPOS)
        info_.nTrackPos = given.nTrackPos;
}

LRESULT SkinnedScrollBar::OnGetScrollInfo(LPARAM lParam) const
{
    auto* asked = reinterpret_cast<SCROLLINFO*>(lParam);
    // A structure of another size is not written to: it may end before
    // the fields asked for.
    if (!asked || (asked->cbSize != sizeof(SCROLLINFO) && asked->cbSize != kShortScrollInfo))
        return 0;
    if (asked->fMask & SIF_PAGE)
        asked->nPage = info_.nPage;
    if (asked->fMask & SIF_POS)
        asked->nPos = info_.nPos;
    if (asked->fMask & SIF_RANGE) {
        asked->nMin = info_.nMin;
        asked->nMax = info_.nMax;
    }
    if ((asked->fMask & SIF_TRACKPOS) && asked->cbSize == sizeof(SCROLLINFO))
        asked->nTrackPos = info_.nTrackPos;
    return (asked->fMask & SIF_ALL) != 0;
}

LRESULT SkinnedScrollBar::OnSetRange(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The system's control keeps these without asking the window, so the
    // copy takes the range it holds afterwards.
    const HWND window = window_;
    const LRESULT result = CallPreviousHidden(message, wParam, lParam);
    if (!IsStillSkinOf(window, this))
        return result;
    CallPrevious(SBM_GETRANGE, reinterpret_cast<WPARAM>(&info_.nMin), reinterpret_cast<LPARAM>(&info_.nMax));
    if (message == SBM_SETRANGEREDRAW)
        Repaint();
    return result;
}

double SkinnedScrollBar::LastPosition() const
{
    return static_cast<double>(info_.nMax) - std::max(static_cast<double>(info_.nPage) - 1, 0.0);
}

RECT SkinnedScrollBar::Frame() const
{
    RECT client;
    GetClientRect(window_, &client);
    return IsVertical() ? RECT{client.top, client.left, client.bottom, client.right} : client;
}

POINT SkinnedScrollBar::ToFrame(LPARAM position) const
{
    const POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    return IsVertical() ? POINT{point.y, point.x} : point;
}

SkinnedScrollBar::Layout SkinnedScrollBar::LayOut(const RECT& frame) const
{
    // Without a skin object nothing has a length: the track is all there is.
    const ScrollBarSkin* skin = Skin();
    const ScrollBarStateLook* normal = skin ? &skin->states[ScrollBarSkin::StateNormal] : nullptr;
    int arrow = normal ? SourceWidth(normal->arrow1.source) : 0;
    // Arrows that would overlap on a bar shorter than two of them share
    // it, half each.
    arrow = std::max(0, std::min(arrow, static_cast<int>(frame.right - frame.left) / 2));
    Layout layout;
    layout.arrow1 = {frame.left, frame.top, frame.left + arrow, frame.bottom};
    layout.arrow2 = {frame.right - arrow, frame.top, frame.right, frame.bottom};
    layout.thumb = RECT{};
    if (!normal)
        return layout;
    const int length = SourceWidth(normal->thumb.source);
    const int left = ThumbLeft(layout.arrow1.right, layout.arrow2.left, length);
    if (left >= layout.arrow1.right)
        layout.thumb = {left, frame.top + normal->bar.marginTop, left + length,
                        frame.bottom - normal->bar.marginBottom};
    return layout;
}

int SkinnedScrollBar::ThumbLeft(int trackStart, int trackEnd, int length) const
{
    const double range = LastPosition() - info_.nMin;
    // Beyond the range the thumb stops at its end, where the limits below
    // would put it anyway.
    const double offset = std::min(std::max(info_.nPos - static_cast<double>(info_.nMin), 0.0), range);
    const double along = range > 0 ? std::trunc((trackEnd - trackStart) * offset / range) : 0;
    int left = trackStart + static_cast<int>(along) - length / 2;
    if (left < trackStart)
        left = trackStart;
    if (left + length > trackEnd)
        left = trackEnd - length;
    return left;
}

int SkinnedScrollBar::HitTest(POINT point) const
{
    const RECT frame = Frame();
    if (!PtInRect(&frame, point))
        return PartNone;
    const Layout layout = LayOut(frame);
    if (point.x < layout.arrow1.right)
        return PartArrow1;
    if (point.x >= layout.arrow2.left)
        return PartArrow2;
    // Without a thumb the whole track lies after it.
    if (IsRectEmpty(&layout.thumb))
        return PartPageAfter;
    if (point.x < layout.thumb.left)
        return PartPageBefore;
    return point.x < layout.thumb.right ? PartThumb : PartPageAfter;
}

int SkinnedScrollBar::PositionAt(int x) const
{
    const Layout layout = LayOut(Frame());
    if (!IsRectEmpty(&layout.thumb) && Between(x, layout.thumb.left, layout.thumb.right))
        return info_.nPos;
    const int track = layout.arrow2.left - layout.arrow1.right;
    const double range = LastPosition() - info_.nMin;
    // An empty range or track has only its start (and would divide by
    // zero).
    if (range <= 0 || track <= 0)
        return info_.nMin;
    const double position = info_.nMin + std::trunc((x - layout.arrow1.right) / (track / range));
    // The pointer may be dragged beyond either end: the position stays in
    // the range.
    return static_cast<int>(std::min(std::max(position, static_cast<double>(info_.nMin)), LastPosition()));
}

LRESULT SkinnedScrollBar::OnMouse(UINT message, LPARAM position)
{
    pointer_ = ToFrame(position);
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        OnButtonDown();
    } else if (message == WM_LBUTTONUP) {
        OnButtonUp();
    } else {
        if (pressed_)
            OnDrag();
        else
            OnHover();
        if (IsWindow(window_))
            TrackHover();
    }
    return 0;
}

void SkinnedScrollBar::OnButtonDown()
{
    part_ = HitTest(pointer_);
    if (part_ == PartNone)
        return;
    SetCapture(window_);
    pressed_ = true;
    // Painted after the parent answered: its new position shows with the
    // pressed look in one repaint.
    InvalidateRect(window_, nullptr, TRUE);
    const HWND window = window_;
    if (part_ == PartThumb) {
        info_.nTrackPos = info_.nPos;
        if (!Notify(SB_THUMBTRACK, info_.nPos))
            return;
    } else {
        if (!Notify(ScrollCodeOf(part_), 0))
            return;
        if (pressed_)
            SetTimer(window, kRepeatTimer, kRepeatDelay, nullptr);
    }
    UpdateWindow(window);
}

void SkinnedScrollBar::OnDrag()
{
    if (part_ == PartThumb) {
        NotifyTrack(SB_THUMBTRACK);
        return;
    }
    // A move delays the next repeat by a whole interval; off the part it
    // stops.
    KillTimer(window_, kRepeatTimer);
    if (HitTest(pointer_) == part_)
        SetTimer(window_, kRepeatTimer, kRepeatDelay, nullptr);
}

void SkinnedScrollBar::OnHover()
{
    const int part = HitTest(pointer_);
    if (part == part_)
        return;
    part_ = part;
    Repaint();
}

void SkinnedScrollBar::OnButtonUp()
{
    // A release without a press here began nothing to end.
    if (!pressed_)
        return;
    const int part = part_;
    // Cleared first, so that losing the capture below ends nothing twice.
    pressed_ = false;
    part_ = PartNone;
    KillTimer(window_, kRepeatTimer);
    ReleaseCapture();
    if (part == PartThumb && !NotifyTrack(SB_THUMBPOSITION))
        return;
    if (Notify(SB_ENDSCROLL, 0))
        Repaint();
}

void SkinnedScrollBar::OnCaptureLost()
{
    // The capture taken away mid-press (another window took it): the
    // scroll ends there, or the repeat would run on with nobody holding it.
    if (!pressed_)
        return;
    pressed_ = false;
    part_ = PartNone;
    KillTimer(window_, kRepeatTimer);
    if (Notify(SB_ENDSCROLL, 0))
        Repaint();
}

LRESULT SkinnedScrollBar::OnRepeat()
{
    // Only while the pointer is on the pressed part: a page stops once the
    // thumb has come under the pointer, as the system's bar does.
    if (pressed_ && IsRepeatingPart(part_) && HitTest(pointer_) == part_)
        Notify(ScrollCodeOf(part_), 0);
    return 0;
}

void SkinnedScrollBar::OnMouseLeave()
{
    // The pressed part stays while the button is held: the release still
    // ends the drag the pointer took outside.
    if (!pressed_)
        part_ = PartNone;
    SkinnedControl::OnMouseLeave();
}

bool SkinnedScrollBar::Notify(int code, int position)
{
    const HWND window = window_;
    const UINT message = IsVertical() ? WM_VSCROLL : WM_HSCROLL;
    SendMessageA(GetParent(window), message, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(window));
    return IsStillSkinOf(window, this);
}

bool SkinnedScrollBar::NotifyTrack(int code)
{
    const int position = PositionAt(pointer_.x);
    // Parents that read the 32-bit position (SIF_TRACKPOS) find it here.
    info_.nTrackPos = position;
    return Notify(code, position);
}

void SkinnedScrollBar::Repaint()
{
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
}

ScrollBarStateLook SkinnedScrollBar::CurrentLook(const ScrollBarSkin& skin) const
{
    const ScrollBarStateLook& normal = skin.states[ScrollBarSkin::StateNormal];
    ScrollBarStateLook look = normal;
    if (!IsWindowEnabled(window_)) {
        const ScrollBarStateLook& disabled = skin.states[ScrollBarSkin::StateDisabled];
        look.arrow1 = PickRef(disabled.arrow1, normal.arrow1);
        look.arrow2 = PickRef(disabled.arrow2, normal.arrow2);
        look.bar = PickRef(disabled.bar, normal.bar);
        look.thumb = PickRef(disabled.thumb, normal.thumb);
        return look;
    }
    const ScrollBarStateLook& active =
        skin.states[pressed_ ? ScrollBarSkin::StatePressed : ScrollBarSkin::StateHighlighted];
    if (part_ == PartArrow1)
        look.arrow1 = PickRef(active.arrow1, normal.arrow1);
    else if (part_ == PartArrow2)
        look.arrow2 = PickRef(active.arrow2, normal.arrow2);
    else if (part_ == PartThumb)
        look.thumb = PickRef(active.thumb, normal.thumb);
    return look;
}

void SkinnedScrollBar::Paint(HDC hdc)
{
    const ScrollBarSkin* skin = Skin();
    if (!skin)
        return;
    RECT client;
    GetClientRect(window_, &client);
    if (IsSizeGrip()) {
        // A grip larger than its picture would show whatever the surface
        // held around it.
        FillSolidRect(hdc, client, GetSysColor(COLOR_BTNFACE));
        DrawImageRef(hdc, client, skin->gripper, GetSysColor(COLOR_BTNFACE), true, Store());
        return;
    }
    DrawTurned(hdc, client, IsVertical() ? TurnClockwise : TurnNone,
               [this, skin](HDC target, const RECT& frame) { PaintBar(target, frame, *skin); });
}

void SkinnedScrollBar::PaintBar(HDC hdc, const RECT& frame, const ScrollBarSkin& skin) const
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    if (!ready_) {
        DrawFrameImage(hdc, frame, skin.states[ScrollBarSkin::StateNormal].bar, face, true, Store());
        return;
    }
    const ScrollBarStateLook look = CurrentLook(skin);
    const Layout layout = LayOut(frame);
    DrawFrameImage(hdc, frame, look.bar, face, true, Store());
    DrawImageRef(hdc, layout.arrow1, look.arrow1, face, true, Store());
    DrawImageRef(hdc, layout.arrow2, look.arrow2, face, true, Store());
    if (!IsRectEmpty(&layout.thumb))
        DrawFrameImageKeyed(hdc, layout.thumb, look.thumb, TransparentColour(), Store());
}
