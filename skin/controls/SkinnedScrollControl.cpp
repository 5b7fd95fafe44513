#include "controls/SkinnedScrollControl.h"

#include "controls/ButtonLayout.h"
#include "controls/NcScroll.h"
#include "core/SkinMessages.h"
#include "data/ClientEdgeSkin.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "imaging/DrawUtils.h"
#include "imaging/WindowsVersion.h"

#include <windowsx.h>

namespace {

const UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME;

bool RunningOnWindows98()
{
    static const bool windows98 = GetWindowsVersionClass() == Windows98;
    return windows98;
}

WPARAM MouseKeys(int keys)
{
    return static_cast<WPARAM>(keys);
}

LPARAM MousePoint(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

}  // namespace

const ClientEdgeSkin* SkinnedScrollControl::Skin() const
{
    return dynamic_cast<const ClientEdgeSkin*>(skinObject_);
}

WNDPROC SkinnedScrollControl::Attach(HWND hwnd)
{
    const WNDPROC previous = SkinnedControl::Attach(hwnd);
    // Posted: the bars go on top of this subclass once the control's
    // creation is over and its scroll range is known. A control that hides
    // its bars until it has something to scroll (a rich edit) has already
    // taken its scroll styles away by then.
    if (previous) {
        madeWithScrollBars_ = (GetWindowLongPtrA(hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) != 0;
        PostMessageA(hwnd, WM_SKIN_ENABLESCROLLBARS, 0, 0);
    }
    return previous;
}

void SkinnedScrollControl::Detach()
{
    // The bars' subclass lies on top of this one: it goes first, or
    // restoring the procedure below would cut it out of the chain.
    if (window_ && scrollBarsEnabled_)
        NcScroll_Remove(window_);
    scrollBarsEnabled_ = false;
    SkinnedControl::Detach();
}

SkinObject* SkinnedScrollControl::SetSkinObject(SkinObject* skinObject)
{
    SkinObject* previous = SkinnedControl::SetSkinObject(skinObject);
    if (window_ && scrollBarsEnabled_)
        SizeSkinScrollBars(window_);
    return previous;
}

// Bars another hand put on before this request came lie above this
// subclass just the same: they are taken as this control's, so that the
// detach takes them off before the subclass below them goes. A control
// that can never show a bar (a single-line edit) is spared them.
bool SkinnedScrollControl::MayShowScrollBars() const
{
    return madeWithScrollBars_ || UsesScrollBars(window_);
}

void SkinnedScrollControl::OnEnableScrollBars()
{
    if (!scrollBarsEnabled_ && (MayShowScrollBars() || NcScroll_ServesWindow(window_)))
        scrollBarsEnabled_ = EnableSkinScrollBars(window_) || NcScroll_ServesWindow(window_);
}

LRESULT SkinnedScrollControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    const int keys = GET_KEYSTATE_WPARAM(wParam);
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_NCPAINT:
        return OnNcPaint(reinterpret_cast<HRGN>(wParam));
    case WM_MOUSEWHEEL:
        return OnMouseWheel(keys, GET_WHEEL_DELTA_WPARAM(wParam), x, y);
    case WM_MOUSEMOVE:
        return OnMouseMove(keys, x, y);
    case WM_LBUTTONUP:
        return OnLButtonUp(keys, x, y);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(keys, x, y);
    case WM_LBUTTONDBLCLK:
        return OnLButtonDblClk(keys, x, y);
    case WM_HSCROLL:
        return OnHScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_VSCROLL:
        return OnVScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    // Keys and focus move the current item, which the system repaints at
    // once, over the skin's background.
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return Quietly(message, wParam, lParam);
    case WM_SKIN_ENABLESCROLLBARS:
        OnEnableScrollBars();
        return 0;
    default:
        return SkinnedControl::WindowProc(message, wParam, lParam);
    }
}

void SkinnedScrollControl::OnPaint()
{
    if (!Skin()) {
        CallPrevious(WM_PAINT, 0, 0);
        return;
    }
    PaintBuffered();
}

LRESULT SkinnedScrollControl::OnEraseBackground(HDC)
{
    return 1;
}

LRESULT SkinnedScrollControl::OnMouseWheel(int keys, int delta, int x, int y)
{
    return Quietly(WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)), MousePoint(x, y));
}

LRESULT SkinnedScrollControl::OnMouseMove(int keys, int x, int y)
{
    return Quietly(WM_MOUSEMOVE, MouseKeys(keys), MousePoint(x, y));
}

LRESULT SkinnedScrollControl::OnLButtonUp(int keys, int x, int y)
{
    return Quietly(WM_LBUTTONUP, MouseKeys(keys), MousePoint(x, y));
}

LRESULT SkinnedScrollControl::OnLButtonDown(int keys, int x, int y)
{
    return Quietly(WM_LBUTTONDOWN, MouseKeys(keys), MousePoint(x, y));
}

LRESULT SkinnedScrollControl::OnLButtonDblClk(int keys, int x, int y)
{
    return Quietly(WM_LBUTTONDBLCLK, MouseKeys(keys), MousePoint(x, y));
}

LRESULT SkinnedScrollControl::OnHScroll(int code, int position, HWND bar)
{
    return Quietly(WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(bar));
}

LRESULT SkinnedScrollControl::OnVScroll(int code, int position, HWND bar)
{
    return Quietly(WM_VSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(bar));
}

// ---- Quiet scrolling ------------------------------------------------------

const SkinnedScrollControl::QuietRule* SkinnedScrollControl::FindQuietRule(UINT message) const
{
    const QuietRules table = QuietTable();
    for (size_t i = 0; i < table.count; ++i)
        if (table.rules[i].message == message)
            return &table.rules[i];
    return nullptr;
}

int SkinnedScrollControl::ScrollPosition(int bar) const
{
    SCROLLINFO info = {sizeof info, SIF_POS, 0, 0, 0, 0, 0};
    return GetScrollInfo(window_, bar, &info) ? info.nPos : 0;
}

SkinnedScrollControl::ViewState SkinnedScrollControl::ReadViewState(int bar) const
{
    return ViewState{bar == kNoBar ? 0 : ScrollPosition(bar), Current()};
}

bool SkinnedScrollControl::HiddenFor(const QuietRule& rule, WPARAM wParam) const
{
    switch (rule.hide) {
    case HideAlways:
        return true;
    case HideWithButton:
        return (wParam & MK_LBUTTON) != 0;
    case HideUnlessWindows98:
        return !RunningOnWindows98();
    default:
        return false;
    }
}

LRESULT SkinnedScrollControl::Quietly(UINT message, WPARAM wParam, LPARAM lParam)
{
    const QuietRule* rule = FindQuietRule(message);
    if (!rule)
        return CallPrevious(message, wParam, lParam);
    const HWND window = window_;
    const ViewState before = ReadViewState(rule->bar);
    const LRESULT result =
        HiddenFor(*rule, wParam) ? CallPreviousHidden(message, wParam, lParam) : CallPrevious(message, wParam, lParam);
    if (IsStillSkinOf(window, this))
        RepaintAfter(*rule, wParam, before);
    return result;
}

void SkinnedScrollControl::RepaintAfter(const QuietRule& rule, WPARAM wParam, const ViewState& before)
{
    switch (rule.after) {
    case AfterRedrawIfMoved: {
        if (ReadViewState(rule.bar) != before)
            RedrawWindow(window_, nullptr, nullptr, kRedrawAll);
        break;
    }
    case AfterRedraw:
        RedrawWindow(window_, nullptr, nullptr, kRedrawAll);
        break;
    case AfterUpdateWithButton:
        if (!(wParam & MK_LBUTTON))
            break;
        // fall through
    case AfterUpdate:
        InvalidateRect(window_, nullptr, TRUE);
        UpdateWindow(window_);
        break;
    default:
        break;
    }
}

// ---- Painting -------------------------------------------------------------

void SkinnedScrollControl::PaintClientBackground(HDC hdc, const RECT& client) const
{
    const ClientEdgeSkin& skin = *Skin();
    DrawImageRef(hdc, client, skin.background, skin.backColour, true, Store());
}

// The control paints onto the skin's background; whatever it painted in
// the window colour is then let through to a second copy of the
// background, so that only text, lines and highlights stay.
void SkinnedScrollControl::Paint(HDC surface)
{
    if (!Skin())
        return;
    RECT client;
    GetClientRect(window_, &client);
    PaintClientBackground(surface, client);
    MemoryDC items(surface, client.right, client.bottom);
    if (!items.IsValid())
        return;
    PaintClientBackground(items.Dc(), client);
    // The IP address control knows no WM_PRINTCLIENT (its dots would be
    // lost); it paints into a DC handed to it with WM_PAINT.
    if (ControlType() == kTypeIpAddress)
        CallPrevious(WM_PAINT, reinterpret_cast<WPARAM>(items.Dc()), 0);
    else
        CallPrevious(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(items.Dc()), PRF_CLIENT);
    TransparentBlitScratch(surface, 0, 0, client.right, client.bottom, items.Dc(), GetSysColor(COLOR_WINDOW));
}

SIZE SkinnedScrollControl::BorderWidths(LONG_PTR exStyle)
{
    SIZE border = {0, 0};
    if (exStyle & WS_EX_CLIENTEDGE) {
        border.cx += GetSystemMetrics(SM_CXEDGE);
        border.cy += GetSystemMetrics(SM_CYEDGE);
    }
    if (exStyle & WS_EX_DLGMODALFRAME) {
        border.cx += GetSystemMetrics(SM_CXDLGFRAME);
        border.cy += GetSystemMetrics(SM_CYDLGFRAME);
    }
    if (exStyle & WS_EX_STATICEDGE) {
        border.cx += 1;
        border.cy += 1;
    }
    return border;
}

// The system paints what lies between the border and the client (its
// scroll bars, the frames of other styles), the skin the border itself.
LRESULT SkinnedScrollControl::OnNcPaint(HRGN region)
{
    const ClientEdgeSkin* skin = Skin();
    if (!skin || IsEmptyImage(skin->mainImage))
        return CallPrevious(WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
    const SIZE border = BorderWidths(GetWindowLongPtrA(window_, GWL_EXSTYLE));
    RECT screen;
    ::GetWindowRect(window_, &screen);
    RECT inner = screen;
    InflateRect(&inner, -border.cx, -border.cy);
    const LRESULT result = PaintInsideBorder(inner);
    if (border.cx == 0 && border.cy == 0)
        return result;
    const WholeWindowDC dc(window_);
    if (!dc)
        return result;
    const RECT whole = {0, 0, screen.right - screen.left, screen.bottom - screen.top};
    ExcludeClipRect(dc, border.cx, border.cy, whole.right - border.cx, whole.bottom - border.cy);
    DrawFrameBorder(dc, whole, skin->mainImage, skin->backColour, false, Store());
    return result;
}

// Where the client fills all that lies inside the border, the system's
// pass would paint nothing there: it is spared, with the DC it takes.
LRESULT SkinnedScrollControl::PaintInsideBorder(const RECT& inner)
{
    RECT client;
    GetClientRect(window_, &client);
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    if (EqualRect(&client, &inner))
        return 0;
    const Region insideBorder(CreateRectRgnIndirect(&inner));
    return CallPrevious(WM_NCPAINT, reinterpret_cast<WPARAM>(insideBorder.Get()), 0);
}
