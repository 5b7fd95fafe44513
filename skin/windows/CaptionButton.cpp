#include "windows/CaptionButton.h"

#include "data/ButtonPart.h"
#include "data/SkinStore.h"
#include "imaging/Image.h"
#include "imaging/Regions.h"
#include "imaging/WindowHelpers.h"
#include "windows/SkinnedMenus.h"

namespace {

const UINT kHoverPollMilliseconds = 100;

// The rectangle of `ref` cut out of its bitmap; false when the reference
// is empty or its bitmap missing or too small.
bool CutOut(const ImageSource& images, const ImageRef& ref, Image& out)
{
    if (IsImageRefEmpty(ref))
        return false;
    Image* bitmap = images.FindImage(ref.name);
    return bitmap && bitmap->Crop(ref.source.left, ref.source.top, ref.source.right, ref.source.bottom, &out) &&
           out.IsValid();
}

const ImageRef& OrBase(const ImageRef& stateImage, const CaptionButtonSkin& button)
{
    return IsImageRefEmpty(stateImage) ? button.image : stateImage;
}

}  // namespace

CaptionButton::CaptionButton(const RECT& placement, SkinnedWindow& owner) : FrameElement(placement, owner) {}

CaptionButton::~CaptionButton()
{
    StopHoverTimer();
}

SkinObject* CaptionButton::SetSkinObject(SkinObject* skinObject)
{
    SkinObject* previous = FrameElement::SetSkinObject(skinObject);
    transparentColour_ = owner_.TransparentColour();
    useTransparency_ = owner_.UsesTransparency();
    region_.Reset();
    regionCut_ = false;
    return previous;
}

// Cut when first asked for: a window is bound and shown long before the
// mouse first comes near its buttons, if it ever does.
HRGN CaptionButton::ShapeRegion() const
{
    if (!regionCut_) {
        region_.Reset(useTransparency_ ? BuildRegion() : nullptr);
        regionCut_ = true;
    }
    return region_;
}

HRGN CaptionButton::BuildRegion() const
{
    const CaptionButtonSkin* button = Button();
    if (!button)
        return nullptr;
    Image shape;
    const ImageSource& images = owner_.Store();
    if (!CutOut(images, button->hotImage, shape) && !CutOut(images, button->pressedImage, shape) &&
        !CutOut(images, button->image, shape))
        return nullptr;
    WindowDC reference(owner_.Window());
    Bitmap bitmap(shape.MakeBitmap(reference));
    return bitmap ? CreateRegionFromBitmap(bitmap, transparentColour_) : nullptr;
}

const ImageRef& CaptionButton::StateImage(const CaptionButtonSkin& button) const
{
    if (!enabled_)
        return OrBase(button.disabledImage, button);
    switch (state_) {
    case StateHot:
        return OrBase(button.hotImage, button);
    case StatePressed:
        return OrBase(button.pressedImage, button);
    default:
        return button.image;
    }
}

void CaptionButton::Draw(HDC hdc)
{
    const CaptionButtonSkin* button = Button();
    if (!button)
        return;
    if (button->action == CaptionButtonSkin::ActionIcon) {
        DrawWindowSmallIcon(owner_.Window(), hdc, POINT{rect_.left, rect_.top});
        return;
    }
    // The state's picture at its own size from the rectangle's corner.
    ImageRef picture = StateImage(*button);
    picture.drawMode = DrawModeOnce;
    const bool drawn = useTransparency_
                           ? DrawImageRefKeyed(hdc, rect_, picture, transparentColour_, owner_.Store())
                           : DrawImageRef(hdc, rect_, picture, 0, false, owner_.Store());
    if (!drawn) {
        RECT area = rect_;
        DrawFrameControl(hdc, &area, DFC_BUTTON, DFCS_BUTTONPUSH);
    }
}

bool CaptionButton::HitTest(int x, int y)
{
    if (!FrameElement::HitTest(x, y))
        return false;
    const HRGN region = ShapeRegion();
    return !region || PtInRegion(region, x - rect_.left, y - rect_.top);
}

// A disabled button (a close button on a window without a system menu)
// neither lights up nor acts, though it still covers its part of the frame.
bool CaptionButton::Responds(int x, int y)
{
    return Button() && enabled_ && HitTest(x, y);
}

void CaptionButton::OnMouseMove(int x, int y)
{
    if (!Responds(x, y))
        return;
    SetState(pressed_ ? StatePressed : StateHot);
    StartHoverTimer();
}

void CaptionButton::OnLButtonDown(int x, int y)
{
    if (!Responds(x, y))
        return;
    if (Action() == CaptionButtonSkin::ActionSystemMenu) {
        ShowSystemMenu();
        return;
    }
    armed_ = true;
    pressed_ = Button()->toggle ? !pressed_ : true;
    SetState(pressed_ ? StatePressed : StateIdle);
    // The press alone may bring the cursor here; its leaving is watched too.
    StartHoverTimer();
}

void CaptionButton::OnLButtonUp(int x, int y)
{
    // Only a click that began on the button acts, so a release that ends a
    // drag from elsewhere does nothing. A toggle acts on every click, off
    // as well as on: its owner must learn both.
    const bool clicked = armed_ && Responds(x, y);
    armed_ = false;
    if (!clicked)
        return;
    const int action = Action();
    if (action == CaptionButtonSkin::ActionMaximise || action == CaptionButtonSkin::ActionMinimise) {
        pressed_ = false;
        SetState(StateIdle);
    } else if (!Button()->toggle && timerRunning_) {
        pressed_ = false;
        SetState(StateHot);
    }
    Act();
}

void CaptionButton::OnLButtonDblClk(int x, int y)
{
    // Every element sees every click; only the system-menu button's own
    // double click closes the window.
    if (Action() == CaptionButtonSkin::ActionSystemMenu && Responds(x, y))
        PostMessageA(owner_.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CaptionButton::OnRButtonDown(int x, int y)
{
    if (Action() == CaptionButtonSkin::ActionSystemMenu && Responds(x, y))
        ShowSystemMenu();
}

void CaptionButton::OnMouseLeave()
{
    armed_ = false;
    if (!Button() || !Button()->toggle)
        pressed_ = false;
    SetState(pressed_ ? StatePressed : StateIdle);
}

int CaptionButton::Action() const
{
    const CaptionButtonSkin* button = Button();
    return button ? button->action : CaptionButtonSkin::ActionCommand;
}

void CaptionButton::OnTimer()
{
    POINT cursor;
    RECT window;
    if (GetCursorPos(&cursor) && ::GetWindowRect(owner_.Window(), &window) &&
        HitTest(cursor.x - window.left, cursor.y - window.top))
        return;
    StopHoverTimer();
    OnMouseLeave();
}

void CaptionButton::StartHoverTimer()
{
    if (timerRunning_)
        return;
    owner_.StartTimer(*this, kHoverPollMilliseconds);
    timerRunning_ = true;
}

void CaptionButton::StopHoverTimer()
{
    if (!timerRunning_)
        return;
    owner_.StopTimer(*this);
    timerRunning_ = false;
}

void CaptionButton::SetState(int state)
{
    if (state == state_)
        return;
    state_ = state;
    Redraw();
}

void CaptionButton::Act()
{
    const HWND window = owner_.Window();
    switch (Action()) {
    case CaptionButtonSkin::ActionCommand:
        PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(Button()->commandId), 0);
        break;
    case CaptionButtonSkin::ActionClose:
        StopHoverTimer();
        // Idle, not hot: with its timer gone nothing else would take the
        // light off if the window refuses to close.
        SetState(StateIdle);
        PostMessageA(window, WM_SYSCOMMAND, SystemCommand(), 0);
        break;
    case CaptionButtonSkin::ActionMaximise:
    case CaptionButtonSkin::ActionMinimise:
        PostMessageA(window, WM_SYSCOMMAND, SystemCommand(), 0);
        break;
    default:
        // The window icon does nothing; the system menu opened on the press.
        break;
    }
}

UINT CaptionButton::SystemCommand() const
{
    const HWND window = owner_.Window();
    switch (Action()) {
    case CaptionButtonSkin::ActionClose:
        return SC_CLOSE;
    case CaptionButtonSkin::ActionMaximise:
        return IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE;
    case CaptionButtonSkin::ActionMinimise:
        return IsIconic(window) ? SC_RESTORE : SC_MINIMIZE;
    default:
        return 0;
    }
}

void CaptionButton::ShowSystemMenu()
{
    TrackSkinnedSystemMenu(owner_.Window());
}

const CaptionButtonSkin* CaptionButton::Button() const
{
    return static_cast<const CaptionButtonSkin*>(skinObject_);
}

void CaptionButton::EnableForStyle(DWORD style)
{
    switch (Action()) {
    case CaptionButtonSkin::ActionClose:
    case CaptionButtonSkin::ActionSystemMenu:
        SetEnabled((style & WS_SYSMENU) != 0);
        break;
    case CaptionButtonSkin::ActionMaximise:
        SetEnabled((style & WS_MAXIMIZEBOX) != 0);
        break;
    case CaptionButtonSkin::ActionMinimise:
        SetEnabled((style & WS_MINIMIZEBOX) != 0);
        break;
    default:
        break;
    }
}
