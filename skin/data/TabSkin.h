// Type 16: tab controls.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class TabSkin : public ControlSkinBase {
public:
    enum State { StateNormal, StatePressed, StateDisabled, StateHovered, StateCount };

    TabSkin();

    ImageEffectLook states[StateCount];
    FrameImageRef frame;
    // Registered as "TRANSpARENT", which the upper-casing lookup never finds.
    int32_t transparent;

private:
    static const Schema& RecordSchema();
};
