// The menu bar of a skinned frame, drawn in the frame's non-client area
// between the caption and the client area: the top-level items of the
// window's menu as text items, wrapped into rows when the frame is narrow,
// hot under the mouse, pressed while their drop-down (a modeless skinned
// popup menu) is open. F10 selects the first item for the arrow keys.
// While the active MDI child is maximised the bar also carries that
// child's system-menu button at its left end and its minimise, restore
// and close buttons at its right end.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/SkinnedWindow.h"
#include "imaging/GdiObject.h"
#include "imaging/WindowText.h"
#include "windows/MdiButton.h"
#include "windows/MenuAccessible.h"
#include "windows/PopupMenuWindow.h"

class MenuBarSkin;
class SkinnedFrame;

class MenuBar : private WindowTimerClient, public AccessibleMenu {
public:
    explicit MenuBar(SkinnedFrame& frame);
    ~MenuBar();

    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    void SetSkinObject(const MenuBarSkin* skin);
    // Takes the menu's top-level items; the bar holds the menu until
    // DetachMenu gives it back.
    // `unicode`: the frame is a Unicode window, whose items are drawn in
    // Unicode.
    int AttachMenu(HMENU menu, bool unicode = false);
    HMENU DetachMenu();
    HMENU Menu() const { return menu_; }
    bool InMenuMode() const { return open_ >= 0; }
    // An item selected from the keyboard, no drop-down open.
    bool InKeyboardMode() const { return keyboard_; }

    // The bar's height for a frame of that width between its side parts;
    // 0 without items.
    int HeightForWidth(int width);
    // True while the active MDI child is maximised: the bar shows its
    // buttons. The frame's non-client area is measured again when a child
    // is maximised or restored (the system retitles the frame) and when the
    // maximised child is destroyed (the skinned MDI client sees to it).
    bool HasMdiButtons() const;
    // The bar in window coordinates.
    RECT GetRect();
    void Draw(HDC hdc);
    void Repaint();
    bool HitTest(int x, int y);
    void OnLButtonDown(int x, int y);
    // A release on the MDI button the press began on runs its action.
    void OnLButtonUp(int x, int y);
    // A double click on the MDI child's system-menu button closes the
    // child, as on any window's system-menu icon.
    void OnLButtonDblClk(int x, int y);
    void OnMouseMove(int x, int y);
    // Opens the item whose mnemonic is `key`; false when none has it.
    bool OnMnemonic(WPARAM key);
    // F10: selects the first item, or leaves the bar.
    void ToggleKeyboardMode();
    // Arrows, Enter and Esc while an item is selected from the keyboard;
    // false when the key is not the bar's.
    bool OnNavigationKey(WPARAM vk);
    // The open drop-down closed itself (a command, Esc, a click elsewhere).
    void ResetAfterPopup();
    PopupMenuWindow* OpenPopup() const { return popup_.get(); }

    // Item state, for the frame's tests and painting.
    enum ItemState { ItemNormal, ItemHot, ItemOpen };
    struct Item {
        std::string text;  // as an ANSI caller reads it: mnemonic and accessible name
        WindowText shown;
        UINT command;
        HMENU submenu;
        char mnemonic;
        RECT rect;
        int state;
    };
    const std::vector<Item>& Items() const { return items_; }
    // An item's rectangle in window coordinates, laid out for the frame's
    // current size.
    RECT ItemRect(int index);

    enum MdiButtonIndex { MdiSystemMenu, MdiMinimise, MdiRestore, MdiClose, MdiButtonCount };
    // A button laid out for the frame's current size (window coordinates).
    const MdiButton& GetMdiButton(int index);

    int AccessibleItemCount() override;
    bool DescribeItem(int index, MenuItemFacts& facts) override;
    // Opens the item (or chooses it) as its mnemonic would.
    void RunItem(int index) override;

private:
    // Opens an item chosen from the keyboard once the keyboard hook that
    // chose it has returned: no drop-down may run inside the hook.
    class DeferredOpen : public WindowTimerClient {
    public:
        explicit DeferredOpen(MenuBar& bar) : bar_(bar) {}
        void OnTimer() override;

    private:
        MenuBar& bar_;
    };

    // Where the items go within an area of that width, from its top-left
    // corner, and how many rows of what height they take.
    struct Flow {
        std::vector<RECT> places;
        int rows = 1;
        int rowHeight = 0;
    };

    // The last flow worked out and what it was for: a paint measures the
    // bar several times, and each flow takes the items' text sizes in a
    // screen DC.
    struct RememberedFlow {
        int available = -1;
        bool mdiButtons = false;
        Flow flow;
    };

    void OnTimer() override;
    void OpenLater(int index);
    const Flow& FlowItems(int available, bool mdiButtons) const;
    Flow MeasureFlow(int available, bool mdiButtons) const;
    void Layout();
    void PlaceMdiButtons(const RECT& area, int rowHeight);
    SIZE ItemSize(HDC hdc, const Item& item) const;
    void DrawItem(HDC hdc, const Item& item) const;
    int ItemAt(int x, int y) const;
    void SetHot(int index);
    void SetState(int index, int state);
    void OpenItem(int index, bool fromKeyboard);
    void ClosePopup();
    void StopHotTracking();
    void StartHotTracking();
    int MdiButtonAt(int x, int y) const;
    // The button `hot` (if any) hot, the others normal; true when any
    // changed.
    bool SetHotMdiButton(int hot);
    bool TrackMdiButtons(int under);
    // Tells readers when the bar enters or leaves menu mode.
    void AnnounceMenuMode();
    UINT MenuStateOf(const Item& item) const;

    SkinnedFrame& frame_;
    const MenuBarSkin* skin_ = nullptr;
    Font font_;
    HMENU menu_ = nullptr;
    std::vector<Item> items_;
    int hot_ = -1;
    int open_ = -1;
    bool tracking_ = false;
    bool keyboard_ = false;
    int pendingOpen_ = -1;
    DeferredOpen opener_{*this};
    std::unique_ptr<PopupMenuWindow> popup_;
    MdiButton mdiButtons_[MdiButtonCount];
    bool mdiButtonsShown_ = false;  // as last laid out
    int pressedButton_ = -1;
    bool announcedMenuMode_ = false;
    // Forgotten with the items and the skin (its font and margins).
    mutable RememberedFlow lastFlow_;
};
