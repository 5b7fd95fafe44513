#include "data/FieldSchema.h"

#include <stdexcept>

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        const unsigned char lowerX = (x >= 'A' && x <= 'Z') ? static_cast<unsigned char>(x + 32) : x;
        const unsigned char lowerY = (y >= 'A' && y <= 'Z') ? static_cast<unsigned char>(y + 32) : y;
        if (lowerX != lowerY)
            return false;
    }
    return true;
}

size_t FieldKindSize(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Font: return 64;
    case FieldKind::String: return 51;
    case FieldKind::Colour: return 4;
    case FieldKind::Image: return 72;
    case FieldKind::FrameImage: return 88;
    case FieldKind::Bool: return 4;
    case FieldKind::Int: return 4;
    case FieldKind::TextEffect: return 16;
    case FieldKind::Rect: return 16;
    case FieldKind::Byte: return 1;
    case FieldKind::Bytes: return 0;
    }
    return 0;
}

bool IsPropertyKind(int32_t kindCode)
{
    switch (static_cast<FieldKind>(kindCode)) {
    case FieldKind::Font:
    case FieldKind::String:
    case FieldKind::Colour:
    case FieldKind::Image:
    case FieldKind::FrameImage:
    case FieldKind::Bool:
    case FieldKind::Int:
    case FieldKind::TextEffect:
        return true;
    default:
        return false;
    }
}

const char* FieldKindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Font: return "Font";
    case FieldKind::String: return "String";
    case FieldKind::Colour: return "Colour";
    case FieldKind::Image: return "Image";
    case FieldKind::FrameImage: return "FrameImage";
    case FieldKind::Bool: return "Bool";
    case FieldKind::Int: return "Int";
    case FieldKind::TextEffect: return "TextEffect";
    case FieldKind::Rect: return "Rect";
    case FieldKind::Byte: return "Byte";
    case FieldKind::Bytes: return "Bytes";
    }
    return "?";
}

VersionRange VersionRange::Within(VersionRange outer) const
{
    return {first > outer.first ? first : outer.first, last < outer.last ? last : outer.last};
}

void* FieldSpec::Locate(SkinObject& object) const
{
    return static_cast<unsigned char*>(member.locate(object)) + offset;
}

bool FieldSpec::IsNamed(const std::string& text) const
{
    if (EqualIgnoringCase(name, text))
        return true;
    for (const std::string& key : keys)
        if (EqualIgnoringCase(key, text))
            return true;
    return false;
}

const FieldSpec* Schema::FindField(const std::string& name, uint8_t minor) const
{
    for (const RecordStep& step : steps)
        if (step.kind == StepKind::Field && step.versions.Contains(minor) && step.field.IsNamed(name))
            return &step.field;
    return nullptr;
}

const FieldSpec* Schema::FindFieldAnyVersion(const std::string& name) const
{
    for (const RecordStep& step : steps)
        if (step.kind == StepKind::Field && step.field.IsNamed(name))
            return &step.field;
    return nullptr;
}

std::string IndexedFieldName(const char* name, int index)
{
    return std::string(name) + "[" + std::to_string(index) + "]";
}

SchemaBuilder::SchemaBuilder(int32_t typeCode, const char* typeName)
{
    schema_.typeCode = typeCode;
    schema_.typeName = typeName;
}

RecordStep& SchemaBuilder::Add(StepKind kind, VersionRange versions)
{
    RecordStep step{};
    step.kind = kind;
    step.versions = versions.Within(limit_);
    schema_.steps.push_back(step);
    return schema_.steps.back();
}

SchemaBuilder& SchemaBuilder::Field(const std::string& name, FieldKind kind, MemberRef member, VersionRange versions,
                                    size_t offset, size_t size)
{
    const size_t fieldSize = size ? size : FieldKindSize(kind);
    // A table entry that reaches past its member would make every load
    // write outside the object; refuse it where the schema is built.
    if (fieldSize == 0 || offset + fieldSize > member.memberSize)
        throw std::logic_error("skin schema field '" + name + "' does not fit its member");
    RecordStep& step = Add(StepKind::Field, versions);
    step.field.name = name;
    step.field.kind = kind;
    step.field.member = member;
    step.field.offset = offset;
    step.field.size = fieldSize;
    step.field.versions = step.versions;
    return *this;
}

SchemaBuilder& SchemaBuilder::Array(const char* name, FieldKind kind, MemberRef member, int count,
                                    VersionRange versions)
{
    const size_t elementSize = FieldKindSize(kind);
    for (int i = 0; i < count; ++i)
        Field(IndexedFieldName(name, i), kind, member, versions, i * elementSize);
    return *this;
}

FieldSpec& SchemaBuilder::FieldNamed(const char* name)
{
    for (RecordStep& step : schema_.steps)
        if (step.kind == StepKind::Field && step.field.name == name)
            return step.field;
    throw std::logic_error(std::string("skin schema has no field '") + name + "'");
}

SchemaBuilder& SchemaBuilder::Key(const char* key)
{
    if (schema_.steps.empty() || schema_.steps.back().kind != StepKind::Field)
        throw std::logic_error("skin schema key without a field");
    schema_.steps.back().field.keys.push_back(key);
    return *this;
}

SchemaBuilder& SchemaBuilder::KeyFor(const char* fieldName, const char* key)
{
    FieldNamed(fieldName).keys.push_back(key);
    return *this;
}

SchemaBuilder& SchemaBuilder::Children(VersionRange versions)
{
    Add(StepKind::Children, versions);
    return *this;
}

SchemaBuilder& SchemaBuilder::Embedded(SkinObject& (*locate)(SkinObject&), VersionRange versions)
{
    Add(StepKind::Embedded, versions).embedded = locate;
    return *this;
}

SchemaBuilder& SchemaBuilder::Special(SpecialPart part, VersionRange versions)
{
    Add(StepKind::Special, versions).special = part;
    return *this;
}

SchemaBuilder& SchemaBuilder::Limit(VersionRange versions)
{
    limit_ = versions;
    return *this;
}

Schema SchemaBuilder::Build()
{
    return std::move(schema_);
}
