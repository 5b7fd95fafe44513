// The menu bar of a skinned frame, drawn in the frame's non-client area
// between the caption and the client area: the top-level items of the
// window's menu as text items, wrapped into rows when the frame is narrow,
// hot under the mouse, pressed while their drop-down is open.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/SkinnedWindow.h"
#include "imaging/GdiObject.h"

class MenuBarSkin;

class MenuBar : private WindowTimerClient {
public:
    explicit MenuBar(SkinnedWindow& frame);
    ~MenuBar();

    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    void SetSkinObject(const MenuBarSkin* skin);
    // Takes the menu's top-level items; the bar holds the menu until
    // DetachMenu gives it back.
    int AttachMenu(HMENU menu);
    HMENU DetachMenu();
    HMENU Menu() const { return menu_; }
    bool InMenuMode() const { return open_ >= 0; }

    // The bar's height for a frame of that width between its side parts;
    // 0 without items.
    int HeightForWidth(int width);
    // The bar in window coordinates.
    RECT GetRect();
    void Draw(HDC hdc);
    void Repaint();
    bool HitTest(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    // Opens the item whose mnemonic is `key`; false when none has it.
    bool OnMnemonic(WPARAM key);
    void ResetAfterPopup();

    // Item state, for the frame's tests and painting.
    enum ItemState { ItemNormal, ItemHot, ItemOpen };
    struct Item {
        std::string text;
        UINT command;
        HMENU submenu;
        char mnemonic;
        RECT rect;
        int state;
    };
    const std::vector<Item>& Items() const { return items_; }

private:
    void OnTimer() override;
    void Layout();
    SIZE ItemSize(HDC hdc, const Item& item) const;
    void DrawItem(HDC hdc, const Item& item) const;
    int ItemAt(int x, int y) const;
    void SetHot(int index);
    void OpenItem(int index);
    void StopHotTracking();

    SkinnedWindow& frame_;
    const MenuBarSkin* skin_ = nullptr;
    Font font_;
    HMENU menu_ = nullptr;
    std::vector<Item> items_;
    int hot_ = -1;
    int open_ = -1;
    bool tracking_ = false;
};
