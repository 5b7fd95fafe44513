// Reading a skin container: unpacking, the header checks, the version
// rules, and the object, image and extra-object sections in file order.
// What the entries become is the context's business (the store's tables,
// or the skin tools' document).
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include <cstdint>

#include "data/SkinVersion.h"

class MemoryStream;
class ReadContext;

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
