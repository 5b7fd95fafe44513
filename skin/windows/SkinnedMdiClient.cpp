#include "windows/SkinnedMdiClient.h"

#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "data/FrameSkin.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"

#include <optional>

namespace {

const UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

// The client's requests that may activate, maximise, restore or destroy a
// child, after which the system retitles the frame. Asking which child is
// active changes nothing.
bool MayRetitleFrame(UINT message)
{
    return message >= WM_MDICREATE && message <= WM_MDIREFRESHMENU && message != WM_MDIGETACTIVE;
}

}  // namespace

bool SkinnedMdiClient::EraseBackground(HDC hdc)
{
    SkinnedWindow* frame = SkinManager::Instance().FindWindowObject(frame_);
    const FrameSkinBase* skin = frame ? frame->FrameObject() : nullptr;
    if (!skin || skin->TypeCode() != kTypeFrame)
        return false;
    RECT client;
    GetClientRect(window_, &client);
    DrawImageRef(hdc, client, static_cast<const FrameSkin*>(skin)->mdiClient, skin->clientColour, true, Store());
    return true;
}

// The system retitles the frame while the maximised child it destroys is
// still the active one; measured then, the frame's menu bar would keep that
// child's buttons and the room they took.
LRESULT SkinnedMdiClient::DestroyChild(WPARAM child)
{
    BOOL maximised = FALSE;
    CallPrevious(WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximised));
    const LRESULT result = CallPrevious(WM_MDIDESTROY, child, 0);
    if (maximised && IsWindow(frame_))
        SetWindowPos(frame_, nullptr, 0, 0, 0, 0, kFrameChanged);
    return result;
}

LRESULT SkinnedMdiClient::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    std::optional<CaptionHold> hold;
    if (MayRetitleFrame(message))
        hold.emplace(frame_);
    switch (message) {
    case WM_ERASEBKGND:
        if (EraseBackground(reinterpret_cast<HDC>(wParam)))
            return 1;
        break;
    case WM_MDICREATE: {
        BOOL maximised = FALSE;
        HWND active = reinterpret_cast<HWND>(CallPrevious(WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximised)));
        if (active && maximised)
            SendMessageA(active, WM_SYSCOMMAND, SC_RESTORE, 0);
        break;
    }
    case WM_MDIDESTROY:
        return DestroyChild(wParam);
    case WM_SKIN_MDICHILDGONE:
        if (!CallPrevious(WM_MDIGETACTIVE, 0, 0) && lParam) {
            InvalidateRect(window_, reinterpret_cast<const RECT*>(lParam), TRUE);
            UpdateWindow(window_);
        }
        return 0;
    default:
        break;
    }
    return SkinnedWindow::WindowProc(message, wParam, lParam);
}
