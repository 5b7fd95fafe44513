#include "controls/SkinnedAnimate.h"

#include "core/SkinMessages.h"
#include "data/AnimateSkin.h"
#include "data/SkinStore.h"
#include "imaging/DrawUtils.h"
#include "imaging/GdiObject.h"
#include "imaging/MemoryDC.h"
#include "imaging/WindowHelpers.h"

#include <commctrl.h>

namespace {

const wchar_t kResourceType[] = L"AVI";
const char kClipExtension[] = "AVI";

// Where a clip goes along one axis of the client area, and which part of
// it: centred when smaller, cut centrally when larger.
struct Span {
    int dest;
    int source;
    int size;
};

Span PlaceSpan(int client, int clip, bool centre)
{
    if (!centre)
        return {0, 0, clip};
    if (clip <= client)
        return {(client - clip) / 2, 0, clip};
    return {0, (clip - client) / 2, client};
}

bool IsFrameImageEmpty(const FrameImageRef& frame)
{
    return frame.name[0] == '\0' || frame.source.right <= frame.source.left || frame.source.bottom <= frame.source.top;
}

}  // namespace

SkinnedAnimate::SkinnedAnimate(int controlType, SkinnedWindow& owner)
    : SkinnedControl(controlType, owner), stopEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
}

SkinnedAnimate::~SkinnedAnimate()
{
    // The worker uses this object: it must be gone first.
    EndWorker();
}

const AnimateSkin* SkinnedAnimate::Skin() const
{
    return dynamic_cast<const AnimateSkin*>(skinObject_);
}

WNDPROC SkinnedAnimate::Attach(HWND hwnd)
{
    if (!player_.IsAvailable() || !stopEvent_)
        return nullptr;
    style_ = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    controlId_ = GetDlgCtrlID(hwnd);
    return SkinnedControl::Attach(hwnd);
}

void SkinnedAnimate::Detach()
{
    // The system's control knows nothing of the clip the skin played.
    Stop();
    CloseClip();
    SkinnedControl::Detach();
}

LRESULT SkinnedAnimate::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        Stop();
        CloseClip();
        break;
    case WM_ERASEBKGND:
        PaintBackgroundBehind(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_NCPAINT:
        if (PaintBorder())
            return 0;
        break;
    case WM_UPDATEUISTATE:
        return OnUpdateUiState(wParam, lParam);
    case ACM_OPENA:
        return OpenAnsi(reinterpret_cast<HINSTANCE>(wParam), reinterpret_cast<const char*>(lParam));
    case ACM_OPENW:
        return Open(reinterpret_cast<HINSTANCE>(wParam), reinterpret_cast<const wchar_t*>(lParam));
    case ACM_PLAY:
        return Play(wParam, lParam);
    case ACM_STOP:
        return Stop();
    // From the worker: the background of a frame, painted on this thread,
    // which owns the skin.
    case WM_SKIN_PAINTBKGND:
        PaintClipBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    default:
        break;
    }
    return SkinnedWindow::WindowProc(message, wParam, lParam);
}

// An ANSI name is opened as its Unicode form, as the system's control
// does, so that both find the same clip.
LRESULT SkinnedAnimate::OpenAnsi(HINSTANCE module, const char* name)
{
    if (!name || IS_INTRESOURCE(name))
        return Open(module, reinterpret_cast<const wchar_t*>(name));
    return Open(module, WideFromAnsi(name).c_str());
}

LRESULT SkinnedAnimate::Open(HINSTANCE module, const wchar_t* name)
{
    if (!module)
        module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
    // Always stopped first: a worker still playing would read the clip
    // being replaced.
    Stop();
    CloseClip();
    if (!name)
        return 1;
    // A name is looked for among the resources before the files, as the
    // system's control does, so that a clip found nowhere leaves the last
    // error the system's would.
    const bool opened = IS_INTRESOURCE(name) ? OpenResource(module, name, "VX$$TEMP.AVI")
                                             : OpenResource(module, name, "VX$$TEMP") || player_.Open(name);
    if (!opened)
        return 0;
    current_ = first_ = 0;
    last_ = kToEnd;
    repeat_ = -1;
    if (!(style_ & ACS_CENTER))
        SetWindowPos(window_, nullptr, 0, 0, player_.Width(), player_.Height(), SWP_NOZORDER | SWP_NOMOVE);
    if (style_ & ACS_AUTOPLAY)
        Start();
    return 1;
}

bool SkinnedAnimate::OpenResource(HINSTANCE module, const wchar_t* name, const char* tempName)
{
    // Asked before any file is made: a missing clip keeps the resource
    // lookup's error, not the temporary file's clean-up's.
    const HRSRC found = FindResourceW(module, name, kResourceType);
    if (!found)
        return false;
    auto file = std::make_unique<TempFile>(tempName, "C:", kClipExtension);
    if (!file->Path()[0] || !ExtractResourceToFile(file->Path(), module, found))
        return false;
    if (!player_.Open(WideFromAnsi(file->Path()).c_str()))
        return false;
    // Where the platform refuses to delete a file that is open, the file
    // is kept until the clip is closed rather than left behind.
    if (!file->Remove())
        clipFile_ = std::move(file);
    return true;
}

void SkinnedAnimate::CloseClip()
{
    player_.Close();
    clipFile_.reset();
}

LRESULT SkinnedAnimate::Play(WPARAM repeat, LPARAM frames)
{
    Stop();
    repeat_ = static_cast<int>(repeat);
    first_ = LOWORD(frames);
    last_ = HIWORD(frames);
    current_ = first_;
    return Start() ? 1 : 0;
}

bool SkinnedAnimate::Start()
{
    if (playing_)
        return true;
    // Nothing to play: the system's control refuses too, and a worker
    // would only repaint the background.
    if (!player_.IsOpen())
        return false;
    // A stop that came after a worker ended by itself left the event set.
    ResetEvent(stopEvent_.get());
    thread_.reset(CreateThread(nullptr, 0, WorkerMain, this, 0, nullptr));
    if (!thread_)
        return false;
    playing_ = true;
    Notify(ACN_START);
    return true;
}

LRESULT SkinnedAnimate::Stop()
{
    if (!playing_)
        return 1;
    playing_ = false;
    EndWorker();
    Notify(ACN_STOP);
    return 1;
}

void SkinnedAnimate::EndWorker()
{
    if (!thread_)
        return;
    SetEvent(stopEvent_.get());
    // The worker asks this thread for every frame's background with a sent
    // message: waiting without answering would hold both threads, and a
    // wait that gave up would leave the worker using a dead object.
    HANDLE thread = thread_.get();
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    thread_.reset();
}

void SkinnedAnimate::Notify(WORD code) const
{
    SendMessageA(GetParent(window_), WM_COMMAND, MAKEWPARAM(controlId_, code), reinterpret_cast<LPARAM>(window_));
}

bool SkinnedAnimate::PaintBorder()
{
    const AnimateSkin* skin = Skin();
    if (!skin || IsFrameImageEmpty(skin->mainImage))
        return false;
    const LONG_PTR exStyle = GetWindowLongPtrA(window_, GWL_EXSTYLE);
    int cx = 0;
    int cy = 0;
    if (exStyle & WS_EX_CLIENTEDGE) {
        cx += GetSystemMetrics(SM_CXEDGE);
        cy += GetSystemMetrics(SM_CYEDGE);
    }
    if (exStyle & WS_EX_DLGMODALFRAME) {
        cx += GetSystemMetrics(SM_CXDLGFRAME);
        cy += GetSystemMetrics(SM_CYDLGFRAME);
    }
    if (exStyle & WS_EX_STATICEDGE) {
        ++cx;
        ++cy;
    }
    if (cx == 0 && cy == 0)
        return true;
    const RECT window = WindowRectAtOrigin();
    WholeWindowDC dc(window_);
    MemoryDC surface(dc, window.right, window.bottom);
    if (!dc || !surface.IsValid())
        return true;
    DrawFrameBorder(surface.Dc(), window, skin->mainImage, skin->backColour, false, Store());
    SavedDCState saved(dc);
    ExcludeClipRect(dc, cx, cy, window.right - cx, window.bottom - cy);
    BitBlt(dc, 0, 0, window.right, window.bottom, surface.Dc(), 0, 0, SRCCOPY);
    return true;
}

void SkinnedAnimate::PaintClipBackground(HDC hdc)
{
    if (style_ & ACS_TRANSPARENT) {
        PaintBackgroundBehind(hdc);
        return;
    }
    RECT client;
    GetClientRect(window_, &client);
    if (const AnimateSkin* skin = Skin())
        DrawImageRef(hdc, client, skin->background, skin->backColour, true, Store());
    else
        FillSolidRect(hdc, client, GetSysColor(COLOR_BTNFACE));
}

DWORD WINAPI SkinnedAnimate::WorkerMain(void* self)
{
    static_cast<SkinnedAnimate*>(self)->RunWorker();
    return 0;
}

void SkinnedAnimate::RunWorker()
{
    const AviPlayer::Frames frames(player_);
    const DWORD interval = player_.FrameInterval();
    const LONG length = player_.Length();
    int loops = 0;
    while (WaitForSingleObject(stopEvent_.get(), interval) == WAIT_TIMEOUT) {
        DrawFrame(frames, current_);
        if (!Advance(length, loops))
            return;
    }
}

bool SkinnedAnimate::Advance(LONG length, int& loops)
{
    ++current_;
    const bool pastEnd = last_ == kToEnd ? current_ >= length : current_ > last_;
    if (!pastEnd)
        return true;
    current_ = first_;
    ++loops;
    return repeat_ == -1 || loops < repeat_;
}

void SkinnedAnimate::DrawFrame(const AviPlayer::Frames& frames, WORD frame)
{
    RECT client;
    GetClientRect(window_, &client);
    if (IsRectEmpty(&client))
        return;
    WindowDC dc(window_);
    if (!dc)
        return;
    MemoryDC clip(dc, player_.Width(), player_.Height());
    MemoryDC composed(dc, client.right, client.bottom);
    if (!clip.IsValid() || !composed.IsValid() || !frames.Draw(clip.Dc(), frame))
        return;
    SendMessageA(window_, WM_SKIN_PAINTBKGND, reinterpret_cast<WPARAM>(composed.Dc()),
                 reinterpret_cast<LPARAM>(window_));
    const bool centre = (style_ & ACS_CENTER) != 0;
    const Span x = PlaceSpan(client.right, player_.Width(), centre);
    const Span y = PlaceSpan(client.bottom, player_.Height(), centre);
    if (style_ & ACS_TRANSPARENT)
        TransparentStretchBlit(composed.Dc(), x.dest, y.dest, x.size, y.size, clip.Dc(), x.source, y.source, x.size,
                               y.size, GetPixel(clip.Dc(), 0, 0));
    else
        BitBlt(composed.Dc(), x.dest, y.dest, x.size, y.size, clip.Dc(), x.source, y.source, SRCCOPY);
    BitBlt(dc, 0, 0, client.right, client.bottom, composed.Dc(), 0, 0, SRCCOPY);
}
