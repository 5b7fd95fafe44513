// Reading and writing skin object records by their Schema.
//
// The contexts carry the container version and decide what happens to the
// children found: the engine keeps them in each parent's child table (first
// of a name wins) and applies the version fix-ups; the skin tools keep every
// entry in file order and read the stored values untouched.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class MemoryStream;
class SkinImage;
class SkinObject;

class ReadContext {
public:
    enum Fixups { ApplyFixups, KeepStoredValues };

    explicit ReadContext(uint8_t minor, Fixups fixups = ApplyFixups);
    virtual ~ReadContext();

    uint8_t Minor() const { return minor_; }
    void SetMinor(uint8_t minor) { minor_ = minor; }
    bool AppliesFixups() const { return fixups_ == ApplyFixups; }

    // A child read completely; the engine enters it in the parent's table.
    virtual void TakeChild(SkinObject& parent, int32_t code, std::unique_ptr<SkinObject> child);
    // A child-list entry whose code is not allowed there.
    virtual void SkipChild(SkinObject& parent, int32_t code);

    // Entries of the container's sections, in file order.
    virtual void TakeObject(int32_t code, std::unique_ptr<SkinObject> object) = 0;
    virtual void SkipObject(int32_t code) = 0;
    virtual void TakeImage(std::unique_ptr<SkinImage> image) = 0;
    virtual void TakeExtraObject(std::unique_ptr<SkinObject> object) = 0;

private:
    uint8_t minor_;
    Fixups fixups_;
};

// A context for reading single records outside a container: children go to
// their parents, section entries are not expected and are dropped.
class RecordReadContext : public ReadContext {
public:
    using ReadContext::ReadContext;

    void TakeObject(int32_t code, std::unique_ptr<SkinObject> object) override;
    void SkipObject(int32_t code) override;
    void TakeImage(std::unique_ptr<SkinImage> image) override;
    void TakeExtraObject(std::unique_ptr<SkinObject> object) override;
};

// One entry of a child list as written: the type code, then the record of
// `object`; a bare code has no object.
struct ChildListEntry {
    int32_t code;
    SkinObject* object;
};

class WriteContext {
public:
    explicit WriteContext(uint8_t minor);
    virtual ~WriteContext();

    uint8_t Minor() const { return minor_; }
    // The entries of the parent's child list, in the order written; the
    // engine writes its child table in name order.
    virtual void ListChildren(SkinObject& parent, std::vector<ChildListEntry>& entries);

private:
    uint8_t minor_;
};

// Fields 1 to 8 of the common record, then the children.
void ReadCommonRecord(MemoryStream& stream, SkinObject& object, ReadContext& context);
// The same under the engine's rules and the current container version.
void ReadCommonRecord(MemoryStream& stream, SkinObject& object);

// The record of `object` (its common record, children and own fields),
// without the type code in front; then the version fix-ups where the
// context applies them.
void ReadRecord(SkinObject& object, MemoryStream& stream, ReadContext& context);
void WriteRecord(SkinObject& object, MemoryStream& stream, WriteContext& context);
// An entry: the type code, then the record.
void WriteEntry(SkinObject& object, MemoryStream& stream, WriteContext& context);

// Little-endian int32 helpers; a short read leaves `fallback`.
int32_t ReadInt32(MemoryStream& stream, int32_t fallback = 0);
void WriteInt32(MemoryStream& stream, int32_t value);
