#include "ReportBuffer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

ReportBuffer::ReportBuffer(char* buffer) : buffer_(buffer), length_(0), truncated_(false)
{
    memset(buffer_, 0, kSize);
}

void ReportBuffer::Append(const char* format, ...)
{
    if (truncated_)
        return;
    const size_t room = kSize - 1 - length_;  // the terminator always stays
    va_list args;
    va_start(args, format);
    int written = vsnprintf(buffer_ + length_, room + 1, format, args);
    va_end(args);
    if (written < 0 || static_cast<size_t>(written) > room) {
        memset(buffer_ + length_, 0, kSize - length_);
        truncated_ = true;
        return;
    }
    length_ += static_cast<size_t>(written);
}
