#include "imaging/WindowText.h"

#include <algorithm>

namespace {

// The text as DrawText shows its prefixes: "&x" shows x, "&&" one
// ampersand. An ampersand is never a trail byte of code page 950.
template <typename Char>
std::basic_string<Char> WithoutPrefixes(const std::basic_string<Char>& text)
{
    std::basic_string<Char> shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == Char('&') && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

}  // namespace

WindowText WindowText::Of(HWND window)
{
    const bool unicode = IsWindowUnicode(window) != FALSE;
    const int length = unicode ? GetWindowTextLengthW(window) : GetWindowTextLengthA(window);
    TextBuffer buffer(unicode, static_cast<size_t>(length) + 1);
    if (unicode)
        GetWindowTextW(window, buffer.Address<wchar_t>(), buffer.Chars());
    else
        GetWindowTextA(window, buffer.Address<char>(), buffer.Chars());
    return buffer.Text();
}

WindowText WindowText::At(const void* text, bool unicode)
{
    if (!text)
        return WindowText();
    if (unicode)
        return WindowText(std::wstring(static_cast<const wchar_t*>(text)));
    return WindowText(std::string(static_cast<const char*>(text)));
}

int WindowText::Length() const
{
    return static_cast<int>(unicode_ ? wide_.size() : ansi_.size());
}

int WindowText::Find(char c, int from) const
{
    const size_t at =
        unicode_ ? wide_.find(static_cast<wchar_t>(static_cast<unsigned char>(c)), from) : ansi_.find(c, from);
    return at == std::string::npos ? kNotFound : static_cast<int>(at);
}

WindowText WindowText::Part(int first, int count) const
{
    const size_t length = count < 0 ? std::string::npos : static_cast<size_t>(count);
    return unicode_ ? WindowText(wide_.substr(first, length)) : WindowText(ansi_.substr(first, length));
}

int WindowText::Draw(HDC hdc, RECT& rect, UINT format) const
{
    // Wine 8's DrawText underlines despite DT_HIDEPREFIX: the prefixes are
    // taken out here instead, which shows what the flag shows on Windows.
    if ((format & DT_HIDEPREFIX) && !(format & DT_NOPREFIX)) {
        const UINT plain = (format & ~DT_HIDEPREFIX) | DT_NOPREFIX;
        const WindowText shown = unicode_ ? WindowText(WithoutPrefixes(wide_)) : WindowText(WithoutPrefixes(ansi_));
        return shown.Draw(hdc, rect, plain);
    }
    return unicode_ ? DrawTextW(hdc, wide_.c_str(), Length(), &rect, format)
                    : DrawTextA(hdc, ansi_.c_str(), Length(), &rect, format);
}

SIZE WindowText::Extent(HDC hdc) const
{
    SIZE size = {};
    if (unicode_)
        GetTextExtentPoint32W(hdc, wide_.c_str(), Length(), &size);
    else
        GetTextExtentPoint32A(hdc, ansi_.c_str(), Length(), &size);
    return size;
}

void WindowText::Out(HDC hdc, int x, int y) const
{
    if (unicode_)
        TextOutW(hdc, x, y, wide_.c_str(), Length());
    else
        TextOutA(hdc, x, y, ansi_.c_str(), Length());
}

TextBuffer::TextBuffer(bool unicode, size_t chars)
    : unicode_(unicode),
      ansi_(unicode ? 0 : std::max<size_t>(chars, 1), '\0'),
      wide_(unicode ? std::max<size_t>(chars, 1) : 0, L'\0')
{
}

WindowText TextBuffer::Text() const
{
    return WindowText::At(unicode_ ? static_cast<const void*>(wide_.c_str()) : ansi_.c_str(), unicode_);
}
