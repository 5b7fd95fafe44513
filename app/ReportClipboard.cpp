#include "ReportClipboard.h"

#include "Big5Text.h"

#include <cstring>

namespace {

// Pasted text breaks lines at CR LF; a lone LF runs the lines together in
// many editors.
std::wstring WithWindowsLineEnds(const std::wstring& text)
{
    std::wstring result;
    result.reserve(text.size() + text.size() / 16);
    for (wchar_t c : text) {
        if (c == L'\n')
            result += L'\r';
        result += c;
    }
    return result;
}

// Hands `size` bytes to the clipboard, which owns them once it took them.
bool PutOnClipboard(UINT format, const void* data, size_t size)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory)
        return false;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return false;
    }
    memcpy(target, data, size);
    GlobalUnlock(memory);
    if (SetClipboardData(format, memory))
        return true;
    GlobalFree(memory);
    return false;
}

}  // namespace

bool CopyReportToClipboard(HWND owner, const char* report)
{
    const std::wstring text = WithWindowsLineEnds(WideFromBig5(report, static_cast<int>(strlen(report))));
    if (!OpenClipboard(owner))
        return false;
    const LCID locale = kReportLocale;
    const bool copied = EmptyClipboard() &&
                        PutOnClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t)) &&
                        PutOnClipboard(CF_LOCALE, &locale, sizeof locale);
    CloseClipboard();
    return copied;
}
