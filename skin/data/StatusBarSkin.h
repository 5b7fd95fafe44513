// Type 15: status bars.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class StatusBarSkin : public ControlSkinBase {
public:
    StatusBarSkin();

    FrameImageRef itemImage;
    ImageRef image;

private:
    static const Schema& RecordSchema();
};
