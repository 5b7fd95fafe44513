// The skinned top-level window (and MDI child frame): the non-client area
// drawn from the frame parts, caption text and elements, the menu bar in
// the non-client area, hit testing for moving and sizing, maximising
// within the work area, and the skinned client background. The system's
// default processing runs with a style that gives it nothing to paint.
#pragma once

#include <windows.h>

#include <memory>

#include "core/SkinnedWindow.h"
#include "windows/ClientBackground.h"
#include "windows/MenuBar.h"
#include "windows/MenuItem.h"

class FrameSkin;
class SkinnedMdiClient;

class SkinnedFrame : public SkinnedWindow {
public:
    SkinnedFrame();
    ~SkinnedFrame() override;

    SkinObject* SetSkinObject(SkinObject* skinObject) override;
    int OnMenuKey(WPARAM vk, LPARAM keyFlags) override;
    HWND GetActiveMdiChild() override;
    void Detach() override;
    WNDPROC Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void GetMenuBarRect(RECT& rect) override;
    void DrawMenuBar(HDC hdc) override;
    void DrawCaptionText(HDC hdc, bool active) override;
    // x, y relative to the window's top-left corner.
    virtual void OnNcLButtonUp(int hit, int x, int y);
    virtual void OnNcLButtonDown(int hit, int x, int y);
    virtual void OnNcLButtonDblClk(int hit, int x, int y);
    virtual void OnNcMouseMove(int hit, int x, int y);
    virtual int NcHitTest(int x, int y);
    virtual void GetMinMaxInfo(MINMAXINFO& info);

    HWND FindMdiClient() const;
    void RebuildClientBackground(int width, int height);
    bool EraseClientBackground(HDC hdc);
    void OnPopupClick(POINT screenPoint);
    void OnPopupMouseMove(POINT screenPoint);
    MenuBar& Bar() { return menuBar_; }
    // The bar of the frame skin of `window`, for its accessible object.
    static AccessibleMenu* FindMenuBar(HWND window);
    // The menu bar's buttons for the active MDI child: its skinned system
    // menu, and minimise, restore and close.
    void MdiChildSystemMenu();
    void MdiChildMinimize();
    void MdiChildRestore();
    void MdiChildClose();
    // Pictures for the items of the menu bar's drop-downs; the image lists
    // stay the caller's and must outlive their use here.
    void SetMenuItemImages(const MenuItemImages& images) { itemImages_ = images; }
    const MenuItemImages& GetMenuItemImages() const { return itemImages_; }
    // How many system move/size loops are running on this frame.
    int MoveSizeDepth() const { return moveSizeDepth_; }

private:
    const FrameSkin* Frame() const;
    void DropClientBackground() override;
    DWORD NeutralStyle() const;
    LRESULT CallPreviousNeutral(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintNonClient(WPARAM region);
    void TakeApplicationMenu();
    void TakeMenu(HWND window, HMENU menu);
    void AttachMdiClient();
    void KeepMinimumSize();
    bool IsMaximised() const;
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcActivate(WPARAM wParam, LPARAM lParam);
    void OnShowWindow(WPARAM show, LPARAM status) override;
    void OnDestroy();
    void OnMdiChildSize();

    ClientBackground background_;
    // Shown and not erased since.
    bool showErasePending_ = false;
    bool mdiChild_ = false;
    MenuBar menuBar_;
    MenuItemImages itemImages_;
    SYSTEMTIME lastCaptionUp_ = {};
    int moveSizeDepth_ = 0;
    // WM_NCCALCSIZE handled, so that attaching can tell whether a frame
    // change has reached the skin.
    int frameRecalculations_ = 0;
};
