#include "windows/ClientBackground.h"

#include "core/SkinnedWindow.h"
#include "data/FrameSkin.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"

void ClientBackground::Create(HWND window, int width, int height)
{
    WindowDC screen(window);
    surface_ = std::make_unique<MemoryDC>(screen, width > 0 ? width : 1, height > 0 ? height : 1);
}

void ClientBackground::DrawPiece(const SkinnedWindow& window, HDC hdc, int width, int height)
{
    const FrameSkinBase* frame = window.FrameObject();
    if (!frame)
        return;
    const RECT area = {0, 0, width, height};
    DrawImageRef(hdc, area, frame->frameImages[SkinnedWindow::PartClient], frame->clientColour, true, window.Store());
}

bool ClientBackground::StretchedAnew(const SkinnedWindow& window, int width, int height) const
{
    const FrameSkinBase* frame = window.FrameObject();
    if (!frame)
        return false;
    const ImageRef& piece = frame->frameImages[SkinnedWindow::PartClient];
    return piece.drawMode == DrawModeStretch && !IsImageRefEmpty(piece) &&
           (paintedOnce_.cx != width || paintedOnce_.cy != height);
}

void ClientBackground::Rebuild(const SkinnedWindow& window, int width, int height)
{
    Create(window.Window(), width, height);
    DrawPiece(window, surface_->Dc(), width, height);
    stretched_ = StretchedAnew(window, width, height);
    paintedOnce_ = {-1, -1};
}

void ClientBackground::PaintOnce(const SkinnedWindow& window, HDC hdc, int width, int height)
{
    surface_.reset();
    DrawPiece(window, hdc, width, height);
    paintedOnce_ = {width, height};
}

void ClientBackground::Capture(HWND window, int width, int height)
{
    Create(window, width, height);
    stretched_ = false;
    paintedOnce_ = {-1, -1};
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface_->Dc()), 0);
}

bool ClientBackground::Erase(HWND window, HDC hdc)
{
    if (!surface_)
        return false;
    RECT client, box;
    GetClientRect(window, &client);
    SavedDCState saved(hdc);
    IntersectClipRect(hdc, client.left, client.top, client.right, client.bottom);
    const int clip = GetClipBox(hdc, &box);
    if (clip == NULLREGION || IsRectEmpty(&box))
        box = client;
    // An erase of the whole client area needs no second one.
    if (stretched_ && (clip != SIMPLEREGION || !EqualRect(&box, &client))) {
        stretched_ = false;
        RedrawWindow(window, nullptr, nullptr, RDW_ERASENOW | RDW_ERASE | RDW_INVALIDATE);
        return true;
    }
    stretched_ = false;
    BitBlt(hdc, box.left, box.top, box.right - box.left, box.bottom - box.top, surface_->Dc(), box.left, box.top,
           SRCCOPY);
    return true;
}
