#pragma once

#include <cstddef>

// The report: a zero-terminated Big5 text in a caller-owned buffer that is
// only ever appended to. Each piece is formatted printf-style at the end of
// the text. A piece that does not fit whole is dropped together with every
// later piece, so a full report ends at a piece boundary: never in the middle
// of a line's formatting or of a two-byte Big5 character, and never past the
// buffer.
class ReportBuffer {
public:
    static constexpr size_t kSize = 20480;

    // Clears all kSize bytes of the buffer.
    explicit ReportBuffer(char* buffer);

    void Append(const char* format, ...);

    const char* Text() const { return buffer_; }
    bool Truncated() const { return truncated_; }

private:
    char* buffer_;
    size_t length_;
    bool truncated_;
};
