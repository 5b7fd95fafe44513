#include "UrlProtocol.h"

#include <cstring>

namespace {

const char kProtocolKey[] = "sso";
const DWORD kDirectorySize = 2000;

}  // namespace

bool SetClassesRootString(const char* data, DWORD dataLength, const char* subKey, const char* valueName)
{
    HKEY key;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, subKey, &key) != ERROR_SUCCESS)
        return false;
    const bool written = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                                        dataLength + 1) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

bool UrlProtocolRegistered()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kProtocolKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void WriteUrlProtocolRegistration()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kProtocolKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
        char path[kDirectorySize + sizeof "\\sso.exe"] = {};
        const DWORD length = GetCurrentDirectoryA(kDirectorySize, path);
        // A directory too long for the buffer is not written as a wrong path.
        if (length != 0 && length < kDirectorySize) {
            strcpy(path + length, "\\sso.exe");
            RegSetValueA(key, "DefaultIcon", REG_SZ, path, static_cast<DWORD>(strlen(path)));
            RegSetValueA(key, "shell", REG_SZ, "open", 4);
            RegSetValueA(key, "shell\\open\\command", REG_SZ, path, static_cast<DWORD>(strlen(path)));
        }
        RegCloseKey(key);
    }
    SetClassesRootString("", 0, kProtocolKey, "URL Protocol");
}

bool CommandLineForcesRegistration(const char* commandLine)
{
    return commandLine && strncmp(commandLine, "delete", 6) == 0;
}

void RegisterUrlProtocol(const char* commandLine)
{
    if (!UrlProtocolRegistered())
        WriteUrlProtocolRegistration();
    if (CommandLineForcesRegistration(commandLine))
        WriteUrlProtocolRegistration();
}
