// Type 23: toolbars; also what FindObjectByType(24) answers with.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class ToolBarSkin : public ControlSkinBase {
public:
    static const int kFrameImageCount = 5;

    ToolBarSkin();

    FrameImageRef frameImages[kFrameImageCount];

private:
    static const Schema& RecordSchema();
};
