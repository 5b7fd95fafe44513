// Type 36: rebars.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class RebarSkin : public ControlSkinBase {
public:
    RebarSkin();

    FrameImageRef bandImage;
    uint8_t bytes16[16];

private:
    static const Schema& RecordSchema();
};
