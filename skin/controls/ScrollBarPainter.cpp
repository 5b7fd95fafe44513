#include "controls/ScrollBarPainter.h"

#include "controls/NcScrollGeometry.h"
#include "core/SkinManager.h"
#include "data/ScrollBarSkin.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "imaging/DrawUtils.h"
#include "imaging/GdiObject.h"

namespace {

bool IsFrameEmpty(const FrameImageRef& frame)
{
    return frame.name[0] == '\0' || frame.source.right <= frame.source.left || frame.source.bottom <= frame.source.top;
}

ScrollBarSkin::State GroupOf(UINT state)
{
    if (state == kItemPressed)
        return ScrollBarSkin::StatePressed;
    if (state == kItemDisabled)
        return ScrollBarSkin::StateDisabled;
    if (state == kItemHot)
        return ScrollBarSkin::StateHighlighted;
    return ScrollBarSkin::StateNormal;
}

void PaintSkinItem(const ScrollBarSkin& skin, const SkinStore& store, HDC hdc, const RECT& rect, int item, UINT state,
                   int bar)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    if (bar == SB_BOTH) {
        DrawImageRef(hdc, rect, skin.gripper, face, true, store);
        return;
    }
    const ScrollBarStateLook& normal = skin.states[ScrollBarSkin::StateNormal];
    const ScrollBarStateLook& group = skin.states[GroupOf(state)];
    switch (item) {
    case PartArrowLeft:
        DrawImageRef(hdc, rect, IsImageRefEmpty(group.arrow1) ? normal.arrow1 : group.arrow1, face, false, store);
        return;
    case PartArrowRight:
        DrawImageRef(hdc, rect, IsImageRefEmpty(group.arrow2) ? normal.arrow2 : group.arrow2, face, false, store);
        return;
    case PartPageLeft:
    case PartPageRight:
        DrawFrameImage(hdc, rect, IsFrameEmpty(group.bar) ? normal.bar : group.bar, face, false, store);
        return;
    case PartThumb: {
        const bool ownTrack = !IsFrameEmpty(group.thumb) && !IsFrameEmpty(group.bar);
        const FrameImageRef& track = ownTrack ? group.bar : normal.bar;
        DrawFrameImage(hdc, rect, track, face, false, store);
        const RECT thumb = {rect.left, rect.top + track.marginTop, rect.right, rect.bottom - track.marginBottom};
        DrawFrameImage(hdc, thumb, IsFrameEmpty(group.thumb) ? normal.thumb : group.thumb, face, false, store);
        return;
    }
    default:
        return;
    }
}

// Rows alternating 0xAA and 0x55: the system's page-area pattern.
HBITMAP MakeCheckerBitmap()
{
    static const WORD kRows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    return CreateBitmap(8, 8, 1, 1, kRows);
}

void PaintSystemPage(HDC hdc, const RECT& rect, bool pressed)
{
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    COLORREF light = GetSysColor(COLOR_3DHILIGHT);
    if (light == window && light != RGB(255, 255, 255))
        light = GetSysColor(COLOR_BTNFACE);
    COLORREF back = GetSysColor(COLOR_SCROLLBAR);
    if (pressed) {
        light ^= 0xFFFFFF;
        back ^= 0xFFFFFF;
    }
    const Bitmap checker(MakeCheckerBitmap());
    const Brush brush(CreatePatternBrush(checker));
    // A monochrome pattern brush paints its set bits in the background
    // colour and its clear bits in the text colour.
    TextColours colours(hdc, light, back);
    FillRect(hdc, &rect, brush);
}

void PaintSystemThumb(HDC hdc, const RECT& rect, UINT state, int look)
{
    if (look == 2 && (state == kItemHot || state == kItemPressed)) {
        FillSolidRect(hdc, rect, GetSysColor(COLOR_BTNSHADOW));
        return;
    }
    RECT inside = rect;
    DrawEdge(hdc, &inside, EDGE_RAISED, BF_RECT | BF_ADJUST | (look != 0 ? BF_FLAT : 0));
    FillSolidRect(hdc, inside, GetSysColor(COLOR_BTNFACE));
}

UINT ArrowKind(int item, bool vertical)
{
    if (vertical)
        return item == PartArrowLeft ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
    return item == PartArrowLeft ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
}

}  // namespace

LRESULT PaintScrollBarPart(HWND, int, DWORD stage, HDC hdc, const RECT& rect, int item, UINT state, int bar)
{
    SkinStore& store = SkinManager::Instance().GetSkinStore();
    const auto* skin = dynamic_cast<const ScrollBarSkin*>(store.FindObjectByType(kTypeScrollBar));
    if (!skin)
        return 0;
    if (stage == kScrollStageItem)
        PaintSkinItem(*skin, store, hdc, rect, item, state, bar);
    return kPainterSkipDefault;
}

void PaintSystemScrollPart(HDC hdc, const RECT& rect, int item, UINT state, bool vertical, int look)
{
    switch (item) {
    case PartArrowLeft:
    case PartArrowRight: {
        RECT arrow = rect;
        UINT kind = ArrowKind(item, vertical) | (look != 0 ? DFCS_FLAT : 0);
        if (state == kItemPressed)
            kind |= DFCS_PUSHED;
        else if (state == kItemDisabled)
            kind |= DFCS_INACTIVE;
        else if (state == kItemHot)
            kind |= DFCS_HOT;
        DrawFrameControl(hdc, &arrow, DFC_SCROLL, kind);
        return;
    }
    case PartPageLeft:
    case PartPageRight:
        PaintSystemPage(hdc, rect, state == kItemPressed);
        return;
    case PartThumb:
        PaintSystemThumb(hdc, rect, state, look);
        return;
    default:
        return;
    }
}
