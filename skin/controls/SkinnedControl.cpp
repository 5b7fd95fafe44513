#include "controls/SkinnedControl.h"

#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "data/ControlSkinBase.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "imaging/DeviceCopies.h"
#include "imaging/DrawUtils.h"
#include "imaging/MemoryDC.h"
#include "imaging/WindowHelpers.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

namespace {

// Invalidated, not painted at once: a new skin reaches the control's owner
// first, whose own repaint then paints the control once with the rest. A
// control attached during a skin change is in the same case, and one
// attached as it is made is not on screen yet.
const UINT kRedrawControl = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME;

// The surface a control paints on before its picture goes to the screen.
// Making a surface costs more than painting most controls into it, so one
// kept surface serves every control painted on a thread. A paint that
// starts while another uses it (a window behind painting through a control
// of its own), or that the kept one cannot serve, makes a surface of its
// own.
class ControlSurface {
public:
    ControlSurface(HDC reference, int width, int height)
    {
        KeptSection& kept = Kept();
        if (!InUse() && Fits(kept, reference, width, height)) {
            shared_ = &kept;
            InUse() = true;
        } else {
            own_ = std::make_unique<MemoryDC>(reference, width, height);
        }
    }
    ~ControlSurface()
    {
        if (shared_)
            InUse() = false;
    }
    ControlSurface(const ControlSurface&) = delete;
    ControlSurface& operator=(const ControlSurface&) = delete;

    // Null when no surface could be made.
    HDC Dc() const
    {
        if (shared_)
            return shared_->Dc();
        return own_->IsValid() ? own_->Dc() : nullptr;
    }

private:
    static KeptSection& Kept()
    {
        thread_local KeptSection kept;
        return kept;
    }
    static bool& InUse()
    {
        thread_local bool inUse = false;
        return inUse;
    }
    static bool Fits(KeptSection& kept, HDC reference, int width, int height)
    {
        if (kept.IsValid() && kept.Width() >= width && kept.Height() >= height)
            return true;
        return kept.Create(reference, std::max(width, kept.Width()), std::max(height, kept.Height()));
    }

    KeptSection* shared_ = nullptr;
    std::unique_ptr<MemoryDC> own_;
};

}  // namespace

SkinnedControl::SkinnedControl(int controlType, SkinnedWindow& owner)
    : owner_(owner.Window()), controlType_(controlType)
{
}

SkinnedControl::SkinnedControl(int controlType) : owner_(nullptr), controlType_(controlType) {}

const ControlSkinBase* SkinnedControl::ControlObject() const
{
    return dynamic_cast<const ControlSkinBase*>(skinObject_);
}

SkinObject* SkinnedControl::FindSpecificObject(HWND window) const
{
    // Id 0 is what an object that names no control holds (and every object
    // of a minor-6 file), so it never binds a control of id 0 to it.
    const int id = GetDlgCtrlID(window);
    SkinnedWindow* owner = owner_ && id != 0 ? SkinManager::Instance().FindWindowObject(owner_) : nullptr;
    return owner ? owner->FindControlSkinObject(id, controlType_) : nullptr;
}

SkinObject* SkinnedControl::SetSkinObject(SkinObject* skinObject)
{
    SkinObject* previous = SkinnedWindow::SetSkinObject(skinObject);
    specific_ = false;
    if (!window_ || !skinObject)
        return previous;
    if (SkinObject* specific = RebindsToSpecificObject() ? FindSpecificObject(window_) : nullptr) {
        SkinnedWindow::SetSkinObject(specific);
        specific_ = true;
    }
    if (!ApplyFontAndPlacement(false))
        RedrawWindow(window_, nullptr, nullptr, kRedrawControl);
    return previous;
}

WNDPROC SkinnedControl::Attach(HWND hwnd)
{
    SkinObject* specific = FindSpecificObject(hwnd);
    if (specific)
        SkinnedWindow::SetSkinObject(specific);
    specific_ = specific != nullptr;
    const WNDPROC previous = SkinnedWindow::Attach(hwnd);
    if (previous)
        ApplyFontAndPlacement(true);
    return previous;
}

void SkinnedControl::RedrawAttached()
{
    RedrawWindow(window_, nullptr, nullptr, kRedrawControl);
}

bool SkinnedControl::ApplyFontAndPlacement(bool redrawFont)
{
    const ControlSkinBase* control = ControlObject();
    const bool place = specific_ && control && control->autoPlace;
    if (const HFONT font = WantedSkinFont()) {
        ApplySkinFont(font, redrawFont && !place);
    } else if (savedFont_) {
        SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(savedFont_), FALSE);
        savedFont_ = nullptr;
    }
    if (!place)
        return false;
    const RECT& where = control->placement;
    MoveWindow(window_, where.left, where.top, where.right - where.left, where.bottom - where.top, TRUE);
    return true;
}

HFONT SkinnedControl::WantedSkinFont() const
{
    const ControlSkinBase* control = ControlObject();
    return control && control->autoSkinFont ? control->FontHandle() : nullptr;
}

bool SkinnedControl::HasText() const
{
    return controlType_ != kTypeProgress && controlType_ != kTypeScrollBar && controlType_ != kTypeTrackBar &&
           controlType_ != kTypeSpin;
}

void SkinnedControl::ApplySkinFont(HFONT font, bool redraw)
{
    if (!HasText())
        return;
    if (savedFont_) {
        SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
        return;
    }
    // Posted, not sent: a dialog gives its controls their font after they
    // were made, and that is the font to record before the skin font
    // replaces it. Only one request may be on its way, or the second would
    // record the skin font as the control's own.
    skinFontRedraw_ = redraw;
    if (!saveFontPosted_) {
        PostMessageA(window_, WM_SKIN_SAVEFONT, 0, 0);
        saveFontPosted_ = true;
    }
}

void SkinnedControl::OnSaveFont()
{
    if (!saveFontPosted_)
        return;
    saveFontPosted_ = false;
    // The skin font is chosen when the request arrives, not when it was
    // posted (a posted font would outlive a skin changed meanwhile and leave
    // the control a deleted font): the object may no longer want one.
    const HFONT font = WantedSkinFont();
    if (!font)
        return;
    savedFont_ = reinterpret_cast<HFONT>(CallPrevious(WM_GETFONT, 0, 0));
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), skinFontRedraw_);
}

void SkinnedControl::Detach()
{
    const HWND window = window_;
    const HFONT saved = HasText() ? savedFont_ : nullptr;
    savedFont_ = nullptr;
    SkinnedWindow::Detach();
    // Given back once the system paints the control again, so that it is
    // drawn once, in the system's look, with its own font.
    if (saved && IsWindow(window))
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(saved), TRUE);
}

LRESULT SkinnedControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedWindow::WindowProc(message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_UPDATEUISTATE:
        return OnUpdateUiState(wParam, lParam);
    case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
    case WM_SKIN_SAVEFONT:
        OnSaveFont();
        return 0;
    default:
        break;
    }
    return SkinnedWindow::WindowProc(message, wParam, lParam);
}

LRESULT SkinnedControl::OnUpdateUiState(WPARAM wParam, LPARAM lParam)
{
    // The new state goes down to the default procedure, which keeps it for
    // WM_QUERYUISTATE and passes it to the children; hidden, since the
    // system's control repaints itself on it. The skin repaints instead.
    const HWND window = window_;
    if (ChangesKeyboardCues(window, [&] { CallPreviousHidden(WM_UPDATEUISTATE, wParam, lParam); }))
        InvalidateRect(window, nullptr, FALSE);
    return 0;
}

void SkinnedControl::OnPaint()
{
    PaintBuffered();
}

void SkinnedControl::OnMouseLeave()
{
    if (!hovered_)
        return;
    hovered_ = false;
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
}

bool SkinnedControl::TrackHover()
{
    if (hovered_)
        return false;
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window_, HOVER_DEFAULT};
    hovered_ = _TrackMouseEvent(&track) != FALSE;
    return hovered_;
}

void SkinnedControl::RenderInto(HDC target, HDC reference, const RECT* area)
{
    RECT client;
    GetClientRect(window_, &client);
    if (IsRectEmpty(&client))
        return;
    const ControlSurface surface(reference, client.right, client.bottom);
    if (!surface.Dc())
        return;
    const Region painted = PaintSurface(surface.Dc());
    RECT copied = client;
    if (area && !IntersectRect(&copied, &client, area))
        return;
    const ClipRegionScope clip(target, painted);
    BitBlt(target, copied.left, copied.top, copied.right - copied.left, copied.bottom - copied.top, surface.Dc(),
           copied.left, copied.top, SRCCOPY);
}

Region SkinnedControl::PaintSurface(HDC surface)
{
    Paint(surface);
    return Region();
}

void SkinnedControl::PaintBuffered()
{
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(window_, &paint);
    if (hdc)
        RenderInto(hdc, hdc);
    EndPaint(window_, &paint);
}

void SkinnedControl::RedrawNow()
{
    if (!IsWindowVisible(window_))
        return;
    WindowDC dc(window_);
    if (dc)
        RenderInto(dc, dc);
}

void SkinnedControl::PaintBackgroundBehind(HDC hdc) const
{
    SkinnedWindow::PaintBackgroundBehind(window_, hdc);
}

LRESULT SkinnedControl::CallPreviousHidden(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if (!(style & WS_VISIBLE))
        return CallPrevious(message, wParam, lParam);
    SetWindowLongPtrA(window, GWL_STYLE, style & ~WS_VISIBLE);
    const LRESULT result = CallPrevious(message, wParam, lParam);
    if (IsWindow(window))
        SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_VISIBLE);
    return result;
}

HFONT SkinnedControl::ControlFont() const
{
    return reinterpret_cast<HFONT>(CallPrevious(WM_GETFONT, 0, 0));
}

void SkinnedControl::WindowAndClientRects(RECT& window, RECT& client) const
{
    ::GetWindowRect(window_, &window);
    GetClientRect(window_, &client);
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    OffsetRect(&window, -window.left, -window.top);
}

void SkinnedControl::PaintFace(HDC hdc, const FrameImageRef& face) const
{
    RECT client;
    GetClientRect(window_, &client);
    DrawFrameImage(hdc, client, face, GetSysColor(COLOR_BTNFACE), true, Store());
}

void SkinnedControl::PrepareText(HDC hdc, COLORREF colour) const
{
    if (const HFONT font = ControlFont())
        SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, colour);
}

WindowText SkinnedControl::ReadText(int size) const
{
    TextBuffer text(IsUnicode(), static_cast<size_t>(std::max(size, 1)));
    CallPrevious(WM_GETTEXT, static_cast<WPARAM>(text.Chars()), reinterpret_cast<LPARAM>(text.Address<char>()));
    return text.Text();
}
