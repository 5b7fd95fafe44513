// The base of every window-side skin object: binds one window to one skin
// object of the current store, subclasses it through the window property
// "OBJECT", lays out and paints the nine frame parts, builds the window
// region, owns the frame elements and skins the window's children.
#pragma once

#include <windows.h>

#include <memory>
#include <set>
#include <vector>

#include "core/SkinBoundObject.h"
#include "core/WindowProcedure.h"
#include "imaging/GdiObject.h"
#include "imaging/ImageRef.h"
#include "imaging/MemoryDC.h"

class FrameElement;
class FrameSkinBase;
class SkinStore;

// Something that runs on a window timer of a skinned window. The timer id
// is the client's address: unique while the client lives, and the window
// forgets it when the client stops it or dies, so no id ever dangles.
class WindowTimerClient {
public:
    virtual void OnTimer() = 0;

protected:
    ~WindowTimerClient() = default;
};

// A control skin that chooses the colours its control is painted in when
// the control asks its parent for them (edits).
class ParentColourSource {
public:
    // `dc` prepared for WM_CTLCOLOREDIT or WM_CTLCOLORSTATIC; the brush
    // stays the source's.
    virtual HBRUSH AnswerParentColours(UINT message, HDC dc) = 0;

protected:
    ~ParentColourSource() = default;
};

class SkinnedWindow : public SkinBoundObject {
public:
    static const int kPartCount = 9;
    enum Part {
        PartTopLeft,
        PartTop,
        PartTopRight,
        PartLeft,
        PartClient,
        PartRight,
        PartBottomLeft,
        PartBottom,
        PartBottomRight
    };
    // The property of a subclassed window that holds its object.
    static const char kObjectProperty[];
    // The style under which the system's default processing of a frame
    // finds nothing of its own to paint.
    static const DWORD kNeutralStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

    SkinnedWindow();

    void Paint(HDC hdc) override;
    SkinObject* SetSkinObject(SkinObject* skinObject) override;
    ~SkinnedWindow() override;
    virtual int OnMenuKey(WPARAM vk, LPARAM keyFlags);
    virtual int KeepWithoutSkinObject();
    virtual void OnNcDestroy();
    virtual HWND GetActiveMdiChild();
    virtual void GetWindowRect(RECT& rect);
    virtual void DrawBackground(HDC hdc, bool active);
    virtual void DrawFrame(HDC hdc, bool active);
    virtual void Detach();
    // Non-zero (the replaced procedure) on success.
    virtual WNDPROC Attach(HWND hwnd);
    virtual void OnShowWindow(WPARAM wParam, LPARAM lParam);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void GetMenuBarRect(RECT& rect);
    virtual void DrawMenuBar(HDC hdc);
    // The caller owns the region; null keeps the window rectangular.
    virtual HRGN BuildWindowRegion();
    virtual void DrawCaptionText(HDC hdc, bool active);

    HWND Window() const { return window_; }
    bool IsSubclassed() const { return static_cast<bool>(previous_); }
    // Whether the window is subclassed in its Unicode form.
    bool IsUnicode() const { return previous_.Unicode(); }
    SkinStore& Store() const;
    // The skin object as a frame (types 1 and 17), or null: only frames
    // carry the nine parts, whatever object a window was bound to.
    const FrameSkinBase* FrameObject() const;
    const RECT& PartRect(int part) const { return parts_[part]; }
    bool UsesTransparency() const { return transparency_ != 0; }
    COLORREF TransparentColour() const { return transparentColour_; }
    const std::vector<std::unique_ptr<FrameElement>>& Elements() const { return elements_; }
    const std::set<HWND>& Children() const { return children_; }

    // Children.
    void SkinChildren(HWND hwnd);
    void SkinChild(HWND child);
    bool ForgetChild(HWND child);
    void UnskinDescendants(HWND hwnd);
    static int ClassifyWindow(HWND hwnd);
    std::unique_ptr<SkinnedWindow> CreateChildSkin(int type);
    SkinObject* FindControlSkinObject(int controlId, int type) const;
    // The window behind `window`: a tab control that covers it wholly, else
    // its parent.
    static HWND FindBackgroundWindow(HWND window);
    // The skinned background behind `window`'s client area. A window behind
    // that does not answer (no skin, or a skin that draws none) hands the
    // request to its parent, and so on up; with no answer at all, the
    // system's face colour.
    static void PaintBackgroundBehind(HWND window, HDC hdc);
    void BlitChildBackground(HDC hdc, HWND child, HDC sourceDc) const;
    LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam);
    // The answer of a skinned edit child (wParam its DC, lParam the child)
    // to WM_CTLCOLOREDIT or WM_CTLCOLORSTATIC; false for other children.
    static bool EditChildColours(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Frame parts.
    void LayoutParts(const RECT& windowRect);
    void DrawPart(HDC hdc, int part, bool active);
    HRGN PartRegion(int part);
    void MinimumFrameSize(int& width, int& height) const;
    void FitWindowToClient();
    bool SizeChanged();
    void ForgetRegionSize() { lastRegionSize_ = RECT{}; }
    void RememberRegionSize();
    // Lays the parts out for the window's size; a size not seen before
    // also gets its region and drops the client background, which is
    // drawn again when next asked for. True for a new size.
    bool AdoptWindowSize();
    void CaptionBandRect(RECT& rect);
    void NcPaintRect(const RECT& rect);
    // Gives the window `region` (owned from here on), or no region when
    // it covers the whole window. Only a window on screen is redrawn for
    // it: one not shown yet is painted once when it is.
    void ApplyWindowRegion(HRGN region);

    // Frame elements.
    void UpdateCaptionButtons(DWORD style);
    void DestroyElements();
    void LayoutAndDrawElements(HDC hdc);
    bool DispatchToElements(UINT message, int x, int y);
    int LabelHitCode(POINT point);
    bool HasWindowTextLabel() const;
    void StartTimer(WindowTimerClient& client, UINT milliseconds);
    void StopTimer(WindowTimerClient& client);

    // Window state.
    bool IsSizable() const;
    // Whether the frame is drawn active: what the last WM_NCACTIVATE said.
    // The system's own activation state can already name the next window
    // while the old one paints its deactivation.
    bool IsActiveWindow() const { return activeCaption_; }
    void SetActiveCaption(bool active) { activeCaption_ = active; }
    HWND TopLevelAncestor() const;
    RECT WindowRectAtOrigin() const;
    // False once default processing destroyed the window (and this object
    // with it): nothing of the object may be touched then.
    static bool IsStillSkinOf(HWND window, const SkinnedWindow* object);

    static const ImageRef& PickImage(const ImageRef& first, const ImageRef& second, const ImageRef* third);

    // The previous procedure, or DefWindowProc while not subclassed.
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const;
    // The previous procedure run while the window's style is `style`; the
    // style is put back afterwards (see StyleOverride).
    LRESULT CallPreviousWithStyle(DWORD style, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallPreviousWithoutSysMenu(UINT message, WPARAM wParam, LPARAM lParam);
    // The default processing under `style`, then the frame painted again.
    LRESULT CallPreviousThenRepaint(DWORD style, UINT message, WPARAM wParam, LPARAM lParam);
    DWORD CurrentStyleWithoutSysMenu() const;
    // A skinned frame has no system menu or menu-bar loop of the system's:
    // true, with the answer in `result`, for a context menu asked for on
    // the frame (`hit` is its hit code) and for the system's menu loops.
    bool RefuseSystemMenu(UINT message, WPARAM wParam, LPARAM lParam, int hit, LRESULT& result);

protected:
    bool OnElementTimer(UINT_PTR id);
    // Tells the skinned ancestor that skinned this child that it is gone.
    static void NotifyOwnerOfDetach(HWND window);
    // WM_NCPAINT of frames and dialogs: the frame parts and elements
    // composed off-screen, then copied as four strips (top band of
    // `topHeight`, left and right columns, bottom row), so the client area
    // is never touched. `regionParam` is WM_NCPAINT's wParam.
    void ComposeNonClient(WPARAM regionParam, int topHeight);
    // WM_NCCALCSIZE of frames and dialogs: the client inside the parts and
    // a menu bar of `menuBarHeight` pixels.
    void CalcClientFromParts(RECT& windowRect, int menuBarHeight) const;
    // The caption text of frames and dialogs, unless a label shows it.
    void DrawWindowCaption(HDC hdc);
    bool OverridingStyle() const { return styleOverrides_ > 0; }
    // The client background kept for a size that is gone.
    virtual void DropClientBackground() {}
    // Shows the window in the skin it was just attached with.
    virtual void RedrawAttached();

    RECT parts_[kPartCount] = {};
    HWND window_ = nullptr;
    WindowProcedure previous_;
    std::vector<std::unique_ptr<FrameElement>> elements_;
    // Handles, not objects: the manager owns the child skins, and looking
    // them up there means a child unskinned meanwhile is never touched.
    std::set<HWND> children_;
    RECT lastRegionSize_ = {};
    int transparency_ = 0;
    bool activeCaption_ = false;
    bool windowDying_ = false;  // in WM_NCDESTROY
    // Shown and not painted since: the system paints the whole window
    // next, so a repaint asked for before then would be done twice.
    bool showPaintPending_ = false;
    COLORREF transparentColour_ = RGB(255, 0, 255);
    Region windowRegion_;

private:
    void PaintNonClientStrips(HDC windowDc, HDC surface, int topHeight);
    MemoryDC* NonClientSurface(HDC windowDc, int width, int height);

    std::set<WindowTimerClient*> timers_;
    // Kept between paints: a frame repaints on every activation and
    // mouse move over its buttons.
    std::unique_ptr<MemoryDC> nonClientSurface_;
    SIZE nonClientSize_ = {};
    Font captionFont_;
    int styleOverrides_ = 0;
    int captionHolds_ = 0;

    friend class CaptionHold;
};

// Runs the default processing of a skinned window under another style, so
// that the system has no caption, system menu or buttons to paint. The
// style put back keeps what the default processing changed in the state
// bits (a restore, a maximise, a hide), or the window would end iconic or
// hidden again.
class StyleOverride {
public:
    StyleOverride(HWND window, DWORD temporaryStyle);
    ~StyleOverride();

    StyleOverride(const StyleOverride&) = delete;
    StyleOverride& operator=(const StyleOverride&) = delete;

private:
    HWND window_;
    DWORD saved_;
    bool changed_;
};

// Keeps a skinned window's default processing from painting a caption
// while system code changes the window from outside its procedure: the MDI
// client retitles its frame straight through the default procedure. The
// caption is repainted when the window's last hold ends. A window without
// a skin is left as it is.
class CaptionHold {
public:
    explicit CaptionHold(HWND window);
    ~CaptionHold();

    CaptionHold(const CaptionHold&) = delete;
    CaptionHold& operator=(const CaptionHold&) = delete;

private:
    HWND window_ = nullptr;
    SkinnedWindow* object_ = nullptr;
    std::unique_ptr<StyleOverride> override_;
};

// The window procedure of every subclassed window: of ANSI windows, and of
// Unicode ones.
LRESULT CALLBACK SkinWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SkinWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
