// Type 25: the skin's own description; its key colour is the transparent
// colour of every skin bitmap.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/SkinObject.h"

class SkinInfo : public SkinObject {
public:
    static const size_t kTextSize = 51;

    SkinInfo();

    char author[kTextSize];
    char description[kTextSize];
    char application[kTextSize];
    // While set, key-coloured pixels are transparent in prepared images and
    // caption buttons, and window regions leave them out.
    int32_t useTransparentColour;
    char email[kTextSize];
    char homePage[kTextSize];

private:
    static const Schema& RecordSchema();
};
