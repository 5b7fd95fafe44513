#include "imaging/MemFile.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

const int64_t GrowthStep = 4096;

int64_t RoundUpToGrowthStep(int64_t bytes)
{
    return (bytes + GrowthStep - 1) / GrowthStep * GrowthStep;
}

// itemSize x count as a byte count, or -1 when it exceeds what a MemFile
// can address.
int64_t RequestBytes(size_t itemSize, size_t count)
{
    if (itemSize != 0 && count > static_cast<size_t>(INT32_MAX) / itemSize)
        return -1;
    return static_cast<int64_t>(itemSize * count);
}

} // namespace

MemFile::MemFile(BYTE* buffer, int32_t size)
    : buffer_(buffer)
    , size_(buffer && size > 0 ? size : 0)
    , ownsBuffer_(false)
    , position_(0)
    , capacity_(size_)
{
}

MemFile::~MemFile()
{
    Close();
}

bool MemFile::Open()
{
    if (buffer_)
        return false;
    // A one-byte block stands for "open and empty"; the capacity stays 0 so
    // the first write grows it.
    buffer_ = static_cast<BYTE*>(std::malloc(1));
    if (!buffer_)
        return false;
    ownsBuffer_ = true;
    size_ = position_ = capacity_ = 0;
    return true;
}

bool MemFile::Close()
{
    if (ownsBuffer_)
        std::free(buffer_);
    buffer_ = nullptr;
    ownsBuffer_ = false;
    size_ = position_ = capacity_ = 0;
    return true;
}

size_t MemFile::Read(void* dest, size_t itemSize, size_t count)
{
    int64_t requested = RequestBytes(itemSize, count);
    if (!buffer_ || !dest || requested <= 0 || position_ >= size_)
        return 0;
    int64_t available = size_ - position_;
    int64_t copied = requested < available ? requested : available;
    std::memcpy(dest, buffer_ + position_, static_cast<size_t>(copied));
    position_ += static_cast<int32_t>(copied);
    return static_cast<size_t>(copied) / itemSize;
}

size_t MemFile::Write(const void* src, size_t itemSize, size_t count)
{
    int64_t requested = RequestBytes(itemSize, count);
    if (!buffer_ || !src || requested <= 0)
        return 0;
    int64_t end = static_cast<int64_t>(position_) + requested;
    if (end > INT32_MAX || !Reserve(end))
        return 0;
    std::memcpy(buffer_ + position_, src, static_cast<size_t>(requested));
    position_ = static_cast<int32_t>(end);
    if (position_ > size_)
        size_ = position_;
    return count;
}

// Grows the block so that `needed` bytes fit; a wrapped block that must
// grow is copied into one of our own.
bool MemFile::Reserve(int64_t needed)
{
    if (needed <= capacity_)
        return true;
    int64_t newCapacity = capacity_ + RoundUpToGrowthStep(needed - capacity_);
    if (newCapacity > INT32_MAX)
        newCapacity = INT32_MAX;
    BYTE* grown;
    if (ownsBuffer_) {
        grown = static_cast<BYTE*>(std::realloc(buffer_, static_cast<size_t>(newCapacity)));
    } else {
        grown = static_cast<BYTE*>(std::malloc(static_cast<size_t>(newCapacity)));
        if (grown && size_ > 0)
            std::memcpy(grown, buffer_, static_cast<size_t>(size_));
    }
    if (!grown)
        return false;
    buffer_ = grown;
    ownsBuffer_ = true;
    capacity_ = static_cast<int32_t>(newCapacity);
    return true;
}

bool MemFile::Seek(int32_t offset, int origin)
{
    int64_t base;
    switch (origin) {
    case FromStart: base = 0; break;
    case FromCurrent: base = position_; break;
    case FromEnd: base = size_; break;
    default: return false;
    }
    int64_t target = base + offset;
    if (target < 0 || target > INT32_MAX)
        return false;
    position_ = static_cast<int32_t>(target);
    return true;
}

int32_t MemFile::Tell() const
{
    return buffer_ ? position_ : -1;
}

int32_t MemFile::Size() const
{
    return buffer_ ? size_ : -1;
}

bool MemFile::Flush()
{
    return buffer_ != nullptr;
}

bool MemFile::Eof() const
{
    return !buffer_ || position_ >= size_;
}

int32_t MemFile::Error() const
{
    if (!buffer_)
        return -1;
    return position_ > size_ ? 1 : 0;
}

bool MemFile::PutC(BYTE value)
{
    return Write(&value, 1, 1) == 1;
}

int32_t MemFile::GetC()
{
    if (Eof())
        return -1;
    return buffer_[position_++];
}

BYTE* MemFile::Detach()
{
    if (!ownsBuffer_)
        return nullptr;
    BYTE* block = buffer_;
    ownsBuffer_ = false;
    Close();
    return block;
}
