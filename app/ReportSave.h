// "儲存報告...": the system's save dialog names a file and the report is
// written there, the same bytes "--report=FILE" writes. The dialog library
// is loaded only when the command is used: a start-up never pays for it.
#pragma once

#include <windows.h>

#include <string>

// "sso-report-YYYYMMDD.txt" for the given day.
std::string DefaultReportFileName(const SYSTEMTIME& day);

// Runs the save dialog (text filter, overwrite prompt, today's default
// name); false when it was cancelled or could not be shown.
bool AskReportSavePath(HWND owner, std::string* path);

// Writes the report to `path`; a failure is told in a message box with the
// reason and the path, and the program goes on. True when written.
bool SaveReportTo(HWND owner, const char* path, const char* report);

// The whole command: asks, then writes.
void SaveReport(HWND owner, const char* report);
