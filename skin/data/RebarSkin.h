// Type 36: rebars.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

#include <cstring>

class RebarSkin : public ControlSkinBase {
public:
    RebarSkin();

    FrameImageRef bandImage;
    uint8_t bytes16[16];  // the text effect of the band texts

    TextEffect BandEffect() const
    {
        TextEffect effect;
        std::memcpy(&effect, bytes16, sizeof effect);
        return effect;
    }

private:
    static const Schema& RecordSchema();
};
