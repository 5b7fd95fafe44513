#include "windows/SkinnedDialog.h"

#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "data/FrameSkin.h"
#include "imaging/MemoryDC.h"
#include "windows/CaptionAccessible.h"
#include "windows/FrameHitTest.h"

#include <algorithm>
#include <iterator>

namespace {

const UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
const UINT kRedrawEverything =
    RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_ERASENOW | RDW_FRAME;

// One flag for every dialog of the process: painting the frame can make
// the system ask for it again from inside.
bool g_inNonClientPaint = false;

class NonClientPaintGuard {
public:
    NonClientPaintGuard() : entered_(!g_inNonClientPaint) { g_inNonClientPaint = true; }
    ~NonClientPaintGuard()
    {
        if (entered_)
            g_inNonClientPaint = false;
    }
    bool Entered() const { return entered_; }

    NonClientPaintGuard(const NonClientPaintGuard&) = delete;
    NonClientPaintGuard& operator=(const NonClientPaintGuard&) = delete;

private:
    bool entered_;
};

}  // namespace

bool SkinnedDialog::IsFramed() const
{
    const LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
    return (style & WS_DLGFRAME) || (style & DS_MODALFRAME);
}

void SkinnedDialog::ResizeForFrame()
{
    if (IsFramed() && FrameObject())
        FitWindowToClient();
}

WNDPROC SkinnedDialog::Attach(HWND hwnd)
{
    WNDPROC previous = SkinnedWindow::Attach(hwnd);
    if (!previous)
        return nullptr;
    ResizeForFrame();
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, kFrameChanged);
    // Not shown yet: the region is set now without a redraw, so the first
    // show paints the frame once.
    if (IsFramed() && FrameObject() && !IsWindowVisible(hwnd))
        AdoptWindowSize();
    return previous;
}

SkinObject* SkinnedDialog::SetSkinObject(SkinObject* skinObject)
{
    SkinObject* previous = SkinnedWindow::SetSkinObject(skinObject);
    DropClientBackground();
    if (!window_)
        return previous;
    ResizeForFrame();
    ForgetRegionSize();
    SetWindowPos(window_, nullptr, 0, 0, 0, 0, kFrameChanged);
    RedrawWindow(window_, nullptr, nullptr, kRedrawEverything);
    return previous;
}

void SkinnedDialog::Detach()
{
    DropClientBackground();
    SkinnedWindow::Detach();
}

void SkinnedDialog::DrawCaptionText(HDC hdc, bool)
{
    DrawWindowCaption(hdc);
}

int SkinnedDialog::NcHitTest(int x, int y)
{
    if (LabelHitCode(POINT{x, y}) == HTCAPTION)
        return HTCAPTION;
    const RECT& client = parts_[PartClient];
    const POINT point = {x, y};
    if (PtInRect(&client, point))
        return HTCLIENT;
    if (!IsSizable() || IsMaximised())
        return InCaptionParts(*this, x, y) ? HTCAPTION : 0;
    return HitTestFrameParts(*this, x, y, true, 0);
}

bool SkinnedDialog::EraseClientBackground(HDC hdc)
{
    RECT client;
    GetClientRect(window_, &client);
    const bool resized = !IsFramed() && SizeChanged();
    if (!background_.Exists() || resized) {
        if (resized)
            RememberRegionSize();
        RebuildBackground(client.right, client.bottom);
    }
    return background_.Erase(window_, hdc);
}

void SkinnedDialog::PaintNonClient(WPARAM region)
{
    NonClientPaintGuard guard;
    if (!guard.Entered())
        return;
    AdoptWindowSize();
    ComposeNonClient(region, parts_[PartTopLeft].bottom - parts_[PartTopLeft].top);
}

void SkinnedDialog::RebuildBackground(int width, int height)
{
    childBrushes_.clear();
    background_.Rebuild(*this, width, height);
}

void SkinnedDialog::DropClientBackground()
{
    childBrushes_.clear();
    background_.Drop();
}

// Controls the engine does not skin (owner-drawn buttons, simple statics,
// kinds without a skin of their own, any control of a skin without its
// object) are drawn by the system: they fill their background with the
// brush they are given, so they get what lies behind them instead of a
// grey box. A brush that paints nothing would leave black where a control
// draws off-screen (trackbars) and old text where it draws in place.
LRESULT SkinnedDialog::OnCtlColorUnskinned(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND child = reinterpret_cast<HWND>(lParam);
    if (SkinManager::Instance().FindWindowObject(child))
        return message == WM_CTLCOLORSTATIC ? OnCtlColorStatic(wParam, lParam)
                                            : CallPrevious(message, wParam, lParam);
    CallPrevious(message, wParam, lParam);
    SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    return reinterpret_cast<LRESULT>(BackgroundBrushFor(child));
}

HBRUSH SkinnedDialog::BackgroundBrushFor(HWND child)
{
    RECT place;
    GetClientRect(child, &place);
    MapWindowPoints(child, window_, reinterpret_cast<POINT*>(&place), 2);
    const auto found = childBrushes_.find(child);
    if (found != childBrushes_.end() && EqualRect(&found->second.place, &place))
        return found->second.brush;
    // Brushes of children destroyed since are let go here.
    for (auto entry = childBrushes_.begin(); entry != childBrushes_.end();)
        entry = IsWindow(entry->first) ? std::next(entry) : childBrushes_.erase(entry);
    WindowDC screen(window_);
    MemoryDC surface(screen, std::max(1, static_cast<int>(place.right - place.left)),
                     std::max(1, static_cast<int>(place.bottom - place.top)));
    if (!surface.IsValid())
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    PaintBackgroundBehind(child, surface.Dc());
    ChildBrush& made = childBrushes_[child];
    made.place = place;
    made.brush.Reset();
    made.picture.Reset(surface.DetachBitmap());
    made.brush.Reset(CreatePatternBrush(made.picture));
    return made.brush ? made.brush.Get() : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

bool SkinnedDialog::CommonMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_ERASEBKGND:
        if (!FrameObject() || !EraseClientBackground(reinterpret_cast<HDC>(wParam)))
            return false;
        result = 1;
        return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        result = OnCtlColorUnskinned(message, wParam, lParam);
        return true;
    case WM_GETOBJECT:
        return CaptionAccessible::AnswerTitleBar(window_, wParam, lParam, result);
    case WM_SKIN_PAINTBKGND: {
        if (!background_.Exists()) {
            RECT client;
            GetClientRect(window_, &client);
            RebuildBackground(client.right, client.bottom);
        }
        BlitChildBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), background_.Dc());
        result = 1;
        return true;
    }
    default:
        return false;
    }
}

LRESULT SkinnedDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedWindow::WindowProc(message, wParam, lParam);
    LRESULT result = 0;
    if (CommonMessage(message, wParam, lParam, result))
        return result;
    return IsFramed() && FrameObject() ? FramedWindowProc(message, wParam, lParam)
                                       : PlainWindowProc(message, wParam, lParam);
}

LRESULT SkinnedDialog::PlainWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCDESTROY:
    case WM_CTLCOLOREDIT:
    case WM_SKIN_CHILDDETACHED:
    case WM_TIMER:
        return SkinnedWindow::WindowProc(message, wParam, lParam);
    case WM_CTLCOLORDLG:
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

LRESULT SkinnedDialog::FramedWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    RECT window;
    ::GetWindowRect(window_, &window);
    const int x = static_cast<short>(LOWORD(lParam)) - window.left;
    const int y = static_cast<short>(HIWORD(lParam)) - window.top;
    switch (message) {
    case WM_ENABLE:
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
        return CallPreviousThenRepaint(CurrentStyleWithoutSysMenu(), message, wParam, lParam);
    case WM_NCACTIVATE:
        SetActiveCaption(wParam != FALSE);
        [[fallthrough]];
    case WM_SETTEXT:
    case WM_SETICON:
        // The system draws its own caption for these as soon as it can see one.
        return CallPreviousThenRepaint(kNeutralStyle, message, wParam, lParam);
    case WM_SETCURSOR:
        return CallPreviousWithoutSysMenu(message, wParam, lParam);
    case WM_NCCALCSIZE: {
        RECT& rect = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : *reinterpret_cast<RECT*>(lParam);
        CalcClientFromParts(rect, 0);
        return 0;
    }
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
        return 0;
    case WM_CONTEXTMENU:
    case WM_SYSCOMMAND: {
        LRESULT result;
        if (RefuseSystemMenu(message, wParam, lParam, message == WM_CONTEXTMENU ? NcHitTest(x, y) : 0, result))
            return result;
        break;
    }
    case WM_NCHITTEST:
        return NcHitTest(x, y);
    case WM_NCPAINT:
        PaintNonClient(wParam);
        return 0;
    case WM_NCMOUSEMOVE: {
        const LRESULT result = CallPreviousWithoutSysMenu(message, wParam, lParam);
        DispatchToElements(WM_MOUSEMOVE, x, y);
        return result;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
        if (DispatchToElements(message == WM_NCLBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP, x, y) || IsMaximised())
            return 0;
        return CallPreviousWithoutSysMenu(message, wParam, lParam);
    case WM_NCLBUTTONDBLCLK:
        if (DispatchToElements(WM_LBUTTONDBLCLK, x, y) || !IsSizable())
            return 0;
        CallPreviousThenRepaint(CurrentStyleWithoutSysMenu(), message, wParam, lParam);
        return 0;
    default:
        break;
    }
    return SkinnedWindow::WindowProc(message, wParam, lParam);
}
