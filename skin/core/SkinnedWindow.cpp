#include "core/SkinnedWindow.h"

#include "core/FrameElement.h"
#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "data/ControlSkinBase.h"
#include "data/FrameSkin.h"
#include "data/SkinInfo.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "imaging/DeviceCopies.h"
#include "imaging/DrawUtils.h"
#include "imaging/GdiObject.h"
#include "imaging/Image.h"
#include "imaging/MemoryDC.h"
#include "imaging/Regions.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

const char SkinnedWindow::kObjectProperty[] = "OBJECT";

namespace {

const int kClassNameSize = 100;
const UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME;
const DWORD kStateBits = WS_MINIMIZE | WS_MAXIMIZE | WS_VISIBLE | WS_DISABLED;

int Width(const RECT& r)
{
    return r.right - r.left;
}
int Height(const RECT& r)
{
    return r.bottom - r.top;
}

// The object of each subclassed window. The "OBJECT" property tells the
// same to anyone who looks, but reading a property is a round trip to the
// wineserver under Wine, and the window procedure needs the object for
// every message.
class BoundObjects {
public:
    static void Bind(HWND window, SkinnedWindow* object)
    {
        SetPropA(window, SkinnedWindow::kObjectProperty, object);
        const std::lock_guard<std::mutex> guard(Lock());
        Table()[window] = object;
    }
    static void Unbind(HWND window)
    {
        RemovePropA(window, SkinnedWindow::kObjectProperty);
        const std::lock_guard<std::mutex> guard(Lock());
        Table().erase(window);
    }
    static SkinnedWindow* Find(HWND window)
    {
        const std::lock_guard<std::mutex> guard(Lock());
        const auto found = Table().find(window);
        return found == Table().end() ? nullptr : found->second;
    }

private:
    static std::mutex& Lock()
    {
        static std::mutex lock;
        return lock;
    }
    static std::unordered_map<HWND, SkinnedWindow*>& Table()
    {
        static std::unordered_map<HWND, SkinnedWindow*> table;
        return table;
    }
};

// "Button" stands for four kinds of control; the low style bits say which.
const char* ButtonClassByStyle(LONG_PTR style)
{
    const LONG_PTR s = style & 0xF;
    if ((s & 7) == 7)
        return "GroupBox";
    if ((s & 2) != 0 || (s & 3) == 3 || (s & 5) == 5)
        return "CheckBox";
    if ((s & 4) != 0 || (s & 9) == 9)
        return "Radio";
    return "Button";
}

}  // namespace

SkinnedWindow::SkinnedWindow() = default;

SkinnedWindow::~SkinnedWindow()
{
    DestroyElements();
    children_.clear();
}

SkinStore& SkinnedWindow::Store() const
{
    return SkinManager::Instance().GetSkinStore();
}

const FrameSkinBase* SkinnedWindow::FrameObject() const
{
    if (!skinObject_)
        return nullptr;
    const int32_t type = skinObject_->TypeCode();
    if (type != kTypeFrame && type != kTypePopupMenu)
        return nullptr;
    return static_cast<const FrameSkinBase*>(skinObject_);
}

void SkinnedWindow::Paint(HDC hdc)
{
    DrawFrame(hdc, false);
    DrawBackground(hdc, false);
}

SkinObject* SkinnedWindow::SetSkinObject(SkinObject* skinObject)
{
    SkinObject* previous = SkinBoundObject::SetSkinObject(skinObject);
    captionFont_.Reset();
    const auto* info = static_cast<SkinInfo*>(Store().FindObjectByType(kTypeSkinInfo));
    transparentColour_ = info ? info->keyColour : RGB(255, 0, 255);
    transparency_ = info ? info->useTransparentColour : 0;
    DestroyElements();
    if (!skinObject)
        return previous;
    const auto makeElement = SkinManager::Instance().Factories().element;
    for (const auto& entry : skinObject->Children()) {
        SkinObject* child = entry.second.get();
        std::unique_ptr<FrameElement> element = makeElement ? makeElement(*child, *this) : nullptr;
        if (!element)
            continue;
        element->SetSkinObject(child);
        elements_.push_back(std::move(element));
    }
    ForgetRegionSize();
    if (window_)
        SkinChildren(window_);
    if (const FrameSkinBase* frame = FrameObject())
        std::copy(std::begin(frame->designRects), std::end(frame->designRects), parts_);
    else
        std::fill(std::begin(parts_), std::end(parts_), RECT{});
    return previous;
}

int SkinnedWindow::OnMenuKey(WPARAM, LPARAM)
{
    return 0;
}

int SkinnedWindow::KeepWithoutSkinObject()
{
    return 0;
}

void SkinnedWindow::OnNcDestroy()
{
    const HWND window = window_;
    const WindowProcedure previous = previous_;
    windowDying_ = true;
    SkinManager::Instance().UnskinWindow(window);
    // This object is gone from here on.
    if (previous)
        previous.Call(window, WM_NCDESTROY, 0, 0);
}

HWND SkinnedWindow::GetActiveMdiChild()
{
    return nullptr;
}

void SkinnedWindow::GetWindowRect(RECT& rect)
{
    ::GetWindowRect(window_, &rect);
}

void SkinnedWindow::DrawBackground(HDC hdc, bool active)
{
    const FrameSkinBase* frame = FrameObject();
    if (!frame)
        return;
    RECT client;
    GetClientRect(window_, &client);
    const int activeIndex = PartClient;
    const int inactiveIndex = FrameSkinBase::kPieceCount + PartClient;
    int index = active ? activeIndex : inactiveIndex;
    if (!frame->preparedImages[index].image)
        index = activeIndex;
    Image* image = frame->preparedImages[index].image.get();
    if (!image || !image->IsValid()) {
        FillSolidRect(hdc, client, frame->clientColour);
        return;
    }
    switch (frame->frameImages[index].drawMode) {
    case DrawModeOnce:
        image->Draw(hdc, client.left, client.top);
        break;
    case DrawModeTile:
        image->Tile(hdc, &client);
        break;
    default:
        image->Stretch(hdc, client.left, client.top, Width(client), Height(client));
        break;
    }
}

void SkinnedWindow::DrawFrame(HDC hdc, bool active)
{
    if (!IsIconic(window_)) {
        DrawPart(hdc, PartLeft, active);
        DrawPart(hdc, PartRight, active);
    }
    for (int part : {PartTopLeft, PartTop, PartTopRight, PartBottomLeft, PartBottom, PartBottomRight})
        DrawPart(hdc, part, active);
    DrawCaptionText(hdc, active);
    DrawMenuBar(hdc);
}

void SkinnedWindow::Detach()
{
    if (!window_)
        return;
    UnskinDescendants(window_);
    for (HWND child : std::set<HWND>(children_))
        SkinManager::Instance().UnskinWindow(child);
    children_.clear();
    if (!previous_)
        return;
    const HWND window = window_;
    if (windowRegion_ && !windowDying_)
        SetWindowRgn(window, nullptr, FALSE);
    windowRegion_.Reset();
    previous_.Restore(window);
    previous_ = WindowProcedure();
    // A window in its last message gets no new frame: the messages that
    // would cause reach procedures (the MDI child's) whose data is gone.
    if (!windowDying_)
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    BoundObjects::Unbind(window);
    window_ = nullptr;
    NotifyOwnerOfDetach(window);
}

void SkinnedWindow::NotifyOwnerOfDetach(HWND window)
{
    if (!(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD))
        return;
    if (SkinnedWindow* owner = SkinManager::Instance().FindSkinnedAncestor(GetParent(window)))
        SendMessageA(owner->Window(), WM_SKIN_CHILDDETACHED, reinterpret_cast<WPARAM>(window), 0);
}

WNDPROC SkinnedWindow::Attach(HWND hwnd)
{
    window_ = hwnd;
    activeCaption_ = GetActiveWindow() == hwnd;
    SkinChildren(hwnd);
    BoundObjects::Bind(hwnd, this);
    UpdateCaptionButtons(static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)));
    previous_ = WindowProcedure::Replace(hwnd, SkinWindowProc, SkinWindowProcW);
    if (!previous_) {
        // A window that could not be subclassed keeps no trace of the skin.
        UnskinDescendants(hwnd);
        BoundObjects::Unbind(hwnd);
        window_ = nullptr;
        return nullptr;
    }
    if (skinObject_)
        RedrawAttached();
    return previous_.Get();
}

void SkinnedWindow::RedrawAttached()
{
    // A window not shown yet is painted whole when it is.
    if (IsWindowVisible(window_))
        RedrawWindow(window_, nullptr, nullptr, kRedrawAll);
}

void SkinnedWindow::OnShowWindow(WPARAM, LPARAM) {}

LRESULT SkinnedWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return CallPrevious(message, wParam, lParam);
    switch (message) {
    case WM_SHOWWINDOW:
        showPaintPending_ = wParam != FALSE;
        OnShowWindow(wParam, lParam);
        break;
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    case WM_TIMER:
        if (OnElementTimer(wParam))
            return 0;
        break;
    case WM_CTLCOLOREDIT: {
        LRESULT result = 0;
        if (EditChildColours(message, wParam, lParam, result))
            return result;
        break;
    }
    case WM_DISPLAYCHANGE:
        ForgetDisplayColourDepth();
        break;
    case WM_SKIN_CHILDDETACHED:
        ForgetChild(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_SKIN_MENUKEY:
        return OnMenuKey(wParam, lParam);
    default:
        break;
    }
    return CallPrevious(message, wParam, lParam);
}

void SkinnedWindow::GetMenuBarRect(RECT& rect)
{
    rect = RECT{};
}

void SkinnedWindow::DrawMenuBar(HDC) {}

HRGN SkinnedWindow::BuildWindowRegion()
{
    if (!transparency_)
        return nullptr;
    Region result(CreateRectRgn(0, 0, 0, 0));
    for (int part = 0; part < kPartCount; ++part) {
        Region piece(PartRegion(part));
        if (piece)
            CombineRgn(result, result, piece, RGN_OR);
    }
    const RECT window = WindowRectAtOrigin();
    for (const auto& element : elements_) {
        if (!element->IsLabel())
            continue;
        element->Layout(window.left, window.top, window.right, window.bottom);
        element->JoinRegion(result);
    }
    return result.Release();
}

void SkinnedWindow::DrawCaptionText(HDC, bool) {}

void SkinnedWindow::SkinChildren(HWND hwnd)
{
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SkinChild(child);
}

void SkinnedWindow::SkinChild(HWND child)
{
    SkinChildren(child);
    const int type = ClassifyWindow(child);
    if (type == 0)
        return;
    SkinManager& manager = SkinManager::Instance();
    SkinObject* skin = Store().FindObjectByType(type);
    const bool known = children_.count(child) != 0;
    if (known) {
        SkinnedWindow* existing = manager.FindWindowObject(child);
        // A skin without an object for the child leaves it skinned when it
        // can do without one, as a skin switch does.
        if (existing && existing->Window() == child && (skin || existing->KeepWithoutSkinObject())) {
            existing->SetSkinObject(skin);
            return;
        }
        children_.erase(child);
        if (!skin)
            manager.UnskinWindow(child);
        return;
    }
    if (!skin)
        return;
    SkinnedWindow* object = manager.AddWindow(CreateChildSkin(type), child);
    if (!object)
        return;
    object->SetSkinObject(skin);
    children_.insert(child);
    // A control skin may decline its window (owner-drawn buttons): then
    // nothing of it may stay registered, or the map would keep a handle
    // the system can reuse.
    if (!object->Attach(child)) {
        children_.erase(child);
        manager.UnskinWindow(child);
    }
}

bool SkinnedWindow::ForgetChild(HWND child)
{
    return children_.erase(child) != 0;
}

void SkinnedWindow::UnskinDescendants(HWND hwnd)
{
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        UnskinDescendants(child);
        SkinManager::Instance().UnskinWindow(child);
        children_.erase(child);
    }
}

int SkinnedWindow::ClassifyWindow(HWND hwnd)
{
    char className[kClassNameSize] = {};
    if (GetClassNameA(hwnd, className, kClassNameSize) <= 0)
        return 0;
    const char* name = className;
    if (strcmp(name, "Button") == 0)
        name = ButtonClassByStyle(GetWindowLongPtrA(hwnd, GWL_STYLE));
    if (strcmp(name, "ComboLBox") == 0) {
        HWND parent = GetParent(hwnd);
        if (!parent)
            return 0;
        const LONG_PTR parentStyle = GetWindowLongPtrA(parent, GWL_STYLE);
        const bool simpleCombo = (parentStyle & 1) != 0 && (parentStyle & 3) != 3;
        return simpleCombo ? kTypeListBox : 0;
    }
    return SkinManager::Instance().ControlTypeOfClass(name);
}

std::unique_ptr<SkinnedWindow> SkinnedWindow::CreateChildSkin(int type)
{
    const auto factory = SkinManager::Instance().Factories().control;
    return factory ? factory(type, *this) : nullptr;
}

SkinObject* SkinnedWindow::FindControlSkinObject(int controlId, int type) const
{
    if (!skinObject_)
        return nullptr;
    for (const auto& entry : skinObject_->Children()) {
        auto* control = dynamic_cast<ControlSkinBase*>(entry.second.get());
        if (control && control->TypeCode() == type && control->controlId == controlId)
            return control;
    }
    return nullptr;
}

HWND SkinnedWindow::FindBackgroundWindow(HWND window)
{
    RECT mine;
    ::GetWindowRect(window, &mine);
    // Asked by class, the system lists the siblings once; walking them one
    // by one asks the wineserver for each.
    const HWND parent = GetAncestor(window, GA_PARENT);
    for (HWND sibling = FindWindowExA(parent, nullptr, "SysTabControl32", nullptr); sibling;
         sibling = FindWindowExA(parent, sibling, "SysTabControl32", nullptr)) {
        if (sibling == window)
            continue;
        RECT area, both;
        ::GetWindowRect(sibling, &area);
        if (IntersectRect(&both, &area, &mine) && EqualRect(&both, &mine))
            return sibling;
    }
    return GetParent(window);
}

void SkinnedWindow::PaintBackgroundBehind(HWND window, HDC hdc)
{
    SkinManager& manager = SkinManager::Instance();
    // A tab behind shares the window's parent, which comes next.
    for (HWND behind = FindBackgroundWindow(window); behind;
         behind = (GetWindowLongPtrA(behind, GWL_STYLE) & WS_CHILD) ? GetParent(behind) : nullptr) {
        // The answer tells that something was painted; an unskinned window
        // knows nothing of the request and would leave the surface as it
        // came (black, or what was there before).
        if (manager.FindWindowObject(behind) &&
            SendMessageA(behind, WM_SKIN_PAINTBKGND, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(window)))
            return;
    }
    RECT client;
    GetClientRect(window, &client);
    FillSolidRect(hdc, client, GetSysColor(COLOR_BTNFACE));
}

void SkinnedWindow::BlitChildBackground(HDC hdc, HWND child, HDC sourceDc) const
{
    RECT area;
    GetClientRect(child, &area);
    MapWindowPoints(child, window_, reinterpret_cast<POINT*>(&area), 2);
    BitBlt(hdc, 0, 0, Width(area), Height(area), sourceDc, area.left, area.top, SRCCOPY);
}

LRESULT SkinnedWindow::OnCtlColorStatic(WPARAM wParam, LPARAM lParam)
{
    SkinnedWindow* control = SkinManager::Instance().FindWindowObject(reinterpret_cast<HWND>(lParam));
    if (control && control->GetSkinObject() && control->GetSkinObject()->TypeCode() == kTypeStatic)
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    LRESULT result = 0;
    if (EditChildColours(WM_CTLCOLORSTATIC, wParam, lParam, result))
        return result;
    return CallPrevious(WM_CTLCOLORSTATIC, wParam, lParam);
}

bool SkinnedWindow::EditChildColours(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    SkinnedWindow* control = SkinManager::Instance().FindWindowObject(reinterpret_cast<HWND>(lParam));
    if (!control || !control->GetSkinObject() || control->GetSkinObject()->TypeCode() != kTypeEdit)
        return false;
    auto* source = dynamic_cast<ParentColourSource*>(control);
    const HBRUSH brush = source ? source->AnswerParentColours(message, reinterpret_cast<HDC>(wParam)) : nullptr;
    result = reinterpret_cast<LRESULT>(brush);
    return brush != nullptr;
}

void SkinnedWindow::LayoutParts(const RECT& windowRect)
{
    const FrameSkinBase* frame = FrameObject();
    if (!frame)
        return;
    const RECT* d = frame->designRects;
    const int W = windowRect.right;
    const int H = windowRect.bottom;
    const int w2 = Width(d[PartTopRight]);
    const int w5 = Width(d[PartRight]);
    const int w8 = Width(d[PartBottomRight]);
    const int h6 = Height(d[PartBottomLeft]);
    parts_[PartTopLeft] = d[PartTopLeft];
    parts_[PartTop] = {d[PartTop].left, d[PartTop].top, W - w2, d[PartTop].bottom};
    parts_[PartTopRight] = {W - w2, d[PartTopRight].top, W, d[PartTopRight].bottom};
    parts_[PartLeft] = {d[PartLeft].left, d[PartLeft].top, d[PartLeft].right, H - h6};
    parts_[PartClient] = {d[PartClient].left, d[PartClient].top, W - w5, H - h6};
    parts_[PartRight] = {W - w5, d[PartRight].top, W, H - h6};
    parts_[PartBottomLeft] = {d[PartBottomLeft].left, H - h6, d[PartBottomLeft].right, H};
    parts_[PartBottom] = {d[PartBottom].left, H - h6, W - w8, H};
    parts_[PartBottomRight] = {W - w8, H - h6, W, H};
}

void SkinnedWindow::DrawPart(HDC hdc, int part, bool active)
{
    const FrameSkinBase* frame = FrameObject();
    if (!frame)
        return;
    const ImageRef& activeImage = frame->frameImages[part];
    if (active) {
        DrawImageRef(hdc, parts_[part], activeImage, frame->activeColour, true, Store());
        return;
    }
    const ImageRef& inactiveImage = frame->frameImages[FrameSkinBase::kPieceCount + part];
    DrawImageRef(hdc, parts_[part], PickImage(inactiveImage, activeImage, nullptr), frame->inactiveColour, true,
                 Store());
}

HRGN SkinnedWindow::PartRegion(int part)
{
    const RECT& rect = parts_[part];
    const FrameSkinBase* frame = FrameObject();
    const PreparedImage* prepared = frame ? &frame->preparedImages[part] : nullptr;
    if (!prepared || !prepared->Region())
        return CreateRectRgnIndirect(&rect);
    Region copy(CreateRectRgn(0, 0, 1, 1));
    if (!copy || CombineRgn(copy, prepared->Region(), nullptr, RGN_COPY) == ERROR)
        return CreateRectRgnIndirect(&rect);
    HRGN placed = nullptr;
    const ImageRef& ref = frame->frameImages[part];
    const int sourceWidth = ref.source.right - ref.source.left;
    const int sourceHeight = ref.source.bottom - ref.source.top;
    switch (ref.drawMode) {
    case DrawModeOnce:
        OffsetRgn(copy, rect.left, rect.top);
        return copy.Release();
    case DrawModeTile:
        placed = TileRegion(copy, sourceWidth, sourceHeight, rect.left, rect.top, rect.right, rect.bottom);
        break;
    default:
        if (sourceWidth > 0 && sourceHeight > 0)
            placed = ScaleRegion(copy, static_cast<float>(Width(rect)) / sourceWidth,
                                 static_cast<float>(Height(rect)) / sourceHeight, rect.left, rect.top);
        break;
    }
    return placed ? placed : CreateRectRgnIndirect(&rect);
}

void SkinnedWindow::MinimumFrameSize(int& width, int& height) const
{
    const FrameSkinBase* frame = FrameObject();
    if (!frame) {
        width = height = 10;
        return;
    }
    width = Width(frame->designRects[PartTopLeft]) + Width(frame->designRects[PartTopRight]) + 10;
    height = Height(frame->designRects[PartTopLeft]) + 5;
}

void SkinnedWindow::FitWindowToClient()
{
    RECT client, menuBar, window;
    GetClientRect(window_, &client);
    GetMenuBarRect(menuBar);
    ::GetWindowRect(window_, &window);
    if (GetWindowLongPtrA(window_, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&window), 2);
    const int width = Width(parts_[PartLeft]) + Width(parts_[PartRight]) + client.right;
    const int height = Height(parts_[PartTopLeft]) + Height(parts_[PartBottomLeft]) + Height(menuBar) + client.bottom;
    MoveWindow(window_, window.left, window.top, width, height, FALSE);
}

bool SkinnedWindow::SizeChanged()
{
    RECT window;
    GetWindowRect(window);
    return Width(window) != Width(lastRegionSize_) || Height(window) != Height(lastRegionSize_);
}

void SkinnedWindow::RememberRegionSize()
{
    GetWindowRect(lastRegionSize_);
}

bool SkinnedWindow::AdoptWindowSize()
{
    LayoutParts(WindowRectAtOrigin());
    if (!SizeChanged())
        return false;
    RememberRegionSize();
    DropClientBackground();
    ApplyWindowRegion(BuildWindowRegion());
    return true;
}

void SkinnedWindow::CaptionBandRect(RECT& rect)
{
    RECT menuBar;
    GetMenuBarRect(menuBar);
    rect = {parts_[PartTopLeft].left, parts_[PartTopLeft].top, parts_[PartTopRight].right,
            parts_[PartTopLeft].bottom + Height(menuBar)};
}

void SkinnedWindow::NcPaintRect(const RECT& rect)
{
    RECT window;
    ::GetWindowRect(window_, &window);
    Region region(CreateRectRgn(rect.left + window.left, rect.top + window.top, rect.right + window.left,
                                rect.bottom + window.top));
    SendMessageA(window_, WM_NCPAINT, reinterpret_cast<WPARAM>(region.Get()), 0);
}

void SkinnedWindow::ApplyWindowRegion(HRGN region)
{
    Region owned(region);
    if (owned) {
        RECT box;
        const RECT window = WindowRectAtOrigin();
        if (GetRgnBox(owned, &box) == SIMPLEREGION && EqualRect(&box, &window))
            owned.Reset();
    }
    // The system owns a region once it is set; the copy kept here is ours.
    HRGN given = nullptr;
    if (owned) {
        given = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(given, owned, nullptr, RGN_COPY);
    }
    if (!given && !windowRegion_)
        return;
    SetWindowRgn(window_, given, IsWindowVisible(window_));
    windowRegion_ = std::move(owned);
}

void SkinnedWindow::ComposeNonClient(WPARAM regionParam, int topHeight)
{
    showPaintPending_ = false;
    WholeWindowDC windowDc(window_);
    if (!windowDc)
        return;
    const RECT window = WindowRectAtOrigin();
    MemoryDC* surface = NonClientSurface(windowDc, window.right, window.bottom);
    if (!surface)
        return;
    SavedDCState savedWindowDc(windowDc);
    SavedDCState savedSurface(surface->Dc());
    if (regionParam > 1) {
        RECT screen;
        ::GetWindowRect(window_, &screen);
        Region clip(CreateRectRgn(0, 0, 0, 0));
        CombineRgn(clip, reinterpret_cast<HRGN>(regionParam), nullptr, RGN_COPY);
        OffsetRgn(clip, -screen.left, -screen.top);
        ExtSelectClipRgn(windowDc, clip, RGN_AND);
    }
    SetBkMode(surface->Dc(), TRANSPARENT);
    DrawFrame(surface->Dc(), IsActiveWindow());
    LayoutAndDrawElements(surface->Dc());
    PaintNonClientStrips(windowDc, surface->Dc(), topHeight);
}

MemoryDC* SkinnedWindow::NonClientSurface(HDC windowDc, int width, int height)
{
    if (!nonClientSurface_ || nonClientSize_.cx != width || nonClientSize_.cy != height) {
        nonClientSurface_ = std::make_unique<MemoryDC>(windowDc, width, height);
        nonClientSize_ = {width, height};
    }
    return nonClientSurface_->IsValid() ? nonClientSurface_.get() : nullptr;
}

void SkinnedWindow::CalcClientFromParts(RECT& windowRect, int menuBarHeight) const
{
    windowRect.left += Width(parts_[PartLeft]);
    windowRect.right -= Width(parts_[PartRight]);
    windowRect.top += Height(parts_[PartTopLeft]) + menuBarHeight;
    windowRect.bottom -= Height(parts_[PartBottomLeft]);
    if (windowRect.right < windowRect.left)
        windowRect.right = windowRect.left;
    if (windowRect.bottom < windowRect.top)
        windowRect.bottom = windowRect.top;
}

void SkinnedWindow::DrawWindowCaption(HDC hdc)
{
    const FrameSkinBase* frame = FrameObject();
    const LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
    if (!frame || (style & WS_CAPTION) != WS_CAPTION || HasWindowTextLabel())
        return;
    // Wide text: the title reads right whatever the ANSI code page is.
    WCHAR text[300] = {};
    const int length = GetWindowTextW(window_, text, 300);
    if (!captionFont_)
        captionFont_.Reset(CreateFontIndirectA(&frame->font.logFont));
    SavedDCState saved(hdc);
    SetBkMode(hdc, TRANSPARENT);
    if (captionFont_)
        SelectObject(hdc, captionFont_);
    SetTextColor(hdc, frame->font.colour);
    RECT area = parts_[PartTop];
    DrawTextW(hdc, text, length, &area, DT_SINGLELINE | DT_VCENTER);
}

void SkinnedWindow::PaintNonClientStrips(HDC windowDc, HDC surface, int topHeight)
{
    const RECT window = WindowRectAtOrigin();
    const int left = Width(parts_[PartLeft]);
    const int right = Width(parts_[PartRight]);
    const int bottom = Height(parts_[PartBottomLeft]);
    const int middle = window.bottom - topHeight - bottom;
    BitBlt(windowDc, 0, 0, window.right, topHeight, surface, 0, 0, SRCCOPY);
    BitBlt(windowDc, 0, topHeight, left, middle, surface, 0, topHeight, SRCCOPY);
    BitBlt(windowDc, window.right - right, topHeight, right, middle, surface, window.right - right, topHeight, SRCCOPY);
    BitBlt(windowDc, 0, window.bottom - bottom, window.right, bottom, surface, 0, window.bottom - bottom, SRCCOPY);
}

void SkinnedWindow::UpdateCaptionButtons(DWORD style)
{
    for (const auto& element : elements_)
        element->EnableForStyle(style);
}

void SkinnedWindow::DestroyElements()
{
    elements_.clear();
}

void SkinnedWindow::LayoutAndDrawElements(HDC hdc)
{
    const RECT window = WindowRectAtOrigin();
    for (const auto& element : elements_) {
        element->Layout(window.left, window.top, window.right, window.bottom);
        if (element->IsVisible())
            element->Draw(hdc);
    }
}

bool SkinnedWindow::DispatchToElements(UINT message, int x, int y)
{
    bool onElement = false;
    // A handler may change the skin (a command button), which rebuilds
    // the list: walk a copy of the pointers and stop when the list changed.
    std::vector<FrameElement*> elements;
    for (const auto& element : elements_)
        elements.push_back(element.get());
    for (FrameElement* element : elements) {
        if (elements_.size() != elements.size())
            break;
        if (!element->IsLabel() && element->HitTest(x, y))
            onElement = true;
        element->DispatchMouse(message, x, y);
    }
    return onElement;
}

int SkinnedWindow::LabelHitCode(POINT point)
{
    for (const auto& element : elements_)
        if (element->IsLabel() && element->HitTest(point.x, point.y))
            return element->HitCode();
    return 0;
}

bool SkinnedWindow::HasWindowTextLabel() const
{
    return std::any_of(elements_.begin(), elements_.end(),
                       [](const std::unique_ptr<FrameElement>& element) { return element->ShowsWindowText(); });
}

void SkinnedWindow::StartTimer(WindowTimerClient& client, UINT milliseconds)
{
    if (!window_)
        return;
    SetTimer(window_, reinterpret_cast<UINT_PTR>(&client), milliseconds, nullptr);
    timers_.insert(&client);
}

void SkinnedWindow::StopTimer(WindowTimerClient& client)
{
    if (timers_.erase(&client) && window_)
        KillTimer(window_, reinterpret_cast<UINT_PTR>(&client));
}

bool SkinnedWindow::OnElementTimer(UINT_PTR id)
{
    auto found = std::find_if(timers_.begin(), timers_.end(),
                              [id](WindowTimerClient* client) { return reinterpret_cast<UINT_PTR>(client) == id; });
    if (found == timers_.end())
        return false;
    (*found)->OnTimer();
    return true;
}

bool SkinnedWindow::IsSizable() const
{
    const LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
    if ((style & WS_DLGFRAME) && (style & DS_MODALFRAME))
        return false;
    return (style & WS_THICKFRAME) != 0;
}

HWND SkinnedWindow::TopLevelAncestor() const
{
    HWND top = window_;
    for (HWND up = GetParent(top); up; up = GetParent(up))
        top = up;
    return top;
}

bool SkinnedWindow::IsStillSkinOf(HWND window, const SkinnedWindow* object)
{
    return SkinManager::Instance().FindWindowObject(window) == object;
}

RECT SkinnedWindow::WindowRectAtOrigin() const
{
    RECT window;
    ::GetWindowRect(window_, &window);
    return {0, 0, Width(window), Height(window)};
}

const ImageRef& SkinnedWindow::PickImage(const ImageRef& first, const ImageRef& second, const ImageRef* third)
{
    if (!IsImageRefEmpty(first))
        return first;
    if (IsImageRefEmpty(second) && third && !IsImageRefEmpty(*third))
        return *third;
    return second;
}

LRESULT SkinnedWindow::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return previous_.Call(window_, message, wParam, lParam);
}

LRESULT SkinnedWindow::CallPreviousWithStyle(DWORD style, UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    ++styleOverrides_;
    LRESULT result;
    {
        StyleOverride override(window, style);
        result = CallPrevious(message, wParam, lParam);
    }
    if (IsStillSkinOf(window, this))
        --styleOverrides_;
    return result;
}

DWORD SkinnedWindow::CurrentStyleWithoutSysMenu() const
{
    return static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_STYLE)) & ~WS_SYSMENU;
}

LRESULT SkinnedWindow::CallPreviousWithoutSysMenu(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallPreviousWithStyle(CurrentStyleWithoutSysMenu(), message, wParam, lParam);
}

LRESULT SkinnedWindow::CallPreviousThenRepaint(DWORD style, UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    const LRESULT result = CallPreviousWithStyle(style, message, wParam, lParam);
    if (IsStillSkinOf(window, this) && !showPaintPending_)
        SendMessageA(window, WM_NCPAINT, 1, 0);
    return result;
}

bool SkinnedWindow::RefuseSystemMenu(UINT message, WPARAM wParam, LPARAM lParam, int hit, LRESULT& result)
{
    if (message == WM_CONTEXTMENU && hit != HTCLIENT && reinterpret_cast<HWND>(wParam) == window_) {
        result = 0;
        return true;
    }
    const WPARAM command = wParam & 0xFFF0;
    if (message == WM_SYSCOMMAND && (command == SC_KEYMENU || command == SC_MOUSEMENU)) {
        result = CallPreviousWithStyle(kNeutralStyle, message, wParam, lParam);
        return true;
    }
    return false;
}

CaptionHold::CaptionHold(HWND window)
{
    SkinnedWindow* object = window ? SkinManager::Instance().FindWindowObject(window) : nullptr;
    if (!object || !object->IsSubclassed())
        return;
    window_ = window;
    object_ = object;
    ++object->styleOverrides_;
    ++object->captionHolds_;
    override_ = std::make_unique<StyleOverride>(window, SkinnedWindow::kNeutralStyle);
}

CaptionHold::~CaptionHold()
{
    if (!object_)
        return;
    override_.reset();
    if (!SkinnedWindow::IsStillSkinOf(window_, object_))
        return;
    --object_->styleOverrides_;
    if (--object_->captionHolds_ > 0)
        return;
    RECT band;
    object_->CaptionBandRect(band);
    object_->NcPaintRect(band);
}

StyleOverride::StyleOverride(HWND window, DWORD temporaryStyle)
    : window_(window), saved_(static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE))), changed_(false)
{
    // The state bits stay the window's own: a hidden window given a style
    // with WS_VISIBLE would be shown for the length of the call.
    const DWORD style = (temporaryStyle & ~kStateBits) | (saved_ & kStateBits);
    if (style != saved_) {
        SetWindowLongPtrA(window, GWL_STYLE, static_cast<LONG_PTR>(style));
        changed_ = true;
    }
}

StyleOverride::~StyleOverride()
{
    if (!changed_ || !IsWindow(window_))
        return;
    const DWORD current = static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_STYLE));
    SetWindowLongPtrA(window_, GWL_STYLE, static_cast<LONG_PTR>((saved_ & ~kStateBits) | (current & kStateBits)));
}

namespace {

template <bool Unicode>
LRESULT DispatchToObject(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    SkinnedWindow* object = BoundObjects::Find(hwnd);
    if (!object)
        return DefaultWindowProc<Unicode>(hwnd, message, wParam, lParam);
    try {
        return object->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the system's dispatcher; the message is
        // answered as if unhandled.
        return DefaultWindowProc<Unicode>(hwnd, message, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK SkinWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchToObject<false>(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK SkinWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchToObject<true>(hwnd, message, wParam, lParam);
}
