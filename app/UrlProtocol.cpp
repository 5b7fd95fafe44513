#include "UrlProtocol.h"

#include <cstring>
#include <vector>

namespace {

const char kProtocolKey[] = "sso";
const char kCommandKey[] = "sso\\shell\\open\\command";
// Long-path-aware systems give paths up to this many characters.
const DWORD kLongestPath = 32768;

void SetKeyString(HKEY key, const char* subKey, const std::string& value)
{
    RegSetValueA(key, subKey, REG_SZ, value.c_str(), static_cast<DWORD>(value.size()));
}

}  // namespace

bool SetClassesRootString(const char* data, DWORD dataLength, const char* subKey, const char* valueName)
{
    HKEY key;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, subKey, &key) != ERROR_SUCCESS)
        return false;
    const bool written =
        RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), dataLength + 1) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

std::string RunningProgramPath()
{
    // A filled buffer may hold a cut path (not even terminated on older
    // systems): it is grown until the whole path fits, never used cut.
    for (DWORD size = MAX_PATH; size <= kLongestPath; size *= 2) {
        std::vector<char> path(size, '\0');
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), size);
        if (length == 0)
            return std::string();
        if (length < size)
            return std::string(path.data(), length);
    }
    return std::string();
}

std::string UrlProtocolCommand(const std::string& programPath)
{
    return "\"" + programPath + "\"";
}

bool UrlProtocolNamesProgram(const std::string& programPath)
{
    char stored[kLongestPath + 3] = {};
    LONG size = sizeof stored;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, kCommandKey, stored, &size) != ERROR_SUCCESS)
        return false;
    // File names compare without case, as the file system compares them.
    return lstrcmpiA(stored, UrlProtocolCommand(programPath).c_str()) == 0;
}

void WriteUrlProtocolRegistration(const std::string& programPath)
{
    if (programPath.empty())
        return;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kProtocolKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        SetKeyString(key, "DefaultIcon", programPath);
        SetKeyString(key, "shell", "open");
        SetKeyString(key, "shell\\open\\command", UrlProtocolCommand(programPath));
        RegCloseKey(key);
    }
    SetClassesRootString("", 0, kProtocolKey, "URL Protocol");
}

bool CommandLineForcesRegistration(const char* commandLine)
{
    return commandLine && strncmp(commandLine, "delete", 6) == 0;
}

void RegisterUrlProtocol(const char* commandLine, const std::string& programPath)
{
    if (CommandLineForcesRegistration(commandLine) || !UrlProtocolNamesProgram(programPath))
        WriteUrlProtocolRegistration(programPath);
}

void RegisterUrlProtocol(const char* commandLine)
{
    RegisterUrlProtocol(commandLine, RunningProgramPath());
}
