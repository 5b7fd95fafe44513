// Text a painter draws, held in the character set its window answered in:
// a Unicode window's text taken through the ANSI code page loses every
// character outside it, while an ANSI window's text is drawn as it always
// was.
#pragma once

#include <windows.h>

#include <string>

class WindowText {
public:
    static const int kNotFound = -1;

    WindowText() = default;
    explicit WindowText(std::string ansi) : ansi_(std::move(ansi)) {}
    explicit WindowText(const char* ansi) : ansi_(ansi) {}
    explicit WindowText(std::wstring wide) : unicode_(true), wide_(std::move(wide)) {}

    // The window's text, asked with the call of its character set.
    static WindowText Of(HWND window);
    // The terminated text a window answered at `text` in the character set
    // it was asked in; empty for none.
    static WindowText At(const void* text, bool unicode);

    bool Empty() const { return Length() == 0; }
    // In units of its character set: bytes or UTF-16 units.
    int Length() const;
    // The first `c` at or after `from`, else kNotFound.
    int Find(char c, int from = 0) const;
    // The `count` units from `first`; to the end when count is -1, as a
    // Find that found nothing answers.
    WindowText Part(int first, int count = -1) const;

    int Draw(HDC hdc, RECT& rect, UINT format) const;
    SIZE Extent(HDC hdc) const;
    void Out(HDC hdc, int x, int y) const;

private:
    bool unicode_ = false;
    std::string ansi_;
    std::wstring wide_;
};

// Room for a text a control writes in the character set it is asked in.
// The A and W forms of the controls' item structures differ only in the
// type of their text pointer, so one structure serves both messages with
// Address() in that pointer.
class TextBuffer {
public:
    TextBuffer(bool unicode, size_t chars);

    template <typename Char>
    Char* Address()
    {
        return reinterpret_cast<Char*>(unicode_ ? static_cast<void*>(&wide_[0]) : static_cast<void*>(&ansi_[0]));
    }
    int Chars() const { return static_cast<int>(unicode_ ? wide_.size() : ansi_.size()); }
    // What the control wrote, up to its terminator (the last unit always
    // ends it).
    WindowText Text() const;

private:
    bool unicode_;
    std::string ansi_;
    std::wstring wide_;
};
