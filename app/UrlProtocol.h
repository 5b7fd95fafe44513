#pragma once

#include <windows.h>

// The "sso" URL protocol under HKEY_CLASSES_ROOT. The command is the current
// directory followed by "\sso.exe". No registry result is looked at: without
// rights on HKEY_CLASSES_ROOT start-up simply goes on.

bool SetClassesRootString(const char* data, DWORD dataLength, const char* subKey, const char* valueName);

bool UrlProtocolRegistered();

void WriteUrlProtocolRegistration();

// A command line that begins with exactly "delete" rewrites the
// registration (it removes nothing).
bool CommandLineForcesRegistration(const char* commandLine);

// The start-up step: registers when the key is missing or forced.
void RegisterUrlProtocol(const char* commandLine);
