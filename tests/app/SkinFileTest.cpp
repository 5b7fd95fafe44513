// "--skin=FILE": a skin container from a file, or one clear line on
// standard error and the built-in skin.
#include "SkinEngine.h"
#include "SkinFile.h"
#include "core/SkinManager.h"
#include "data/SkinStore.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string TempPath(const char* name)
{
    char directory[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    return std::string(directory) + name;
}

void WriteBytes(const std::string& path, const void* bytes, size_t size)
{
    std::ofstream file(path, std::ios::binary);
    file.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

// Runs LoadSkinFile with standard error going to a file; returns what it wrote.
std::string StandardErrorOf(const std::string& skinPath, bool& loaded)
{
    const std::string capture = TempPath("sso-skinfile-stderr.txt");
    HANDLE file = CreateFileA(capture.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    HANDLE previous = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_ERROR_HANDLE, file);
    loaded = LoadSkinFile(skinPath.c_str());
    SetStdHandle(STD_ERROR_HANDLE, previous);
    CloseHandle(file);
    std::ifstream in(capture, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    DeleteFileA(capture.c_str());
    return text;
}

std::vector<BYTE> BuiltInSkin()
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, "SKINRES", "VELTRAMOX");
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    return std::vector<BYTE>(bytes, bytes + SizeofResource(module, resource));
}

class SkinFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(EngineStart(GetModuleHandleA(nullptr))); }
    void TearDown() override { EngineStop(); }
};

TEST_F(SkinFileTest, AMissingFileIsNamedWithTheSystemsReasonAndNothingIsLoaded)
{
    bool loaded = true;
    const std::string path = TempPath("no-such-skin.skin");
    const std::string error = StandardErrorOf(path, loaded);
    EXPECT_FALSE(loaded);
    EXPECT_NE(std::string::npos, error.find("\"" + path + "\" cannot be opened: ")) << error;
    EXPECT_EQ(1, std::count(error.begin(), error.end(), '\n')) << "one line: " << error;
}

TEST_F(SkinFileTest, ABrokenOrEmptyFileIsRefusedAndTheSkinInForceStays)
{
    ASSERT_TRUE(LoadSkinFromResource(GetModuleHandleA(nullptr), "SKINRES", "VELTRAMOX"));
    const SkinStore* before = &SkinManager::Instance().GetSkinStore();
    std::vector<BYTE> broken = BuiltInSkin();
    broken.resize(broken.size() / 2);
    const std::string path = TempPath("broken.skin");
    WriteBytes(path, broken.data(), broken.size());
    bool loaded = true;
    EXPECT_NE(std::string::npos, StandardErrorOf(path, loaded).find("is not a skin container"));
    EXPECT_FALSE(loaded);
    EXPECT_EQ(before, &SkinManager::Instance().GetSkinStore());

    WriteBytes(path, "", 0);
    EXPECT_NE(std::string::npos, StandardErrorOf(path, loaded).find("is empty"));
    EXPECT_FALSE(loaded);
    DeleteFileA(path.c_str());
}

TEST_F(SkinFileTest, AContainerFileBecomesTheCurrentSkinSilently)
{
    const std::vector<BYTE> skin = BuiltInSkin();
    const std::string path = TempPath("good.skin");
    WriteBytes(path, skin.data(), skin.size());
    const SkinStore* before = &SkinManager::Instance().GetSkinStore();
    bool loaded = false;
    EXPECT_EQ("", StandardErrorOf(path, loaded));
    EXPECT_TRUE(loaded);
    EXPECT_NE(before, &SkinManager::Instance().GetSkinStore()) << "a new store replaced the old one";
    EXPECT_NE(nullptr, SkinManager::Instance().GetSkinStore().FindObject("MainFrame"));
    DeleteFileA(path.c_str());
}

}  // namespace
