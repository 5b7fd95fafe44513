// Type 27: up-down controls.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class SpinSkin : public ControlSkinBase {
public:
    // Normal, hover, pressed, disabled; each up, then down.
    enum Arrow {
        NormalUp, NormalDown, HoverUp, HoverDown, PressedUp, PressedDown, DisabledUp, DisabledDown, ArrowCount
    };

    SpinSkin();

    ImageRef arrows[ArrowCount];

private:
    static const Schema& RecordSchema();
};
