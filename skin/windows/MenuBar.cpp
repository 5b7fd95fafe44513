#include "windows/MenuBar.h"

#include "data/ButtonPart.h"
#include "data/SkinStore.h"
#include "imaging/DrawUtils.h"
#include "imaging/MemoryDC.h"
#include "imaging/TextEffect.h"
#include "imaging/WindowHelpers.h"
#include "windows/MenuItem.h"

#include <algorithm>

namespace {

const UINT kHotPollMilliseconds = 100;
const int kRowGap = 2;
const int kFirstItemInset = 4;
const UINT kItemTextFormat = DT_SINGLELINE | DT_VCENTER;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

MenuBar::MenuBar(SkinnedWindow& frame) : frame_(frame) {}

MenuBar::~MenuBar()
{
    popup_.reset();
    frame_.StopTimer(opener_);
    frame_.StopTimer(*this);
}

void MenuBar::SetSkinObject(const MenuBarSkin* skin)
{
    skin_ = skin;
    font_.Reset(skin ? CreateFontIndirectA(&skin->font.logFont) : nullptr);
}

int MenuBar::AttachMenu(HMENU menu)
{
    popup_.reset();
    items_.clear();
    hot_ = open_ = -1;
    keyboard_ = false;
    menu_ = menu;
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        std::string text = GetMenuItemText(menu, position, true);
        // Separators and owner-drawn items have no text and no place here.
        if (text.empty())
            continue;
        const char mnemonic = MenuMnemonic(text);
        items_.push_back({std::move(text), GetMenuItemID(menu, position), GetSubMenu(menu, position), mnemonic,
                          RECT{}, ItemNormal});
    }
    return 1;
}

HMENU MenuBar::DetachMenu()
{
    HMENU menu = menu_;
    AttachMenu(nullptr);
    return menu;
}

SIZE MenuBar::ItemSize(HDC hdc, const Item& item) const
{
    RECT text = {};
    DrawTextA(hdc, item.text.c_str(), static_cast<int>(item.text.size()), &text, kItemTextFormat | DT_CALCRECT);
    const FrameImageRef& hot = skin_->hotImage;
    const FrameImageRef& open = skin_->openImage;
    return {Width(text) + std::max(hot.marginLeft, open.marginLeft) + std::max(hot.marginRight, open.marginRight),
            Height(text) + std::max(hot.marginTop, open.marginTop) + std::max(hot.marginBottom, open.marginBottom)};
}

int MenuBar::HeightForWidth(int width)
{
    if (items_.empty() || !skin_)
        return 0;
    WindowDC screen(nullptr);
    ObjectSelector font(screen, font_ ? static_cast<HGDIOBJ>(font_.Get()) : GetStockObject(DEFAULT_GUI_FONT));
    const FrameImageRef& bar = skin_->barBackground;
    const int available = width - bar.marginLeft - bar.marginRight;
    int rows = 1, x = 0, tallest = 0;
    for (const Item& item : items_) {
        const SIZE size = ItemSize(screen, item);
        if (available < x + size.cx) {
            ++rows;
            x = size.cx;
        } else {
            x += size.cx;
        }
        tallest = std::max<int>(tallest, size.cy);
    }
    return (tallest + kRowGap) * rows + bar.marginTop + bar.marginBottom;
}

RECT MenuBar::GetRect()
{
    const int left = frame_.PartRect(SkinnedWindow::PartLeft).right;
    const int top = frame_.PartRect(SkinnedWindow::PartTopLeft).bottom;
    const int right = frame_.PartRect(SkinnedWindow::PartRight).left;
    return {left, top, right, top + HeightForWidth(right - left)};
}

void MenuBar::Layout()
{
    if (!skin_)
        return;
    const RECT bar = GetRect();
    const FrameImageRef& margins = skin_->barBackground;
    const RECT area = {bar.left + margins.marginLeft, bar.top + margins.marginTop, bar.right - margins.marginRight,
                       bar.bottom - margins.marginBottom};
    WindowDC screen(nullptr);
    ObjectSelector font(screen, font_ ? static_cast<HGDIOBJ>(font_.Get()) : GetStockObject(DEFAULT_GUI_FONT));
    int x = area.left + kFirstItemInset, row = 0;
    for (Item& item : items_) {
        const SIZE size = ItemSize(screen, item);
        if (x + size.cx > area.right && x > area.left) {
            ++row;
            x = area.left;
        }
        const int top = area.top + (size.cy + kRowGap) * row;
        item.rect = {x, top, x + size.cx, top + size.cy};
        x += size.cx;
    }
}

void MenuBar::Draw(HDC hdc)
{
    if (!skin_ || items_.empty())
        return;
    Layout();
    const RECT bar = GetRect();
    // The whole bar, centre included: items are drawn over it.
    DrawFrameImage(hdc, bar, skin_->barBackground, skin_->backColour, true, frame_.Store());
    SavedDCState saved(hdc);
    SetBkMode(hdc, TRANSPARENT);
    if (font_)
        SelectObject(hdc, font_);
    for (const Item& item : items_)
        DrawItem(hdc, item);
}

void MenuBar::DrawItem(HDC hdc, const Item& item) const
{
    RECT text = item.rect;
    const TextEffect* effect = &skin_->idleEffect;
    if (item.state != ItemNormal) {
        const bool open = item.state == ItemOpen;
        const FrameImageRef& image = open ? skin_->openImage : skin_->hotImage;
        DrawFrameImage(hdc, item.rect, image, open ? skin_->openColour : skin_->hotColour, true, frame_.Store());
        text = {text.left + image.marginLeft, text.top + image.marginTop, text.right - image.marginRight,
                text.bottom - image.marginBottom};
        effect = open ? &skin_->openEffect : &skin_->hotEffect;
    }
    SetTextColor(hdc, LoadColour3(effect->textColour));
    DrawTextA(hdc, item.text.c_str(), static_cast<int>(item.text.size()), &text, kItemTextFormat);
}

void MenuBar::Repaint()
{
    HWND window = frame_.Window();
    const RECT bar = GetRect();
    if (IsRectEmpty(&bar))
        return;
    HDC windowDc = GetWindowDC(window);
    if (!windowDc)
        return;
    {
        MemoryDC surface(windowDc, bar.right, bar.bottom);
        Draw(surface.Dc());
        BitBlt(windowDc, bar.left, bar.top, Width(bar), Height(bar), surface.Dc(), bar.left, bar.top, SRCCOPY);
    }
    ReleaseDC(window, windowDc);
}

int MenuBar::ItemAt(int x, int y) const
{
    const POINT point = {x, y};
    for (size_t i = 0; i < items_.size(); ++i)
        if (PtInRect(&items_[i].rect, point))
            return static_cast<int>(i);
    return -1;
}

RECT MenuBar::ItemRect(int index)
{
    Layout();
    return items_[index].rect;
}

bool MenuBar::HitTest(int x, int y)
{
    const RECT bar = GetRect();
    const POINT point = {x, y};
    return PtInRect(&bar, point) != FALSE;
}

void MenuBar::SetState(int index, int state)
{
    if (index >= 0 && index < static_cast<int>(items_.size()))
        items_[index].state = state;
}

void MenuBar::SetHot(int index)
{
    if (index == hot_)
        return;
    if (hot_ >= 0 && hot_ != open_)
        SetState(hot_, ItemNormal);
    hot_ = index;
    if (hot_ >= 0) {
        SetState(hot_, ItemHot);
        if (!tracking_ && !keyboard_)
            frame_.StartTimer(*this, kHotPollMilliseconds);
        tracking_ = !keyboard_;
    }
    Repaint();
}

void MenuBar::StopHotTracking()
{
    if (tracking_)
        frame_.StopTimer(*this);
    tracking_ = false;
}

void MenuBar::OnMouseMove(int x, int y)
{
    Layout();
    const int index = ItemAt(x, y);
    if (InMenuMode()) {
        // Along the bar with a drop-down open: the drop-down follows.
        if (index < 0 || index == open_)
            return;
        if (items_[index].submenu) {
            OpenItem(index, false);
            return;
        }
        ClosePopup();
        SetHot(index);
        return;
    }
    if (keyboard_ && index < 0)
        return;
    keyboard_ = false;
    if (index >= 0 || hot_ >= 0)
        SetHot(index);
}

void MenuBar::OnTimer()
{
    POINT cursor;
    RECT window;
    GetCursorPos(&cursor);
    ::GetWindowRect(frame_.Window(), &window);
    Layout();
    if (ItemAt(cursor.x - window.left, cursor.y - window.top) >= 0)
        return;
    StopHotTracking();
    if (!keyboard_)
        SetHot(-1);
}

void MenuBar::OnLButtonDown(int x, int y)
{
    Layout();
    const int index = ItemAt(x, y);
    keyboard_ = false;
    if (index >= 0 && index == open_) {
        // A second click on the open item closes its drop-down.
        ClosePopup();
        hot_ = -1;
        SetHot(index);
        return;
    }
    if (index >= 0) {
        OpenItem(index, false);
        return;
    }
    if (InMenuMode())
        ClosePopup();
}

void MenuBar::ClosePopup()
{
    // Gone before the state changes: closing it moves the activation back
    // to the frame, which then draws its caption from the bar's state.
    popup_.reset();
    SetState(open_, ItemNormal);
    open_ = -1;
    Repaint();
}

void MenuBar::OpenItem(int index, bool fromKeyboard)
{
    StopHotTracking();
    popup_.reset();
    for (Item& item : items_)
        item.state = ItemNormal;
    hot_ = -1;
    const Item item = items_[index];
    HWND window = frame_.Window();
    if (!item.submenu) {
        // A command on the bar itself has no drop-down: it is chosen.
        open_ = -1;
        keyboard_ = false;
        Repaint();
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(item.command, 0), 0);
        return;
    }
    items_[index].state = ItemOpen;
    open_ = index;
    Repaint();
    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(item.submenu), MAKELPARAM(index, 0));
    if (!IsWindow(window) || open_ != index)
        return;
    auto popup = std::make_unique<PopupMenuWindow>(window, nullptr, PopupMenuWindow::ModeMenuBar);
    if (!popup->Create()) {
        ResetAfterPopup();
        return;
    }
    popup->LoadMenu(item.submenu);
    const SIZE size = popup->Measure();
    RECT screen;
    ::GetWindowRect(window, &screen);
    const int left = screen.left + item.rect.left;
    const int top = screen.top + item.rect.bottom;
    popup_ = std::move(popup);
    popup_->ShowAt(KeepOnScreen({left, top, left + size.cx, top + size.cy}));
    if (fromKeyboard && popup_)
        popup_->SelectFirstItem();
    keyboard_ = false;
}

bool MenuBar::OnMnemonic(WPARAM key)
{
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].mnemonic && static_cast<WPARAM>(items_[i].mnemonic) == key) {
            OpenLater(static_cast<int>(i));
            return true;
        }
    }
    return false;
}

void MenuBar::OpenLater(int index)
{
    pendingOpen_ = index;
    frame_.StartTimer(opener_, USER_TIMER_MINIMUM);
}

void MenuBar::DeferredOpen::OnTimer()
{
    bar_.frame_.StopTimer(*this);
    const int index = bar_.pendingOpen_;
    bar_.pendingOpen_ = -1;
    if (index >= 0 && index < static_cast<int>(bar_.items_.size()))
        bar_.OpenItem(index, true);
}

void MenuBar::ToggleKeyboardMode()
{
    if (InMenuMode()) {
        ClosePopup();
        keyboard_ = false;
        return;
    }
    if (keyboard_ || items_.empty()) {
        keyboard_ = false;
        SetHot(-1);
        return;
    }
    StopHotTracking();
    keyboard_ = true;
    hot_ = -1;
    SetHot(0);
}

bool MenuBar::OnNavigationKey(WPARAM vk)
{
    if (!keyboard_ || hot_ < 0)
        return false;
    const int count = static_cast<int>(items_.size());
    switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
        SetHot((hot_ + (vk == VK_LEFT ? count - 1 : 1)) % count);
        return true;
    case VK_ESCAPE:
        keyboard_ = false;
        SetHot(-1);
        return true;
    case VK_DOWN:
    case VK_UP:
    case VK_RETURN:
        OpenLater(hot_);
        return true;
    default:
        return false;
    }
}

void MenuBar::ResetAfterPopup()
{
    // A drop-down opened since (the bar moved on to another item) stays.
    if (popup_ && popup_->IsShown())
        return;
    if (open_ < 0 && !popup_)
        return;
    ClosePopup();
}
