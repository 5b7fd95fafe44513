#include "Big5Text.h"

#include <windows.h>

namespace {

const UINT kBig5CodePage = 950;

}  // namespace

std::wstring Big5ToUnicode(const char* text, size_t length)
{
    const int bytes = static_cast<int>(length);
    const int units = MultiByteToWideChar(kBig5CodePage, 0, text, bytes, nullptr, 0);
    if (units <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    const int converted = MultiByteToWideChar(kBig5CodePage, 0, text, bytes, &wide[0], units);
    wide.resize(converted > 0 ? static_cast<size_t>(converted) : 0);
    return wide;
}
