#include "windows/MenuBar.h"

#include "data/ButtonPart.h"
#include "data/SkinStore.h"
#include "imaging/DrawUtils.h"
#include "imaging/MemoryDC.h"
#include "imaging/TextEffect.h"
#include "imaging/WindowHelpers.h"

#include <algorithm>
#include <cctype>

namespace {

const UINT kHotPollMilliseconds = 100;
const int kRowGap = 2;
const int kFirstItemInset = 4;
const UINT kItemTextFormat = DT_SINGLELINE | DT_VCENTER;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

char MnemonicOf(const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return static_cast<char>(toupper(static_cast<unsigned char>(text[i + 1])));
        ++i;
    }
    return 0;
}

}  // namespace

MenuBar::MenuBar(SkinnedWindow& frame) : frame_(frame) {}

MenuBar::~MenuBar()
{
    frame_.StopTimer(*this);
}

void MenuBar::SetSkinObject(const MenuBarSkin* skin)
{
    skin_ = skin;
    font_.Reset(skin ? CreateFontIndirectA(&skin->font.logFont) : nullptr);
}

int MenuBar::AttachMenu(HMENU menu)
{
    items_.clear();
    hot_ = open_ = -1;
    menu_ = menu;
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        std::string text = GetMenuItemText(menu, position, true);
        // Separators and owner-drawn items have no text and no place here.
        if (text.empty())
            continue;
        const char mnemonic = MnemonicOf(text);
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

bool MenuBar::HitTest(int x, int y)
{
    const RECT bar = GetRect();
    const POINT point = {x, y};
    return PtInRect(&bar, point) != FALSE;
}

void MenuBar::SetHot(int index)
{
    if (index == hot_)
        return;
    if (hot_ >= 0)
        items_[hot_].state = ItemNormal;
    hot_ = index;
    if (hot_ >= 0) {
        items_[hot_].state = ItemHot;
        if (!tracking_)
            frame_.StartTimer(*this, kHotPollMilliseconds);
        tracking_ = true;
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
    if (InMenuMode())
        return;
    Layout();
    const int index = ItemAt(x, y);
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
    SetHot(-1);
}

void MenuBar::OnLButtonDown(int x, int y)
{
    Layout();
    const int index = ItemAt(x, y);
    if (index >= 0)
        OpenItem(index);
}

// Until the engine draws its own popup menus, a drop-down opens as the
// system's popup menu, which runs its own modal loop.
void MenuBar::OpenItem(int index)
{
    StopHotTracking();
    hot_ = -1;
    for (Item& item : items_)
        item.state = ItemNormal;
    items_[index].state = ItemOpen;
    open_ = index;
    Repaint();
    const Item item = items_[index];
    HWND window = frame_.Window();
    if (item.submenu) {
        RECT screenRect;
        ::GetWindowRect(window, &screenRect);
        TrackPopupMenuEx(item.submenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON,
                         screenRect.left + item.rect.left, screenRect.top + item.rect.bottom, window, nullptr);
    } else {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(item.command, 0), 0);
    }
    if (IsWindow(window))
        ResetAfterPopup();
}

bool MenuBar::OnMnemonic(WPARAM key)
{
    Layout();
    for (const Item& item : items_) {
        if (!item.mnemonic || static_cast<WPARAM>(item.mnemonic) != key)
            continue;
        // Mnemonics arrive inside the keyboard hook: the drop-down's modal
        // loop must not run there, so the item gets a posted click.
        RECT window;
        HWND frame = frame_.Window();
        ::GetWindowRect(frame, &window);
        PostMessageA(frame, WM_NCLBUTTONDOWN, HTMENU,
                     MAKELPARAM(window.left + item.rect.left + 1, window.top + item.rect.top + 1));
        return true;
    }
    return false;
}

void MenuBar::ResetAfterPopup()
{
    if (open_ >= 0 && open_ < static_cast<int>(items_.size()))
        items_[open_].state = ItemNormal;
    open_ = -1;
    Repaint();
}
