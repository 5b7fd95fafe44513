#include "data/SkinFileReader.h"

#include <cstring>
#include <new>

#include "data/MemoryStream.h"
#include "data/RecordCodec.h"
#include "data/SkinImage.h"
#include "data/SkinObject.h"
#include "data/SkinTypes.h"
#include "imaging/ByteOrder.h"

const char kSkinMagic[SkinHeader::kMagicSize] = "VELTRAMOX_SKIN_FILE";

namespace {

template <class T, class... Args>
std::unique_ptr<T> CreateOrNull(Args... args)
{
    try {
        return std::unique_ptr<T>(new T(args...));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// The image and extra-object sections: a count, then that many records.
template <class ReadOne, class Take>
void ReadSection(MemoryStream& stream, ReadOne readOne, Take take)
{
    for (int32_t count = ReadInt32(stream); count > 0 && !stream.AtEnd(); --count)
        if (auto entry = readOne())
            take(std::move(entry));
}

}  // namespace

std::unique_ptr<SkinObject> ReadObjectEntry(MemoryStream& stream, ReadContext& context, int32_t& code)
{
    code = ReadInt32(stream);
    if (!IsTopLevelTypeCode(code))
        return nullptr;
    std::unique_ptr<SkinObject> object = CreateSkinObject(code);
    if (object)
        ReadRecord(*object, stream, context);
    return object;
}

std::unique_ptr<SkinImage> ReadImageRecord(MemoryStream& stream, ReadContext& context)
{
    ReadInt32(stream);
    std::unique_ptr<SkinImage> image = CreateOrNull<SkinImage>();
    if (image)
        ReadRecord(*image, stream, context);
    return image;
}

std::unique_ptr<SkinObject> ReadExtraObjectRecord(MemoryStream& stream, ReadContext& context)
{
    ReadInt32(stream);
    std::unique_ptr<SkinObject> object = CreateOrNull<SkinObject>(kTypeExtraObject);
    if (object)
        ReadRecord(*object, stream, context);
    return object;
}

uint32_t SkinHeader::ObjectCount() const
{
    return LoadLittleEndian32(bytes + kObjectCountOffset);
}

bool SkinHeader::HasMagic() const
{
    return std::memcmp(bytes, kSkinMagic, kMagicCompared) == 0;
}

SkinFileReader::SkinFileReader(ReadContext& context) : context_(context), header_() {}

bool SkinFileReader::ReadContainer(const MemoryStream& container)
{
    MemoryStream stream(MemoryStream::kSkinGrowStep);
    if (!container.DecompressTo(stream))
        return false;
    stream.Rewind();
    return ReadStream(stream);
}

bool SkinFileReader::ReadStream(MemoryStream& stream)
{
    streamLength_ = stream.Length();
    bytesRead_ = 0;
    if (stream.Read(header_.bytes, SkinHeader::kSize) != SkinHeader::kSize || !header_.HasMagic() ||
        header_.Version().major != kSkinMajorVersion)
        return false;

    SetCurrentSkinVersion(header_.Version());
    context_.SetMinor(header_.Version().minor);
    ReadObjects(stream);
    ReadImages(stream);
    ReadExtraObjects(stream);
    bytesRead_ = stream.Position();
    return true;
}

void SkinFileReader::ReadObjects(MemoryStream& stream)
{
    const uint32_t count = header_.ObjectCount();
    // Once the stream is exhausted the loop stops, whatever count the
    // header gives, so that a damaged count cannot keep it spinning.
    for (uint32_t i = 0; i < count && !stream.AtEnd(); ++i) {
        int32_t code = 0;
        std::unique_ptr<SkinObject> object = ReadObjectEntry(stream, context_, code);
        if (object)
            context_.TakeObject(code, std::move(object));
        else if (!IsTopLevelTypeCode(code))
            // Nothing more belongs to this entry: the next four bytes are
            // the next entry's type code.
            context_.SkipObject(code);
    }
}

void SkinFileReader::ReadImages(MemoryStream& stream)
{
    ReadSection(
        stream, [&] { return ReadImageRecord(stream, context_); },
        [this](std::unique_ptr<SkinImage> image) { context_.TakeImage(std::move(image)); });
}

void SkinFileReader::ReadExtraObjects(MemoryStream& stream)
{
    ReadSection(
        stream, [&] { return ReadExtraObjectRecord(stream, context_); },
        [this](std::unique_ptr<SkinObject> object) { context_.TakeExtraObject(std::move(object)); });
}
