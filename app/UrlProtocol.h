#pragma once

#include <windows.h>

#include <string>

// The "sso" URL protocol under HKEY_CLASSES_ROOT. The command is the running
// program's own file, quoted and without an argument placeholder: no file of
// the same name in some working folder is ever what a link starts, a path
// with blanks is never split, and no part of a URL reaches the command line.
// No registry result is looked at: without rights on HKEY_CLASSES_ROOT
// start-up simply goes on.

bool SetClassesRootString(const char* data, DWORD dataLength, const char* subKey, const char* valueName);

// The full path of the running program; empty when the system cannot give
// it whole.
std::string RunningProgramPath();

// The protocol's command for a program file: the path in double quotes.
std::string UrlProtocolCommand(const std::string& programPath);

// True when the stored command names exactly this program's file.
bool UrlProtocolNamesProgram(const std::string& programPath);

void WriteUrlProtocolRegistration(const std::string& programPath);

// A command line that begins with exactly "delete" rewrites the
// registration (it removes nothing).
bool CommandLineForcesRegistration(const char* commandLine);

// The start-up step: registers when the key is missing, when it names
// another program, or when forced. Nothing is written without a program path.
void RegisterUrlProtocol(const char* commandLine, const std::string& programPath);
void RegisterUrlProtocol(const char* commandLine);
