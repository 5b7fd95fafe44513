// Type 100: a control object that carries a list of named values of any
// kind, found by key ignoring case.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include <memory>
#include <vector>

#include "data/ControlSkinBase.h"

class CustomPropertySkin : public ControlSkinBase {
public:
    static const size_t kTextSize = 51;
    using ValueList = std::vector<std::unique_ptr<PropertyRecord>>;

    CustomPropertySkin();

    // The first custom value whose key equals `key` ignoring case; the
    // registered keys are not searched.
    PropertyRecord* FindProperty(const char* key) override;

    const ValueList& CustomValues() const { return customValues_; }
    void AddCustomValue(std::unique_ptr<PropertyRecord> value);

    char text[kTextSize];

private:
    static const Schema& RecordSchema();
    static void ReadValues(SkinObject& object, MemoryStream& stream, ReadContext& context);
    static void WriteValues(SkinObject& object, MemoryStream& stream, WriteContext& context);

    ValueList customValues_;
};
