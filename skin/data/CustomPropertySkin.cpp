#include "data/CustomPropertySkin.h"

#include <new>

#include "data/MemoryStream.h"
#include "data/RecordCodec.h"
#include "data/SkinTypes.h"

namespace {

template <class Byte>
std::unique_ptr<Byte[]> AllocateZeroed(size_t size)
{
    return std::unique_ptr<Byte[]>(size ? new (std::nothrow) Byte[size]() : nullptr);
}

// Reads a length-prefixed block of `declared` bytes into a buffer of at
// least `minimum` zeroed bytes; `kept` tells how many were read. A length
// the stream cannot hold (or memory cannot) is skipped like an allocation
// failure: the stream moves past what is there and nothing is kept, so a
// damaged length never makes the reader allocate more than the container
// could carry.
template <class Byte>
std::unique_ptr<Byte[]> ReadBlock(MemoryStream& stream, int32_t declared, size_t minimum, int32_t& kept)
{
    kept = 0;
    const int32_t length = declared > 0 ? declared : 0;
    if (length > stream.Remaining()) {
        stream.Seek(0, MemoryStream::FromEnd);
        return AllocateZeroed<Byte>(minimum);
    }
    std::unique_ptr<Byte[]> block = AllocateZeroed<Byte>(static_cast<size_t>(length) > minimum ? length : minimum);
    if (!block) {
        stream.Seek(length, MemoryStream::FromCurrent);
        return nullptr;
    }
    kept = stream.Read(block.get(), length);
    return block;
}

// A value of a known kind always has room for that kind's bytes, so that a
// painter reading it by its kind cannot run past a short buffer.
size_t MinimumValueSize(int32_t kind)
{
    return IsPropertyKind(kind) ? FieldKindSize(static_cast<FieldKind>(kind)) : 0;
}

void ReadValue(MemoryStream& stream, PropertyRecord& record)
{
    record.SetKind(ReadInt32(stream, PropertyRecord::kKindUnread));
    stream.Read(record.KeyBytes(), PropertyRecord::kKeySize);
    record.KeyBytes()[PropertyRecord::kKeySize - 1] = '\0';
    stream.Read(record.DefaultTextBytes(), PropertyRecord::kDefaultTextSize);
    record.DefaultTextBytes()[PropertyRecord::kDefaultTextSize - 1] = '\0';

    int32_t kept = 0;
    std::unique_ptr<uint8_t[]> value =
        ReadBlock<uint8_t>(stream, ReadInt32(stream), MinimumValueSize(record.Kind()), kept);
    record.TakeValue(std::move(value), kept);
    std::unique_ptr<char[]> text = ReadBlock<char>(stream, ReadInt32(stream), 0, kept);
    record.TakeText(std::move(text), kept);
}

void WriteValue(MemoryStream& stream, PropertyRecord& record)
{
    WriteInt32(stream, record.Kind());
    stream.Write(record.KeyBytes(), PropertyRecord::kKeySize);
    stream.Write(record.DefaultTextBytes(), PropertyRecord::kDefaultTextSize);
    WriteInt32(stream, record.Size());
    stream.Write(record.Value(), record.Size());
    WriteInt32(stream, record.TextLength());
    stream.Write(record.Text(), record.TextLength());
}

}  // namespace

CustomPropertySkin::CustomPropertySkin() : ControlSkinBase(kTypeCustomProperty), text()
{
    AdoptSchema(RecordSchema());
}

const Schema& CustomPropertySkin::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeCustomProperty, "CustomPropertySkin");
        AddControlRecord(builder, nullptr);
        builder.Field("text", FieldKind::String, SKIN_MEMBER(CustomPropertySkin, text))
            .Special({"custom", &CustomPropertySkin::ReadValues, &CustomPropertySkin::WriteValues});
        return builder.Build();
    }();
    return schema;
}

PropertyRecord* CustomPropertySkin::FindProperty(const char* key)
{
    if (!key)
        return nullptr;
    for (const auto& value : customValues_)
        if (lstrcmpiA(value->Key(), key) == 0)
            return value.get();
    return nullptr;
}

void CustomPropertySkin::AddCustomValue(std::unique_ptr<PropertyRecord> value)
{
    customValues_.push_back(std::move(value));
}

void CustomPropertySkin::ReadValues(SkinObject& object, MemoryStream& stream, ReadContext&)
{
    CustomPropertySkin& self = static_cast<CustomPropertySkin&>(object);
    self.customValues_.clear();
    // An exhausted stream ends the list whatever count it gave.
    for (int32_t count = ReadInt32(stream); count > 0 && !stream.AtEnd(); --count) {
        std::unique_ptr<PropertyRecord> record(new (std::nothrow) PropertyRecord());
        if (!record)
            return;
        ReadValue(stream, *record);
        self.customValues_.push_back(std::move(record));
    }
}

void CustomPropertySkin::WriteValues(SkinObject& object, MemoryStream& stream, WriteContext&)
{
    CustomPropertySkin& self = static_cast<CustomPropertySkin&>(object);
    WriteInt32(stream, static_cast<int32_t>(self.customValues_.size()));
    for (const auto& value : self.customValues_)
        WriteValue(stream, *value);
}
