#include "controls/SkinnedTab.h"

#include "controls/ButtonLayout.h"
#include "core/SkinMessages.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "imaging/MemoryDC.h"
#include "imaging/WindowHelpers.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace {

const int kIconGap = 4;
const int kSideTextGap = 4;
// The longest text a tab shows, with its terminator.
const int kItemTextChars = 101;
const LONG_PTR kRightSideBits = TCS_MULTILINE | TCS_VERTICAL | TCS_RIGHT;

}  // namespace

const TabSkin* SkinnedTab::Skin() const
{
    return dynamic_cast<const TabSkin*>(skinObject_);
}

SkinnedTab::Side SkinnedTab::SideOf(LONG_PTR style)
{
    if ((style & kRightSideBits) == kRightSideBits)
        return SideRight;
    if (style & TCS_VERTICAL)
        return SideLeft;
    if (style & TCS_BOTTOM)
        return SideBottom;
    return SideTop;
}

QuarterTurn SkinnedTab::TurnOf(Side side)
{
    switch (side) {
    case SideBottom:
        return TurnHalf;
    case SideLeft:
        return TurnAnticlockwise;
    case SideRight:
        return TurnClockwise;
    default:
        return TurnNone;
    }
}

void SkinnedTab::CutPage(RECT& page, const RECT& tab, Side side)
{
    switch (side) {
    case SideBottom:
        page.bottom = std::min(page.bottom, tab.top + 1);
        break;
    case SideLeft:
        page.left = std::max(page.left, tab.right - 1);
        break;
    case SideRight:
        page.right = std::min(page.right, tab.left + 1);
        break;
    default:
        page.top = std::max(page.top, tab.bottom - 1);
        break;
    }
}

SkinnedTab::TabLayout SkinnedTab::LayoutTab(const RECT& frame, SIZE icon, int textWidth)
{
    const int gap = icon.cx > 0 ? kIconGap : 0;
    const int block = textWidth + gap + icon.cx;
    const int width = frame.right - frame.left;
    const int margin = width < block ? 0 : (width - block) / 2;
    TabLayout layout;
    const int iconTop = frame.top + (frame.bottom - frame.top - icon.cy) / 2;
    layout.icon = {frame.left + margin, iconTop, frame.left + margin + icon.cx, iconTop + icon.cy};
    layout.text = {layout.icon.right + gap, frame.top, frame.right - margin, frame.bottom};
    return layout;
}

WNDPROC SkinnedTab::Attach(HWND hwnd)
{
    if (GetWindowLongPtrA(hwnd, GWL_STYLE) & TCS_OWNERDRAWFIXED)
        return nullptr;
    return SkinnedControl::Attach(hwnd);
}

LRESULT SkinnedTab::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (previous_ && message == WM_SKIN_PAINTBKGND) {
        PaintBackgroundFor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return 1;
    }
    return SkinnedControl::WindowProc(message, wParam, lParam);
}

void SkinnedTab::PaintBackgroundFor(HDC hdc, HWND child)
{
    RECT client;
    GetClientRect(window_, &client);
    if (IsRectEmpty(&client))
        return;
    MemoryDC whole(hdc, client.right, client.bottom);
    if (!whole.IsValid())
        return;
    Paint(whole.Dc());
    BlitChildBackground(hdc, child, whole.Dc());
}

void SkinnedTab::OnPaint()
{
    RECT painted = {};
    GetUpdateRect(window_, &painted, FALSE);
    SkinnedControl::OnPaint();
    RedrawControlsOver(painted);
}

// The page's picture is copied over the controls laid on it, its own
// children too, where the system's page leaves them as they were: a label
// of a dialog template, which no message repaints, would stay lost.
void SkinnedTab::RedrawControlsOver(const RECT& painted) const
{
    RECT onScreen = painted;
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
    auto redraw = [&onScreen](HWND control) {
        RECT area, overlap;
        if (!IsWindowVisible(control) || !::GetWindowRect(control, &area) || !IntersectRect(&overlap, &area, &onScreen))
            return;
        MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&overlap), 2);
        RedrawWindow(control, &overlap, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    };
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        redraw(child);
    for (HWND above = GetWindow(window_, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV))
        redraw(above);
}

bool SkinnedTab::ReadItem(int index, int selected, LONG_PTR style, Item& item) const
{
    const bool unicode = IsUnicode();
    TextBuffer text(unicode, kItemTextChars);
    TCITEMW read = {};
    read.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
    read.dwStateMask = TCIS_BUTTONPRESSED | TCIS_HIGHLIGHTED;
    read.pszText = text.Address<wchar_t>();
    read.cchTextMax = text.Chars();
    if (!CallPrevious(unicode ? TCM_GETITEMW : TCM_GETITEMA, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&read)))
        return false;
    // The control may answer with a text of its own rather than fill ours.
    item.text = read.pszText == text.Address<wchar_t>()
                    ? text.Text()
                    : WindowText::At(read.pszText, unicode).Part(0, kItemTextChars - 1);
    item.image = read.iImage;
    if (!IsWindowEnabled(window_))
        item.state = TabSkin::StateDisabled;
    else if (((style & TCS_BUTTONS) && (read.dwState & TCIS_BUTTONPRESSED)) || index == selected)
        item.state = TabSkin::StatePressed;
    else if (read.dwState & TCIS_HIGHLIGHTED)
        item.state = TabSkin::StateHovered;
    else
        item.state = TabSkin::StateNormal;
    return true;
}

void SkinnedTab::Paint(HDC hdc)
{
    const TabSkin* skin = Skin();
    if (!skin)
        return;
    const LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
    const Side side = SideOf(style);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    RECT client;
    GetClientRect(window_, &client);
    if (skin->transparent)
        PaintBackgroundBehind(hdc);
    else
        DrawFrameImage(hdc, client, skin->mainImage, face, true, Store());

    const int count = static_cast<int>(CallPrevious(TCM_GETITEMCOUNT, 0, 0));
    RECT page = client;
    for (int index = 0; index < count; ++index) {
        RECT tab = {};
        if (CallPrevious(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tab)))
            CutPage(page, tab, side);
    }
    DrawFrameImage(hdc, page, skin->frame, face, true, Store());

    const auto images = reinterpret_cast<HIMAGELIST>(CallPrevious(TCM_GETIMAGELIST, 0, 0));
    SIZE iconSize = {0, 0};
    if (images) {
        int width = 0, height = 0;
        if (ImageList_GetIconSize(images, &width, &height))
            iconSize = {width, height};
    }
    const int selected = static_cast<int>(CallPrevious(TCM_GETCURSEL, 0, 0));
    SavedDCState saved(hdc);
    if (const HFONT font = ControlFont())
        SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    for (int index = 0; index < count; ++index) {
        Item item;
        RECT tab = {};
        if (ReadItem(index, selected, style, item) &&
            CallPrevious(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tab)))
            PaintTab(hdc, tab, item, side, images, iconSize);
    }
}

void SkinnedTab::PaintTab(HDC hdc, const RECT& tab, const Item& item, Side side, HIMAGELIST images, SIZE iconSize)
{
    const TabSkin& skin = *Skin();
    const FrameImageRef& image = PickRef(skin.states[item.state].image, skin.states[TabSkin::StateNormal].image);
    const bool hasIcon = images && item.image >= 0;
    const SIZE icon = hasIcon ? iconSize : SIZE{0, 0};
    const UINT iconFlags = ILD_TRANSPARENT | (item.state == TabSkin::StatePressed ? ILD_BLEND25 : 0);
    const SIZE text = item.text.Extent(hdc);
    const QuarterTurn turn = TurnOf(side);
    const bool across = side == SideLeft || side == SideRight;
    // Tabs on a side lay out along the tab, so their icon turns with the
    // image; tabs on top or at the bottom lay out as they lie.
    const TabLayout layout = LayoutTab(across ? UnturnedFrame(tab, turn) : tab, icon, text.cx);
    DrawTurnedKeyed(hdc, tab, turn, transparentColour_, [&](HDC surface, const RECT& frame) {
        DrawFrameImage(surface, frame, image, 0, false, Store());
        if (hasIcon && across)
            ImageList_Draw(images, item.image, surface, layout.icon.left, layout.icon.top, iconFlags);
    });
    if (hasIcon && !across)
        ImageList_Draw(images, item.image, hdc, layout.icon.left, layout.icon.top, iconFlags);
    PaintTabText(hdc, tab, item, side, layout);
}

void SkinnedTab::PaintTabText(HDC hdc, const RECT& tab, const Item& item, Side side, const TabLayout& layout)
{
    const TabSkin& skin = *Skin();
    const COLORREF colour = LoadColour3(skin.states[item.state].effect.textColour);
    SavedDCState saved(hdc);
    SetTextColor(hdc, colour);
    if (side == SideTop || side == SideBottom) {
        RECT area = layout.text;
        // DT_VCENTER centres single lines only.
        item.text.Draw(hdc, area,
                       DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | KeyboardCuesOf(window_).PrefixFormat());
        return;
    }
    SelectObject(hdc, SideFont(hdc, side));
    const int along = layout.icon.right + kSideTextGap;
    if (side == SideLeft)
        item.text.Out(hdc, tab.left, tab.bottom - along);
    else
        item.text.Out(hdc, tab.right, tab.top + along);
}

HFONT SkinnedTab::SideFont(HDC hdc, Side side)
{
    const auto current = static_cast<HFONT>(GetCurrentObject(hdc, OBJ_FONT));
    LOGFONTA logFont = {};
    // A font the application turned already is used as it is.
    if (!current || !GetObjectA(current, sizeof logFont, &logFont) || logFont.lfEscapement != 0)
        return current;
    logFont.lfEscapement = logFont.lfOrientation = side == SideLeft ? 900 : 2700;
    if (!sideFont_ || memcmp(&logFont, &sideFontLook_, sizeof logFont) != 0) {
        sideFont_.Reset(CreateFontIndirectA(&logFont));
        sideFontLook_ = logFont;
    }
    return sideFont_ ? sideFont_.Get() : current;
}
