#include "controls/SkinnedStatic.h"

#include "data/StaticSkin.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "imaging/WindowHelpers.h"

#include <algorithm>

namespace {

const int kTextChars = 300;
const LONG_PTR kSimpleBits = 0xB;

bool IsLeftToTheSystem(LONG_PTR style)
{
    // SS_ENHMETAFILE shares SS_SIMPLE's bits. Owner-drawn statics are the
    // owner's to paint: a skin drawing their text would hide the owner's
    // picture.
    return (style & kSimpleBits) == kSimpleBits || (style & SS_TYPEMASK) == SS_OWNERDRAW;
}

}  // namespace

const StaticSkin* SkinnedStatic::Skin() const
{
    return dynamic_cast<const StaticSkin*>(skinObject_);
}

SkinnedStatic::Kind SkinnedStatic::KindOf(LONG_PTR style)
{
    if ((style & 3) == 3)
        return KindIcon;
    if ((style & 0xE) == 0xE)
        return KindBitmap;
    return KindText;
}

UINT SkinnedStatic::TextFormat(LONG_PTR style)
{
    UINT format = DT_LEFT;
    if ((style & SS_RIGHT) == SS_RIGHT)
        format = DT_RIGHT;
    if ((style & SS_CENTER) == SS_CENTER)
        format = DT_CENTER;
    if (style & SS_CENTERIMAGE)
        format |= DT_VCENTER | DT_SINGLELINE;
    if ((style & SS_LEFTNOWORDWRAP) == SS_LEFTNOWORDWRAP)
        format |= DT_SINGLELINE;
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    if ((style & kSimpleBits) == kSimpleBits)
        format |= DT_SINGLELINE;
    return format;
}

WNDPROC SkinnedStatic::Attach(HWND hwnd)
{
    if (IsLeftToTheSystem(GetWindowLongPtrA(hwnd, GWL_STYLE)))
        return nullptr;
    const WNDPROC previous = SkinnedControl::Attach(hwnd);
    if (!previous)
        return nullptr;
    // Asked of the object the attach bound: the one made for this control
    // id may differ from its type's in being transparent.
    const StaticSkin* skin = Skin();
    if (skin && skin->transparent)
        SetWindowLongPtrA(hwnd, GWL_EXSTYLE, GetWindowLongPtrA(hwnd, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
    const HWND parent = GetParent(hwnd);
    RECT area;
    ::GetWindowRect(hwnd, &area);
    ScreenToClientRect(parent, area);
    InvalidateRect(parent, &area, TRUE);
    UpdateWindow(parent);
    return previous;
}

LRESULT SkinnedStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    switch (message) {
    case WM_ENABLE:
    case WM_SETTEXT:
    // The system paints a new icon or bitmap at once.
    case STM_SETICON:
    case STM_SETIMAGE:
        return ChangeContent(message, wParam, lParam);
    default:
        return SkinnedControl::WindowProc(message, wParam, lParam);
    }
}

LRESULT SkinnedStatic::ChangeContent(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    const LRESULT result = CallPreviousHidden(message, wParam, lParam);
    if (IsStillSkinOf(window, this)) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    return result;
}

void SkinnedStatic::Paint(HDC hdc)
{
    if (!Skin())
        return;
    RECT client;
    GetClientRect(window_, &client);
    // Every kind starts from the background: an icon's transparent pixels
    // and whatever a smaller bitmap leaves show what lies behind.
    PaintBackground(hdc, client);
    switch (KindOf(GetWindowLongPtrA(window_, GWL_STYLE))) {
    case KindIcon:
        PaintIcon(hdc);
        break;
    case KindBitmap:
        PaintBitmap(hdc, client);
        break;
    default:
        PaintText(hdc, client);
        break;
    }
}

void SkinnedStatic::PaintBackground(HDC hdc, const RECT& client)
{
    const StaticSkin* skin = Skin();
    if (skin->transparent)
        PaintBackgroundBehind(hdc);
    else
        DrawFrameImage(hdc, client, skin->mainImage, skin->backColour, true, Store());
}

void SkinnedStatic::PaintIcon(HDC hdc)
{
    const auto icon = reinterpret_cast<HICON>(CallPrevious(STM_GETICON, 0, 0));
    if (icon)
        DrawIconEx(hdc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

void SkinnedStatic::PaintBitmap(HDC hdc, const RECT& client)
{
    const auto bitmap = reinterpret_cast<HBITMAP>(CallPrevious(STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP bits = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bits, &bits))
        return;
    OwnedDC source(CreateCompatibleDC(hdc));
    ObjectSelector selected(source, bitmap);
    // Cut to the bitmap: what lies beyond it is not the bitmap's to paint
    // (a copy from outside a bitmap reads undefined pixels).
    if (selected.Selected())
        BitBlt(hdc, 0, 0, std::min<LONG>(client.right, bits.bmWidth), std::min<LONG>(client.bottom, bits.bmHeight),
               source, 0, 0, SRCCOPY);
}

void SkinnedStatic::PaintText(HDC hdc, const RECT& client)
{
    const WindowText text = ReadText(kTextChars);
    SavedDCState saved(hdc);
    if (HFONT font = ControlFont())
        SelectObject(hdc, font);
    IntersectClipRect(hdc, client.left, client.top, client.right, client.bottom);
    DrawTextWithEffect(hdc, Skin()->effect, client, text,
                       TextFormat(GetWindowLongPtrA(window_, GWL_STYLE)) | KeyboardCuesOf(window_).PrefixFormat());
}
