// The in-memory file that image codecs read from and write to. It either
// wraps bytes it does not own (reading) or grows a block of its own
// (writing). Sizes and positions are 32-bit: a codec never handles more.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

class MemFile {
public:
    enum Origin { FromStart = 0, FromCurrent = 1, FromEnd = 2 };

    // Wraps size bytes of buffer without taking them over; with a null
    // buffer the file is closed until Open().
    explicit MemFile(BYTE* buffer = nullptr, int32_t size = 0);
    virtual ~MemFile();

    MemFile(const MemFile&) = delete;
    MemFile& operator=(const MemFile&) = delete;

    // Starts an empty owned block; refused while a buffer is held.
    bool Open();
    virtual bool Close();
    // Copies up to itemSize x count bytes; returns the whole items copied.
    virtual size_t Read(void* dest, size_t itemSize, size_t count);
    // Returns count, or 0 when nothing could be written.
    virtual size_t Write(const void* src, size_t itemSize, size_t count);
    virtual bool Seek(int32_t offset, int origin);
    virtual int32_t Tell() const;
    virtual int32_t Size() const;
    virtual bool Flush();
    virtual bool Eof() const;
    virtual int32_t Error() const;
    virtual bool PutC(BYTE value);
    virtual int32_t GetC();

    const BYTE* GetBuffer() const { return buffer_; }
    // Hands the owned block to the caller (released with std::free); the
    // file is closed afterwards. Null when the block is not owned.
    BYTE* Detach();

private:
    bool Reserve(int64_t needed);

    BYTE* buffer_;
    int32_t size_;
    bool ownsBuffer_;
    int32_t position_;
    int32_t capacity_;
};
