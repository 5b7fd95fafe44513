// Edits and rich edits: the control paints its own text; the skin gives
// the border, the skin's scroll bars and its colours. A plain
// edit asks its parent for its colours, which the parent takes from here;
// a rich edit is told its background.
#pragma once

#include "controls/SkinnedScrollControl.h"
#include "imaging/GdiObject.h"

class SkinnedEdit : public SkinnedScrollControl, public ParentColourSource {
public:
    using SkinnedScrollControl::SkinnedScrollControl;

    WNDPROC Attach(HWND hwnd) override;
    void Detach() override;
    SkinObject* SetSkinObject(SkinObject* skinObject) override;
    // WM_CTLCOLOREDIT: the back colour; WM_CTLCOLORSTATIC (read-only or
    // disabled): the third colour.
    HBRUSH AnswerParentColours(UINT message, HDC dc) override;

protected:
    void OnPaint() override;
    LRESULT OnEraseBackground(HDC hdc) override;
    bool MayShowScrollBars() const override;

private:
    // A solid brush kept for the colour it was last asked for.
    struct ColourBrush {
        HBRUSH For(COLORREF colour);
        Brush brush;
        COLORREF colour = 0;
    };
    bool IsRichEditObject() const;
    void SetRichEditBackground();

    ColourBrush backBrush_;
    ColourBrush thirdBrush_;
};
