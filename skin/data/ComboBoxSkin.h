// Type 6: combo boxes, with the look of the drop-down button per state and
// the colours of the focused and disabled field.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class ComboBoxSkin : public ControlSkinBase {
public:
    enum Thumb { ThumbNormal, ThumbPressed, ThumbHovered, ThumbDisabled, ThumbCount };

    ComboBoxSkin();

    void ApplyVersionFixups(uint8_t minor) override;

    FrameImageRef thumbs[ThumbCount];
    COLORREF focusColour;
    COLORREF disabledBackground;
    COLORREF disabledText;
    COLORREF focusTextColour;

private:
    static const Schema& RecordSchema();
};
