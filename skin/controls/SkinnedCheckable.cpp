#include "controls/SkinnedCheckable.h"

#include "controls/ButtonLayout.h"
#include "data/SkinStore.h"
#include "imaging/DrawUtils.h"
#include "imaging/MemoryDC.h"
#include "imaging/WindowHelpers.h"

namespace {

const int kCaptionGap = 2;

CheckLook Look(const FrameImageRef& background, const ImageRef& box, const TextEffect& effect)
{
    return {&background, &box, &effect};
}

CheckLook EnabledLook(const CheckLook* g, const ButtonState& state, bool radio)
{
    using S = CheckableSkinBase;
    const bool checked = state.checked || (!radio && state.pressed);
    if (state.pushed || (checked && !state.hovered))
        return Look(PickRef(*g[S::GroupSelected].background, *g[S::GroupNormal].background), *g[S::GroupSelected].box,
                    *g[S::GroupSelected].effect);
    if (checked)
        return Look(PickRef(*g[S::GroupHighlightedSelected].background, *g[S::GroupSelected].background,
                            g[S::GroupNormal].background),
                    PickRef(*g[S::GroupHighlightedSelected].box, *g[S::GroupSelected].box),
                    *g[S::GroupHighlightedSelected].effect);
    if (!state.hovered)
        return g[S::GroupNormal];
    return Look(PickRef(*g[S::GroupHighlightedNormal].background, *g[S::GroupNormal].background),
                PickRef(*g[S::GroupHighlightedNormal].box, *g[S::GroupNormal].box),
                *g[S::GroupHighlightedNormal].effect);
}

CheckLook DisabledLook(const CheckLook* g, const ButtonState& state, bool radio)
{
    using S = CheckableSkinBase;
    const CheckLook& grayed = g[S::GroupGrayedSelected];
    if (state.checked && radio)
        return Look(PickRef(*grayed.background, *g[S::GroupSelected].background),
                    PickRef(*grayed.box, *g[S::GroupSelected].box), *grayed.effect);
    if (state.checked)
        return Look(PickRef(*grayed.background, *g[S::GroupDisabled].background, g[S::GroupNormal].background),
                    PickRef(*grayed.box, *g[S::GroupDisabled].box, g[S::GroupSelected].box), *grayed.effect);
    const CheckLook& normal = g[S::GroupGrayedNormal];
    return Look(PickRef(*normal.background, *g[S::GroupDisabled].background, g[S::GroupNormal].background),
                PickRef(*normal.box, *g[S::GroupDisabled].box, g[S::GroupNormal].box), *normal.effect);
}

}  // namespace

const CheckableSkinBase* SkinnedCheckable::Skin() const
{
    return dynamic_cast<const CheckableSkinBase*>(skinObject_);
}

CheckLook SkinnedCheckable::LookOf(const CheckableSkinBase& skin, const ButtonState& state, bool radio)
{
    CheckLook groups[CheckableSkinBase::GroupCount];
    for (int group = 0; group < CheckableSkinBase::GroupCount; ++group)
        groups[group] = Look(skin.groups[group].background, skin.groups[group].box, skin.groups[group].effect);
    return state.enabled ? EnabledLook(groups, state, radio) : DisabledLook(groups, state, radio);
}

void SkinnedCheckable::PlaceBoxAndText(const RECT& area, SIZE box, LONG_PTR style, RECT& boxRect, RECT& captionRect)
{
    const LONG_PTR vertical = style & BS_VCENTER;
    if (vertical == BS_TOP)
        boxRect.top = area.top;
    else if (vertical == BS_BOTTOM)
        boxRect.top = area.bottom - box.cy;
    else
        boxRect.top = area.top + (area.bottom - area.top - box.cy) / 2;
    boxRect.bottom = boxRect.top + box.cy;
    captionRect = area;
    if (style & BS_LEFTTEXT) {
        boxRect.right = area.right;
        boxRect.left = area.right - box.cx;
        captionRect.right = boxRect.left;
    } else {
        boxRect.left = area.left;
        boxRect.right = area.left + box.cx;
        captionRect.left = boxRect.right + kCaptionGap;
    }
}

void SkinnedCheckable::Paint(HDC hdc)
{
    const CheckableSkinBase* skin = Skin();
    if (!skin)
        return;
    const ButtonState state = ReadState();
    const CheckLook look = LookOf(*skin, state, IsRadio());
    RECT client;
    GetClientRect(window_, &client);
    PaintBackground(hdc, client, *look.background);
    RECT area = {client.left + look.background->marginLeft, client.top + look.background->marginTop,
                 client.right - look.background->marginRight, client.bottom - look.background->marginBottom};
    const SIZE boxSize = {look.box->source.right - look.box->source.left,
                          look.box->source.bottom - look.box->source.top};
    RECT boxRect, captionRect;
    PlaceBoxAndText(area, boxSize, Style(), boxRect, captionRect);
    PaintBox(hdc, boxRect, *look.box);
    const RECT caption = PaintCaption(hdc, captionRect, *look.effect);
    if (!state.focused)
        return;
    // Around the caption, one pixel wider, as the system's check box has it.
    RECT focus = {caption.left - 1, caption.top, caption.right + 1, caption.bottom};
    IntersectRect(&focus, &focus, &client);
    DrawFocusCue(hdc, window_, focus);
}

void SkinnedCheckable::PaintBackground(HDC hdc, const RECT& client, const FrameImageRef& background)
{
    if (Skin()->transparent)
        PaintBackgroundBehind(hdc);
    else
        DrawFrameImage(hdc, client, background, GetSysColor(COLOR_BTNFACE), true, Store());
}

void SkinnedCheckable::PaintBox(HDC hdc, const RECT& where, const ImageRef& box)
{
    const int width = where.right - where.left;
    const int height = where.bottom - where.top;
    if (width <= 0 || height <= 0)
        return;
    MemoryDC surface(hdc, width, height);
    if (!surface.IsValid())
        return;
    const RECT area = {0, 0, width, height};
    // What the image leaves uncovered stays transparent.
    FillSolidRect(surface.Dc(), area, TransparentColour());
    DrawImageRef(surface.Dc(), area, box, GetSysColor(COLOR_BTNFACE), false, Store());
    const Bitmap picture(surface.DetachBitmap());
    DrawBitmapMasked(hdc, picture, where, TransparentColour());
}

