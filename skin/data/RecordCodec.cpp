#include "data/RecordCodec.h"

#include "data/MemoryStream.h"
#include "data/SkinObject.h"
#include "data/SkinTypes.h"
#include "data/SkinVersion.h"
#include "imaging/ByteOrder.h"

#include <utility>
#include <vector>

namespace {

// Offsets of the texts inside the structured values, which must end within
// their value however the file fills them.
const size_t kImageNameLast = 49;      // ImageRef and FrameImageRef names: 50 bytes
const size_t kFontFaceLast = 28 + 31;  // LOGFONTA face name: 32 bytes from offset 28

void TerminateText(FieldKind kind, unsigned char* field, size_t size)
{
    switch (kind) {
    case FieldKind::String:
        field[size - 1] = '\0';
        break;
    case FieldKind::Image:
    case FieldKind::FrameImage:
        field[kImageNameLast] = '\0';
        break;
    case FieldKind::Font:
        field[kFontFaceLast] = '\0';
        break;
    default:
        break;
    }
}

void ReadField(SkinObject& object, const FieldSpec& field, MemoryStream& stream)
{
    unsigned char* place = static_cast<unsigned char*>(field.Locate(object));
    stream.Read(place, static_cast<int32_t>(field.size));
    TerminateText(field.kind, place, field.size);
}

// One record being read. Records nest (children, embedded parts) to any
// depth the stream holds, so the reader keeps them on its own stack rather
// than on the thread's: a deep file can neither overflow the stack nor stop
// the reading early and lose what follows.
struct PendingRecord {
    SkinObject* object;
    size_t nextStep;
    size_t endStep;
    bool appliesFixups;
    int32_t childrenLeft;  // entries still to read of the child list being read
    // A child: taken into its parent once complete.
    SkinObject* parent;
    int32_t code;
    std::unique_ptr<SkinObject> child;
};

PendingRecord WholeRecord(SkinObject& object, ReadContext& context)
{
    return {&object, 0, object.GetSchema().steps.size(), context.AppliesFixups(), 0, nullptr, 0, nullptr};
}

const RecordStep& StepOf(const PendingRecord& record, size_t index)
{
    const std::vector<RecordStep>& common = SkinObject::CommonRecordSchema().steps;
    return index < common.size() ? common[index] : record.object->GetSchema().steps[index];
}

// Reads the record's steps up to the next nested record or child list; false
// when the record is complete. A nested part is pushed onto `stack`.
bool ReadUntilNested(std::vector<PendingRecord>& stack, MemoryStream& stream, ReadContext& context)
{
    const uint8_t minor = context.Minor();
    PendingRecord& record = stack.back();
    while (record.nextStep < record.endStep) {
        const RecordStep& step = StepOf(record, record.nextStep++);
        if (!step.versions.Contains(minor))
            continue;
        switch (step.kind) {
        case StepKind::Field:
            ReadField(*record.object, step.field, stream);
            break;
        case StepKind::Children:
            record.childrenLeft = ReadInt32(stream);
            return true;
        case StepKind::Embedded: {
            ReadInt32(stream);  // the part's type code; the frame knows its part
            SkinObject& part = step.embedded(*record.object);
            stack.push_back(WholeRecord(part, context));
            return true;
        }
        case StepKind::Special:
            step.special.read(*record.object, stream, context);
            break;
        }
    }
    return false;
}

// Reads the next entry of the child list being read; a child to read is
// pushed onto `stack`.
void ReadChildEntry(std::vector<PendingRecord>& stack, MemoryStream& stream, ReadContext& context)
{
    PendingRecord& record = stack.back();
    --record.childrenLeft;
    const int32_t code = ReadInt32(stream);
    if (!IsChildTypeCode(code)) {
        context.SkipChild(*record.object, code);
        return;
    }
    std::unique_ptr<SkinObject> child = CreateSkinObject(code);
    if (!child)
        return;
    PendingRecord nested = WholeRecord(*child, context);
    nested.parent = record.object;
    nested.code = code;
    nested.child = std::move(child);
    stack.push_back(std::move(nested));
}

void FinishRecord(PendingRecord& record, ReadContext& context)
{
    if (record.appliesFixups)
        record.object->ApplyVersionFixups(context.Minor());
    if (record.child)
        context.TakeChild(*record.parent, record.code, std::move(record.child));
}

void ReadRecords(PendingRecord first, MemoryStream& stream, ReadContext& context)
{
    std::vector<PendingRecord> stack;
    stack.push_back(std::move(first));
    while (!stack.empty()) {
        // An exhausted stream ends a child list whatever count it gave, so
        // that a damaged count cannot keep the reader spinning.
        if (stack.back().childrenLeft > 0 && !stream.AtEnd()) {
            ReadChildEntry(stack, stream, context);
            continue;
        }
        stack.back().childrenLeft = 0;
        if (ReadUntilNested(stack, stream, context))
            continue;
        FinishRecord(stack.back(), context);
        stack.pop_back();
    }
}

// One record being written. Records nest as deep as the objects do, so the
// writer, like the reader, keeps them on its own stack: an object tree the
// reader took in is always written out again.
struct PendingWrite {
    SkinObject* object;
    size_t nextStep;
    std::vector<ChildListEntry> children;  // the child list being written
    size_t nextChild;
};

// Writes the record's steps up to the next nested record or child list;
// false when the record is complete. A nested part is pushed onto `stack`.
bool WriteUntilNested(std::vector<PendingWrite>& stack, MemoryStream& stream, WriteContext& context)
{
    const uint8_t minor = context.Minor();
    PendingWrite& record = stack.back();
    const std::vector<RecordStep>& steps = record.object->GetSchema().steps;
    while (record.nextStep < steps.size()) {
        const RecordStep& step = steps[record.nextStep++];
        if (!step.versions.Contains(minor))
            continue;
        switch (step.kind) {
        case StepKind::Field:
            stream.Write(step.field.Locate(*record.object), static_cast<int32_t>(step.field.size));
            break;
        case StepKind::Children:
            context.ListChildren(*record.object, record.children);
            WriteInt32(stream, static_cast<int32_t>(record.children.size()));
            return true;
        case StepKind::Embedded: {
            SkinObject& part = step.embedded(*record.object);
            WriteInt32(stream, part.TypeCode());
            stack.push_back({&part, 0, {}, 0});
            return true;
        }
        case StepKind::Special:
            step.special.write(*record.object, stream, context);
            break;
        }
    }
    return false;
}

// Writes the next entry of the child list being written; a child's record
// to write is pushed onto `stack`.
void WriteChildEntry(std::vector<PendingWrite>& stack, MemoryStream& stream)
{
    PendingWrite& record = stack.back();
    const ChildListEntry entry = record.children[record.nextChild++];
    WriteInt32(stream, entry.code);
    if (entry.object)
        stack.push_back({entry.object, 0, {}, 0});
}

}  // namespace

ReadContext::ReadContext(uint8_t minor, Fixups fixups) : minor_(minor), fixups_(fixups) {}

ReadContext::~ReadContext() = default;

void ReadContext::TakeChild(SkinObject& parent, int32_t, std::unique_ptr<SkinObject> child)
{
    parent.AddChild(std::move(child));
}

void ReadContext::SkipChild(SkinObject&, int32_t) {}

void RecordReadContext::TakeObject(int32_t, std::unique_ptr<SkinObject>) {}
void RecordReadContext::SkipObject(int32_t) {}
void RecordReadContext::TakeImage(std::unique_ptr<SkinImage>) {}
void RecordReadContext::TakeExtraObject(std::unique_ptr<SkinObject>) {}

WriteContext::WriteContext(uint8_t minor) : minor_(minor) {}

WriteContext::~WriteContext() = default;

void WriteContext::ListChildren(SkinObject& parent, std::vector<ChildListEntry>& entries)
{
    for (const auto& entry : parent.Children())
        entries.push_back({entry.second->TypeCode(), entry.second.get()});
}

void ReadCommonRecord(MemoryStream& stream, SkinObject& object, ReadContext& context)
{
    PendingRecord record = WholeRecord(object, context);
    record.endStep = SkinObject::CommonRecordSchema().steps.size();
    record.appliesFixups = false;
    ReadRecords(std::move(record), stream, context);
}

void ReadCommonRecord(MemoryStream& stream, SkinObject& object)
{
    RecordReadContext context(CurrentSkinVersion().minor);
    ReadCommonRecord(stream, object, context);
}

void ReadRecord(SkinObject& object, MemoryStream& stream, ReadContext& context)
{
    ReadRecords(WholeRecord(object, context), stream, context);
}

void WriteRecord(SkinObject& object, MemoryStream& stream, WriteContext& context)
{
    std::vector<PendingWrite> stack;
    stack.push_back({&object, 0, {}, 0});
    while (!stack.empty()) {
        if (stack.back().nextChild < stack.back().children.size()) {
            WriteChildEntry(stack, stream);
            continue;
        }
        if (!WriteUntilNested(stack, stream, context))
            stack.pop_back();
    }
}

void WriteEntry(SkinObject& object, MemoryStream& stream, WriteContext& context)
{
    WriteInt32(stream, object.TypeCode());
    WriteRecord(object, stream, context);
}

int32_t ReadInt32(MemoryStream& stream, int32_t fallback)
{
    uint8_t bytes[4];
    if (stream.Read(bytes, 4) != 4)
        return fallback;
    return static_cast<int32_t>(LoadLittleEndian32(bytes));
}

void WriteInt32(MemoryStream& stream, int32_t value)
{
    uint8_t bytes[4];
    StoreLittleEndian32(bytes, static_cast<uint32_t>(value));
    stream.Write(bytes, 4);
}
