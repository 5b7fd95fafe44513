#include "ReportSave.h"

#include "ReportFile.h"

#include <commdlg.h>

#include <cstdio>

namespace {

typedef BOOL(WINAPI* GetSaveFileNameFunction)(OPENFILENAMEA*);

const WCHAR kSaveFailedText[] = L"\x7121\x6CD5\x5132\x5B58\x5831\x544A\xFF1A\n";  // 無法儲存報告：
const WCHAR kSaveCaption[] = L"\x5132\x5B58\x5831\x544A";                         // 儲存報告
const WCHAR kTextFiles[] = L"\x6587\x5B57\x6A94 (*.txt)";                         // 文字檔
const WCHAR kAllFiles[] = L"\x6240\x6709\x6A94\x6848 (*.*)";                      // 所有檔案

// The dialog takes ANSI text: a description the system's code page cannot
// hold is given in English rather than as question marks.
std::string AnsiOr(const WCHAR* text, const char* fallback)
{
    char ansi[128] = {};
    BOOL lossy = FALSE;
    if (!WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, &lossy) || lossy)
        return fallback;
    return ansi;
}

std::string SaveFilter()
{
    std::string filter = AnsiOr(kTextFiles, "Text files (*.txt)");
    filter += '\0';
    filter += "*.txt";
    filter += '\0';
    filter += AnsiOr(kAllFiles, "All files (*.*)");
    filter += '\0';
    filter += "*.*";
    filter += '\0';
    return filter;
}

std::wstring WideFromAnsi(const char* text)
{
    const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 1)
        return std::wstring();
    std::wstring wide(units - 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], units);
    return wide;
}

std::wstring SystemErrorText(DWORD error)
{
    WCHAR* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<WCHAR*>(&text), 0, nullptr);
    std::wstring reason = length ? std::wstring(text, length) : L"error " + std::to_wstring(error);
    if (text)
        LocalFree(text);
    return reason;
}

}  // namespace

std::string DefaultReportFileName(const SYSTEMTIME& day)
{
    char name[32];
    snprintf(name, sizeof name, "sso-report-%04u%02u%02u.txt", day.wYear, day.wMonth, day.wDay);
    return name;
}

bool AskReportSavePath(HWND owner, std::string* path)
{
    // Kept loaded once loaded: the shell pieces the dialog brings stay in
    // use after it closes.
    static HMODULE dialogs = LoadLibraryA("comdlg32.dll");
    if (!dialogs)
        return false;
    const auto getSaveFileName =
        reinterpret_cast<GetSaveFileNameFunction>(reinterpret_cast<void*>(GetProcAddress(dialogs, "GetSaveFileNameA")));
    SYSTEMTIME today;
    GetLocalTime(&today);
    char file[MAX_PATH] = {};
    lstrcpynA(file, DefaultReportFileName(today).c_str(), MAX_PATH);
    const std::string filter = SaveFilter();
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = "txt";
    // The current directory stays the program's: the dialog would otherwise
    // leave it wherever the person browsed to.
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    const bool chosen = getSaveFileName && getSaveFileName(&dialog);
    if (chosen)
        *path = file;
    return chosen;
}

bool SaveReportTo(HWND owner, const char* path, const char* report)
{
    DWORD error = 0;
    if (WriteReportText(path, report, &error))
        return true;
    const std::wstring text = kSaveFailedText + WideFromAnsi(path) + L"\n\n" + SystemErrorText(error);
    MessageBoxW(owner, text.c_str(), kSaveCaption, MB_OK | MB_ICONERROR);
    return false;
}

void SaveReport(HWND owner, const char* report)
{
    std::string path;
    if (AskReportSavePath(owner, &path))
        SaveReportTo(owner, path.c_str(), report);
}
