// Type 40: animation controls.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class AnimateSkin : public ControlSkinBase {
public:
    AnimateSkin();

    ImageRef background;

private:
    static const Schema& RecordSchema();
};
