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

void ClientBackground::Rebuild(const SkinnedWindow& window, int width, int height)
{
    Create(window.Window(), width, height);
    const FrameSkinBase* frame = window.FrameObject();
    if (!frame)
        return;
    const ImageRef& piece = frame->frameImages[SkinnedWindow::PartClient];
    const RECT area = {0, 0, width, height};
    DrawImageRef(surface_->Dc(), area, piece, frame->clientColour, true, window.Store());
    stretched_ = piece.drawMode == DrawModeStretch && !IsImageRefEmpty(piece);
}

void ClientBackground::Capture(HWND window, int width, int height)
{
    Create(window, width, height);
    stretched_ = false;
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
