#include "controls/SkinnedPushButton.h"

#include "controls/ButtonLayout.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "imaging/MemoryDC.h"
#include "imaging/Regions.h"
#include "imaging/WindowHelpers.h"

namespace {

const int kDefaultIconSize = 32;

SIZE IconSize(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return {kDefaultIconSize, kDefaultIconSize};
    const Bitmap colour(info.hbmColor);
    const Bitmap mask(info.hbmMask);
    BITMAP bits = {};
    if (colour && GetObjectA(colour, sizeof bits, &bits))
        return {bits.bmWidth, bits.bmHeight};
    // A monochrome icon keeps both masks, one above the other, in hbmMask.
    if (mask && GetObjectA(mask, sizeof bits, &bits))
        return {bits.bmWidth, bits.bmHeight / 2};
    return {kDefaultIconSize, kDefaultIconSize};
}

}  // namespace

const ButtonSkin* SkinnedPushButton::Skin() const
{
    return dynamic_cast<const ButtonSkin*>(skinObject_);
}

WNDPROC SkinnedPushButton::Attach(HWND hwnd)
{
    const WNDPROC previous = SkinnedButtonBase::Attach(hwnd);
    if (previous)
        RebuildRegion();
    return previous;
}

SkinObject* SkinnedPushButton::SetSkinObject(SkinObject* skinObject)
{
    SkinObject* previous = SkinnedButtonBase::SetSkinObject(skinObject);
    if (window_)
        RebuildRegion();
    return previous;
}

LRESULT SkinnedPushButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    const LRESULT result = SkinnedButtonBase::WindowProc(message, wParam, lParam);
    if (message == WM_SIZE && IsStillSkinOf(window, this))
        RebuildRegion();
    return result;
}

ButtonSkin::State SkinnedPushButton::LookOf(const ButtonState& state, bool hasHighlight)
{
    if (!state.enabled)
        return ButtonSkin::StateDisabled;
    if (state.pushed || state.pressed)
        return ButtonSkin::StatePressed;
    if (state.hovered && hasHighlight)
        return ButtonSkin::StateHighlighted;
    if (state.focused)
        return ButtonSkin::StateFocused;
    if (state.checked)
        return ButtonSkin::StatePressed;
    if (state.isDefault)
        return ButtonSkin::StateDefault;
    return ButtonSkin::StateNormal;
}

Region SkinnedPushButton::PaintSurface(HDC surface)
{
    PaintBackgroundBehind(surface);
    return SkinnedControl::PaintSurface(surface);
}

void SkinnedPushButton::Paint(HDC hdc)
{
    const ButtonSkin* skin = Skin();
    if (!skin)
        return;
    const bool hasHighlight = !IsEmptyImage(skin->states[ButtonSkin::StateHighlighted].image);
    const ButtonState state = ReadState();
    const ImageEffectLook& look = skin->states[LookOf(state, hasHighlight)];
    RECT client;
    GetClientRect(window_, &client);
    DrawFrameImageKeyed(hdc, client, look.image, TransparentColour(), Store());
    PaintContent(hdc, client, look.effect);
    if (!state.focused)
        return;
    // Inside the face's margins, as the system's lies inside its edge.
    const FrameImageRef& face = look.image;
    const RECT focus = {client.left + face.marginLeft, client.top + face.marginTop, client.right - face.marginRight,
                        client.bottom - face.marginBottom};
    DrawFocusCue(hdc, window_, focus);
}

void SkinnedPushButton::PaintContent(HDC hdc, const RECT& area, const TextEffect& effect)
{
    const LONG_PTR style = Style();
    if (style & BS_ICON)
        PaintIcon(hdc, area);
    else if (style & BS_BITMAP)
        PaintBitmap(hdc, area);
    else
        PaintCaption(hdc, area, effect);
}

void SkinnedPushButton::PaintIcon(HDC hdc, const RECT& area)
{
    const auto icon = reinterpret_cast<HICON>(CallPrevious(BM_GETIMAGE, IMAGE_ICON, 0));
    if (!icon)
        return;
    const SIZE size = IconSize(icon);
    const RECT placed = PlaceContent(area, size.cx, size.cy, Style());
    DrawIconEx(hdc, placed.left, placed.top, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
}

void SkinnedPushButton::PaintBitmap(HDC hdc, const RECT& area)
{
    const auto bitmap = reinterpret_cast<HBITMAP>(CallPrevious(BM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP bits = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bits, &bits))
        return;
    const RECT placed = PlaceContent(area, bits.bmWidth, bits.bmHeight, Style());
    OwnedDC source(CreateCompatibleDC(hdc));
    ObjectSelector selected(source, bitmap);
    if (selected.Selected())
        BitBlt(hdc, placed.left, placed.top, bits.bmWidth, bits.bmHeight, source, 0, 0, SRCCOPY);
}

void SkinnedPushButton::RebuildRegion()
{
    const ButtonSkin* skin = Skin();
    RECT client;
    GetClientRect(window_, &client);
    if (!skin || IsRectEmpty(&client)) {
        ApplyWindowRegion(nullptr);
        return;
    }
    WindowDC screen(window_);
    MemoryDC surface(screen, client.right, client.bottom);
    if (!surface.IsValid())
        return;
    DrawFrameImage(surface.Dc(), client, skin->states[ButtonSkin::StateNormal].image, GetSysColor(COLOR_BTNFACE),
                   true, Store());
    const Bitmap normal(surface.DetachBitmap());
    // The keyed drawing leaves the skin's transparent colour out; the region
    // leaves out the same pixels, whatever colour the skin chose.
    ApplyWindowRegion(CreateRegionFromBitmap(normal, TransparentColour()));
}
