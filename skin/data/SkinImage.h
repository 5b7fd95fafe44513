// Type 18: one bitmap of the skin, decoded when its record is read.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/SkinObject.h"
#include "imaging/Image.h"

class SkinImage : public SkinObject {
public:
    SkinImage();

    // The decoded bitmap; without pixels when the record held none or the
    // decoder refused them.
    Image image;

private:
    static const Schema& RecordSchema();
    static void ReadPayload(SkinObject& object, MemoryStream& stream, ReadContext& context);
    static void WritePayload(SkinObject& object, MemoryStream& stream, WriteContext& context);
};
