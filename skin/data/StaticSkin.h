// Type 14: static controls.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class StaticSkin : public ControlSkinBase {
public:
    static const size_t kTextSize = 51;

    StaticSkin();

    void ApplyVersionFixups(uint8_t minor) override;

    int32_t transparent;
    TextEffect effect;
    char text[kTextSize];

private:
    static const Schema& RecordSchema();
};
