// A popup menu drawn by the engine: a top-most tool window of the class
// "VeltramoxPopupMenuWnd" that shows the items of one menu level from the
// skin's popup-menu object, tracks the mouse and keys itself, opens
// submenus as further popups and posts the chosen command to its owner.
// The root of a chain holds the mouse capture while it is shown and sees
// every mouse message for the whole chain.
#pragma once

#include <windows.h>

#include <memory>

#include "core/SkinnedWindow.h"
#include "data/FrameSkin.h"
#include "windows/MenuAccessible.h"
#include "windows/MenuItem.h"

class PopupMenuWindow : public SkinnedWindow, public AccessibleMenu {
public:
    enum Mode { ModeMenuBar = 0, ModeSystemMenu = 1, ModeContextMenu = 2 };
    static const UINT_PTR kSubmenuTimer = 1001;
    static const UINT kSubmenuDelay = 500;

    PopupMenuWindow(HWND owner, PopupMenuWindow* parent, Mode mode);
    ~PopupMenuWindow() override;

    // The window, hidden, owned by the parent popup or by the owner.
    bool Create();
    // Copies the menu's items; this popup owns them.
    void LoadMenu(HMENU menu);
    // Pictures for the items by command, passed on to submenus; before
    // Measure.
    void SetItemImages(const MenuItemImages& images) { itemImages_ = images; }
    // The popup's width and height for its items and frame.
    SIZE Measure();
    int ItemHeight();
    // The item under a client point, or -1.
    int ItemAtPoint(POINT clientPoint);
    RECT ItemRect(int index);
    // Moves the window to `screenRect` and shows it.
    void ShowAt(const RECT& screenRect);
    // Hides and destroys this popup and its open submenus.
    void CloseChain();
    // Makes the first choosable item hot (a menu opened from the keyboard).
    void SelectFirstItem();

    bool IsShown() const { return window_ && IsWindowVisible(window_); }
    int HotIndex() const { return hot_; }
    int FirstVisible() const { return firstVisible_; }
    int VisibleCount() const { return visibleCount_; }
    bool Scrolls() const { return scrolling_; }
    RECT UpBand() const { return upBand_; }
    RECT DownBand() const { return downBand_; }
    PopupMenuWindow* Child() const { return child_.get(); }
    const MenuItemList* Items() const { return items_; }

    void Paint(HDC hdc) override;
    int OnMenuKey(WPARAM vk, LPARAM keyFlags) override;
    void OnNcDestroy() override;
    void OnShowWindow(WPARAM show, LPARAM status) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(HDC hdc, const MenuItem& item, const RECT& rect);

    int AccessibleItemCount() override;
    bool DescribeItem(int index, MenuItemFacts& facts) override;
    void RunItem(int index) override;

private:
    enum PressResult { PressOutside = 0, PressChosen = 1, PressHandled = 2 };

    static LRESULT CALLBACK ClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static bool EnsureClass();
    static AccessibleMenu* FindPopup(HWND window);
    // A reader is told when the popup opens and, once, when it goes.
    void AnnounceEnd();

    const PopupMenuSkin& Skin() const;
    void BorrowItems(MenuItemList& items, HMENU menu);
    void BeginTracking();
    void EndTracking();
    void SubclassOwner();
    void RestoreOwner();
    void ComputeScrolling();
    RECT ItemArea();
    bool ContainsScreenPoint(POINT screen) const;
    bool IsChainWindow(HWND window) const;
    PopupMenuWindow& Root();

    bool TrackMouse(POINT screen);
    int Press(POINT screen, bool rightButton);
    void OnKeyDown(WPARAM vk);
    void StepHot(int direction);
    void SetHot(int index, bool byMouse);
    void EnsureVisible(int index);
    void InvalidateItem(int index);
    void OpenSubmenu();
    void CloseChild();
    // The root's end of a menu: the chain closes, the owner is told.
    void FinishChain();
    void Choose(UINT command);
    void SendMenuSelect(WPARAM wParam, LPARAM lParam);
    void PostCommand(UINT command);
    void PaintNonClient(WPARAM region);
    void DrawScrollArrows(HDC hdc);
    void DrawSeparator(HDC hdc, const RECT& rect);
    void DrawMark(HDC hdc, const ImageRef& image, const RECT& cell);
    void DrawItemImage(HDC hdc, const MenuItem& item, int left, int top, int side);

    HWND owner_;
    PopupMenuWindow* parent_;
    std::unique_ptr<PopupMenuWindow> child_;
    Mode mode_;
    HMENU menu_ = nullptr;
    std::unique_ptr<MenuItemList> ownedItems_;
    MenuItemList* items_ = nullptr;
    int hot_ = -1;
    int firstVisible_ = 0;
    int visibleCount_ = 0;
    bool scrolling_ = false;
    int itemHeight_ = 0;
    RECT upBand_ = {};
    RECT downBand_ = {};
    int itemOffset_ = 0;
    bool closing_ = false;
    POINT lastMouse_ = {-1, -1};
    MenuItemImages itemImages_;
    HWND subclassedOwner_ = nullptr;
    bool announcedOpen_ = false;
    Font font_;
    PopupMenuSkin defaultSkin_;
};

// The module the popup menu class is registered for, at the first popup.
bool RegisterPopupMenuClass(HINSTANCE instance);
void UnregisterPopupMenuClass(HINSTANCE instance);
// Ends every popup menu open on the calling thread, as the system ends
// its own menus (WM_CANCELMODE): the chosen command is none.
void EndSkinnedMenus();

// The screen rectangle of a popup of `size` at (x, y) under the
// TrackPopupMenu alignment flags, kept on the screen.
RECT PlacePopup(int x, int y, SIZE size, UINT tpmFlags);
// `rect` moved (and cut, when taller than the screen) so that it lies on
// the screen with a 2-pixel margin at the right and bottom edges.
RECT KeepOnScreen(RECT rect);
