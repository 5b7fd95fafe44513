#include "controls/NcScroll.h"

#include "controls/NcScrollGeometry.h"
#include "controls/ScrollBarPainter.h"
#include "core/SkinManager.h"
#include "core/WindowProcedure.h"
#include "data/ScrollBarSkin.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "imaging/GdiObject.h"
#include "imaging/TurnedDrawing.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <mutex>

const char kNcScrollProperty[] = "CoolSBSubclassPtr";

namespace {

// Bar flags.
const UINT kDisableLeft = ESB_DISABLE_LTUP;
const UINT kDisableRight = ESB_DISABLE_RTDN;
const UINT kDisableBoth = kDisableLeft | kDisableRight;
const UINT kKeepThumb = 4;
const UINT kWanted = 8;

const UINT_PTR kRepeatFirstTimer = 0xFFFD;
const UINT_PTR kRepeatTimer = 0xFFFE;
const UINT_PTR kHotTimer = static_cast<UINT_PTR>(-14);
const UINT kRepeatFirstDelay = 300;
const UINT kRepeatDelay = 55;
const UINT kHotDelay = 20;
// How far the pointer may leave a dragged thumb's bar before the thumb
// snaps back: along the bar beyond its ends, and across it.
const int kSnapAlong = 48;
const int kSnapAcross = 24;
const UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
const UINT kScrollStyles = WS_HSCROLL | WS_VSCROLL;

struct NcScrollBar {
    UINT flags = 0;
    bool visible = false;
    SCROLLINFO info = {};
    int arrowLength = -1;
    int thickness = -1;
    int type = SB_HORZ;
    int look = 0;
    int minThumb = 0;
};

struct NcScrollWindow {
    WindowProcedure previous;
    NcScrollBar bars[2];  // SB_HORZ, SB_VERT
    bool thumbTracking = false;
    bool leftScrollBar = false;
    HWND tooltip = nullptr;
    RECT edges = {};  // the border's width on each side
    bool styleGuard = false;
    // Whether the bars' values exist yet: as the system's, they come into
    // being for both bars with the first call that sets one, or for a
    // window with a scroll bar style.
    bool valuesExist = false;
};

// One mouse is tracked at a time, in the GUI thread.
struct Tracking {
    HWND window = nullptr;
    int bar = -1;
    UINT message = 0;
    int pressed = PartNone;
    int drawnPressed = PartNone;
    bool releasing = false;
    // Thumb dragging, in the bar's horizontal frame (screen coordinates).
    RECT barRect = {};
    int thumbSize = 0;
    int thumbStart = 0;
    int thumbLeft = 0;
    int grabOffset = 0;
    int lastPos = 0;
    // Hot tracking.
    HWND hotWindow = nullptr;
    int hotBar = -1;
    int hotPart = PartNone;
    RECT hotRect = {};
};

Tracking g_tracking;
bool g_systemAllows = true;

// Every window served, found without a property read: under Wine each
// GetProp is a round trip to the server, and the redirected scroll
// functions ask on every call of the process.
class ServedWindows {
public:
    void Add(HWND window, NcScrollWindow* record)
    {
        std::lock_guard<std::mutex> guard(lock_);
        records_[window] = record;
    }
    void Remove(HWND window)
    {
        std::lock_guard<std::mutex> guard(lock_);
        records_.erase(window);
    }
    NcScrollWindow* Find(HWND window)
    {
        std::lock_guard<std::mutex> guard(lock_);
        const auto found = records_.find(window);
        return found == records_.end() ? nullptr : found->second;
    }

private:
    std::mutex lock_;
    std::map<HWND, NcScrollWindow*> records_;
};

ServedWindows& Served()
{
    static ServedWindows served;
    return served;
}

NcScrollWindow* RecordOf(HWND window)
{
    return window ? Served().Find(window) : nullptr;
}

bool IsVertical(int bar)
{
    return bar == SB_VERT;
}

int DefaultMinThumb()
{
    const DWORD version = GetVersion();
    const bool nt5 = !(version & 0x80000000u) && LOBYTE(LOWORD(version)) >= 5;
    return nt5 ? 6 : 8;
}

int ArrowLength(const NcScrollBar& bar)
{
    if (bar.arrowLength > 0)
        return bar.arrowLength;
    return -bar.arrowLength * GetSystemMetrics(bar.type == SB_HORZ ? SM_CXHSCROLL : SM_CYVSCROLL);
}

int Thickness(const NcScrollBar& bar)
{
    if (bar.thickness > 0)
        return bar.thickness;
    return -bar.thickness * GetSystemMetrics(bar.type == SB_HORZ ? SM_CYHSCROLL : SM_CXVSCROLL);
}

ScrollBarMetrics MetricsOf(const NcScrollBar& bar)
{
    return {bar.info.nMin, bar.info.nMax, bar.info.nPage, bar.info.nPos, ArrowLength(bar), bar.minThumb};
}

bool IsInactive(const NcScrollBar& bar)
{
    return (bar.flags & kDisableBoth) == kDisableBoth || (!IsScrollable(MetricsOf(bar)) && !(bar.flags & kKeepThumb));
}

// Each addressed bar of SB_HORZ, SB_VERT or SB_BOTH.
template <typename Visit>
bool ForBars(NcScrollWindow& record, int bar, Visit visit)
{
    if (bar != SB_HORZ && bar != SB_VERT && bar != SB_BOTH)
        return false;
    for (int i = SB_HORZ; i <= SB_VERT; ++i)
        if (bar == SB_BOTH || bar == i)
            visit(record.bars[i]);
    return true;
}

NcScrollBar* SingleBar(NcScrollWindow& record, int bar)
{
    return bar == SB_HORZ || bar == SB_VERT ? &record.bars[bar] : nullptr;
}

// The bar's rectangle in screen coordinates (empty when not visible).
RECT BarRect(HWND window, const NcScrollWindow& record, int bar)
{
    RECT windowRect;
    GetWindowRect(window, &windowRect);
    const NcScrollBar& horz = record.bars[SB_HORZ];
    const NcScrollBar& vert = record.bars[SB_VERT];
    const int horzThickness = horz.visible ? Thickness(horz) : 0;
    const int vertThickness = vert.visible ? Thickness(vert) : 0;
    const RECT& e = record.edges;
    if (bar == SB_HORZ) {
        RECT r = {windowRect.left + e.left, 0, windowRect.right - e.right, windowRect.bottom - e.bottom};
        r.top = r.bottom - horzThickness;
        if (record.leftScrollBar)
            r.left += vertThickness;
        else
            r.right -= vertThickness;
        return r;
    }
    RECT r = {0, windowRect.top + e.top, 0, windowRect.bottom - e.bottom - horzThickness};
    if (record.leftScrollBar) {
        r.left = windowRect.left + e.left;
        r.right = r.left + vertThickness;
    } else {
        r.right = windowRect.right - e.right;
        r.left = r.right - vertThickness;
    }
    return r;
}

RECT InFrame(const RECT& rect, int bar)
{
    return IsVertical(bar) ? Transposed(rect) : rect;
}
POINT InFrame(POINT point, int bar)
{
    return IsVertical(bar) ? Transposed(point) : point;
}

RECT ToWindowCoordinates(HWND window, RECT rect)
{
    RECT windowRect;
    GetWindowRect(window, &windowRect);
    OffsetRect(&rect, -windowRect.left, -windowRect.top);
    return rect;
}

void RecalcFrame(HWND window)
{
    SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
}

void RepaintNonClient(HWND window)
{
    SendMessageA(window, WM_NCPAINT, 1, 0);
}

// The style set by the subclass itself: WM_STYLECHANGED is then its own.
void SetStyleGuarded(HWND window, NcScrollWindow& record, LONG_PTR style)
{
    record.styleGuard = true;
    SetWindowLongPtrA(window, GWL_STYLE, style);
    record.styleGuard = false;
}

// The previous procedure run with the scroll styles removed, so that the
// system neither reserves room for its own bars nor paints them.
LRESULT CallWithoutScrollStyles(HWND window, NcScrollWindow& record, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    const WindowProcedure previous = record.previous;
    if (!(style & kScrollStyles))
        return previous.Call(window, message, wParam, lParam);
    SetStyleGuarded(window, record, style & ~static_cast<LONG_PTR>(kScrollStyles));
    const LRESULT result = previous.Call(window, message, wParam, lParam);
    // The record may be gone if the message destroyed the window.
    if (NcScrollWindow* still = RecordOf(window))
        SetStyleGuarded(window, *still,
                        GetWindowLongPtrA(window, GWL_STYLE) | (style & static_cast<LONG_PTR>(kScrollStyles)));
    return result;
}

// ---- Painting ----------------------------------------------------------

struct BarItem {
    int part;
    RECT rect;  // horizontal frame, relative to the bar
    UINT state;
};

bool TrackedHere(HWND window, int bar)
{
    return g_tracking.window == window && g_tracking.bar == bar;
}

UINT ItemState(HWND window, const NcScrollBar& bar, int part, int pressedPart, UINT disabledFlag)
{
    if (part == pressedPart)
        return kItemPressed;
    const bool hot =
        bar.look == 2 && g_tracking.hotWindow == window && g_tracking.hotBar == bar.type && g_tracking.hotPart == part;
    if (hot && !(bar.flags & disabledFlag))
        return kItemHot;
    if (disabledFlag && ((bar.flags & disabledFlag) || IsInactive(bar)))
        return kItemDisabled;
    return kItemNormal;
}

// The parts of a bar `length` by `thickness`, in drawing order. A dragged
// thumb is drawn at `thumbLeft` when that is not negative.
int LayoutItems(HWND window, const NcScrollBar& bar, int length, int thickness, int pressedPart, int thumbLeft,
                BarItem (&items)[5])
{
    const RECT frame = {0, 0, length, thickness};
    const ScrollBarMetrics metrics = MetricsOf(bar);
    RECT left, right;
    ArrowRects(frame, metrics.arrowLength, left, right);
    int count = 0;
    items[count++] = {PartArrowLeft, left, ItemState(window, bar, PartArrowLeft, pressedPart, kDisableLeft)};
    ThumbPlacement thumb = PlaceThumb(frame, metrics);
    if (thumbLeft >= 0)
        thumb.left = thumbLeft;
    const int space = TrackSpace(length, metrics.arrowLength);
    const bool fits =
        thumb.size > 0 && space >= thumb.size && IsScrollable(metrics) && (bar.flags & kDisableBoth) != kDisableBoth;
    const RECT middle = {left.right, 0, right.left, thickness};
    if (fits) {
        const int thumbRight = thumb.left + thumb.size;
        items[count++] = {PartPageLeft,
                          {middle.left, 0, thumb.left, thickness},
                          pressedPart == PartPageLeft ? kItemPressed : kItemNormal};
        items[count++] = {PartPageRight,
                          {thumbRight, 0, middle.right, thickness},
                          pressedPart == PartPageRight ? kItemPressed : kItemNormal};
        items[count++] = {
            PartThumb, {thumb.left, 0, thumbRight, thickness}, ItemState(window, bar, PartThumb, pressedPart, 0)};
    } else if (!IsScrollable(metrics) && (bar.flags & kKeepThumb) && middle.right - middle.left > bar.minThumb) {
        items[count++] = {PartThumb, {middle.left, 0, middle.right - 1, thickness}, kItemNormal};
        items[count++] = {PartPageRight, {middle.right - 1, 0, middle.right, thickness}, kItemNormal};
    } else {
        items[count++] = {PartPageRight, middle, kItemNormal};
    }
    items[count++] = {PartArrowRight, right, ItemState(window, bar, PartArrowRight, pressedPart, kDisableRight)};
    return count;
}

// Where a dragged thumb is drawn, relative to its bar; -1 where the
// bar's values place it.
int DraggedThumbLeft(HWND window, int bar)
{
    if (!TrackedHere(window, bar) || g_tracking.pressed != PartThumb)
        return -1;
    return g_tracking.thumbLeft - g_tracking.barRect.left;
}

void DrawBar(HWND window, HDC windowDc, const NcScrollWindow& record, int barIndex, int pressedPart)
{
    const NcScrollBar& bar = record.bars[barIndex];
    const RECT dest = ToWindowCoordinates(window, BarRect(window, record, barIndex));
    if (IsRectEmpty(&dest))
        return;
    const RECT frame = InFrame(dest, barIndex);
    BarItem items[5];
    const int count = LayoutItems(window, bar, frame.right - frame.left, frame.bottom - frame.top, pressedPart,
                                  DraggedThumbLeft(window, barIndex), items);
    const int id = GetDlgCtrlID(window);
    const bool skin = PaintScrollBarPart(window, id, kScrollStageBar, windowDc, frame, PartNone, kItemNormal,
                                         barIndex) == kPainterSkipDefault;
    const bool vertical = IsVertical(barIndex);
    if (skin) {
        // The skin's pictures are horizontal: a vertical bar is composed
        // lying down and turned.
        DrawComposed(windowDc, dest, vertical ? TurnClockwise : TurnNone, [&](HDC hdc, const RECT&) {
            for (int i = 0; i < count; ++i)
                PaintScrollBarPart(window, id, kScrollStageItem, hdc, items[i].rect, items[i].part, items[i].state,
                                   barIndex);
        });
        return;
    }
    DrawComposed(windowDc, dest, TurnNone, [&](HDC hdc, const RECT&) {
        for (int i = 0; i < count; ++i)
            PaintSystemScrollPart(hdc, vertical ? Transposed(items[i].rect) : items[i].rect, items[i].part,
                                  items[i].state, vertical, bar.look);
    });
}

// The square between two visible bars.
void DrawSizeBox(HWND window, HDC windowDc, const NcScrollWindow& record, bool skin)
{
    const RECT horz = ToWindowCoordinates(window, BarRect(window, record, SB_HORZ));
    const RECT vert = ToWindowCoordinates(window, BarRect(window, record, SB_VERT));
    const RECT box = {vert.left, horz.top, vert.right, horz.bottom};
    if (skin) {
        DrawComposed(windowDc, box, TurnNone, [&](HDC hdc, const RECT& frame) {
            PaintScrollBarPart(window, GetDlgCtrlID(window), kScrollStageItem, hdc, frame, PartSizeBox, kItemNormal,
                               SB_BOTH);
        });
        return;
    }
    // The system's grip only where the box is the parent's corner too.
    RECT screenBox = box, parentClient = {};
    RECT windowRect;
    GetWindowRect(window, &windowRect);
    OffsetRect(&screenBox, windowRect.left, windowRect.top);
    const HWND parent = GetParent(window);
    if (parent && GetClientRect(parent, &parentClient))
        MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&parentClient), 2);
    if (parent && screenBox.right == parentClient.right && screenBox.bottom == parentClient.bottom) {
        RECT grip = box;
        DrawFrameControl(windowDc, &grip, DFC_SCROLL,
                         record.leftScrollBar ? DFCS_SCROLLSIZEGRIPRIGHT : DFCS_SCROLLSIZEGRIP);
        return;
    }
    const Brush face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    FillRect(windowDc, &box, face);
}

int PressedPartFor(HWND window, int bar)
{
    return TrackedHere(window, bar) ? g_tracking.drawnPressed : PartNone;
}

void RedrawBar(HWND window, const NcScrollWindow& record, int bar)
{
    if (!record.bars[bar].visible)
        return;
    const WholeWindowDC dc(window);
    if (dc)
        DrawBar(window, dc, record, bar, PressedPartFor(window, bar));
}

// ---- Non-client messages -----------------------------------------------

LRESULT OnNcCalcSize(HWND window, NcScrollWindow& record, WPARAM wParam, LPARAM lParam)
{
    RECT* rect = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    const RECT windowRect = *rect;
    const LRESULT result = CallWithoutScrollStyles(window, record, WM_NCCALCSIZE, wParam, lParam);
    if (!RecordOf(window))
        return result;
    RECT& client = *rect;
    record.edges = {client.left - windowRect.left, client.top - windowRect.top, windowRect.right - client.right,
                    windowRect.bottom - client.bottom};
    NcScrollBar& horz = record.bars[SB_HORZ];
    NcScrollBar& vert = record.bars[SB_VERT];
    const int horzThickness = Thickness(horz);
    horz.visible = (horz.flags & kWanted) && horzThickness < client.bottom - client.top;
    if (horz.visible)
        client.bottom -= horzThickness;
    const int vertThickness = Thickness(vert);
    vert.visible = (vert.flags & kWanted) && client.right - client.left >= vertThickness;
    if (vert.visible) {
        if (record.leftScrollBar)
            client.left += vertThickness;
        else
            client.right -= vertThickness;
    }
    return result;
}

LRESULT OnNcHitTest(HWND window, NcScrollWindow& record, WPARAM wParam, LPARAM lParam)
{
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (int bar = SB_HORZ; bar <= SB_VERT; ++bar) {
        if (!record.bars[bar].visible)
            continue;
        const RECT rect = BarRect(window, record, bar);
        if (PtInRect(&rect, point))
            return bar == SB_HORZ ? HTHSCROLL : HTVSCROLL;
    }
    return record.previous.Call(window, WM_NCHITTEST, wParam, lParam);
}

// The bars are drawn after the previous procedure's pass: the list view's
// and the tree view's own non-client painting fills the strips the bars
// stand in, which would wipe bars drawn before it.
LRESULT OnNcPaint(HWND window, NcScrollWindow& record, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallWithoutScrollStyles(window, record, WM_NCPAINT, wParam, lParam);
    NcScrollWindow* still = RecordOf(window);
    if (!still)
        return result;
    const WholeWindowDC dc(window);
    if (!dc)
        return result;
    for (int bar = SB_HORZ; bar <= SB_VERT; ++bar)
        if (still->bars[bar].visible)
            DrawBar(window, dc, *still, bar, PressedPartFor(window, bar));
    if (still->bars[SB_HORZ].visible && still->bars[SB_VERT].visible) {
        const bool skin = PaintScrollBarPart(window, GetDlgCtrlID(window), kScrollStageBar, dc, RECT{}, PartNone,
                                             kItemNormal, SB_BOTH) == kPainterSkipDefault;
        DrawSizeBox(window, dc, *still, skin);
    }
    return result;
}

// ---- Mouse tracking -----------------------------------------------------

void SendScroll(HWND window, int code, int pos)
{
    SendMessageA(window, g_tracking.message, MAKEWPARAM(code, pos), 0);
}

void ResetTracking()
{
    const HWND hotWindow = g_tracking.hotWindow;
    const int hotBar = g_tracking.hotBar;
    const int hotPart = g_tracking.hotPart;
    const RECT hotRect = g_tracking.hotRect;
    g_tracking = Tracking{};
    g_tracking.hotWindow = hotWindow;
    g_tracking.hotBar = hotBar;
    g_tracking.hotPart = hotPart;
    g_tracking.hotRect = hotRect;
}

ScrollBarPart PartUnder(HWND window, const NcScrollWindow& record, int bar, POINT screenPoint)
{
    const RECT rect = InFrame(BarRect(window, record, bar), bar);
    return HitTestBar(rect, MetricsOf(record.bars[bar]), InFrame(screenPoint, bar));
}

LRESULT OnNcLButtonDown(HWND window, NcScrollWindow& record, WPARAM hit, LPARAM lParam)
{
    if (hit != HTHSCROLL && hit != HTVSCROLL)
        return record.previous.Call(window, WM_NCLBUTTONDOWN, hit, lParam);
    const int barIndex = hit == HTHSCROLL ? SB_HORZ : SB_VERT;
    NcScrollBar& bar = record.bars[barIndex];
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const ScrollBarPart part = PartUnder(window, record, barIndex, point);
    // A press on the bar that starts nothing is still the bar's: the
    // system's own handling would run its scroll loop and paint its bar.
    if (part == PartNone || IsInactive(bar) || (part == PartArrowLeft && (bar.flags & kDisableLeft)) ||
        (part == PartArrowRight && (bar.flags & kDisableRight)))
        return 0;
    g_tracking.window = window;
    g_tracking.bar = barIndex;
    g_tracking.message = barIndex == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
    g_tracking.pressed = part;
    g_tracking.drawnPressed = part;
    if (part == PartThumb) {
        const RECT rect = InFrame(BarRect(window, record, barIndex), barIndex);
        const ThumbPlacement thumb = PlaceThumb(rect, MetricsOf(bar));
        g_tracking.barRect = rect;
        g_tracking.thumbSize = thumb.size;
        g_tracking.thumbStart = thumb.left;
        g_tracking.thumbLeft = thumb.left;
        g_tracking.grabOffset = InFrame(point, barIndex).x - thumb.left;
        g_tracking.lastPos = bar.info.nPos;
        record.thumbTracking = true;
        bar.info.nTrackPos = bar.info.nPos;
        RedrawBar(window, record, barIndex);
    } else {
        SendScroll(window, part, 0);
        if (NcScrollWindow* still = RecordOf(window))
            RedrawBar(window, *still, barIndex);
        SetTimer(window, kRepeatFirstTimer, kRepeatFirstDelay, nullptr);
    }
    SetCapture(window);
    return 0;
}

// The position a thumb dragged to `thumbLeft` stands for. The minimum of
// the range is added, and the last position is nMax - max(nPage, 1) + 1,
// as the thumb's placement counts them, so a drag to the end reaches
// exactly the position that puts the thumb there.
int DraggedPosition(const NcScrollBar& bar, int thumbLeft)
{
    const RECT& rect = g_tracking.barRect;
    const int arrow = ArrowLength(bar);
    const int offset = thumbLeft - (rect.left + arrow);
    const int range = bar.info.nMax - bar.info.nMin;
    const int free = TrackSpace(rect.right - rect.left, arrow) - g_tracking.thumbSize;
    if (range <= 0 || free <= 0)
        return bar.info.nMin + (range <= 0 ? offset : 0);
    const int page = static_cast<int>(std::min<UINT>(bar.info.nPage, 0x7FFFFFFF));
    return bar.info.nMin + MulDiv(offset, range - std::max(page, 1) + 1, free);
}

void DragThumb(HWND window, NcScrollWindow& record, POINT screenPoint)
{
    NcScrollBar& bar = record.bars[g_tracking.bar];
    const POINT point = InFrame(screenPoint, g_tracking.bar);
    RECT reach = g_tracking.barRect;
    InflateRect(&reach, kSnapAlong, kSnapAcross);
    int left = g_tracking.thumbStart;
    if (PtInRect(&reach, point)) {
        const int arrow = ArrowLength(bar);
        const int lowest = g_tracking.barRect.left + arrow;
        const int highest = g_tracking.barRect.right - arrow - g_tracking.thumbSize;
        left = std::max(lowest, std::min(static_cast<int>(point.x) - g_tracking.grabOffset, highest));
    }
    g_tracking.thumbLeft = left;
    RedrawBar(window, record, g_tracking.bar);
    const int pos = DraggedPosition(bar, left);
    if (pos == g_tracking.lastPos)
        return;
    g_tracking.lastPos = pos;
    bar.info.nTrackPos = pos;
    SendScroll(window, SB_THUMBTRACK, pos);
}

void FollowPressedPart(HWND window, NcScrollWindow& record, POINT screenPoint)
{
    const ScrollBarPart under = PartUnder(window, record, g_tracking.bar, screenPoint);
    const int shown = under == g_tracking.pressed ? g_tracking.pressed : PartNone;
    if (shown == g_tracking.drawnPressed)
        return;
    g_tracking.drawnPressed = shown;
    RedrawBar(window, record, g_tracking.bar);
}

bool TrackingIn(HWND window)
{
    return g_tracking.window == window && g_tracking.pressed != PartNone;
}

POINT MessagePoint()
{
    const DWORD pos = GetMessagePos();
    return POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
}

LRESULT OnMouseMove(HWND window, NcScrollWindow& record, WPARAM wParam, LPARAM lParam)
{
    if (!TrackingIn(window))
        return record.previous.Call(window, WM_MOUSEMOVE, wParam, lParam);
    if (g_tracking.pressed == PartThumb)
        DragThumb(window, record, MessagePoint());
    else
        FollowPressedPart(window, record, MessagePoint());
    return 0;
}

void EndTracking(HWND window, NcScrollWindow& record)
{
    const int bar = g_tracking.bar;
    KillTimer(window, kRepeatFirstTimer);
    KillTimer(window, kRepeatTimer);
    if (g_tracking.pressed == PartThumb) {
        record.thumbTracking = false;
        SendScroll(window, SB_THUMBPOSITION, g_tracking.lastPos);
    }
    SendScroll(window, SB_ENDSCROLL, 0);
    ResetTracking();
    if (NcScrollWindow* still = RecordOf(window))
        RedrawBar(window, *still, bar);
}

LRESULT OnLButtonUp(HWND window, NcScrollWindow& record, WPARAM wParam, LPARAM lParam)
{
    if (!TrackingIn(window))
        return record.previous.Call(window, WM_LBUTTONUP, wParam, lParam);
    g_tracking.releasing = true;
    ReleaseCapture();
    EndTracking(window, record);
    return 0;
}

void OnRepeatTimer(HWND window, NcScrollWindow& record, UINT_PTR id)
{
    if (!TrackingIn(window) || g_tracking.pressed == PartThumb) {
        KillTimer(window, id);
        return;
    }
    if (id == kRepeatFirstTimer) {
        KillTimer(window, kRepeatFirstTimer);
        SetTimer(window, kRepeatTimer, kRepeatDelay, nullptr);
        return;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    FollowPressedPart(window, record, cursor);
    if (g_tracking.drawnPressed == g_tracking.pressed)
        SendScroll(window, g_tracking.pressed, 0);
}

void ClearHot(HWND window)
{
    KillTimer(window, kHotTimer);
    g_tracking.hotWindow = nullptr;
    g_tracking.hotBar = -1;
    g_tracking.hotPart = PartNone;
}

void OnHotTimer(HWND window, NcScrollWindow& record)
{
    if (record.thumbTracking)
        return;
    if (g_tracking.hotWindow != window) {
        KillTimer(window, kHotTimer);
        return;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    if (!PtInRect(&g_tracking.hotRect, cursor)) {
        ClearHot(window);
        RepaintNonClient(window);
        return;
    }
    const int part = PartUnder(window, record, g_tracking.hotBar, cursor);
    if (part == g_tracking.hotPart)
        return;
    g_tracking.hotPart = part;
    RedrawBar(window, record, g_tracking.hotBar);
}

void OnNcMouseMove(HWND window, NcScrollWindow& record, WPARAM hit, LPARAM lParam)
{
    if (hit != HTHSCROLL && hit != HTVSCROLL)
        return;
    const int bar = hit == HTHSCROLL ? SB_HORZ : SB_VERT;
    if (g_tracking.hotWindow == window && g_tracking.hotBar == bar)
        return;
    if (g_tracking.hotWindow && g_tracking.hotWindow != window && IsWindow(g_tracking.hotWindow)) {
        const HWND previous = g_tracking.hotWindow;
        ClearHot(previous);
        RepaintNonClient(previous);
    }
    g_tracking.hotWindow = window;
    g_tracking.hotBar = bar;
    g_tracking.hotRect = BarRect(window, record, bar);
    g_tracking.hotPart = PartUnder(window, record, bar, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    SetTimer(window, kHotTimer, kHotDelay, nullptr);
    RepaintNonClient(window);
}

void RelayToTooltip(const NcScrollWindow& record, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!record.tooltip)
        return;
    MSG msg = {window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), MessagePoint()};
    SendMessageA(record.tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

bool IsNcMouseMessage(UINT message)
{
    return message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK;
}

bool IsSwallowedOnBar(UINT message, WPARAM hit)
{
    const bool onBar = hit == HTHSCROLL || hit == HTVSCROLL;
    return onBar && (message == WM_NCRBUTTONDOWN || message == WM_NCRBUTTONUP || message == WM_NCMBUTTONDOWN ||
                     message == WM_NCMBUTTONUP);
}

void ForgetTrackingOf(HWND window)
{
    if (g_tracking.window == window) {
        KillTimer(window, kRepeatFirstTimer);
        KillTimer(window, kRepeatTimer);
        if (GetCapture() == window) {
            g_tracking.releasing = true;
            ReleaseCapture();
        }
        ResetTracking();
    }
    if (g_tracking.hotWindow == window)
        ClearHot(window);
}

// A window in its last message gets no new frame.
HRESULT RemoveRecord(HWND window, bool recalcFrame)
{
    NcScrollWindow* record = RecordOf(window);
    if (!record)
        return E_FAIL;
    ForgetTrackingOf(window);
    record->previous.Restore(window);
    Served().Remove(window);
    RemovePropA(window, kNcScrollProperty);
    if (record->tooltip)
        DestroyWindow(record->tooltip);
    delete record;
    if (recalcFrame)
        RecalcFrame(window);
    return S_OK;
}

// A style the program sets itself counts as the system's bars count it:
// a scroll bar style shows or hides the bar at the next frame change.
void FollowStyle(NcScrollWindow& record, WPARAM which, const STYLESTRUCT& style)
{
    if (which == static_cast<WPARAM>(GWL_EXSTYLE)) {
        record.leftScrollBar = (style.styleNew & WS_EX_LEFTSCROLLBAR) != 0;
        return;
    }
    const auto want = [&](NcScrollBar& bar, DWORD bit) {
        bar.flags = (style.styleNew & bit) ? bar.flags | kWanted : bar.flags & ~kWanted;
    };
    want(record.bars[SB_HORZ], WS_HSCROLL);
    want(record.bars[SB_VERT], WS_VSCROLL);
}

LRESULT Dispatch(HWND window, NcScrollWindow& record, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsNcMouseMessage(message) || message == WM_LBUTTONUP)
        RelayToTooltip(record, window, message, wParam, lParam);
    if (IsSwallowedOnBar(message, wParam))
        return 0;
    switch (message) {
    case WM_NCCALCSIZE:
        return OnNcCalcSize(window, record, wParam, lParam);
    case WM_NCHITTEST:
        return OnNcHitTest(window, record, wParam, lParam);
    case WM_NCPAINT:
        return OnNcPaint(window, record, wParam, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        return OnNcLButtonDown(window, record, wParam, lParam);
    case WM_NCMOUSEMOVE:
        OnNcMouseMove(window, record, wParam, lParam);
        break;
    case WM_MOUSEMOVE:
        return OnMouseMove(window, record, wParam, lParam);
    case WM_LBUTTONUP:
        return OnLButtonUp(window, record, wParam, lParam);
    case WM_CAPTURECHANGED:
        // Capture taken away mid-press (another window, a menu) ends the
        // press as a release would, or the bar would stay pressed.
        if (TrackingIn(window) && !g_tracking.releasing)
            EndTracking(window, record);
        g_tracking.releasing = false;
        break;
    case WM_TIMER:
        if (wParam == kRepeatFirstTimer || wParam == kRepeatTimer) {
            OnRepeatTimer(window, record, wParam);
            return 0;
        }
        if (wParam == kHotTimer) {
            OnHotTimer(window, record);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (record.tooltip) {
            SendMessageA(record.tooltip, TTM_ACTIVATE, FALSE, 0);
            SendMessageA(record.tooltip, TTM_POP, 0, 0);
        }
        break;
    case WM_STYLECHANGED:
        if (record.styleGuard)
            return 0;
        FollowStyle(record, wParam, *reinterpret_cast<const STYLESTRUCT*>(lParam));
        break;
    case WM_NCDESTROY: {
        const WindowProcedure previous = record.previous;
        RemoveRecord(window, false);
        return previous.Call(window, message, wParam, lParam);
    }
    default:
        break;
    }
    return record.previous.Call(window, message, wParam, lParam);
}

template <bool Unicode>
LRESULT CALLBACK NcScrollProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    NcScrollWindow* record = RecordOf(window);
    if (!record)
        return DefaultWindowProc<Unicode>(window, message, wParam, lParam);
    try {
        return Dispatch(window, *record, message, wParam, lParam);
    } catch (...) {
        // Nothing the bars do may take the window down with them.
        NcScrollWindow* still = RecordOf(window);
        return still ? still->previous.Call(window, message, wParam, lParam) : 0;
    }
}

HWND CreateTooltip(HWND window)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    HWND tooltip = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, window, nullptr, module, nullptr);
    if (!tooltip)
        return nullptr;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    return tooltip;
}

// What a bar holds before anything set it, as the system's bars.
const SCROLLINFO kUnsetBarValues = {sizeof(SCROLLINFO), SIF_ALL, 0, 100, 0, 0, 0};

// The highest position: the thumb's placement counts the last page as
// max(nPage, 1) long, so an empty page still allows nMax and no more.
int HighestPos(const SCROLLINFO& info)
{
    const int page = static_cast<int>(std::min<UINT>(info.nPage, 0x7FFFFFFF));
    return info.nMax - std::max(page, 1) + 1;
}

int ClampPos(const SCROLLINFO& info, int pos)
{
    return std::min(std::max(pos, info.nMin), std::max(HighestPos(info), info.nMin));
}

// The flag Windows takes in SetScrollInfo to answer the position before
// the call instead of after it.
const UINT kReturnPrevious = 0x1000;

bool IsValidInfo(const SCROLLINFO& info)
{
    const bool knownMask = !(info.fMask & ~(SIF_ALL | SIF_DISABLENOSCROLL | kReturnPrevious));
    return knownMask && (info.cbSize == sizeof info || info.cbSize == sizeof info - sizeof info.nTrackPos);
}

// One bar's values; null where the system's bars have none: a bar that is
// neither SB_HORZ nor SB_VERT, or a window without a scroll bar style
// whose values were never set (`create` sets them up, as a setter does).
NcScrollBar* ValuesOf(HWND window, int bar, bool create)
{
    NcScrollWindow* record = RecordOf(window);
    NcScrollBar* b = record ? SingleBar(*record, bar) : nullptr;
    if (!b)
        return nullptr;
    if (!record->valuesExist)
        record->valuesExist = create || (GetWindowLongPtrA(window, GWL_STYLE) & kScrollStyles) != 0;
    return record->valuesExist ? b : nullptr;
}

// Stores what `info` sets as the system's bars do: a reversed or too wide
// range is empty, the page never exceeds the range, and the position is
// pulled back into the range whatever changed. True when a value changed.
bool StoreValues(SCROLLINFO& held, const SCROLLINFO& info)
{
    const SCROLLINFO before = held;
    if (info.fMask & SIF_PAGE)
        held.nPage = info.nPage;
    if (info.fMask & SIF_POS)
        held.nPos = info.nPos;
    if (info.fMask & SIF_RANGE) {
        const bool empty = info.nMin > info.nMax || static_cast<UINT>(info.nMax - info.nMin) >= 0x80000000u;
        held.nMin = empty ? 0 : info.nMin;
        held.nMax = empty ? 0 : info.nMax;
    }
    const long long span = static_cast<long long>(held.nMax) - held.nMin + 1;
    const long long page = static_cast<int>(held.nPage) < 0 ? 0 : held.nPage;
    held.nPage = static_cast<UINT>(std::min(page, span));
    held.nPos = ClampPos(held, held.nPos);
    return held.nPage != before.nPage || held.nPos != before.nPos || held.nMin != before.nMin ||
           held.nMax != before.nMax;
}

// Shows or hides the bar after its values changed, as the system's bars
// follow their values: only a change of range or page counts, a bar with
// nothing to scroll is hidden (or disabled under SIF_DISABLENOSCROLL), and
// a page alone never brings a bar back. True when the frame changed.
bool FollowValues(HWND window, NcScrollBar& bar, UINT mask, bool changed)
{
    if (!(mask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)))
        return false;
    const bool scrollable = bar.info.nMin < HighestPos(bar.info);
    const bool wanted = (bar.flags & kWanted) != 0;
    bool show = wanted;
    if (!scrollable && (mask & SIF_DISABLENOSCROLL))
        bar.flags |= kDisableBoth;
    else if (!scrollable && !(bar.flags & kKeepThumb) && changed)
        show = false;
    else if (scrollable && mask != SIF_PAGE) {
        bar.flags &= ~kDisableBoth;
        show = wanted || changed;
    }
    if (show == wanted)
        return false;
    NcScroll_ShowScrollBar(window, bar.type, show);
    return true;
}

// The record and the subclass, with the frame not yet laid out for the
// bars; null when the window cannot be served.
NcScrollWindow* Subclass(HWND window)
{
    if (!IsWindow(window) || GetPropA(window, kNcScrollProperty))
        return nullptr;
    auto* record = new NcScrollWindow();
    for (int bar = SB_HORZ; bar <= SB_VERT; ++bar) {
        SCROLLINFO& info = record->bars[bar].info;
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        if (GetScrollInfo(window, bar, &info))
            record->valuesExist = true;
        else
            info = kUnsetBarValues;
        record->bars[bar].type = bar;
        record->bars[bar].minThumb = DefaultMinThumb();
    }
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    record->leftScrollBar = (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    if (style & WS_HSCROLL)
        record->bars[SB_HORZ].flags |= kWanted;
    if (style & WS_VSCROLL)
        record->bars[SB_VERT].flags |= kWanted;
    SetPropA(window, kNcScrollProperty, record);
    Served().Add(window, record);
    record->previous = WindowProcedure::Replace(window, NcScrollProc<false>, NcScrollProc<true>);
    if (!record->previous) {
        Served().Remove(window);
        RemovePropA(window, kNcScrollProperty);
        delete record;
        return nullptr;
    }
    record->tooltip = CreateTooltip(window);
    return record;
}

// Whether the size of an addressed bar changed: the frame is laid out
// again only then, each layout being a frame change of the window with its
// non-client area repainted.
bool StoreSizes(NcScrollWindow& record, int bar, int length, int thickness)
{
    bool changed = false;
    ForBars(record, bar, [&](NcScrollBar& b) {
        changed |= b.arrowLength != length || b.thickness != thickness;
        b.arrowLength = length;
        b.thickness = thickness;
    });
    return changed;
}

// Sized from the arrow and the thumb of the skin's normal look; true when
// the bars must be laid out and painted again.
bool StoreSkinSizes(NcScrollWindow& record, const ScrollBarSkin& skin)
{
    const ScrollBarStateLook& normal = skin.states[ScrollBarSkin::StateNormal];
    const int size = normal.arrow1.source.bottom - normal.arrow1.source.top;
    const int minThumb = normal.thumb.source.right - normal.thumb.source.left;
    bool thumbChanged = false;
    ForBars(record, SB_BOTH, [&](NcScrollBar& b) {
        thumbChanged |= b.minThumb != minThumb;
        b.minThumb = minThumb;
    });
    return StoreSizes(record, SB_BOTH, size, size) || thumbChanged;
}

const ScrollBarSkin* CurrentScrollBarSkin()
{
    return dynamic_cast<const ScrollBarSkin*>(SkinManager::Instance().GetSkinStore().FindObjectByType(kTypeScrollBar));
}

}  // namespace

int NcScroll_Install(HWND window)
{
    if (!Subclass(window))
        return 0;
    RecalcFrame(window);
    return 1;
}

HRESULT NcScroll_Remove(HWND window)
{
    return RemoveRecord(window, true);
}

int NcScroll_SetSize(HWND window, int bar, int length, int thickness)
{
    NcScrollWindow* record = RecordOf(window);
    const auto valid = [](int n) { return n != 0 && n >= -8 && n <= 256; };
    if (!record || !valid(length) || !valid(thickness))
        return 0;
    if (bar != SB_BOTH && !SingleBar(*record, bar))
        return 0;
    if (StoreSizes(*record, bar, length, thickness))
        RecalcFrame(window);
    return 1;
}

int NcScroll_SetStyle(HWND window, int bar, int look)
{
    NcScrollWindow* record = RecordOf(window);
    if (!record || !ForBars(*record, bar, [&](NcScrollBar& b) { b.look = look; }))
        return 0;
    RepaintNonClient(window);
    return 1;
}

int NcScroll_SetMinThumbSize(HWND window, int bar, int size)
{
    NcScrollWindow* record = RecordOf(window);
    const int value = size == -1 ? DefaultMinThumb() : size;
    return record && ForBars(*record, bar, [&](NcScrollBar& b) { b.minThumb = value; }) ? 1 : 0;
}

int NcScroll_IsThumbTracking(HWND window)
{
    NcScrollWindow* record = RecordOf(window);
    return record && record->thumbTracking ? 1 : 0;
}

bool NcScroll_ServesWindow(HWND window)
{
    return RecordOf(window) != nullptr;
}

void NcScroll_SetSystemSupport(bool allowed)
{
    g_systemAllows = allowed;
}

bool NcScrollBarsAllowed(WindowsVersionClass version, bool redirected)
{
    switch (version) {
    case WindowsNt4:
    case Windows2000:
    case WindowsXp:
        return true;
    case WindowsNtOther:
        return redirected;
    default:
        return false;
    }
}

bool EnableSkinScrollBars(HWND window)
{
    if (!g_systemAllows || RecordOf(window))
        return false;
    const ScrollBarSkin* skin = CurrentScrollBarSkin();
    NcScrollWindow* record = skin ? Subclass(window) : nullptr;
    if (!record)
        return false;
    // Look and sizes are set before the one frame change that shows them.
    ForBars(*record, SB_BOTH, [](NcScrollBar& b) { b.look = 2; });
    StoreSkinSizes(*record, *skin);
    RecalcFrame(window);
    return true;
}

bool UsesScrollBars(HWND window)
{
    if (GetWindowLongPtrA(window, GWL_STYLE) & kScrollStyles)
        return true;
    for (int bar = SB_HORZ; bar <= SB_VERT; ++bar) {
        SCROLLINFO info = {sizeof info, SIF_RANGE, 0, 0, 0, 0, 0};
        if (GetScrollInfo(window, bar, &info) && info.nMax > info.nMin)
            return true;
    }
    return false;
}

void SizeSkinScrollBars(HWND window)
{
    const ScrollBarSkin* skin = CurrentScrollBarSkin();
    NcScrollWindow* record = RecordOf(window);
    if (skin && record && StoreSkinSizes(*record, *skin))
        RecalcFrame(window);
}

// ---- The replacements ----------------------------------------------------

BOOL WINAPI NcScroll_EnableScrollBar(HWND window, UINT bar, UINT arrows)
{
    NcScrollWindow* record = RecordOf(window);
    if (!record)
        return FALSE;
    bool allChanged = true;
    const bool addressed = ForBars(*record, static_cast<int>(bar), [&](NcScrollBar& b) {
        const UINT flags = (b.flags & ~kDisableBoth) | (arrows & kDisableBoth);
        allChanged = allChanged && flags != b.flags;
        b.flags = flags;
    });
    // The arrows' new look is shown at once, as the system's bars do.
    if (addressed)
        RepaintNonClient(window);
    return addressed && allChanged;
}

BOOL WINAPI NcScroll_GetScrollInfo(HWND window, int bar, LPSCROLLINFO info)
{
    NcScrollBar* b = info && IsValidInfo(*info) ? ValuesOf(window, bar, false) : nullptr;
    if (!b)
        return FALSE;
    const UINT mask = info->fMask;
    if (mask & SIF_PAGE)
        info->nPage = b->info.nPage;
    if (mask & SIF_POS)
        info->nPos = b->info.nPos;
    if (mask & SIF_TRACKPOS)
        info->nTrackPos = b->info.nTrackPos;
    if (mask & SIF_RANGE) {
        info->nMin = b->info.nMin;
        info->nMax = b->info.nMax;
    }
    return (mask & SIF_ALL) != 0;
}

int WINAPI NcScroll_GetScrollPos(HWND window, int bar)
{
    NcScrollBar* b = ValuesOf(window, bar, false);
    return b ? b->info.nPos : 0;
}

BOOL WINAPI NcScroll_GetScrollRange(HWND window, int bar, LPINT minPos, LPINT maxPos)
{
    NcScrollWindow* record = RecordOf(window);
    if (!record || !SingleBar(*record, bar) || !minPos || !maxPos)
        return FALSE;
    // Values never set read as an empty range, as the system's do.
    const NcScrollBar* b = ValuesOf(window, bar, false);
    *minPos = b ? b->info.nMin : 0;
    *maxPos = b ? b->info.nMax : 0;
    return TRUE;
}

int WINAPI NcScroll_SetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    NcScrollWindow* record = RecordOf(window);
    NcScrollBar* b = info && IsValidInfo(*info) ? ValuesOf(window, bar, true) : nullptr;
    if (!b)
        return 0;
    const int previous = b->info.nPos;
    const bool changed = StoreValues(b->info, *info);
    const int pos = (info->fMask & kReturnPrevious) ? previous : b->info.nPos;
    const bool visibilityChanged = FollowValues(window, *b, info->fMask, changed);
    if (redraw && !record->thumbTracking && !visibilityChanged && RecordOf(window))
        RepaintNonClient(window);
    return pos;
}

int WINAPI NcScroll_SetScrollPos(HWND window, int bar, int pos, BOOL redraw)
{
    NcScrollWindow* record = RecordOf(window);
    NcScrollBar* b = ValuesOf(window, bar, true);
    if (!b)
        return 0;
    const int old = b->info.nPos;
    b->info.nPos = ClampPos(b->info, pos);
    if (redraw && !record->thumbTracking)
        RepaintNonClient(window);
    return old;
}

BOOL WINAPI NcScroll_SetScrollRange(HWND window, int bar, int minPos, int maxPos, BOOL redraw)
{
    NcScrollWindow* record = RecordOf(window);
    NcScrollBar* b = ValuesOf(window, bar, true);
    // The system's answers TRUE whatever the bar, as it ignores the result
    // of the SetScrollInfo it makes of the call.
    if (!b)
        return TRUE;
    if (record->thumbTracking)
        return b->info.nPos;
    // A range that leaves the position outside pulls it back, as a list
    // whose content shrank must not keep scrolling past its end.
    const SCROLLINFO range = {sizeof range, SIF_RANGE, minPos, maxPos, 0, 0, 0};
    const bool visibilityChanged = FollowValues(window, *b, SIF_RANGE, StoreValues(b->info, range));
    if (redraw && !visibilityChanged && RecordOf(window))
        RepaintNonClient(window);
    return TRUE;
}

BOOL WINAPI NcScroll_ShowScrollBar(HWND window, int bar, BOOL show)
{
    NcScrollWindow* record = RecordOf(window);
    if (!record)
        return FALSE;
    LONG_PTR styles = 0;
    const bool addressed = ForBars(*record, bar, [&](NcScrollBar& b) {
        b.flags = show == TRUE ? b.flags | kWanted : b.flags & ~kWanted;
        styles |= b.type == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    });
    if (!addressed)
        return FALSE;
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    SetStyleGuarded(window, *record, show == TRUE ? style | styles : style & ~styles);
    RecalcFrame(window);
    return TRUE;
}
