#pragma once

#include <windows.h>

// The report as a file: the command line "--report=FILE" and the "儲存報告"
// command write the same bytes, the report's Big5 text without a terminator.
// Nothing in the command-line mode waits for a person: failed smart-card
// calls are named on standard error.

// Writes the report's bytes to `path`, replacing any file there; on failure
// *error receives the system's error code.
bool WriteReportText(const char* path, const char* report, DWORD* error);

// Builds the report and writes it; returns the process exit code (0 when
// the file was written).
int WriteReportFile(const char* path);

// Names an option the program does not know, or one without its value, on
// standard error; returns the process exit code for it (2).
int ReportBadOption(const char* argument);
