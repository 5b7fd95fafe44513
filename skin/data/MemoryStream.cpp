#include "data/MemoryStream.h"

#include <lzo/lzo1x.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "imaging/ByteOrder.h"

namespace {

const int32_t kContainerLengthSize = 4;

// LZO1X cannot expand one input byte into more than 255 output bytes (a
// zero byte in a length run adds 255), so a declared length beyond this
// bound is a damaged or hostile container, refused before allocating it.
const int64_t kMaxExpansionPerByte = 256;
const int64_t kExpansionSlack = 4096;

}  // namespace

MemoryStream::MemoryStream(int32_t growStep) : growStep_(growStep > 0 ? growStep : kSkinGrowStep) {}

MemoryStream::MemoryStream(const void* bytes, int32_t count, int32_t growStep) : MemoryStream(growStep)
{
    if (!bytes || count < 0 || !Allocate(count))
        return;
    if (count > 0)
        std::memcpy(data_.get(), bytes, static_cast<size_t>(count));
    length_ = count;
}

void MemoryStream::Reset()
{
    data_.reset();
    length_ = position_ = capacity_ = 0;
}

bool MemoryStream::Allocate(int32_t size)
{
    Reset();
    if (size < 0)
        return false;
    if (size == 0)
        return true;
    data_.reset(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size))));
    if (!data_)
        return false;
    capacity_ = size;
    return true;
}

int32_t MemoryStream::Read(void* dest, int32_t n)
{
    if (!data_ || n <= 0 || position_ >= length_)
        return 0;
    const int32_t count = std::min(n, length_ - position_);
    std::memcpy(dest, data_.get() + position_, static_cast<size_t>(count));
    position_ += count;
    return count;
}

bool MemoryStream::Reserve(int32_t needed)
{
    if (!data_)
        return Allocate(needed);
    if (capacity_ - position_ >= needed)
        return true;
    const int64_t shortfall = static_cast<int64_t>(needed) + position_ - capacity_;
    const int64_t grown = capacity_ + static_cast<int64_t>(growStep_) * (shortfall / growStep_ + 1);
    if (grown > std::numeric_limits<int32_t>::max())
        return false;
    void* block = std::realloc(data_.get(), static_cast<size_t>(grown));
    if (!block)
        return false;
    data_.release();
    data_.reset(static_cast<uint8_t*>(block));
    capacity_ = static_cast<int32_t>(grown);
    return true;
}

int32_t MemoryStream::Write(const void* src, int32_t n)
{
    if (n <= 0 || !src || !Reserve(n))
        return 0;
    std::memcpy(data_.get() + position_, src, static_cast<size_t>(n));
    position_ += n;
    length_ = std::max(length_, position_);
    return n;
}

int32_t MemoryStream::Seek(int32_t offset, int origin)
{
    int64_t target = offset;
    if (origin == FromCurrent)
        target += position_;
    else if (origin == FromEnd)
        target += length_;
    // A position before the start would let the next read run before the
    // buffer; it is held at the start as one beyond the end is held there.
    position_ = static_cast<int32_t>(std::clamp<int64_t>(target, 0, length_));
    return position_;
}

bool MemoryStream::DecompressTo(MemoryStream& out) const
{
    if (lzo_init() != LZO_E_OK || !data_ || length_ < kContainerLengthSize)
        return false;
    const uint32_t declared = LoadLittleEndian32(data_.get());
    const int64_t packedSize = length_ - kContainerLengthSize;
    if (declared == 0 || declared > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()) ||
        declared > packedSize * kMaxExpansionPerByte + kExpansionSlack)
        return false;

    if (!out.Allocate(static_cast<int32_t>(declared)))
        return false;
    lzo_uint produced = declared;
    const int result = lzo1x_decompress_safe(data_.get() + kContainerLengthSize, static_cast<lzo_uint>(packedSize),
                                             out.data_.get(), &produced, nullptr);
    if (result != LZO_E_OK || produced != declared) {
        out.Reset();
        return false;
    }
    out.length_ = static_cast<int32_t>(declared);
    return true;
}
