#include "UrlProtocol.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const char kMarker[] = "left by an earlier registration";

class UrlProtocolTest : public testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(MAX_PATH, savedDirectory_);
        RemoveRegistration();
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(savedDirectory_);
        RemoveRegistration();
    }

    static void RemoveRegistration() { SHDeleteKeyA(HKEY_CLASSES_ROOT, "sso"); }

    // A registration as an earlier run left it; the icon value marks it, so
    // a test sees whether anything was written since.
    static void PresetRegistration(const char* command)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, "sso", &key));
        RegSetValueA(key, "DefaultIcon", REG_SZ, kMarker, sizeof kMarker - 1);
        if (*command)
            RegSetValueA(key, "shell\\open\\command", REG_SZ, command, static_cast<DWORD>(strlen(command)));
        RegCloseKey(key);
    }

    // The default value of a subkey of HKEY_CLASSES_ROOT\sso, or "<absent>".
    static std::string DefaultValue(const char* subKey)
    {
        char value[4096] = {};
        LONG size = sizeof value;
        std::string path = std::string("sso\\") + subKey;
        if (RegQueryValueA(HKEY_CLASSES_ROOT, path.c_str(), value, &size) != ERROR_SUCCESS)
            return "<absent>";
        return value;
    }

    char savedDirectory_[MAX_PATH] = {};
};

std::string ThisProgram()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

const char kSpacedProgram[] = "C:\\Program Files\\Tavren SSO\\sso.exe";

struct RegistrationCase {
    const char* name;
    const char* existingCommand;  // null: no key; "": a key without a command; "@": this program's command
    const char* commandLine;
    const char* programPath;  // null: the running program, from a working folder elsewhere
    bool written;
};

const RegistrationCase kRegistrationCases[] = {
    {"no key", nullptr, "", kSpacedProgram, true},
    {"a key without a command", "", "", kSpacedProgram, true},
    {"a key naming this program", "@", "", kSpacedProgram, false},
    {"a key naming this program, 'Delete' does not force", "@", "Delete", kSpacedProgram, false},
    {"a key naming this program, ' delete' does not force", "@", " delete", kSpacedProgram, false},
    {"a key naming this program in other letter case", "\"c:\\program files\\TAVREN SSO\\SSO.EXE\"", "", kSpacedProgram,
     false},
    {"a key naming another folder", "\"C:\\Users\\me\\Downloads\\sso.exe\"", "", kSpacedProgram, true},
    {"this program's path unquoted", "C:\\Program Files\\Tavren SSO\\sso.exe", "", kSpacedProgram, true},
    {"the delete word", "@", "delete-me please", kSpacedProgram, true},
    {"a working folder that differs from the program's", nullptr, "", nullptr, true},
    {"no program path (the system could not give it whole)", nullptr, "", "", false},
};

TEST_F(UrlProtocolTest, RegistrationNamesTheRunningProgramQuoted)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    for (const RegistrationCase& row : kRegistrationCases) {
        SCOPED_TRACE(row.name);
        RemoveRegistration();
        const std::string program = row.programPath ? row.programPath : ThisProgram();
        const std::string quoted = "\"" + program + "\"";
        if (row.existingCommand)
            PresetRegistration(strcmp(row.existingCommand, "@") == 0 ? quoted.c_str() : row.existingCommand);
        if (row.programPath) {
            RegisterUrlProtocol(row.commandLine, row.programPath);
        } else {
            ASSERT_TRUE(SetCurrentDirectoryA(temp));
            RegisterUrlProtocol(row.commandLine);
        }
        if (row.written) {
            EXPECT_EQ(quoted, DefaultValue("shell\\open\\command"));
            EXPECT_EQ(program, DefaultValue("DefaultIcon"));
            EXPECT_EQ("open", DefaultValue("shell"));
        } else {
            EXPECT_EQ(row.existingCommand ? kMarker : "<absent>", DefaultValue("DefaultIcon"));
        }
    }
}

TEST_F(UrlProtocolTest, UrlProtocolValueIsAnEmptyStringOfOneByte)
{
    RegisterUrlProtocol("");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "sso", 0, KEY_READ, &key));
    DWORD type = 0;
    BYTE data[16];
    memset(data, 0x55, sizeof data);
    DWORD size = sizeof data;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "URL Protocol", nullptr, &type, data, &size));
    RegCloseKey(key);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(1u, size);
    EXPECT_EQ(0, data[0]);
}

TEST(UrlProtocolCommandLine, OnlyALeadingLowerCaseDeleteForces)
{
    EXPECT_TRUE(CommandLineForcesRegistration("delete"));
    EXPECT_TRUE(CommandLineForcesRegistration("deleteanything"));
    EXPECT_FALSE(CommandLineForcesRegistration("Delete"));
    EXPECT_FALSE(CommandLineForcesRegistration("delet"));
    EXPECT_FALSE(CommandLineForcesRegistration(""));
    EXPECT_FALSE(CommandLineForcesRegistration(nullptr));
}

}  // namespace
