#include "controls/SkinnedProgress.h"

#include "controls/ButtonLayout.h"
#include "core/SkinMessages.h"
#include "data/ProgressSkin.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "imaging/MemoryDC.h"
#include "imaging/TurnedDrawing.h"

#include <commctrl.h>

#include <algorithm>

namespace {

const UINT kNewFrame = SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

int Clamped(long long value, int low, int high)
{
    // A range given upside down holds only its low end.
    return static_cast<int>(std::max<long long>(low, std::min<long long>(value, std::max(low, high))));
}

}  // namespace

int SkinnedProgress::Stepped(const State& state)
{
    // Past either end the bar starts over from the other, as the system's
    // does: an application that steps a busy bar forever sees it cycle.
    const long long span = static_cast<long long>(state.high) - state.low;
    if (span <= 0)
        return state.position;
    long long next = static_cast<long long>(state.position) + state.step;
    if (next > state.high)
        next = (next - state.low) % span + state.low;
    if (next < state.low)
        next = (next - state.low) % span + state.high;
    return static_cast<int>(next);
}

const ProgressSkin* SkinnedProgress::Skin() const
{
    return dynamic_cast<const ProgressSkin*>(skinObject_);
}

int SkinnedProgress::FilledLength(const State& state, int length)
{
    if (state.high == state.low)
        return 0;
    // In 64 bits: a range of millions times a bar of hundreds of pixels
    // overflows an int and would show a wrong, even negative, fill.
    const long long done = static_cast<long long>(state.position) - state.low;
    return static_cast<int>(done * length / (static_cast<long long>(state.high) - state.low));
}

WNDPROC SkinnedProgress::Attach(HWND hwnd)
{
    // The control is not made yet (its WM_CREATE comes after the skin's
    // attach), and a dialog sets its range and position after that: the
    // state is read once those are done.
    PostMessageA(hwnd, WM_SKIN_READPROGRESS, 0, 0);
    return SkinnedControl::Attach(hwnd);
}

void SkinnedProgress::Detach()
{
    if (ready_ && window_ && !windowDying_) {
        CallPrevious(PBM_SETRANGE32, static_cast<WPARAM>(state_.low), static_cast<LPARAM>(state_.high));
        CallPrevious(PBM_SETPOS, static_cast<WPARAM>(state_.position), 0);
        CallPrevious(PBM_SETSTEP, static_cast<WPARAM>(state_.step), 0);
    }
    ready_ = false;
    SkinnedControl::Detach();
}

void SkinnedProgress::ReadControlState()
{
    state_.low = static_cast<int>(CallPrevious(PBM_GETRANGE, TRUE, 0));
    state_.high = static_cast<int>(CallPrevious(PBM_GETRANGE, FALSE, 0));
    state_.position = static_cast<int>(CallPrevious(PBM_GETPOS, 0, 0));
    // The step has no query of its own: one step from the low end tells it.
    CallPrevious(PBM_SETPOS, static_cast<WPARAM>(state_.low), 0);
    CallPrevious(PBM_STEPIT, 0, 0);
    const int step = static_cast<int>(CallPrevious(PBM_GETPOS, 0, 0)) - state_.low;
    state_.step = step > 0 ? step : 1;
    ready_ = true;
    SetWindowPos(window_, nullptr, 0, 0, 0, 0, kNewFrame);
    InvalidateRect(window_, nullptr, FALSE);
}

QuarterTurn SkinnedProgress::Turn() const
{
    // The skin's images lie horizontally; a vertical bar fills upwards.
    return (GetWindowLongPtrA(window_, GWL_STYLE) & PBS_VERTICAL) ? TurnAnticlockwise : TurnNone;
}

SkinnedProgress::State SkinnedProgress::ShownState() const
{
    if (ready_)
        return state_;
    State state;
    state.low = static_cast<int>(CallPrevious(PBM_GETRANGE, TRUE, 0));
    state.high = static_cast<int>(CallPrevious(PBM_GETRANGE, FALSE, 0));
    state.position = static_cast<int>(CallPrevious(PBM_GETPOS, 0, 0));
    return state;
}

LRESULT SkinnedProgress::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    if (message == WM_SKIN_READPROGRESS) {
        ReadControlState();
        return 0;
    }
    LRESULT result = 0;
    if (ready_ && OnStateMessage(message, wParam, lParam, result))
        return result;
    return SkinnedControl::WindowProc(message, wParam, lParam);
}

bool SkinnedProgress::OnStateMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const int previous = state_.position;
    switch (message) {
    case WM_NCPAINT:
        result = 0;
        return PaintBorder();
    case PBM_SETRANGE:
        result = SetRange(LOWORD(lParam), HIWORD(lParam));
        return true;
    case PBM_SETRANGE32:
        result = SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
        return true;
    case PBM_SETPOS:
        result = SetPosition(static_cast<int>(wParam));
        return true;
    case PBM_DELTAPOS:
        result = SetPosition(static_cast<long long>(previous) + static_cast<int>(wParam));
        return true;
    case PBM_STEPIT:
        result = SetPosition(Stepped(state_));
        return true;
    case PBM_SETSTEP:
        result = state_.step;
        state_.step = static_cast<int>(wParam);
        return true;
    case PBM_GETRANGE:
        if (auto* range = reinterpret_cast<PBRANGE*>(lParam))
            *range = PBRANGE{state_.low, state_.high};
        result = wParam ? state_.low : state_.high;
        return true;
    case PBM_GETPOS:
        result = state_.position;
        return true;
    case PBM_SETBARCOLOR:
    case PBM_SETBKCOLOR:
        // The colours are the application's to set and read back; the skin
        // keeps drawing its own pieces, so the control holds them unseen.
        result = CallPreviousHidden(message, wParam, lParam);
        return true;
    default:
        return false;
    }
}

LRESULT SkinnedProgress::SetRange(int low, int high)
{
    const LRESULT previous = MAKELONG(state_.low, state_.high);
    state_.low = low;
    state_.high = high;
    state_.position = Clamped(state_.position, low, high);
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
    return previous;
}

LRESULT SkinnedProgress::SetPosition(long long position)
{
    const int previous = state_.position;
    state_.position = Clamped(position, state_.low, state_.high);
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
    return previous;
}

bool SkinnedProgress::PaintBorder()
{
    const ProgressSkin* skin = Skin();
    if (!skin)
        return false;
    RECT window, client;
    WindowAndClientRects(window, client);
    WholeWindowDC dc(window_);
    if (EqualRect(&client, &window) || !dc)
        return true;
    SavedDCState saved(dc);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    // Composed off-screen and copied back through the clip in one blit:
    // nine stretched pieces straight onto the window cost several times
    // the system's own border. Turned as the bar is, so that border and
    // client area are one picture.
    MemoryDC surface(dc, window);
    DrawTurned(surface.IsValid() ? surface.Dc() : dc.Get(), window, Turn(), [&](HDC target, const RECT& frame) {
        DrawFrameImage(target, frame, skin->mainImage, skin->backColour, true, Store());
    });
    return true;
}

void SkinnedProgress::Paint(HDC hdc)
{
    if (!Skin())
        return;
    const State state = ShownState();
    auto bar = [this, &state](HDC surface, const RECT& frame) { PaintBar(surface, frame, state); };
    RECT window;
    ::GetWindowRect(window_, &window);
    POINT origin = {0, 0};
    ClientToScreen(window_, &origin);
    origin.x -= window.left;
    origin.y -= window.top;
    // The bar spans the border too: drawn over the whole window, placed so
    // that the client area shows its part.
    const RECT placed = {-origin.x, -origin.y, window.right - window.left - origin.x,
                         window.bottom - window.top - origin.y};
    DrawTurned(hdc, placed, Turn(), bar);
}

void SkinnedProgress::PaintBar(HDC hdc, const RECT& bar, const State& state) const
{
    const ProgressSkin& skin = *Skin();
    DrawFrameImage(hdc, bar, skin.mainImage, skin.backColour, true, Store());
    const int filled = FilledLength(state, bar.right - bar.left);
    if (filled <= 0)
        return;
    const RECT part = {bar.left, bar.top, bar.left + filled, bar.bottom};
    // With USEPERCENT the image is revealed, not squeezed: laid over the
    // whole bar and shown up to the position. Keyed also then: the image's
    // rounded ends hold the skin's transparent colour, which must not show.
    const RECT& laid = skin.usePercent ? bar : part;
    SavedDCState saved(hdc);
    IntersectClipRect(hdc, part.left, part.top, part.right, part.bottom);
    if (IsEmptyImage(skin.progressImage))
        DrawFrameImage(hdc, laid, skin.progressImage, skin.textColour, true, Store());
    else
        DrawFrameImageKeyed(hdc, laid, skin.progressImage, transparentColour_, Store());
}
