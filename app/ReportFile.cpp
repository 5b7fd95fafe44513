#include "ReportFile.h"

#include "MainWindow.h"
#include "Report.h"
#include "StandardError.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

void ReportProbeErrorOnStandardError(const char* failedCall)
{
    WriteToStandardError("Error: ");
    WriteToStandardError(failedCall);
    WriteToStandardError("\n");
}

}  // namespace

int WriteReportFile(const char* path)
{
    BuildReport(g_report, ReportProbeErrorOnStandardError);
    FILE* file = fopen(path, "wb");
    if (!file) {
        WriteToStandardError("Cannot write the report file.\n");
        return 1;
    }
    const size_t length = strlen(g_report);
    const bool written = fwrite(g_report, 1, length, file) == length;
    const bool closed = fclose(file) == 0;
    if (!written || !closed) {
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
