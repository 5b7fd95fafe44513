#pragma once

// The command line "--report=FILE": the report is built and written to FILE
// as its Big5 bytes, without a window. Nothing in this mode waits for a
// person: failed smart-card calls are named on standard error.

// The FILE of such a command line, or null for any other command line.
const char* ReportFileArgument(const char* commandLine);

// Builds the report and writes it; returns the process exit code (0 when
// the file was written).
int WriteReportFile(const char* path);
