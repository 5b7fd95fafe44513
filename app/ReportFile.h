#pragma once

// The command line "--report=FILE": the report is built and written to FILE
// as its Big5 bytes, without a window. Nothing in this mode waits for a
// person: failed smart-card calls are named on standard error.

// Builds the report and writes it; returns the process exit code (0 when
// the file was written).
int WriteReportFile(const char* path);

// Names an option the program does not know, or one without its value, on
// standard error; returns the process exit code for it (2).
int ReportBadOption(const char* argument);
