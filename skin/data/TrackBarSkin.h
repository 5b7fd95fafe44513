// Type 13: trackbars.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class TrackBarSkin : public ControlSkinBase {
public:
    static const int kValueCount = 4;

    TrackBarSkin();

    FrameImageRef horizontalThumb;
    int32_t firstValue;
    int32_t values[kValueCount];
    FrameImageRef channel;
    int32_t transparent;
    FrameImageRef verticalThumb;

private:
    static const Schema& RecordSchema();
};
