// "複製報告": the report on the clipboard as Unicode text, so it pastes
// correctly into a mail or a document on any system, whatever its code page.
#pragma once

#include <windows.h>

// Traditional Chinese, Taiwan: the clipboard's locale for the text.
const LCID kReportLocale = 0x0404;

// The Big5 report as CF_UNICODETEXT, with Windows line ends, and its
// CF_LOCALE. False when the clipboard could not be taken or filled.
bool CopyReportToClipboard(HWND owner, const char* report);
