#include "data/RecordCodec.h"

#include "data/ByteOrder.h"
#include "data/MemoryStream.h"
#include "data/SkinObject.h"
#include "data/SkinTypes.h"
#include "data/SkinVersion.h"

namespace {

// Offsets of the texts inside the structured values, which must end within
// their value however the file fills them.
const size_t kImageNameLast = 49;    // ImageRef and FrameImageRef names: 50 bytes
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

// False when the nesting is too deep to follow; the stream is then left at
// its end so that every reader above stops too.
bool ReadNested(SkinObject& object, MemoryStream& stream, ReadContext& context)
{
    const bool entered = context.Enter();
    if (entered)
        ReadRecord(object, stream, context);
    else
        stream.Seek(0, MemoryStream::FromEnd);
    context.Leave();
    return entered;
}

void ReadChildren(SkinObject& parent, MemoryStream& stream, ReadContext& context)
{
    // An exhausted stream ends the list whatever count it gave, so that a
    // damaged count cannot keep the reader spinning.
    for (int32_t count = ReadInt32(stream); count > 0 && !stream.AtEnd(); --count) {
        const int32_t code = ReadInt32(stream);
        if (!IsChildTypeCode(code)) {
            context.SkipChild(parent, code);
            continue;
        }
        std::unique_ptr<SkinObject> child = CreateSkinObject(code);
        if (!child)
            continue;
        if (ReadNested(*child, stream, context))
            context.TakeChild(parent, code, std::move(child));
    }
}

void ReadEmbedded(SkinObject& part, MemoryStream& stream, ReadContext& context)
{
    ReadInt32(stream);  // the part's type code; the frame knows its part
    ReadNested(part, stream, context);
}

// Steps first .. end of a record.
void ReadSteps(SkinObject& object, const std::vector<RecordStep>& steps, size_t first, MemoryStream& stream,
               ReadContext& context)
{
    const uint8_t minor = context.Minor();
    for (size_t i = first; i < steps.size(); ++i) {
        const RecordStep& step = steps[i];
        if (!step.versions.Contains(minor))
            continue;
        switch (step.kind) {
        case StepKind::Field:
            ReadField(object, step.field, stream);
            break;
        case StepKind::Children:
            ReadChildren(object, stream, context);
            break;
        case StepKind::Embedded:
            ReadEmbedded(step.embedded(object), stream, context);
            break;
        case StepKind::Special:
            step.special.read(object, stream, context);
            break;
        }
    }
}

}  // namespace

ReadContext::ReadContext(uint8_t minor, Fixups fixups) : minor_(minor), fixups_(fixups) {}

ReadContext::~ReadContext() = default;

void ReadContext::TakeChild(SkinObject& parent, int32_t, std::unique_ptr<SkinObject> child)
{
    parent.AddChild(std::move(child));
}

void ReadContext::SkipChild(SkinObject&, int32_t) {}

bool ReadContext::Enter()
{
    return ++depth_ <= kMaxNesting;
}

void RecordReadContext::TakeObject(int32_t, std::unique_ptr<SkinObject>) {}
void RecordReadContext::SkipObject(int32_t) {}
void RecordReadContext::TakeImage(std::unique_ptr<SkinImage>) {}
void RecordReadContext::TakeExtraObject(std::unique_ptr<SkinObject>) {}

WriteContext::WriteContext(uint8_t minor) : minor_(minor) {}

WriteContext::~WriteContext() = default;

void WriteContext::WriteChildren(SkinObject& parent, MemoryStream& stream)
{
    WriteInt32(stream, static_cast<int32_t>(parent.Children().size()));
    for (const auto& entry : parent.Children())
        WriteEntry(*entry.second, stream, *this);
}

void ReadCommonRecord(MemoryStream& stream, SkinObject& object, ReadContext& context)
{
    ReadSteps(object, SkinObject::CommonRecordSchema().steps, 0, stream, context);
}

void ReadCommonRecord(MemoryStream& stream, SkinObject& object)
{
    RecordReadContext context(CurrentSkinVersion().minor);
    ReadCommonRecord(stream, object, context);
}

void ReadRecord(SkinObject& object, MemoryStream& stream, ReadContext& context)
{
    ReadCommonRecord(stream, object, context);
    ReadSteps(object, object.GetSchema().steps, SkinObject::CommonRecordSchema().steps.size(), stream, context);
    if (context.AppliesFixups())
        object.ApplyVersionFixups(context.Minor());
}

void WriteRecord(SkinObject& object, MemoryStream& stream, WriteContext& context)
{
    const uint8_t minor = context.Minor();
    for (const RecordStep& step : object.GetSchema().steps) {
        if (!step.versions.Contains(minor))
            continue;
        switch (step.kind) {
        case StepKind::Field:
            stream.Write(step.field.Locate(object), static_cast<int32_t>(step.field.size));
            break;
        case StepKind::Children:
            context.WriteChildren(object, stream);
            break;
        case StepKind::Embedded:
            WriteEntry(step.embedded(object), stream, context);
            break;
        case StepKind::Special:
            step.special.write(object, stream, context);
            break;
        }
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
