#include "UrlProtocol.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

namespace {

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

    static void CreateEmptyKey()
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, "sso", &key));
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

    static std::string CurrentDirectory()
    {
        char directory[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, directory);
        return directory;
    }

    char savedDirectory_[MAX_PATH] = {};
};

TEST_F(UrlProtocolTest, MissingKeyIsRegisteredWithTheCurrentDirectoryCommand)
{
    ASSERT_FALSE(UrlProtocolRegistered());
    RegisterUrlProtocol("");

    const std::string command = CurrentDirectory() + "\\sso.exe";
    EXPECT_TRUE(UrlProtocolRegistered());
    EXPECT_EQ(command, DefaultValue("DefaultIcon"));
    EXPECT_EQ("open", DefaultValue("shell"));
    EXPECT_EQ(command, DefaultValue("shell\\open\\command"));
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

TEST_F(UrlProtocolTest, PresentKeyIsLeftAloneWithoutTheDeleteWord)
{
    CreateEmptyKey();
    RegisterUrlProtocol("");
    RegisterUrlProtocol("Delete");
    RegisterUrlProtocol(" delete");
    EXPECT_EQ("<absent>", DefaultValue("DefaultIcon"));
    EXPECT_EQ("<absent>", DefaultValue("shell\\open\\command"));
}

TEST_F(UrlProtocolTest, DeleteWordForcesTheRegistrationAndRemovesNothing)
{
    CreateEmptyKey();
    RegisterUrlProtocol("delete-me please");
    EXPECT_EQ(CurrentDirectory() + "\\sso.exe", DefaultValue("shell\\open\\command"));
    RegisterUrlProtocol("delete");
    EXPECT_TRUE(UrlProtocolRegistered());
}

TEST_F(UrlProtocolTest, CommandFollowsTheCurrentDirectoryNotTheProgram)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    ASSERT_TRUE(SetCurrentDirectoryA(temp));
    RegisterUrlProtocol("delete");
    EXPECT_EQ(CurrentDirectory() + "\\sso.exe", DefaultValue("shell\\open\\command"));

    // A drive root already ends in a backslash; the path keeps both.
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    RegisterUrlProtocol("delete");
    EXPECT_EQ("C:\\\\sso.exe", DefaultValue("shell\\open\\command"));
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
