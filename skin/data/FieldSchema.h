// The one description of every skin object record.
//
// A Schema lists, in file order, the steps of a type's record: fixed-size
// fields (each with its plain name, property keys, value kind, place in the
// object, size and the container versions that store it), the child list,
// an embedded object, and the few variable-length parts. Loading, saving,
// property registration and the skin source text are all driven by it, so
// a field is described once.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class MemoryStream;
class ReadContext;
class SkinObject;
class WriteContext;

// Value kinds. The first eight are the property kinds, whose codes are part
// of the file format (custom values store them); the others describe fields
// that no property key reaches.
enum class FieldKind : int32_t {
    Font = 0,
    String = 1,
    Colour = 2,
    Image = 3,
    FrameImage = 4,
    Bool = 6,
    Int = 7,
    TextEffect = 9,
    Rect = 20,
    Byte = 21,
    Bytes = 22,
};

// Bytes of a value of that kind; 0 for Bytes, whose fields give their size.
size_t FieldKindSize(FieldKind kind);
bool IsPropertyKind(int32_t kindCode);
const char* FieldKindName(FieldKind kind);

// Minor versions (inclusive) of the containers that store a step.
struct VersionRange {
    uint8_t first;
    uint8_t last;

    bool Contains(uint8_t minor) const { return minor >= first && minor <= last; }
    VersionRange Within(VersionRange outer) const;

    static VersionRange All() { return {0, 255}; }
    static VersionRange Since(uint8_t minor) { return {minor, 255}; }
    static VersionRange Before(uint8_t minor) { return {0, static_cast<uint8_t>(minor - 1)}; }
    static VersionRange Between(uint8_t first, uint8_t last) { return {first, last}; }
};

// Finds a data member of a concrete object type from its SkinObject base.
using MemberLocator = void* (*)(SkinObject&);
struct MemberRef {
    MemberLocator locate;
    size_t memberSize;
};

template <class Owner, class Member, Member Owner::*field>
void* LocateMember(SkinObject& object)
{
    return &(static_cast<Owner&>(object).*field);
}

template <class Owner, class Member, Member Owner::*field>
SkinObject& LocateEmbedded(SkinObject& object)
{
    return static_cast<Owner&>(object).*field;
}

#define SKIN_MEMBER(Owner, member) \
    (MemberRef{&LocateMember<Owner, decltype(Owner::member), &Owner::member>, sizeof(Owner::member)})
#define SKIN_EMBEDDED(Owner, member) (&LocateEmbedded<Owner, decltype(Owner::member), &Owner::member>)

struct FieldSpec {
    std::string name;               // plain name
    std::vector<std::string> keys;  // property keys, exactly as registered
    FieldKind kind;
    MemberRef member;
    size_t offset;  // into the member (elements of array members)
    size_t size;
    VersionRange versions;

    void* Locate(SkinObject& object) const;
    // The name the skin source writes: the first key, else the plain name.
    const std::string& SourceName() const { return keys.empty() ? name : keys.front(); }
    bool IsNamed(const std::string& text) const;
};

// A variable-length part of a record, read and written by its own code.
struct SpecialPart {
    const char* tag;
    void (*read)(SkinObject& object, MemoryStream& stream, ReadContext& context);
    void (*write)(SkinObject& object, MemoryStream& stream, WriteContext& context);
};

enum class StepKind { Field, Children, Embedded, Special };

struct RecordStep {
    StepKind kind;
    VersionRange versions;
    FieldSpec field;                               // StepKind::Field
    SkinObject& (*embedded)(SkinObject&);          // StepKind::Embedded
    SpecialPart special;                           // StepKind::Special
};

// Equality of two names with ASCII letters compared ignoring case.
bool EqualIgnoringCase(const std::string& a, const std::string& b);

// "name[index]": the plain name of one element of an array member.
std::string IndexedFieldName(const char* name, int index);

struct Schema {
    int32_t typeCode;
    std::string typeName;
    std::vector<RecordStep> steps;

    // The field stored at that minor version under that plain name or key
    // (ignoring case); null when there is none.
    const FieldSpec* FindField(const std::string& name, uint8_t minor) const;
    // Any field of that name or key, whatever versions store it.
    const FieldSpec* FindFieldAnyVersion(const std::string& name) const;
};

class SchemaBuilder {
public:
    SchemaBuilder(int32_t typeCode, const char* typeName);

    SchemaBuilder& Field(const std::string& name, FieldKind kind, MemberRef member,
                         VersionRange versions = VersionRange::All(), size_t offset = 0, size_t size = 0);
    // `count` fields name[0] .. name[count - 1], the elements of an array
    // member of values of that kind.
    SchemaBuilder& Array(const char* name, FieldKind kind, MemberRef member, int count,
                         VersionRange versions = VersionRange::All());
    // Adds a property key to the field added last.
    SchemaBuilder& Key(const char* key);
    // Adds a property key to an earlier field, by plain name.
    SchemaBuilder& KeyFor(const char* fieldName, const char* key);
    SchemaBuilder& Children(VersionRange versions = VersionRange::All());
    SchemaBuilder& Embedded(SkinObject& (*locate)(SkinObject&), VersionRange versions = VersionRange::All());
    SchemaBuilder& Special(SpecialPart part, VersionRange versions = VersionRange::All());
    // Applies `versions` to every step added until the next call (the
    // control part of a push button exists only from minor 7 on).
    SchemaBuilder& Limit(VersionRange versions);

    Schema Build();

private:
    RecordStep& Add(StepKind kind, VersionRange versions);
    FieldSpec& FieldNamed(const char* name);

    Schema schema_;
    VersionRange limit_ = VersionRange::All();
};
