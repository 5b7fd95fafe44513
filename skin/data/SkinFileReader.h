// Reading a skin container: unpacking, the header checks, the version
// rules, and the object, image and extra-object sections in file order.
// What the entries become is the context's business (the store's tables,
// or the skin tools' document).
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include <cstdint>
#include <memory>

#include "data/SkinVersion.h"

class MemoryStream;
class ReadContext;
class SkinImage;
class SkinObject;

// The 188-byte header at the start of every skin stream.
struct SkinHeader {
    static const int32_t kSize = 188;
    static const int32_t kMagicSize = 20;
    static const int32_t kMagicCompared = 19;
    static const int32_t kBuilderTextOffset = 22;
    static const int32_t kBuilderTextSize = 154;
    static const int32_t kObjectCountOffset = 176;

    uint8_t bytes[kSize];

    SkinVersion Version() const { return {bytes[20], bytes[21]}; }
    uint32_t ObjectCount() const;
    bool HasMagic() const;
};

extern const char kSkinMagic[SkinHeader::kMagicSize];

// One entry of the object section: the type code (in `code`), then the
// record of an object of that type. Null for a code the section does not
// accept (nothing more is read) or when the object cannot be created.
std::unique_ptr<SkinObject> ReadObjectEntry(MemoryStream& stream, ReadContext& context, int32_t& code);
// One record of the image section: an ignored type code, then the image's
// record with its encoded bitmap, decoded on the way.
std::unique_ptr<SkinImage> ReadImageRecord(MemoryStream& stream, ReadContext& context);
// One record of the extra-object section: an ignored type code, then a
// plain object (type 19) with its children.
std::unique_ptr<SkinObject> ReadExtraObjectRecord(MemoryStream& stream, ReadContext& context);

class SkinFileReader {
public:
    explicit SkinFileReader(ReadContext& context);

    // Unpacks the container into a fresh stream and reads it.
    bool ReadContainer(const MemoryStream& container);
    // Reads an unpacked skin stream from its start. False when the header is
    // short, the magic differs or the major version is not 1; past the
    // header nothing fails.
    bool ReadStream(MemoryStream& stream);

    const SkinHeader& Header() const { return header_; }
    // Length of the unpacked stream and how much of it the sections used.
    int32_t StreamLength() const { return streamLength_; }
    int32_t BytesRead() const { return bytesRead_; }

private:
    void ReadObjects(MemoryStream& stream);
    void ReadImages(MemoryStream& stream);
    void ReadExtraObjects(MemoryStream& stream);

    ReadContext& context_;
    SkinHeader header_;
    int32_t streamLength_ = 0;
    int32_t bytesRead_ = 0;
};
