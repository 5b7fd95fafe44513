#include "windows/PopupMenuWindow.h"

#include "core/SkinMessages.h"
#include "core/WindowProcedure.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "imaging/DrawUtils.h"
#include "imaging/MemoryDC.h"
#include "imaging/TextEffect.h"
#include "imaging/WindowHelpers.h"

#include <algorithm>
#include <mutex>

namespace {

const char kPopupMenuClass[] = "VeltramoxPopupMenuWnd";
const char kOwnerProcProperty[] = "SKIN_WNDPROC";
const char kOwnerMenuOpenProperty[] = "SKIN_MENUOPEN";
const int kScreenMargin = 2;
const int kCheckMarkSide = 6;
const UINT kItemTextFormat = DT_SINGLELINE | DT_VCENTER;
const WPARAM kMenuClosedSelect = 0xFFFF0000;

// The module the class was registered in; popups are created there.
std::mutex g_classLock;
HINSTANCE g_classInstance = nullptr;
bool g_classRegistered = false;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool IsEmpty(const FrameImageRef& image)
{
    return !image.name[0] || image.source.right <= image.source.left || image.source.bottom <= image.source.top;
}

POINT PointOf(LPARAM lParam)
{
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// While its menu is open the owner keeps its caption drawn active: the
// popup took the activation only to receive the keys.
// The procedure stays in the chain, passing everything on, when another
// subclass was put over it meanwhile: only the top one can be taken away.
template <bool Unicode>
LRESULT CALLBACK KeepCaptionActiveProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WindowProcedure previous(reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOwnerProcProperty)), Unicode);
    if (message == WM_NCACTIVATE && !wParam && GetPropA(hwnd, kOwnerMenuOpenProperty))
        return 1;
    if (message == WM_NCDESTROY) {
        RemovePropA(hwnd, kOwnerProcProperty);
        RemovePropA(hwnd, kOwnerMenuOpenProperty);
    }
    return previous.Call(hwnd, message, wParam, lParam);
}

}  // namespace

// The class is registered when the first popup opens: most programs start
// and draw their windows long before any menu drops down.
bool RegisterPopupMenuClass(HINSTANCE instance)
{
    const std::lock_guard<std::mutex> guard(g_classLock);
    g_classInstance = instance;
    return true;
}

void UnregisterPopupMenuClass(HINSTANCE instance)
{
    const std::lock_guard<std::mutex> guard(g_classLock);
    if (g_classRegistered)
        UnregisterClassA(kPopupMenuClass, instance);
    g_classRegistered = false;
    g_classInstance = nullptr;
}

bool PopupMenuWindow::EnsureClass()
{
    const std::lock_guard<std::mutex> guard(g_classLock);
    if (g_classRegistered || !g_classInstance)
        return g_classRegistered;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_SAVEBITS | CS_CLASSDC;
    windowClass.lpfnWndProc = ClassProc;
    windowClass.hInstance = g_classInstance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszClassName = kPopupMenuClass;
    g_classRegistered = RegisterClassExA(&windowClass) != 0;
    return g_classRegistered;
}

RECT KeepOnScreen(RECT rect)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // A menu taller than the screen would put items where no click reaches:
    // it is cut to the screen and scrolls instead.
    if (Height(rect) > screenHeight - 2 * kScreenMargin)
        rect.bottom = rect.top + screenHeight - 2 * kScreenMargin;
    if (rect.right > screenWidth)
        OffsetRect(&rect, -(rect.right - screenWidth + kScreenMargin), 0);
    if (rect.bottom > screenHeight)
        OffsetRect(&rect, 0, -(rect.bottom - screenHeight + kScreenMargin));
    if (rect.left < 0)
        OffsetRect(&rect, kScreenMargin - rect.left, 0);
    if (rect.top < 0)
        OffsetRect(&rect, 0, kScreenMargin - rect.top);
    return rect;
}

RECT PlacePopup(int x, int y, SIZE size, UINT tpmFlags)
{
    RECT rect;
    if (tpmFlags & TPM_CENTERALIGN)
        rect.left = x - size.cx / 2;
    else if (tpmFlags & TPM_RIGHTALIGN)
        rect.left = x - size.cx;
    else
        rect.left = x;
    if (tpmFlags & TPM_BOTTOMALIGN)
        rect.top = y - size.cy;
    else if (tpmFlags & TPM_VCENTERALIGN)
        rect.top = y - size.cy / 2;
    else
        rect.top = y;
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    return KeepOnScreen(rect);
}

PopupMenuWindow::PopupMenuWindow(HWND owner, PopupMenuWindow* parent, Mode mode)
    : owner_(owner), parent_(parent), mode_(mode)
{
    SkinObject* skin = Store().FindObjectByType(kTypePopupMenu);
    SetSkinObject(skin ? skin : &defaultSkin_);
    font_.Reset(CreateFontIndirectA(&Skin().font.logFont));
    activeCaption_ = true;
}

PopupMenuWindow::~PopupMenuWindow()
{
    CloseChain();
}

const PopupMenuSkin& PopupMenuWindow::Skin() const
{
    return *static_cast<const PopupMenuSkin*>(skinObject_);
}

LRESULT CALLBACK PopupMenuWindow::ClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* popup = static_cast<PopupMenuWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetPropA(hwnd, kObjectProperty, popup);
        popup->window_ = hwnd;
    }
    auto* popup = static_cast<PopupMenuWindow*>(GetPropA(hwnd, kObjectProperty));
    if (!popup)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    try {
        return popup->WindowProc(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

bool PopupMenuWindow::Create()
{
    if (!EnsureClass())
        return false;
    HWND ownerWindow = parent_ ? parent_->Window() : owner_;
    CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPopupMenuClass, "", WS_POPUP, 0, 0, 100, 100, ownerWindow,
                    nullptr, g_classInstance, this);
    return window_ != nullptr;
}

void PopupMenuWindow::LoadMenu(HMENU menu)
{
    ownedItems_ = BuildMenuItemList(menu);
    items_ = ownedItems_.get();
    menu_ = menu;
}

void PopupMenuWindow::BorrowItems(MenuItemList& items, HMENU menu)
{
    ownedItems_.reset();
    items_ = &items;
    menu_ = menu;
}

int PopupMenuWindow::ItemHeight()
{
    const PopupMenuSkin& skin = Skin();
    WindowDC screen(nullptr);
    ObjectSelector font(screen, font_ ? static_cast<HGDIOBJ>(font_.Get()) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE text = {};
    GetTextExtentPoint32A(screen, "TEST", 4, &text);
    int content = text.cy;
    int iconWidth = 0, iconHeight = 0;
    if (itemImages_.normal && ImageList_GetIconSize(itemImages_.normal, &iconWidth, &iconHeight))
        content = std::max(content, std::max(iconWidth, iconHeight));
    return content + skin.activeItemImage.marginTop + skin.activeItemImage.marginBottom + 2;
}

SIZE PopupMenuWindow::Measure()
{
    const PopupMenuSkin& skin = Skin();
    itemHeight_ = ItemHeight();
    int widest = 0;
    if (items_) {
        WindowDC screen(nullptr);
        ObjectSelector font(screen, font_ ? static_cast<HGDIOBJ>(font_.Get()) : GetStockObject(DEFAULT_GUI_FONT));
        SIZE tabGap = {};
        GetTextExtentPoint32A(screen, "    ", 4, &tabGap);
        for (const MenuItem& item : items_->items) {
            SIZE text = {};
            GetTextExtentPoint32A(screen, item.text.c_str(), static_cast<int>(item.text.size()), &text);
            if (item.text.find('\t') != std::string::npos)
                text.cx += tabGap.cx;
            widest = std::max<int>(widest, text.cx);
        }
    }
    const RECT* d = skin.designRects;
    const int count = items_ ? static_cast<int>(items_->items.size()) : 0;
    return {widest + Width(d[PartLeft]) + Width(d[PartRight]) + skin.activeItemImage.marginLeft +
                skin.activeItemImage.marginRight + 2 * itemHeight_ + 1,
            count * itemHeight_ + Height(d[PartTopLeft]) + Height(d[PartBottomLeft])};
}

RECT PopupMenuWindow::ItemArea()
{
    RECT client;
    GetClientRect(window_, &client);
    if (scrolling_) {
        client.top = upBand_.bottom;
        client.bottom = downBand_.top;
    }
    return client;
}

int PopupMenuWindow::ItemAtPoint(POINT clientPoint)
{
    const RECT area = ItemArea();
    if (!items_ || items_->items.empty() || !PtInRect(&area, clientPoint) || itemHeight_ <= 0)
        return -1;
    const int index = (clientPoint.y - area.top) / itemHeight_ + firstVisible_;
    const int last = std::min<int>(firstVisible_ + visibleCount_, static_cast<int>(items_->items.size()));
    return index < last ? index : -1;
}

RECT PopupMenuWindow::ItemRect(int index)
{
    const RECT area = ItemArea();
    const int top = area.top + itemHeight_ * (index - firstVisible_);
    return {area.left, top, area.right, top + itemHeight_};
}

void PopupMenuWindow::ShowAt(const RECT& screenRect)
{
    MoveWindow(window_, screenRect.left, screenRect.top, Width(screenRect), Height(screenRect), FALSE);
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

void PopupMenuWindow::CloseChain()
{
    CloseChild();
    if (!window_)
        return;
    closing_ = true;
    KillTimer(window_, kSubmenuTimer);
    if (!parent_)
        ShowWindow(window_, SW_HIDE);
    // Before the window goes: an event of a destroyed window reaches no one.
    AnnounceEnd();
    DestroyWindow(window_);
    ownedItems_.reset();
    items_ = nullptr;
}

void PopupMenuWindow::CloseChild()
{
    if (!child_)
        return;
    child_->CloseChain();
    child_.reset();
}

PopupMenuWindow& PopupMenuWindow::Root()
{
    PopupMenuWindow* root = this;
    while (root->parent_)
        root = root->parent_;
    return *root;
}

bool PopupMenuWindow::IsChainWindow(HWND window) const
{
    const PopupMenuWindow* root = this;
    while (root->parent_)
        root = root->parent_;
    for (const PopupMenuWindow* popup = root; popup; popup = popup->child_.get())
        if (popup->window_ == window)
            return true;
    return false;
}

bool PopupMenuWindow::ContainsScreenPoint(POINT screen) const
{
    RECT rect;
    ::GetWindowRect(window_, &rect);
    return PtInRect(&rect, screen) != FALSE;
}

void PopupMenuWindow::OnShowWindow(WPARAM show, LPARAM)
{
    if (show)
        BeginTracking();
    else
        EndTracking();
}

void PopupMenuWindow::BeginTracking()
{
    closing_ = false;
    if (!parent_)
        SubclassOwner();
    ComputeScrolling();
    if (items_)
        for (MenuItem& item : items_->items)
            item.hot = false;
    hot_ = -1;
    GetCursorPos(&lastMouse_);
    if (!parent_)
        SetCapture(window_);
    NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, window_, OBJID_CLIENT, CHILDID_SELF);
    announcedOpen_ = true;
}

void PopupMenuWindow::AnnounceEnd()
{
    if (!announcedOpen_)
        return;
    announcedOpen_ = false;
    NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, window_, OBJID_CLIENT, CHILDID_SELF);
}

void PopupMenuWindow::EndTracking()
{
    AnnounceEnd();
    closing_ = true;
    KillTimer(window_, kSubmenuTimer);
    if (parent_)
        return;
    if (GetCapture() == window_)
        ReleaseCapture();
    RestoreOwner();
}

void PopupMenuWindow::SubclassOwner()
{
    HWND top = owner_;
    while (top && (GetWindowLongPtrA(top, GWL_STYLE) & WS_CHILD) && GetParent(top))
        top = GetParent(top);
    if (!top || GetPropA(top, kOwnerMenuOpenProperty))
        return;
    if (!GetPropA(top, kOwnerProcProperty)) {
        const WindowProcedure previous =
            WindowProcedure::Replace(top, KeepCaptionActiveProc<false>, KeepCaptionActiveProc<true>);
        if (!previous)
            return;
        SetPropA(top, kOwnerProcProperty, reinterpret_cast<HANDLE>(previous.Get()));
    }
    SetPropA(top, kOwnerMenuOpenProperty, reinterpret_cast<HANDLE>(1));
    subclassedOwner_ = top;
}

void PopupMenuWindow::RestoreOwner()
{
    HWND top = subclassedOwner_;
    subclassedOwner_ = nullptr;
    if (!top || !IsWindow(top))
        return;
    RemovePropA(top, kOwnerMenuOpenProperty);
    if (WindowProcedure::Installed(top, KeepCaptionActiveProc<false>, KeepCaptionActiveProc<true>)) {
        // Installed in the window's own character set, so restored in it.
        const WindowProcedure previous(reinterpret_cast<WNDPROC>(GetPropA(top, kOwnerProcProperty)),
                                       IsWindowUnicode(top) != FALSE);
        previous.Restore(top);
        RemovePropA(top, kOwnerProcProperty);
    }
    // The deactivation swallowed while the menu was open is owed when the
    // user ended it by activating another program.
    const HWND active = GetActiveWindow();
    if (active != top && active != window_)
        SendMessageA(top, WM_NCACTIVATE, FALSE, 0);
}

void PopupMenuWindow::ComputeScrolling()
{
    itemHeight_ = ItemHeight();
    RECT client;
    GetClientRect(window_, &client);
    const int count = items_ ? static_cast<int>(items_->items.size()) : 0;
    const int height = Height(client);
    firstVisible_ = 0;
    scrolling_ = itemHeight_ > 0 && height < count * itemHeight_;
    if (!scrolling_) {
        visibleCount_ = count;
        upBand_ = downBand_ = RECT{};
        itemOffset_ = 0;
        return;
    }
    visibleCount_ = height / itemHeight_;
    if (height % itemHeight_ < 10)
        --visibleCount_;
    visibleCount_ = std::max(visibleCount_, 1);
    itemOffset_ = (height - visibleCount_ * itemHeight_) / 2;
    upBand_ = {client.left, client.top, client.right, client.top + itemOffset_};
    downBand_ = {client.left, client.bottom - itemOffset_, client.right, client.bottom};
}

void PopupMenuWindow::SendMenuSelect(WPARAM wParam, LPARAM lParam)
{
    SendMessageA(owner_, WM_MENUSELECT, wParam, lParam);
}

void PopupMenuWindow::PostCommand(UINT command)
{
    PostMessageA(owner_, mode_ == ModeSystemMenu ? WM_SYSCOMMAND : WM_COMMAND, command, 0);
}

void PopupMenuWindow::FinishChain()
{
    if (closing_)
        return;
    CloseChild();
    ShowWindow(window_, SW_HIDE);
    SendMenuSelect(kMenuClosedSelect, 0);
    PostMessageA(owner_, WM_SKIN_MENUCLOSED, 0, 0);
}

void PopupMenuWindow::Choose(UINT command)
{
    PostMessageA(parent_ ? parent_->Window() : window_, WM_SKIN_MENUCOMMAND, command, 0);
}

void PopupMenuWindow::SetHot(int index, bool byMouse)
{
    if (index == hot_)
        return;
    KillTimer(window_, kSubmenuTimer);
    if (hot_ >= 0) {
        items_->items[hot_].hot = false;
        InvalidateItem(hot_);
        if (child_) {
            CloseChild();
            SetForegroundWindow(window_);
        }
    }
    hot_ = index;
    if (hot_ < 0)
        return;
    MenuItem& item = items_->items[hot_];
    item.hot = true;
    EnsureVisible(hot_);
    InvalidateItem(hot_);
    const WORD flags = static_cast<WORD>(MF_HILITE | (byMouse ? MF_MOUSESELECT : 0) | (item.submenu ? MF_POPUP : 0));
    const UINT id = item.submenu ? static_cast<UINT>(hot_) : item.command;
    SendMenuSelect(MAKEWPARAM(id, flags), reinterpret_cast<LPARAM>(menu_));
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window_, OBJID_CLIENT, hot_ + 1);
    if (byMouse && item.submenu)
        SetTimer(window_, kSubmenuTimer, kSubmenuDelay, nullptr);
}

void PopupMenuWindow::EnsureVisible(int index)
{
    if (!scrolling_)
        return;
    const int before = firstVisible_;
    if (index < firstVisible_)
        firstVisible_ = index;
    else if (index >= firstVisible_ + visibleCount_)
        firstVisible_ = index - visibleCount_ + 1;
    if (firstVisible_ != before)
        InvalidateRect(window_, nullptr, FALSE);
}

void PopupMenuWindow::InvalidateItem(int index)
{
    const RECT rect = ItemRect(index);
    InvalidateRect(window_, &rect, FALSE);
}

void PopupMenuWindow::SelectFirstItem()
{
    hot_ = -1;
    StepHot(+1);
    UpdateWindow(window_);
}

void PopupMenuWindow::StepHot(int direction)
{
    if (!items_ || items_->items.empty())
        return;
    const int count = static_cast<int>(items_->items.size());
    int index = hot_ >= 0 ? hot_ : (direction > 0 ? count - 1 : 0);
    for (int tried = 0; tried < count; ++tried) {
        index = (index + direction + count) % count;
        if (!items_->items[index].IsSeparator()) {
            SetHot(index, false);
            return;
        }
    }
}

void PopupMenuWindow::OpenSubmenu()
{
    if (hot_ < 0 || child_)
        return;
    MenuItem& item = items_->items[hot_];
    if (!item.submenu)
        return;
    SendMessageA(owner_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(item.submenuHandle), MAKELPARAM(hot_, 0));
    child_ = std::make_unique<PopupMenuWindow>(owner_, this, mode_);
    if (!child_->Create()) {
        child_.reset();
        return;
    }
    child_->BorrowItems(*item.submenu, item.submenuHandle);
    child_->SetItemImages(itemImages_);
    const SIZE size = child_->Measure();
    RECT itemRect = ItemRect(hot_);
    POINT corner = {itemRect.right, itemRect.top};
    ClientToScreen(window_, &corner);
    child_->ShowAt(KeepOnScreen({corner.x, corner.y, corner.x + size.cx, corner.y + size.cy}));
}

bool PopupMenuWindow::TrackMouse(POINT screen)
{
    if (child_ && child_->ContainsScreenPoint(screen) && child_->TrackMouse(screen))
        return true;
    POINT client = screen;
    ScreenToClient(window_, &client);
    const int index = ItemAtPoint(client);
    if (index < 0) {
        if (child_)
            return child_->TrackMouse(screen);
        if (!ContainsScreenPoint(screen))
            SetHot(-1, true);
        return false;
    }
    SetHot(index, true);
    UpdateWindow(window_);
    return true;
}

int PopupMenuWindow::Press(POINT screen, bool rightButton)
{
    POINT client = screen;
    ScreenToClient(window_, &client);
    const bool inside = ContainsScreenPoint(screen);
    if (!child_ && inside && scrolling_) {
        if (PtInRect(&downBand_, client)) {
            if (firstVisible_ + visibleCount_ < static_cast<int>(items_->items.size()))
                ++firstVisible_;
            InvalidateRect(window_, nullptr, FALSE);
            return PressHandled;
        }
        if (PtInRect(&upBand_, client)) {
            if (firstVisible_ > 0)
                --firstVisible_;
            InvalidateRect(window_, nullptr, FALSE);
            return PressHandled;
        }
    }
    const int index = ItemAtPoint(client);
    if (index >= 0) {
        const MenuItem& item = items_->items[index];
        if (!item.IsChoosable())
            return PressHandled;
        const UINT command = item.command;
        if (parent_) {
            ShowWindow(window_, SW_HIDE);
            PostCommand(command);
        } else {
            FinishChain();
            PostCommand(command);
        }
        return PressChosen;
    }
    if (child_) {
        const int result = child_->Press(screen, rightButton);
        if (result == PressChosen && !parent_)
            FinishChain();
        if (result != PressOutside)
            return result;
    }
    if (inside)
        return PressHandled;
    if (parent_)
        return PressOutside;
    if (mode_ == ModeMenuBar)
        PostMessageA(owner_, rightButton ? WM_SKIN_MENUCLICK + 1 : WM_SKIN_MENUCLICK, 0,
                     MAKELPARAM(screen.x, screen.y));
    FinishChain();
    return PressOutside;
}

void PopupMenuWindow::OnKeyDown(WPARAM vk)
{
    switch (vk) {
    case VK_RETURN:
        if (hot_ >= 0 && items_->items[hot_].IsChoosable())
            Choose(items_->items[hot_].command);
        break;
    case VK_ESCAPE:
    case VK_LEFT:
        if (parent_)
            PostMessageA(parent_->Window(), WM_SKIN_CLOSESUBMENU, 0, 0);
        else
            FinishChain();
        break;
    case VK_UP:
    case VK_DOWN:
        StepHot(vk == VK_UP ? -1 : +1);
        break;
    case VK_RIGHT:
        OpenSubmenu();
        if (child_)
            child_->SelectFirstItem();
        break;
    default:
        break;
    }
    if (window_ && IsWindow(window_))
        UpdateWindow(window_);
}

int PopupMenuWindow::OnMenuKey(WPARAM vk, LPARAM keyFlags)
{
    if (!(keyFlags & 0x20000000) || !items_)
        return 0;
    for (const MenuItem& item : items_->items) {
        if (!item.mnemonic || static_cast<WPARAM>(item.mnemonic) != vk)
            continue;
        if (!item.IsChoosable())
            return 1;
        Choose(item.command);
        return 1;
    }
    return 0;
}

void PopupMenuWindow::OnNcDestroy()
{
    // A submenu is destroyed without being hidden first.
    AnnounceEnd();
    KillTimer(window_, kSubmenuTimer);
    if (GetCapture() == window_)
        ReleaseCapture();
    RestoreOwner();
    RemovePropA(window_, kObjectProperty);
    window_ = nullptr;
}

LRESULT PopupMenuWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCALCSIZE: {
        RECT& rect = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : *reinterpret_cast<RECT*>(lParam);
        CalcClientFromParts(rect, 0);
        return 0;
    }
    case WM_NCPAINT:
        PaintNonClient(wParam);
        return 0;
    case WM_NCACTIVATE:
        SetActiveCaption(wParam != FALSE);
        if (IsShown())
            PaintNonClient(1);
        return 1;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(window_, &ps);
        RECT client;
        GetClientRect(window_, &client);
        {
            MemoryDC surface(hdc, client.right, client.bottom);
            Paint(surface.Dc());
            BitBlt(hdc, 0, 0, client.right, client.bottom, surface.Dc(), 0, 0, SRCCOPY);
        }
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_SHOWWINDOW:
        OnShowWindow(wParam, lParam);
        break;
    case WM_MOUSEMOVE: {
        POINT screen = PointOf(lParam);
        ClientToScreen(window_, &screen);
        // The system reports a still mouse when windows appear under it;
        // that must not undo a selection made with the keys.
        if (screen.x == lastMouse_.x && screen.y == lastMouse_.y)
            return 0;
        lastMouse_ = screen;
        if (!TrackMouse(screen) && mode_ == ModeMenuBar && !parent_)
            PostMessageA(owner_, WM_SKIN_MENUMOUSEMOVE, 0, MAKELPARAM(screen.x, screen.y));
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        POINT screen = PointOf(lParam);
        ClientToScreen(window_, &screen);
        Press(screen, message == WM_RBUTTONDOWN);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kSubmenuTimer) {
            KillTimer(window_, kSubmenuTimer);
            OpenSubmenu();
            return 0;
        }
        break;
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return 0;
    case WM_CHAR:
        return 0;
    case WM_SYSCOMMAND:
        // A popup has no system menu or menu bar of the system's to open.
        if ((wParam & 0xFFF0) == SC_KEYMENU || (wParam & 0xFFF0) == SC_MOUSEMENU)
            return 0;
        break;
    case WM_SKIN_MENUKEY:
        return OnMenuKey(wParam, lParam);
    case WM_SKIN_MENUCOMMAND:
        if (parent_) {
            PostMessageA(parent_->Window(), WM_SKIN_MENUCOMMAND, wParam, lParam);
        } else {
            FinishChain();
            PostCommand(static_cast<UINT>(wParam));
        }
        return 0;
    case WM_SKIN_CLOSESUBMENU:
        if (child_) {
            CloseChild();
            SetForegroundWindow(window_);
            // The reader goes back to the item the submenu was opened from.
            NotifyWinEvent(EVENT_OBJECT_FOCUS, window_, OBJID_CLIENT, hot_ + 1);
        }
        return 0;
    case WM_DRAWITEM:
        return SendMessageA(owner_, message, wParam, lParam);
    // The capture does not bring clicks made outside the program: losing
    // it, or the activation, or being told to cancel ends the whole menu.
    case WM_CAPTURECHANGED:
        if (!parent_ && !closing_ && !IsChainWindow(reinterpret_cast<HWND>(lParam)))
            PostMessageA(window_, WM_CANCELMODE, 0, 0);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE && !closing_ && !IsChainWindow(reinterpret_cast<HWND>(lParam)))
            PostMessageA(Root().Window(), WM_CANCELMODE, 0, 0);
        break;
    case WM_CANCELMODE:
        if (!parent_ && IsShown())
            FinishChain();
        return 0;
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) != OBJID_CLIENT)
            break;
        return AccessibleObject::Answer(new MenuAccessible(window_, ROLE_SYSTEM_MENUPOPUP, FindPopup), wParam);
    case WM_CLOSE:
        // Alt+F4 on an open menu ends the menu, not a window of the chain
        // that its owner still holds.
        PostMessageA(Root().Window(), WM_CANCELMODE, 0, 0);
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void PopupMenuWindow::PaintNonClient(WPARAM region)
{
    LayoutParts(WindowRectAtOrigin());
    if (SizeChanged()) {
        RememberRegionSize();
        ApplyWindowRegion(BuildWindowRegion());
    }
    ComposeNonClient(region, Height(parts_[PartTopLeft]));
}

void PopupMenuWindow::Paint(HDC hdc)
{
    DrawBackground(hdc, true);
    if (!items_)
        return;
    const int last = std::min<int>(firstVisible_ + visibleCount_, static_cast<int>(items_->items.size()));
    for (int index = firstVisible_; index < last; ++index)
        DrawItem(hdc, items_->items[index], ItemRect(index));
    if (scrolling_)
        DrawScrollArrows(hdc);
}

void PopupMenuWindow::DrawScrollArrows(HDC hdc)
{
    const int mid = Width(upBand_) / 2;
    const int top = upBand_.top;
    const int bottom = downBand_.bottom;
    ObjectSelector pen(hdc, GetStockObject(BLACK_PEN));
    FillTriangle(hdc, mid - 4, top + 4, mid, top, mid + 4, top + 4, RGB(0, 0, 0));
    FillTriangle(hdc, mid - 4, bottom - 5, mid + 4, bottom - 5, mid, bottom - 1, RGB(0, 0, 0));
}

void PopupMenuWindow::DrawSeparator(HDC hdc, const RECT& rect)
{
    const PopupMenuSkin& skin = Skin();
    const FrameImageRef& image = skin.separatorImage;
    if (IsEmpty(image)) {
        const int middle = (rect.top + rect.bottom) / 2;
        FillSolidRect(hdc, {rect.left + skin.activeItemImage.marginLeft, middle,
                            rect.right - skin.activeItemImage.marginRight, middle + 1},
                      skin.itemSeparatorColour);
        return;
    }
    RECT area = rect;
    const int sourceHeight = image.source.bottom - image.source.top;
    if (sourceHeight < Height(rect))
        InflateRect(&area, 0, -(Height(rect) - sourceHeight) / 2);
    DrawFrameImageKeyed(hdc, area, image, transparentColour_, Store());
}

// A check or submenu mark from the skin, drawn with the key colour left
// out, or the plain mark when the skin has none.
void PopupMenuWindow::DrawMark(HDC hdc, const ImageRef& image, const RECT& cell)
{
    MemoryDC surface(hdc, Width(cell), Height(cell));
    DrawImageRef(surface.Dc(), {0, 0, Width(cell), Height(cell)}, image, transparentColour_, true, Store());
    Bitmap picture(surface.DetachBitmap());
    DrawBitmapMasked(hdc, picture, cell, transparentColour_);
}

void PopupMenuWindow::DrawItemImage(HDC hdc, const MenuItem& item, int left, int top, int side)
{
    const int index = itemImages_.IndexOf(item.command);
    HIMAGELIST list = itemImages_.ListFor(item.hot, item.IsEnabled());
    if (index < 0 || !list)
        return;
    ImageList_DrawEx(list, index, hdc, left, top, side, side, CLR_DEFAULT, CLR_DEFAULT, ILD_TRANSPARENT);
}

void PopupMenuWindow::DrawItem(HDC hdc, const MenuItem& item, const RECT& rect)
{
    if (item.IsSeparator()) {
        DrawSeparator(hdc, rect);
        return;
    }
    const PopupMenuSkin& skin = Skin();
    const FrameImageRef& padding = skin.activeItemImage;
    const int height = Height(rect);
    if (item.hot) {
        if (IsEmpty(padding))
            FillSolidRect(hdc, rect, skin.itemActiveColour);
        else
            DrawFrameImageKeyed(hdc, rect, padding, transparentColour_, Store());
    }
    const TextEffect& effect =
        !item.IsEnabled() ? skin.disabledEffect : (item.hot ? skin.activeEffect : skin.normalEffect);
    const RECT textRect = {rect.left + padding.marginLeft + height + 1, rect.top + padding.marginTop,
                           rect.right - padding.marginRight - height, rect.bottom - padding.marginBottom};
    {
        SavedDCState saved(hdc);
        SetBkMode(hdc, TRANSPARENT);
        if (font_)
            SelectObject(hdc, font_);
        const WindowText text(item.text);
        const int tab = text.Find('\t');
        // The menu shows the mnemonics its owner's window shows.
        const UINT format = kItemTextFormat | KeyboardCuesOf(owner_).PrefixFormat();
        DrawTextWithEffect(hdc, effect, textRect, text.Part(0, tab), format);
        if (tab != WindowText::kNotFound)
            DrawTextWithEffect(hdc, effect, textRect, text.Part(tab + 1), format | DT_RIGHT);
    }
    const int side = height - padding.marginTop - padding.marginBottom - 2;
    const RECT iconCell = {rect.left + padding.marginLeft + 1, rect.top + padding.marginTop + 1,
                           rect.left + padding.marginLeft + side, rect.top + padding.marginTop + 1 + side};
    const int middle = (iconCell.top + iconCell.bottom) / 2;
    if (item.IsChecked()) {
        if (IsImageRefEmpty(skin.checkImage)) {
            const int x = rect.left + padding.marginLeft + height / 2 - kCheckMarkSide / 2;
            const int y = (rect.top + rect.bottom) / 2 - kCheckMarkSide / 2;
            FillSolidRect(hdc, {x, y, x + kCheckMarkSide, y + kCheckMarkSide}, RGB(0, 0, 0));
        } else {
            DrawMark(hdc, skin.checkImage, iconCell);
        }
    } else {
        DrawItemImage(hdc, item, iconCell.left, iconCell.top, side);
    }
    if (item.submenu) {
        if (IsImageRefEmpty(skin.submenuImage)) {
            const int x = rect.right - padding.marginRight - 8;
            ObjectSelector pen(hdc, GetStockObject(BLACK_PEN));
            FillTriangle(hdc, x, middle - 4, x, middle + 4, x + 4, middle, RGB(0, 0, 0));
        } else {
            const int right = rect.right - padding.marginRight - 2;
            DrawMark(hdc, skin.submenuImage, {right - (side - 1), iconCell.top, right, iconCell.bottom});
        }
    }
}

namespace {

bool IsPopupMenuWindow(HWND window)
{
    char className[64] = {};
    return GetClassNameA(window, className, sizeof className) && lstrcmpiA(className, kPopupMenuClass) == 0;
}

BOOL CALLBACK CancelPopupMenu(HWND window, LPARAM)
{
    if (IsPopupMenuWindow(window))
        SendMessageA(window, WM_CANCELMODE, 0, 0);
    return TRUE;
}

}  // namespace

void EndSkinnedMenus()
{
    EnumThreadWindows(GetCurrentThreadId(), CancelPopupMenu, 0);
}

AccessibleMenu* PopupMenuWindow::FindPopup(HWND window)
{
    if (!IsPopupMenuWindow(window))
        return nullptr;
    return static_cast<PopupMenuWindow*>(GetPropA(window, kObjectProperty));
}

int PopupMenuWindow::AccessibleItemCount()
{
    return items_ ? static_cast<int>(items_->items.size()) : 0;
}

bool PopupMenuWindow::DescribeItem(int index, MenuItemFacts& facts)
{
    if (index < 0 || index >= AccessibleItemCount())
        return false;
    const MenuItem& item = items_->items[index];
    facts.text = item.text;
    facts.state = item.state;
    facts.opensMenu = item.submenu != nullptr;
    facts.hot = index == hot_;
    facts.screen = ItemRect(index);
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&facts.screen), 2);
    return true;
}

void PopupMenuWindow::RunItem(int index)
{
    SetHot(index, false);
    if (items_->items[index].submenu) {
        OpenSubmenu();
        return;
    }
    Choose(items_->items[index].command);
}
