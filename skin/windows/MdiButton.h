// One of the four buttons a maximised MDI child leaves on its frame's menu
// bar (its system menu, minimise, restore, close): a 16 x 16 picture in
// three states, drawn from the menu-bar skin's images.
#pragma once

#include <windows.h>

#include "imaging/ImageRef.h"

class MdiButton {
public:
    enum State { Normal, Hot, Pressed };
    static const int kSide = 16;

    // The three pictures (normal, hot, pressed); null: none.
    void SetImages(const ImageRef* images) { images_ = images; }
    void MoveTo(int x, int y) { rect_ = {x, y, x + kSide, y + kSide}; }
    const RECT& Rect() const { return rect_; }
    bool Contains(int x, int y) const;
    int GetState() const { return state_; }
    // False when the button already was in that state.
    bool SetState(int state);
    // A missing state picture falls back to the normal one, a missing
    // normal one to the button face.
    void Draw(HDC hdc, const ImageSource& images) const;

private:
    const ImageRef* images_ = nullptr;
    RECT rect_ = {};
    int state_ = Normal;
};
