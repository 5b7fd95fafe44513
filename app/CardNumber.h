#pragma once

#include <windows.h>

#include <string>

class ReportBuffer;

// Receives the name of a smart-card call that failed while the card number
// was read. The program shows it in a message box; the report-file mode and
// the tests send it elsewhere, because nothing there may wait for a person.
typedef void (*ProbeErrorHandler)(const char* failedCall);

void ShowProbeErrorBox(const char* failedCall);

// How long the card-number step waits for the readers, however many are busy.
const DWORD kCardNumberWaitLimitMs = 5000;

// Reads the card number from the first reader whose card accepts a shared
// connection and appends the card-number lines (with an empty number when no
// card could be read). A reader that does not answer within the limit is
// passed over, as one in exclusive use is; its try is left to end by itself.
void AppendCardNumber(ReportBuffer& report, ProbeErrorHandler onError, DWORD waitLimitMs = kCardNumberWaitLimitMs);

// The card number in a READ BINARY response of `received` bytes: the data
// before the status word, up to the first 0x90 or NUL byte. A response that
// does not end in the success status 90 00 carries no number.
std::string ExtractCardNumber(const BYTE* response, DWORD received);
