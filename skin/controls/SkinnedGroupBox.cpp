#include "controls/SkinnedGroupBox.h"

#include "data/GroupBoxSkin.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "imaging/WindowHelpers.h"

#include <algorithm>

namespace {

const int kCaptionChars = 200;
const int kCaptionIndent = 4;
const int kCaptionEdge = 2;

// Where DrawFrameBorder draws; null when GDI refused the region.
Region FrameBorderRegion(const RECT& destRect, const FrameImageRef& frame)
{
    Region border(CreateRectRgn(0, 0, 0, 0)), piece(CreateRectRgn(0, 0, 0, 0));
    if (!border || !piece)
        return Region();
    for (int index = 0; index < FramePieceCount; ++index) {
        const RECT dest = FramePieceDest(frame, destRect, index);
        // A region would turn an inverted destination round; nothing is drawn there.
        if (index == PieceCentre || IsRectEmpty(&dest))
            continue;
        SetRectRgn(piece, dest.left, dest.top, dest.right, dest.bottom);
        CombineRgn(border, border, piece, RGN_OR);
    }
    return border;
}

}  // namespace

const GroupBoxSkin* SkinnedGroupBox::Skin() const
{
    return dynamic_cast<const GroupBoxSkin*>(skinObject_);
}

WNDPROC SkinnedGroupBox::Attach(HWND hwnd)
{
    SetWindowLongPtrA(hwnd, GWL_EXSTYLE, GetWindowLongPtrA(hwnd, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
    const WNDPROC previous = SkinnedControl::Attach(hwnd);
    if (previous) {
        RECT area;
        GetClientRect(hwnd, &area);
        RedrawFromParent(area);
    }
    return previous;
}

LRESULT SkinnedGroupBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    switch (message) {
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT:
        return ChangeCaption(message, wParam, lParam);
    default:
        return SkinnedControl::WindowProc(message, wParam, lParam);
    }
}

LRESULT SkinnedGroupBox::ChangeCaption(UINT message, WPARAM wParam, LPARAM lParam)
{
    const RECT before = CaptionRect(ReadText(kCaptionChars));
    const HWND window = window_;
    const LRESULT result = CallPreviousHidden(message, wParam, lParam);
    if (!IsStillSkinOf(window, this))
        return result;
    const RECT after = CaptionRect(ReadText(kCaptionChars));
    RECT both;
    UnionRect(&both, &before, &after);
    if (message == WM_ENABLE)
        GetClientRect(window_, &both);
    RedrawFromParent(both);
    return result;
}

void SkinnedGroupBox::RedrawFromParent(const RECT& area)
{
    const HWND parent = GetParent(window_);
    RECT inParent = area;
    MapWindowPoints(window_, parent, reinterpret_cast<POINT*>(&inParent), 2);
    // The parent repaints its background under the old caption first, then
    // the group box and whatever else lies there paint over it.
    RedrawWindow(parent, &inParent, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

SIZE SkinnedGroupBox::TextSize(HDC dc, const WindowText& text) const
{
    SavedDCState saved(dc);
    if (HFONT font = ControlFont())
        SelectObject(dc, font);
    // An empty caption keeps a line's height.
    return (text.Empty() ? WindowText("A") : text).Extent(dc);
}

RECT SkinnedGroupBox::CaptionRect(const WindowText& text, HDC measure) const
{
    RECT client;
    GetClientRect(window_, &client);
    const GroupBoxSkin* skin = Skin();
    SIZE size;
    if (measure) {
        size = TextSize(measure, text);
    } else {
        WindowDC dc(window_);
        size = TextSize(dc, text);
    }
    if (skin) {
        size.cx += skin->captionImage.marginLeft + skin->captionImage.marginRight;
        size.cy += skin->captionImage.marginTop + skin->captionImage.marginBottom;
    }
    RECT caption = {0, client.top, 0, client.top + size.cy};
    const LONG_PTR align = GetWindowLongPtrA(window_, GWL_STYLE) & BS_CENTER;
    if (align == BS_RIGHT) {
        caption.right = client.right - kCaptionIndent;
        caption.left = std::max<LONG>(client.right - size.cx - kCaptionIndent, client.left + kCaptionEdge);
    } else if (align == BS_CENTER) {
        caption.left = client.left + (client.right - client.left - size.cx) / 2;
        caption.right = caption.left + size.cx;
    } else {
        caption.left = kCaptionIndent;
        caption.right = std::min<LONG>(size.cx + kCaptionIndent, client.right - kCaptionEdge);
    }
    return caption;
}

Region SkinnedGroupBox::PaintSurface(HDC surface)
{
    return PaintPicture(surface);
}

void SkinnedGroupBox::Paint(HDC hdc)
{
    PaintPicture(hdc);
}

Region SkinnedGroupBox::PaintPicture(HDC hdc)
{
    const GroupBoxSkin* skin = Skin();
    // Nothing painted: the parent shows through the whole box.
    if (!skin)
        return Region(CreateRectRgn(0, 0, 0, 0));
    const WindowText text = ReadText(kCaptionChars);
    const RECT caption = CaptionRect(text, hdc);
    const RECT shownCaption = text.Empty() ? RECT{} : caption;
    RECT frame;
    GetClientRect(window_, &frame);
    frame.top = (caption.top + caption.bottom) / 2;
    Region picture = FrameBorderRegion(frame, skin->mainImage);
    Region captionArea(CreateRectRgnIndirect(&shownCaption));
    if (picture && captionArea)
        CombineRgn(picture, picture, captionArea, RGN_OR);
    // The background goes under the border too: key pixels and missing
    // pieces show it, as they show the parent's painting on the screen.
    {
        const ClipRegionScope clip(hdc, picture);
        PaintBackgroundBehind(hdc);
    }
    PaintBorder(hdc, frame, shownCaption);
    if (!text.Empty())
        PaintCaption(hdc, caption, text);
    return picture;
}

void SkinnedGroupBox::PaintBorder(HDC hdc, const RECT& frame, const RECT& caption)
{
    const GroupBoxSkin* skin = Skin();
    const SavedDCState saved(hdc);
    // A transparent caption breaks the border's line: the background stays.
    if (skin->transparent)
        ExcludeClipRect(hdc, caption.left, caption.top, caption.right, caption.bottom);
    DrawFrameBorder(hdc, frame, skin->mainImage, skin->backColour, false, Store());
}

void SkinnedGroupBox::PaintCaption(HDC hdc, RECT caption, const WindowText& text)
{
    const GroupBoxSkin* skin = Skin();
    if (!skin->transparent) {
        const FrameImageRef& image = skin->captionImage;
        DrawFrameImage(hdc, caption, image, skin->captionColour, true, Store());
        caption = {caption.left + image.marginLeft, caption.top + image.marginTop, caption.right - image.marginRight,
                   caption.bottom - image.marginBottom};
    }
    SavedDCState saved(hdc);
    if (HFONT font = ControlFont())
        SelectObject(hdc, font);
    DrawTextWithEffect(hdc, skin->effect, caption, text,
                       DT_CENTER | DT_VCENTER | DT_SINGLELINE | KeyboardCuesOf(window_).PrefixFormat());
}
