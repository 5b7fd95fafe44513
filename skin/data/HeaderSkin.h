// Type 37: header controls.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class HeaderSkin : public ControlSkinBase {
public:
    HeaderSkin();

    TextEffect effect;  // all zero by default, unlike most text effects
    FrameImageRef item;

private:
    static const Schema& RecordSchema();
};
