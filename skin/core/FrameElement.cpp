#include "core/FrameElement.h"

#include "core/SkinnedWindow.h"
#include "data/ButtonPart.h"
#include "data/FrameSkin.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "imaging/GdiObject.h"
#include "imaging/ImageRef.h"
#include "imaging/MemoryDC.h"

namespace {

// Anchor codes of caption buttons and plain elements; the skin format has
// two codes each for following the right and the bottom edge.
const int32_t kAnchorBottom = 2;
const int32_t kAnchorRight = 4;
const int32_t kAnchorBottomRight = 5;
const int32_t kAnchorRightToo = 6;
const int32_t kAnchorBottomToo = 8;

bool FollowsRight(int32_t anchor)
{
    return anchor == kAnchorRight || anchor == kAnchorRightToo || anchor == kAnchorBottomRight;
}

bool FollowsBottom(int32_t anchor)
{
    return anchor == kAnchorBottom || anchor == kAnchorBottomToo || anchor == kAnchorBottomRight;
}

}  // namespace

FrameElement::FrameElement(const RECT& placement, SkinnedWindow& owner)
    : rect_(placement), placement_(placement), owner_(owner)
{
}

FrameElement::~FrameElement() = default;

void FrameElement::Draw(HDC hdc)
{
    const ButtonPartBase* part = Part();
    if (part)
        DrawImageRef(hdc, rect_, part->image, part->backColour, true, owner_.Store());
}

SkinObject* FrameElement::SetSkinObject(SkinObject* skinObject)
{
    return SkinBoundObject::SetSkinObject(skinObject);
}

void FrameElement::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Redraw();
}

void FrameElement::OnRButtonUp(int, int) {}

void FrameElement::OnRButtonDown(int, int) {}

void FrameElement::OnMouseMove(int, int) {}

void FrameElement::OnLButtonUp(int, int) {}

void FrameElement::OnLButtonDown(int, int) {}

void FrameElement::OnLButtonDblClk(int, int) {}

bool FrameElement::HitTest(int x, int y)
{
    const POINT point = {x, y};
    return IsVisible() && PtInRect(&rect_, point);
}

void FrameElement::Layout(int left, int top, int right, int bottom)
{
    const ButtonPartBase* part = Part();
    SIZE design;
    rect_ = placement_;
    if (!part || !OwnerDesignSize(kTypeFrame, design))
        return;
    if (FollowsRight(part->anchor))
        OffsetRect(&rect_, (right - left) - design.cx, 0);
    if (FollowsBottom(part->anchor))
        OffsetRect(&rect_, 0, (bottom - top) - design.cy);
}

void FrameElement::DispatchMouse(UINT message, int x, int y)
{
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(x, y);
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(x, y);
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(x, y);
        break;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(x, y);
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown(x, y);
        break;
    case WM_RBUTTONUP:
        OnRButtonUp(x, y);
        break;
    default:
        break;
    }
}

bool FrameElement::IsVisible() const
{
    const ButtonPartBase* part = Part();
    const int showCode = part ? part->showCode : ShowAlways;
    const HWND window = owner_.Window();
    switch (showCode) {
    case ShowAlways:
        return true;
    case ShowMinimised:
        return IsIconic(window) != FALSE;
    case ShowNotMinimised:
        return !IsIconic(window);
    case ShowMaximised:
        return IsZoomed(window) != FALSE;
    case ShowNotMaximised:
        return !IsZoomed(window);
    case ShowActive:
        return owner_.IsActiveWindow();
    case ShowInactive:
        return !owner_.IsActiveWindow();
    case ShowEnabled:
        return IsWindowEnabled(window) != FALSE;
    case ShowDisabled:
        return !IsWindowEnabled(window);
    default:
        return false;
    }
}

const ButtonPartBase* FrameElement::Part() const
{
    // Elements are made only from the types that share the button-part record.
    return static_cast<const ButtonPartBase*>(skinObject_);
}

bool FrameElement::OwnerDesignSize(int32_t frameType, SIZE& size) const
{
    const SkinObject* ownerObject = owner_.GetSkinObject();
    const FrameSkinBase* frame = owner_.FrameObject();
    if (!ownerObject || !frame || (frameType != 0 && ownerObject->TypeCode() != frameType))
        return false;
    // The bottom-right piece closes the frame as it was designed.
    const RECT& corner = frame->designRects[FrameSkinBase::kPieceCount - 1];
    size = SIZE{corner.right, corner.bottom};
    return true;
}

void FrameElement::Redraw()
{
    // A hidden element must not show through (a maximise button over its
    // restore twin) just because its enabled state changed, and a window
    // not on screen is painted whole when it is shown.
    if (!owner_.Window() || !IsWindowVisible(owner_.Window()) || !IsVisible())
        return;
    WholeWindowDC dc(owner_.Window());
    if (!dc)
        return;
    // Composed off-screen over what the window shows there, so that a
    // keyed picture never flickers through its key colour.
    MemoryDC surface(dc, rect_);
    if (!surface.IsValid()) {
        Draw(dc);
        return;
    }
    BitBlt(surface.Dc(), rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, dc, rect_.left,
           rect_.top, SRCCOPY);
    Draw(surface.Dc());
}
