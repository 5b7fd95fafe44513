#include "windows/MenuBar.h"

#include "data/ButtonPart.h"
#include "data/SkinStore.h"
#include "imaging/DrawUtils.h"
#include "imaging/MemoryDC.h"
#include "imaging/TextEffect.h"
#include "imaging/WindowHelpers.h"
#include "windows/MenuItem.h"
#include "windows/SkinnedFrame.h"

#include <algorithm>

namespace {

const UINT kHotPollMilliseconds = 100;
const int kRowGap = 2;
const int kFirstItemInset = 4;
// With a maximised MDI child the first row begins after its system-menu
// button, which sits 2 pixels into the bar.
const int kFirstItemInsetWithMdiButtons = 20;
const int kMdiButtonInset = 2;
// The minimise, restore and close buttons stand this far apart, the close
// button at the bar's right end; together they take the span.
const int kMdiButtonStep = 18;
const int kMdiButtonSpan = 2 * kMdiButtonStep + MdiButton::kSide;
// Where each button's three pictures begin among the skin's twelve.
const int kMdiButtonImage[MenuBar::MdiButtonCount] = {9, 0, 3, 6};
const UINT kItemTextFormat = DT_SINGLELINE | DT_VCENTER;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

MenuBar::MenuBar(SkinnedFrame& frame) : frame_(frame) {}

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
    lastFlow_ = RememberedFlow{};
    for (int i = 0; i < MdiButtonCount; ++i)
        mdiButtons_[i].SetImages(skin ? &skin->mdiButtons[kMdiButtonImage[i]] : nullptr);
}

int MenuBar::AttachMenu(HMENU menu, bool unicode)
{
    popup_.reset();
    items_.clear();
    lastFlow_ = RememberedFlow{};
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
        WindowText shown = unicode ? MenuItemTextW(menu, position) : WindowText(text);
        items_.push_back({std::move(text), std::move(shown), GetMenuItemID(menu, position), GetSubMenu(menu, position),
                          mnemonic, RECT{}, ItemNormal});
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
    item.shown.Draw(hdc, text, kItemTextFormat | DT_CALCRECT);
    const FrameImageRef& hot = skin_->hotImage;
    const FrameImageRef& open = skin_->openImage;
    return {Width(text) + std::max(hot.marginLeft, open.marginLeft) + std::max(hot.marginRight, open.marginRight),
            Height(text) + std::max(hot.marginTop, open.marginTop) + std::max(hot.marginBottom, open.marginBottom)};
}

bool MenuBar::HasMdiButtons() const
{
    HWND child = frame_.GetActiveMdiChild();
    return child && IsZoomed(child);
}

const MenuBar::Flow& MenuBar::FlowItems(int available, bool mdiButtons) const
{
    if (lastFlow_.available != available || lastFlow_.mdiButtons != mdiButtons)
        lastFlow_ = {available, mdiButtons, MeasureFlow(available, mdiButtons)};
    return lastFlow_.flow;
}

MenuBar::Flow MenuBar::MeasureFlow(int available, bool mdiButtons) const
{
    Flow flow;
    WindowDC screen(nullptr);
    ObjectSelector font(screen, font_ ? static_cast<HGDIOBJ>(font_.Get()) : GetStockObject(DEFAULT_GUI_FONT));
    int x = mdiButtons ? kFirstItemInsetWithMdiButtons : kFirstItemInset, row = 0;
    bool rowEmpty = true;
    for (const Item& item : items_) {
        const SIZE size = ItemSize(screen, item);
        // An item wider than a whole row still gets one of its own.
        if (x + size.cx > available && !rowEmpty) {
            ++row;
            x = 0;
        }
        const int top = (size.cy + kRowGap) * row;
        flow.places.push_back({x, top, x + size.cx, top + size.cy});
        x += size.cx;
        rowEmpty = false;
        flow.rowHeight = std::max<int>(flow.rowHeight, size.cy);
    }
    // The last row keeps its right end for the buttons, wide enough for all
    // three so that no item lies under one.
    if (mdiButtons && x > available - kMdiButtonSpan)
        ++row;
    flow.rows = row + 1;
    return flow;
}

int MenuBar::HeightForWidth(int width)
{
    if (items_.empty() || !skin_)
        return 0;
    const FrameImageRef& bar = skin_->barBackground;
    const Flow flow = FlowItems(width - bar.marginLeft - bar.marginRight, HasMdiButtons());
    return (flow.rowHeight + kRowGap) * flow.rows + bar.marginTop + bar.marginBottom;
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
    const bool mdiButtons = HasMdiButtons();
    const Flow flow = FlowItems(Width(area), mdiButtons);
    for (size_t i = 0; i < items_.size(); ++i) {
        items_[i].rect = flow.places[i];
        OffsetRect(&items_[i].rect, area.left, area.top);
    }
    if (mdiButtons) {
        PlaceMdiButtons(area, flow.rowHeight);
    } else if (mdiButtonsShown_) {
        SetHotMdiButton(-1);
        pressedButton_ = -1;
    }
    mdiButtonsShown_ = mdiButtons;
}

// The system-menu button at the start of the first row, the others at the
// end of the last, each a pixel below its row's middle.
void MenuBar::PlaceMdiButtons(const RECT& area, int rowHeight)
{
    const int drop = (rowHeight - MdiButton::kSide + 2) / 2;
    mdiButtons_[MdiSystemMenu].MoveTo(area.left + kMdiButtonInset, area.top + drop);
    const int closeLeft = area.right - MdiButton::kSide;
    const int top = area.bottom - drop - MdiButton::kSide;
    mdiButtons_[MdiClose].MoveTo(closeLeft, top);
    mdiButtons_[MdiRestore].MoveTo(closeLeft - kMdiButtonStep, top);
    mdiButtons_[MdiMinimise].MoveTo(closeLeft - 2 * kMdiButtonStep, top);
}

const MdiButton& MenuBar::GetMdiButton(int index)
{
    Layout();
    return mdiButtons_[index];
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
    if (mdiButtonsShown_)
        for (const MdiButton& button : mdiButtons_)
            button.Draw(hdc, frame_.Store());
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
    item.shown.Draw(hdc, text, kItemTextFormat | KeyboardCuesOf(frame_.Window()).PrefixFormat());
}

void MenuBar::Repaint()
{
    // Every change of the bar's state ends in a repaint.
    AnnounceMenuMode();
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

int MenuBar::MdiButtonAt(int x, int y) const
{
    if (!mdiButtonsShown_)
        return -1;
    for (int i = 0; i < MdiButtonCount; ++i)
        if (mdiButtons_[i].Contains(x, y))
            return i;
    return -1;
}

bool MenuBar::SetHotMdiButton(int hot)
{
    bool changed = false;
    for (int i = 0; i < MdiButtonCount; ++i)
        changed = mdiButtons_[i].SetState(i == hot ? MdiButton::Hot : MdiButton::Normal) || changed;
    return changed;
}

void MenuBar::StartHotTracking()
{
    if (!tracking_)
        frame_.StartTimer(*this, kHotPollMilliseconds);
    tracking_ = true;
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
        // An item chosen from the keyboard stays hot wherever the mouse is:
        // its hover poll stops with the flag, or it would tick for ever.
        if (keyboard_)
            StopHotTracking();
        else
            StartHotTracking();
    }
    Repaint();
    if (keyboard_ && hot_ >= 0)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, frame_.Window(), OBJID_MENU, hot_ + 1);
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
    const bool buttonsChanged = TrackMdiButtons(index < 0 ? MdiButtonAt(x, y) : -1);
    if (index >= 0 || hot_ >= 0)
        SetHot(index);
    if (buttonsChanged)
        Repaint();
}

// A held button shows pressed only while the mouse is on it; otherwise the
// button under the mouse is hot.
bool MenuBar::TrackMdiButtons(int under)
{
    if (under >= 0)
        StartHotTracking();
    if (pressedButton_ < 0)
        return SetHotMdiButton(under);
    const bool changed = SetHotMdiButton(-1);
    return mdiButtons_[pressedButton_].SetState(under == pressedButton_ ? MdiButton::Pressed : MdiButton::Normal) ||
           changed;
}

void MenuBar::OnTimer()
{
    POINT cursor;
    RECT window;
    GetCursorPos(&cursor);
    ::GetWindowRect(frame_.Window(), &window);
    Layout();
    const int x = cursor.x - window.left, y = cursor.y - window.top;
    if (ItemAt(x, y) >= 0 || MdiButtonAt(x, y) >= 0)
        return;
    StopHotTracking();
    // A button released away from the bar never sees its release.
    pressedButton_ = -1;
    const bool buttonsChanged = SetHotMdiButton(-1);
    if (!keyboard_ && hot_ >= 0)
        SetHot(-1);
    else if (buttonsChanged)
        Repaint();
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
    const int button = MdiButtonAt(x, y);
    if (button == MdiSystemMenu) {
        // Last: the menu runs its own loop, in which anything may happen.
        frame_.MdiChildSystemMenu();
        return;
    }
    if (button < 0)
        return;
    pressedButton_ = button;
    TrackMdiButtons(button);
    Repaint();
}

void MenuBar::OnLButtonUp(int x, int y)
{
    const int pressed = pressedButton_;
    pressedButton_ = -1;
    if (pressed < 0)
        return;
    Layout();
    const int button = MdiButtonAt(x, y);
    if (TrackMdiButtons(button))
        Repaint();
    if (button != pressed)
        return;
    // Last: the child may close, and the frame with it.
    if (button == MdiMinimise)
        frame_.MdiChildMinimize();
    else if (button == MdiRestore)
        frame_.MdiChildRestore();
    else if (button == MdiClose)
        frame_.MdiChildClose();
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
    popup->SetItemImages(frame_.GetMenuItemImages());
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

void MenuBar::OnLButtonDblClk(int x, int y)
{
    Layout();
    if (MdiButtonAt(x, y) == MdiSystemMenu)
        frame_.MdiChildClose();
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

void MenuBar::AnnounceMenuMode()
{
    const bool inMenu = keyboard_ || open_ >= 0 || pendingOpen_ >= 0;
    if (inMenu == announcedMenuMode_)
        return;
    announcedMenuMode_ = inMenu;
    NotifyWinEvent(inMenu ? EVENT_SYSTEM_MENUSTART : EVENT_SYSTEM_MENUEND, frame_.Window(), OBJID_MENU, CHILDID_SELF);
}

UINT MenuBar::MenuStateOf(const Item& item) const
{
    const int count = GetMenuItemCount(menu_);
    for (int position = 0; position < count; ++position)
        if (GetSubMenu(menu_, position) == item.submenu &&
            (item.submenu || GetMenuItemID(menu_, position) == item.command))
            return GetMenuState(menu_, position, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    return 0;
}

int MenuBar::AccessibleItemCount()
{
    return static_cast<int>(items_.size());
}

bool MenuBar::DescribeItem(int index, MenuItemFacts& facts)
{
    if (index < 0 || index >= AccessibleItemCount())
        return false;
    const Item& item = items_[index];
    facts.text = item.text;
    facts.state = MenuStateOf(item);
    facts.opensMenu = item.submenu != nullptr;
    facts.hot = index == open_ || (keyboard_ && index == hot_);
    facts.mnemonic = item.mnemonic;
    RECT window;
    ::GetWindowRect(frame_.Window(), &window);
    facts.screen = ItemRect(index);
    OffsetRect(&facts.screen, window.left, window.top);
    return true;
}

void MenuBar::RunItem(int index)
{
    OpenLater(index);
}
