#include "SkinDocument.h"

#include <lzo/lzo1x.h>

#include <algorithm>
#include <cstring>

#include "data/MemoryStream.h"
#include "data/RecordCodec.h"
#include "data/SkinFileReader.h"
#include "data/SkinTypes.h"
#include "imaging/ByteOrder.h"

const char* const SkinDocument::kDefaultBuilderText = "Veltramox Builder";

namespace {

// Records are read and written under one version; the process-wide pair is
// given back as it was, so that the tools never change the engine's rules.
class VersionScope {
public:
    explicit VersionScope(SkinVersion version) : saved_(CurrentSkinVersion()) { SetCurrentSkinVersion(version); }
    ~VersionScope() { SetCurrentSkinVersion(saved_); }

    VersionScope(const VersionScope&) = delete;
    VersionScope& operator=(const VersionScope&) = delete;

private:
    SkinVersion saved_;
};

// An object's entry carries the object's own type code; a bare code stands alone.
int32_t WrittenCode(const DocumentEntry& entry)
{
    return entry.object ? entry.object->TypeCode() : entry.code;
}

void WriteEntryOrCode(const DocumentEntry& entry, MemoryStream& stream, WriteContext& context)
{
    WriteInt32(stream, WrittenCode(entry));
    if (entry.object)
        WriteRecord(*entry.object, stream, context);
}

}  // namespace

// Keeps every entry the container holds, in file order.
class SkinDocument::Reader : public ReadContext {
public:
    explicit Reader(SkinDocument& document)
        : ReadContext(kSkinNewestMinorVersion, KeepStoredValues), document_(document)
    {
    }

    void TakeChild(SkinObject& parent, int32_t code, std::unique_ptr<SkinObject> child) override
    {
        document_.ChildrenOf(parent).push_back({code, std::move(child)});
    }

    void SkipChild(SkinObject& parent, int32_t code) override
    {
        document_.ChildrenOf(parent).push_back({code, nullptr});
    }

    void TakeObject(int32_t code, std::unique_ptr<SkinObject> object) override
    {
        document_.objects.push_back({code, std::move(object)});
    }

    void SkipObject(int32_t code) override { document_.objects.push_back({code, nullptr}); }

    void TakeImage(std::unique_ptr<SkinImage> image) override { document_.images.push_back(std::move(image)); }

    void TakeExtraObject(std::unique_ptr<SkinObject> object) override
    {
        document_.extraObjects.push_back(std::move(object));
    }

private:
    SkinDocument& document_;
};

// Writes each child list from the document rather than from the objects'
// child tables, so that bare codes and repeated names survive.
class SkinDocument::Writer : public WriteContext {
public:
    Writer(SkinDocument& document, uint8_t minor) : WriteContext(minor), document_(document) {}

    void ListChildren(SkinObject& parent, std::vector<ChildListEntry>& entries) override
    {
        if (const EntryList* children = document_.FindChildren(parent))
            for (const DocumentEntry& entry : *children)
                entries.push_back({WrittenCode(entry), entry.object.get()});
    }

private:
    SkinDocument& document_;
};

bool PackContainer(const uint8_t* stream, size_t length, std::vector<uint8_t>& container)
{
    if (lzo_init() != LZO_E_OK || length > 0xFFFFFFFFu)
        return false;
    // LZO1X's documented worst case for incompressible input.
    container.assign(4 + length + length / 16 + 64 + 3, 0);
    std::vector<uint8_t> workMemory(LZO1X_999_MEM_COMPRESS);
    lzo_uint packed = container.size() - 4;
    if (lzo1x_999_compress(stream, static_cast<lzo_uint>(length), container.data() + 4, &packed, workMemory.data()) !=
        LZO_E_OK)
        return false;
    StoreLittleEndian32(container.data(), static_cast<uint32_t>(length));
    container.resize(4 + packed);
    return true;
}

const SkinDocument::EntryList* SkinDocument::FindChildren(const SkinObject& parent) const
{
    const auto found = children_.find(&parent);
    return found == children_.end() ? nullptr : &found->second;
}

uint32_t SkinDocument::HeaderObjectCount() const
{
    return countOverridden ? declaredCount : static_cast<uint32_t>(objects.size());
}

bool SkinDocument::WriteStream(MemoryStream& stream)
{
    SkinHeader header = {};
    std::memcpy(header.bytes, kSkinMagic, SkinHeader::kMagicSize);
    header.bytes[20] = version.major;
    header.bytes[21] = version.minor;
    std::memcpy(header.bytes + SkinHeader::kBuilderTextOffset, builderText.data(),
                std::min(builderText.size(), static_cast<size_t>(SkinHeader::kBuilderTextSize)));
    const uint32_t count = HeaderObjectCount();
    StoreLittleEndian32(header.bytes + SkinHeader::kObjectCountOffset, count);
    stream.Write(header.bytes, SkinHeader::kSize);

    VersionScope scope(version);
    Writer writer(*this, version.minor);
    for (const DocumentEntry& entry : objects)
        WriteEntryOrCode(entry, stream, writer);
    WriteInt32(stream, static_cast<int32_t>(images.size()));
    for (const auto& image : images)
        WriteEntry(*image, stream, writer);
    WriteInt32(stream, static_cast<int32_t>(extraObjects.size()));
    for (const auto& extra : extraObjects)
        WriteEntry(*extra, stream, writer);
    return stream.Length() > 0;
}

bool SkinDocument::WriteContainer(std::vector<uint8_t>& container)
{
    MemoryStream stream(MemoryStream::kSkinGrowStep);
    return WriteStream(stream) && PackContainer(stream.Data(), static_cast<size_t>(stream.Length()), container);
}

bool SkinDocument::ReadContainer(const MemoryStream& container)
{
    VersionScope scope(CurrentSkinVersion());
    Reader reader(*this);
    SkinFileReader fileReader(reader);
    if (!fileReader.ReadContainer(container))
        return false;
    const SkinHeader& header = fileReader.Header();
    version = header.Version();
    const char* text = reinterpret_cast<const char*>(header.bytes + SkinHeader::kBuilderTextOffset);
    builderText.assign(text, strnlen(text, SkinHeader::kBuilderTextSize));
    declaredCount = header.ObjectCount();
    countOverridden = declaredCount != objects.size();
    return true;
}
