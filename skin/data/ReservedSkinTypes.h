// Types 2 and 39: read from containers and kept, but nothing in this system
// asks for them; their fields carry no meaning here.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/SkinObject.h"
#include "imaging/ImageRef.h"

class SkinObjectType2 : public SkinObject {
public:
    SkinObjectType2();

    ImageRef image;
    RECT firstRect;
    RECT secondRect;
    uint8_t byteValue;
    COLORREF colour;
    int32_t value;

private:
    static const Schema& RecordSchema();
};

class SkinObjectType39 : public SkinObject {
public:
    static const int kValueCount = 4;

    SkinObjectType39();

    int32_t values[kValueCount];
    ImageRef image;

private:
    static const Schema& RecordSchema();
};
