// Type 12: scroll bar controls and the self-drawn scroll bars of other
// windows.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

// One state of a scroll bar; 320 bytes in the record.
struct ScrollBarStateLook {
    ImageRef arrow1;
    ImageRef arrow2;
    FrameImageRef bar;
    FrameImageRef thumb;
};

class ScrollBarSkin : public ControlSkinBase {
public:
    enum State { StateNormal, StatePressed, StateHighlighted, StateDisabled, StateCount };
    static const int kMetricCount = 5;

    ScrollBarSkin();

    ScrollBarStateLook states[StateCount];
    ImageRef gripper;
    int32_t metrics[kMetricCount];

private:
    static const Schema& RecordSchema();
};
