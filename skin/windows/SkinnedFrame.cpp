#include "windows/SkinnedFrame.h"

#include "controls/NcScroll.h"

#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "data/FrameSkin.h"
#include "data/SkinTypes.h"
#include "imaging/WindowHelpers.h"
#include "windows/CaptionAccessible.h"
#include "windows/FrameHitTest.h"
#include "windows/SkinnedMdiClient.h"
#include "windows/SkinnedMenus.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

const UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

// What an MDI child's default processing answers by retitling its frame:
// a size change to or from maximised, a new text while maximised, an
// activation, a system command.
bool MayRetitleMdiFrame(UINT message)
{
    return message == WM_SIZE || message == WM_SETTEXT || message == WM_CHILDACTIVATE || message == WM_SYSCOMMAND;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

POINT PointOf(LPARAM lParam)
{
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

HWND FindMdiClientOf(HWND frame)
{
    for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[100] = {};
        if (GetClassNameA(child, className, sizeof className) > 0 && lstrcmpiA(className, "MDIClient") == 0)
            return child;
    }
    return nullptr;
}

bool IsBitmapItem(HMENU menu, int position)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoA(menu, position, TRUE, &info) && (info.fType & MFT_BITMAP);
}

// While an MDI child is maximised the system keeps its system menu (a
// picture item in front) and its three buttons (picture items at the end)
// in the frame's menu. Taken into the bar, the menu is out of the system's
// reach when the child is restored, so they are taken out here: the bar
// has buttons of its own, and the menu given back holds none that outlive
// the child.
void RemoveMdiChildItems(HMENU menu, HWND frame)
{
    HWND client = FindMdiClientOf(frame);
    BOOL maximised = FALSE;
    HWND child = client ? reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0,
                                                              reinterpret_cast<LPARAM>(&maximised)))
                        : nullptr;
    if (!child || !maximised)
        return;
    HMENU systemMenu = GetSystemMenu(child, FALSE);
    if (systemMenu && GetSubMenu(menu, 0) == systemMenu && IsBitmapItem(menu, 0))
        RemoveMenu(menu, 0, MF_BYPOSITION);
    for (int last = GetMenuItemCount(menu) - 1; last >= 0 && IsBitmapItem(menu, last); --last) {
        const UINT command = GetMenuItemID(menu, last);
        if (command != SC_MINIMIZE && command != SC_RESTORE && command != SC_CLOSE)
            break;
        RemoveMenu(menu, last, MF_BYPOSITION);
    }
}

}  // namespace

SkinnedFrame::SkinnedFrame() : menuBar_(*this) {}

SkinnedFrame::~SkinnedFrame() = default;

const FrameSkin* SkinnedFrame::Frame() const
{
    const FrameSkinBase* frame = FrameObject();
    return frame && frame->TypeCode() == kTypeFrame ? static_cast<const FrameSkin*>(frame) : nullptr;
}

DWORD SkinnedFrame::NeutralStyle() const
{
    if (mdiChild_)
        return static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_STYLE)) &
               ~(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    return kNeutralStyle;
}

LRESULT SkinnedFrame::CallPreviousNeutral(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallPreviousWithStyle(NeutralStyle(), message, wParam, lParam);
}

bool SkinnedFrame::IsMaximised() const
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    return GetWindowPlacement(window_, &placement) && placement.showCmd == SW_SHOWMAXIMIZED;
}

SkinObject* SkinnedFrame::SetSkinObject(SkinObject* skinObject)
{
    SkinObject* previous = SkinnedWindow::SetSkinObject(skinObject);
    const FrameSkin* frame = Frame();
    menuBar_.SetSkinObject(frame ? &frame->menuBar : nullptr);
    background_.Drop();
    if (!window_ || !skinObject)
        return previous;
    if (HWND client = FindMdiClient()) {
        InvalidateRect(client, nullptr, TRUE);
        UpdateWindow(client);
    }
    if (!IsIconic(window_)) {
        if (IsSizable()) {
            KeepMinimumSize();
        } else {
            FitWindowToClient();
            ForgetRegionSize();
        }
    }
    SizeSkinScrollBars(window_);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0, kFrameChanged);
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
    return previous;
}

// A new skin may have larger fixed parts than the window has room for.
void SkinnedFrame::KeepMinimumSize()
{
    int minWidth, minHeight;
    MinimumFrameSize(minWidth, minHeight);
    RECT window;
    ::GetWindowRect(window_, &window);
    if (Width(window) >= minWidth && Height(window) >= minHeight)
        return;
    if (mdiChild_)
        MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&window), 2);
    MoveWindow(window_, window.left, window.top, std::max<int>(Width(window), minWidth),
               std::max<int>(Height(window), minHeight), TRUE);
}

WNDPROC SkinnedFrame::Attach(HWND hwnd)
{
    mdiChild_ = (GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
    if (mdiChild_)
        return SkinnedWindow::Attach(hwnd);
    if (HMENU menu = GetMenu(hwnd))
        TakeMenu(hwnd, menu);
    WNDPROC previous = SkinnedWindow::Attach(hwnd);
    if (!previous) {
        if (menuBar_.Menu())
            SetMenu(hwnd, menuBar_.DetachMenu());
        return nullptr;
    }
    const int recalculations = frameRecalculations_;
    AttachMdiClient();
    // A frame with scroll bars shows the skin's: the application's own
    // scroll calls reach them through the redirected functions.
    if (UsesScrollBars(hwnd))
        EnableSkinScrollBars(hwnd);
    // Not shown yet: the region is set now without a redraw, so the first
    // show paints the frame once.
    const bool shown = IsWindowVisible(hwnd) != FALSE;
    if (!IsSizable()) {
        FitWindowToClient();
        ForgetRegionSize();
        RedrawWindow(hwnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_ERASENOW | RDW_FRAME);
        if (!shown)
            AdoptWindowSize();
        return previous;
    }
    if (!shown)
        AdoptWindowSize();
    // The skin's frame is worked out once: putting on the scroll bars or
    // the region, where the system does that with a frame change, did it.
    if (frameRecalculations_ == recalculations)
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, kFrameChanged);
    return previous;
}

void SkinnedFrame::AttachMdiClient()
{
    HWND client = FindMdiClient();
    if (!client)
        return;
    SetWindowLongPtrA(client, GWL_STYLE, GetWindowLongPtrA(client, GWL_STYLE) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    SkinnedWindow* skin = SkinManager::Instance().AddWindow(std::make_unique<SkinnedMdiClient>(window_), client);
    if (!skin || !SkinManager::Instance().AttachOrForget(*skin, client))
        return;
    InvalidateRect(client, nullptr, TRUE);
    UpdateWindow(client);
}

void SkinnedFrame::Detach()
{
    // The bars' subclass lies above the frame's: it goes first.
    if (window_)
        NcScroll_Remove(window_);
    if (HWND client = FindMdiClient())
        SkinManager::Instance().UnskinWindow(client);
    HWND window = window_;
    SkinnedWindow::Detach();
    if (menuBar_.Menu() && window) {
        SetMenu(window, menuBar_.DetachMenu());
        ::DrawMenuBar(window);
    }
}

HWND SkinnedFrame::FindMdiClient() const
{
    return window_ ? FindMdiClientOf(window_) : nullptr;
}

HWND SkinnedFrame::GetActiveMdiChild()
{
    HWND client = FindMdiClient();
    return client ? reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
}

void SkinnedFrame::MdiChildSystemMenu()
{
    HWND child = GetActiveMdiChild();
    HWND client = FindMdiClient();
    if (!child)
        return;
    TrackSkinnedSystemMenu(child);
    // What the menu covered, in the children's frames too.
    if (IsWindow(client))
        RedrawWindow(client, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_NOERASE);
}

void SkinnedFrame::MdiChildMinimize()
{
    if (HWND child = GetActiveMdiChild())
        SendMessageA(child, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void SkinnedFrame::MdiChildRestore()
{
    HWND child = GetActiveMdiChild();
    if (child)
        SendMessageA(FindMdiClient(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
}

void SkinnedFrame::MdiChildClose()
{
    if (HWND child = GetActiveMdiChild())
        SendMessageA(child, WM_SYSCOMMAND, SC_CLOSE, 0);
}

int SkinnedFrame::OnMenuKey(WPARAM vk, LPARAM keyFlags)
{
    if (vk == VK_F10) {
        menuBar_.ToggleKeyboardMode();
        return 1;
    }
    if (!(keyFlags & 0x20000000))
        return menuBar_.OnNavigationKey(vk) ? 1 : 0;
    if (vk == VK_SPACE) {
        // Opened from the queue: the hook that saw the key runs no menu.
        PostMessageA(window_, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        return 1;
    }
    return menuBar_.OnMnemonic(vk) ? 1 : 0;
}

void SkinnedFrame::GetMenuBarRect(RECT& rect)
{
    rect = menuBar_.GetRect();
}

void SkinnedFrame::DrawMenuBar(HDC hdc)
{
    menuBar_.Draw(hdc);
}

void SkinnedFrame::DrawCaptionText(HDC hdc, bool)
{
    DrawWindowCaption(hdc);
}

LRESULT SkinnedFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_ || !Frame())
        return SkinnedWindow::WindowProc(message, wParam, lParam);
    std::optional<CaptionHold> hold;
    if (mdiChild_ && MayRetitleMdiFrame(message))
        hold.emplace(GetParent(GetParent(window_)));
    const POINT point = PointOf(lParam);
    RECT window;
    ::GetWindowRect(window_, &window);
    const int x = point.x - window.left;
    const int y = point.y - window.top;
    switch (message) {
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_GETOBJECT: {
        LRESULT result = 0;
        if (static_cast<LONG>(lParam) == OBJID_MENU && menuBar_.Menu())
            return AccessibleObject::Answer(new MenuAccessible(window_, ROLE_SYSTEM_MENUBAR, FindMenuBar), wParam);
        if (CaptionAccessible::AnswerTitleBar(window_, wParam, lParam, result))
            return result;
        break;
    }
    case WM_SIZE:
        OnMdiChildSize();
        break;
    case WM_SETTEXT:
    case WM_SETICON: {
        const LRESULT result = CallPreviousNeutral(message, wParam, lParam);
        RECT band;
        CaptionBandRect(band);
        NcPaintRect(band);
        return result;
    }
    case WM_ERASEBKGND:
        if (EraseClientBackground(reinterpret_cast<HDC>(wParam)))
            return 1;
        break;
    case WM_SETCURSOR:
        return CallPreviousWithoutSysMenu(message, wParam, lParam);
    case WM_GETMINMAXINFO:
        GetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == ' ') {
            TrackSkinnedSystemMenu(window_);
            return 0;
        }
        // fall through
    case WM_CONTEXTMENU: {
        LRESULT result;
        if (RefuseSystemMenu(message, wParam, lParam, message == WM_CONTEXTMENU ? NcHitTest(x, y) : 0, result))
            return result;
        break;
    }
    case WM_WINDOWPOSCHANGED:
        if (mdiChild_)
            return CallPreviousThenRepaint(CurrentStyleWithoutSysMenu(), message, wParam, lParam);
        break;
    case WM_STYLECHANGED:
        if (!OverridingStyle() && wParam == static_cast<WPARAM>(GWL_STYLE)) {
            const LRESULT result = CallPrevious(message, wParam, lParam);
            UpdateCaptionButtons(reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew);
            SendMessageA(window_, WM_NCPAINT, 1, 0);
            return result;
        }
        break;
    case WM_ENABLE:
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
        return CallPreviousThenRepaint(NeutralStyle(), message, wParam, lParam);
    case WM_NCCALCSIZE:
        return OnNcCalcSize(wParam, lParam);
    case WM_NCHITTEST:
        return NcHitTest(x, y);
    case WM_NCPAINT:
        PaintNonClient(wParam);
        return 0;
    case WM_NCACTIVATE:
        return OnNcActivate(wParam, lParam);
    case WM_NCMOUSEMOVE: {
        const LRESULT result = CallPreviousWithoutSysMenu(message, wParam, lParam);
        OnNcMouseMove(static_cast<int>(wParam), x, y);
        return result;
    }
    case WM_NCLBUTTONDOWN:
        OnNcLButtonDown(static_cast<int>(wParam), x, y);
        return 0;
    case WM_NCLBUTTONUP:
        OnNcLButtonUp(static_cast<int>(wParam), x, y);
        return 0;
    case WM_NCLBUTTONDBLCLK:
        OnNcLButtonDblClk(static_cast<int>(wParam), x, y);
        return 0;
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(wParam, lParam);
    case WM_UPDATEUISTATE:
        // The bar's mnemonics follow the frame's cues.
        if (ChangesKeyboardCues(window_, [&] { CallPrevious(message, wParam, lParam); }))
            menuBar_.Repaint();
        return 0;
    case WM_SKIN_MENUCLICK:
    case WM_SKIN_MENUCLICK + 1:
        OnPopupClick(point);
        return 0;
    case WM_SKIN_MENUMOUSEMOVE:
        OnPopupMouseMove(point);
        return 0;
    case WM_SKIN_MENUCLOSED:
        menuBar_.ResetAfterPopup();
        break;
    case WM_SKIN_PAINTBKGND: {
        if (!background_.Exists()) {
            RECT client;
            GetClientRect(window_, &client);
            RebuildClientBackground(client.right, client.bottom);
        }
        BlitChildBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), background_.Dc());
        return 1;
    }
    default:
        break;
    }
    return SkinnedWindow::WindowProc(message, wParam, lParam);
}

void SkinnedFrame::OnDestroy()
{
    if (mdiChild_) {
        RECT rect;
        ::GetWindowRect(window_, &rect);
        MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&rect), 2);
        SendMessageA(GetParent(window_), WM_SKIN_MDICHILDGONE, 0, reinterpret_cast<LPARAM>(&rect));
    }
    // Given back, the menu is destroyed with its window.
    if (menuBar_.Menu())
        SetMenu(window_, menuBar_.DetachMenu());
}

void SkinnedFrame::OnMdiChildSize()
{
    if (!mdiChild_ || !IsZoomed(window_))
        return;
    MINMAXINFO info = {};
    GetMinMaxInfo(info);
    SetWindowPos(window_, nullptr, info.ptMaxPosition.x, info.ptMaxPosition.y, info.ptMaxSize.x, info.ptMaxSize.y,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT SkinnedFrame::OnNcCalcSize(WPARAM wParam, LPARAM lParam)
{
    ++frameRecalculations_;
    RECT& rect = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : *reinterpret_cast<RECT*>(lParam);
    const int sides = Width(parts_[PartLeft]) + Width(parts_[PartRight]);
    CalcClientFromParts(rect, menuBar_.HeightForWidth(Width(rect) - sides));
    return 0;
}

LRESULT SkinnedFrame::OnNcActivate(WPARAM wParam, LPARAM lParam)
{
    if (!mdiChild_ && menuBar_.InMenuMode())
        return 1;
    if (!wParam && menuBar_.InKeyboardMode())
        menuBar_.ToggleKeyboardMode();
    SetActiveCaption(wParam != FALSE);
    return CallPreviousThenRepaint(NeutralStyle(), WM_NCACTIVATE, wParam, lParam);
}

void SkinnedFrame::TakeApplicationMenu()
{
    if (menuBar_.InMenuMode())
        return;
    HMENU menu = GetMenu(window_);
    if (!menu || mdiChild_)
        return;
    // The application set a menu after the frame was skinned.
    TakeMenu(window_, menu);
}

void SkinnedFrame::TakeMenu(HWND window, HMENU menu)
{
    RemoveMdiChildItems(menu, window);
    menuBar_.AttachMenu(menu, IsWindowUnicode(window) != FALSE);
    SetMenu(window, nullptr);
}

void SkinnedFrame::PaintNonClient(WPARAM region)
{
    TakeApplicationMenu();
    if (AdoptWindowSize()) {
        SendMessageA(window_, WM_NCPAINT, 1, 0);
        return;
    }
    const RECT bar = menuBar_.GetRect();
    ComposeNonClient(region, Height(parts_[PartTopLeft]) + Height(bar));
}

int SkinnedFrame::NcHitTest(int x, int y)
{
    // The bar lies inside the client part's rectangle but outside the
    // client area: called client, its clicks would never reach it.
    if (menuBar_.HitTest(x, y))
        return HTMENU;
    if (IsMaximised()) {
        if (LabelHitCode(POINT{x, y}) == HTCAPTION || InCaptionParts(*this, x, y))
            return HTCAPTION;
        const RECT& client = parts_[PartClient];
        const POINT point = {x, y};
        return PtInRect(&client, point) ? HTCLIENT : 0;
    }
    return HitTestFrameParts(*this, x, y, IsSizable(), HTERROR);
}

void SkinnedFrame::OnNcLButtonDown(int hit, int x, int y)
{
    if (DispatchToElements(WM_LBUTTONDOWN, x, y))
        return;
    if (menuBar_.HitTest(x, y)) {
        menuBar_.OnLButtonDown(x, y);
        return;
    }
    if (IsMaximised())
        return;
    RECT window;
    ::GetWindowRect(window_, &window);
    const LPARAM screenPoint = MAKELPARAM(window.left + x, window.top + y);
    const HWND self = window_;
    ++moveSizeDepth_;
    if (mdiChild_) {
        HWND top = TopLevelAncestor();
        StyleOverride topLevel(top, static_cast<DWORD>(GetWindowLongPtrA(top, GWL_STYLE)) & ~WS_SYSMENU);
        CallPreviousWithoutSysMenu(WM_NCLBUTTONDOWN, hit, screenPoint);
    } else {
        CallPreviousWithoutSysMenu(WM_NCLBUTTONDOWN, hit, screenPoint);
    }
    if (IsStillSkinOf(self, this))
        --moveSizeDepth_;
}

void SkinnedFrame::OnNcLButtonUp(int hit, int x, int y)
{
    if (DispatchToElements(WM_LBUTTONUP, x, y))
        return;
    if (menuBar_.HitTest(x, y)) {
        menuBar_.OnLButtonUp(x, y);
        return;
    }
    if (!IsMaximised()) {
        RECT window;
        ::GetWindowRect(window_, &window);
        CallPreviousWithoutSysMenu(WM_NCLBUTTONUP, hit, MAKELPARAM(window.left + x, window.top + y));
        return;
    }
    // A maximised frame runs no move loop, so a second click on its
    // caption within the same second counts as a double click.
    SYSTEMTIME now;
    GetSystemTime(&now);
    const bool quickSecond = now.wYear == lastCaptionUp_.wYear && now.wMonth == lastCaptionUp_.wMonth &&
                             now.wDay == lastCaptionUp_.wDay && now.wHour == lastCaptionUp_.wHour &&
                             now.wMinute == lastCaptionUp_.wMinute && now.wSecond == lastCaptionUp_.wSecond;
    lastCaptionUp_ = now;
    if (quickSecond) {
        lastCaptionUp_ = SYSTEMTIME{};
        OnNcLButtonDblClk(hit, x, y);
    }
}

void SkinnedFrame::OnNcLButtonDblClk(int hit, int x, int y)
{
    if (DispatchToElements(WM_LBUTTONDBLCLK, x, y))
        return;
    if (menuBar_.HitTest(x, y)) {
        menuBar_.OnLButtonDblClk(x, y);
        return;
    }
    if (hit == HTCAPTION && IsSizable())
        SendMessageA(window_, WM_SYSCOMMAND, IsMaximised() ? SC_RESTORE : SC_MAXIMIZE, 0);
}

void SkinnedFrame::OnNcMouseMove(int, int x, int y)
{
    if (DispatchToElements(WM_MOUSEMOVE, x, y))
        return;
    menuBar_.OnMouseMove(x, y);
}

void SkinnedFrame::GetMinMaxInfo(MINMAXINFO& info)
{
    MINMAXINFO system = info;
    const RECT* d = FrameObject()->designRects;
    if (mdiChild_) {
        RECT parent;
        GetClientRect(GetParent(window_), &parent);
        info.ptMaxPosition = {-Width(d[PartLeft]), -Height(d[PartTopLeft])};
        info.ptMaxSize = {parent.right + Width(d[PartLeft]) + Width(d[PartRight]),
                          parent.bottom + Height(d[PartTopLeft]) + Height(d[PartBottomLeft])};
        info.ptMaxTrackSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    } else {
        RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
        RECT bar;
        if (taskbar && IsWindowVisible(taskbar) && ::GetWindowRect(taskbar, &bar)) {
            RECT screen = work;
            SubtractRect(&work, &screen, &bar);
        }
        info.ptMaxPosition = {work.left, work.top};
        info.ptMaxSize = {Width(work) - 1, Height(work) - 1};
    }
    info.ptMinTrackSize = {Width(parts_[PartTopLeft]) + Width(parts_[PartTopRight]) + 10,
                           Height(parts_[PartTopLeft]) + 5};
    CallPrevious(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&system));
    info.ptMaxTrackSize.x = std::min(info.ptMaxTrackSize.x, system.ptMaxTrackSize.x);
    info.ptMaxTrackSize.y = std::min(info.ptMaxTrackSize.y, system.ptMaxTrackSize.y);
    info.ptMinTrackSize.x = std::max(info.ptMinTrackSize.x, system.ptMinTrackSize.x);
    info.ptMinTrackSize.y = std::max(info.ptMinTrackSize.y, system.ptMinTrackSize.y);
}

void SkinnedFrame::DropClientBackground()
{
    background_.Drop();
}

void SkinnedFrame::RebuildClientBackground(int width, int height)
{
    const FrameSkin* frame = Frame();
    if (frame && frame->skinClient)
        background_.Rebuild(*this, width, height);
    else
        background_.Capture(window_, width, height);
}

void SkinnedFrame::OnShowWindow(WPARAM show, LPARAM)
{
    showErasePending_ = show != FALSE;
}

bool SkinnedFrame::EraseClientBackground(HDC hdc)
{
    const FrameSkin* frame = Frame();
    if (!frame || !frame->skinClient)
        return false;
    const bool firstAfterShow = std::exchange(showErasePending_, false);
    if (!background_.Exists()) {
        RECT client;
        GetClientRect(window_, &client);
        if (firstAfterShow) {
            background_.PaintOnce(*this, hdc, client.right, client.bottom);
            return true;
        }
        RebuildClientBackground(client.right, client.bottom);
    }
    return background_.Erase(window_, hdc);
}

void SkinnedFrame::OnPopupClick(POINT screenPoint)
{
    RECT window;
    ::GetWindowRect(window_, &window);
    if (!PtInRect(&window, screenPoint))
        return;
    const int x = screenPoint.x - window.left;
    const int y = screenPoint.y - window.top;
    const int hit = NcHitTest(x, y);
    if (hit == HTCLIENT) {
        POINT client = screenPoint;
        ScreenToClient(window_, &client);
        SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        return;
    }
    SendMessageA(window_, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(screenPoint.x, screenPoint.y));
}

void SkinnedFrame::OnPopupMouseMove(POINT screenPoint)
{
    RECT window;
    ::GetWindowRect(window_, &window);
    const int x = screenPoint.x - window.left;
    const int y = screenPoint.y - window.top;
    OnNcMouseMove(NcHitTest(x, y), x, y);
}

AccessibleMenu* SkinnedFrame::FindMenuBar(HWND window)
{
    auto* frame = dynamic_cast<SkinnedFrame*>(SkinManager::Instance().FindWindowObject(window));
    return frame ? &frame->Bar() : nullptr;
}
