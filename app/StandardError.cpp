#include "StandardError.h"

#include <windows.h>

#include <cstring>

void WriteToStandardError(const char* text)
{
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (!error || error == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(error, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
}
