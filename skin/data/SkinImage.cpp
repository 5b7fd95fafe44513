#include "data/SkinImage.h"

#include <cstdlib>

#include "data/MemoryStream.h"
#include "data/RecordCodec.h"
#include "data/SkinTypes.h"

SkinImage::SkinImage() : SkinObject(kTypeImage)
{
    AdoptSchema(RecordSchema());
}

const Schema& SkinImage::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeImage, "SkinImage");
        AddCommonRecord(builder);
        builder.Special({"image", &SkinImage::ReadPayload, &SkinImage::WritePayload});
        return builder.Build();
    }();
    return schema;
}

void SkinImage::ReadPayload(SkinObject& object, MemoryStream& stream, ReadContext&)
{
    SkinImage& self = static_cast<SkinImage&>(object);
    const int32_t declared = ReadInt32(stream);
    const int32_t format = ReadInt32(stream);
    if (declared <= 0)
        return;
    // The decoder sees only the bytes the container really holds: a length
    // beyond the end is neither allocated nor handed on as if it were there.
    const int32_t available = declared < stream.Remaining() ? declared : stream.Remaining();
    // Decoded in place: the unpacked stream already holds the bytes.
    self.image.Decode(stream.Data() + stream.Position(), available, format);
    stream.Seek(available, MemoryStream::FromCurrent);
}

void SkinImage::WritePayload(SkinObject& object, MemoryStream& stream, WriteContext&)
{
    SkinImage& self = static_cast<SkinImage&>(object);
    const int32_t format = self.image.GetFormatType();
    BYTE* encoded = nullptr;
    int32_t size = 0;
    if (!self.image.IsValid() || !self.image.Encode(encoded, size, format))
        size = 0;
    WriteInt32(stream, size);
    WriteInt32(stream, format);
    stream.Write(encoded, size);
    std::free(encoded);
}
