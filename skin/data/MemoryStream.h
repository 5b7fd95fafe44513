// The growable byte buffer that skin containers are read from and written
// to, and the unpacking of a container's LZO1X stream.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

class MemoryStream {
public:
    // Growth granule of the streams the skin reader works on.
    static const int32_t kSkinGrowStep = 10240;

    enum Origin { FromStart = 0, FromCurrent = 1, FromEnd = 2 };

    explicit MemoryStream(int32_t growStep = kSkinGrowStep);
    // A stream holding a copy of `count` bytes; empty when `bytes` is null,
    // the count negative or the copy cannot be allocated.
    MemoryStream(const void* bytes, int32_t count, int32_t growStep = kSkinGrowStep);

    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    // Replaces the buffer by `size` unused bytes; false (and an empty stream)
    // when they cannot be allocated.
    bool Allocate(int32_t size);
    // Copies up to n bytes from the position; returns how many were copied.
    int32_t Read(void* dest, int32_t n);
    // Writes n bytes at the position, growing the buffer by whole granules;
    // returns n, or 0 when the buffer cannot grow.
    int32_t Write(const void* src, int32_t n);
    // Moves the position, kept within 0 .. length; returns the new position.
    int32_t Seek(int32_t offset, int origin);
    void Rewind() { Seek(0, FromStart); }

    // Treats the whole content as a container (uint32 unpacked length N,
    // then an LZO1X stream) and unpacks it straight into `out`, which then
    // holds exactly the N bytes, positioned at its start. False (and `out`
    // left unchanged or empty) when the container is short, N is implausible,
    // or the stream does not unpack to exactly N bytes.
    bool DecompressTo(MemoryStream& out) const;

    const uint8_t* Data() const { return data_.get(); }
    int32_t Length() const { return length_; }
    int32_t Position() const { return position_; }
    int32_t Capacity() const { return capacity_; }
    int32_t Remaining() const { return length_ - position_; }
    bool AtEnd() const { return position_ >= length_; }

private:
    struct FreeDeleter {
        void operator()(uint8_t* block) const { std::free(block); }
    };
    using Block = std::unique_ptr<uint8_t, FreeDeleter>;

    bool Reserve(int32_t needed);
    void Reset();

    Block data_;
    int32_t length_ = 0;
    int32_t position_ = 0;
    int32_t capacity_ = 0;
    int32_t growStep_;
};
