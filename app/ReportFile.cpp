#include "ReportFile.h"

#include "MainWindow.h"
#include "Report.h"
#include "StandardError.h"

#include <cstring>

namespace {

void ReportProbeErrorOnStandardError(const char* failedCall)
{
    WriteToStandardError("Error: ");
    WriteToStandardError(failedCall);
    WriteToStandardError("\n");
}

}  // namespace

bool WriteReportText(const char* path, const char* report, DWORD* error)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    const DWORD length = static_cast<DWORD>(strlen(report));
    DWORD written = 0;
    bool ok = WriteFile(file, report, length, &written, nullptr) && written == length;
    if (!ok)
        *error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
    if (!CloseHandle(file) && ok) {
        *error = GetLastError();
        ok = false;
    }
    return ok;
}

int WriteReportFile(const char* path)
{
    BuildReport(g_report, ReportProbeErrorOnStandardError);
    DWORD error = 0;
    if (!WriteReportText(path, g_report, &error)) {
        WriteToStandardError("Cannot write the report file.\n");
        return 1;
    }
    return 0;
}

int ReportBadOption(const char* argument)
{
    WriteToStandardError("Unknown option or option without a value: ");
    WriteToStandardError(argument);
    WriteToStandardError("\n");
    return 2;
}
