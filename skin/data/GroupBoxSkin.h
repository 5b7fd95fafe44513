// Type 8: group boxes.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class GroupBoxSkin : public ControlSkinBase {
public:
    GroupBoxSkin();

    void ApplyVersionFixups(uint8_t minor) override;

    FrameImageRef captionImage;
    COLORREF captionColour;
    TextEffect effect;
    int32_t transparent;

private:
    static const Schema& RecordSchema();
};
