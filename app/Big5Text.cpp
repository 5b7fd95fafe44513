#include "Big5Text.h"

std::wstring WideFromBig5(const char* text, int length)
{
    const int units = length > 0 ? MultiByteToWideChar(kBig5CodePage, 0, text, length, nullptr, 0) : 0;
    if (units <= 0)
        return std::wstring();
    std::wstring wide(units, L'\0');
    MultiByteToWideChar(kBig5CodePage, 0, text, length, &wide[0], units);
    return wide;
}
