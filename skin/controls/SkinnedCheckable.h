// What check boxes and radio buttons share: a background, a box image and
// a text effect per state group, the box beside the caption.
#pragma once

#include "controls/SkinnedButtonBase.h"
#include "data/ButtonSkins.h"

// The three pieces a check box or radio button draws in one state.
struct CheckLook {
    const FrameImageRef* background;
    const ImageRef* box;
    const TextEffect* effect;
};

class SkinnedCheckable : public SkinnedButtonBase {
public:
    using SkinnedButtonBase::SkinnedButtonBase;

    void Paint(HDC hdc) override;

    // The look of a button in `state`. A held check box draws as checked,
    // a held radio button does not; a disabled checked check box falls back
    // on its disabled and selected images, a radio button on its selected
    // ones. The indeterminate state draws as unchecked.
    static CheckLook LookOf(const CheckableSkinBase& skin, const ButtonState& state, bool radio);
    // The box and the caption's area inside `area`, by BS_TOP, BS_BOTTOM and
    // BS_LEFTTEXT.
    static void PlaceBoxAndText(const RECT& area, SIZE box, LONG_PTR style, RECT& boxRect, RECT& captionRect);

protected:
    virtual bool IsRadio() const = 0;

private:
    const CheckableSkinBase* Skin() const;
    void PaintBackground(HDC hdc, const RECT& client, const FrameImageRef& background);
    void PaintBox(HDC hdc, const RECT& where, const ImageRef& box);
};
