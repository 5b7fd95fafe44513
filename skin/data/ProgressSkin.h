// Type 10: progress bars. The text colour of the common record is the bar
// colour.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class ProgressSkin : public ControlSkinBase {
public:
    ProgressSkin();

    FrameImageRef progressImage;
    int32_t firstValue;
    int32_t secondValue;
    int32_t usePercent;

private:
    static const Schema& RecordSchema();
};
