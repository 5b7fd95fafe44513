#include "imaging/TempFiles.h"
#include "imaging/WindowHelpers.h"
#include "imaging/WindowsVersion.h"

#include "DcStateCheck.h"
#include "Surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const char kSampleText[] = "Clip bytes for the resource extraction test.\n";

std::string ReadFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

struct TempName {
    TempName() { MakeTempFilePath(path, sizeof path, "x.avi", "C:\\", nullptr); }
    ~TempName() { DeleteFileA(path); }
    char path[MAX_PATH];
};

HWND CreateTestWindow()
{
    return CreateWindowExA(0, "STATIC", "t", WS_POPUP, 100, 50, 40, 30, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TEST(WindowsVersion, MapsVersionNumbersToClasses)
{
    EXPECT_EQ(WindowsNt4, ClassifyWindowsVersion(true, 4, 0));
    EXPECT_EQ(Windows2000, ClassifyWindowsVersion(true, 5, 0));
    EXPECT_EQ(WindowsXp, ClassifyWindowsVersion(true, 5, 1));
    EXPECT_EQ(WindowsNtOther, ClassifyWindowsVersion(true, 5, 2)) << "Server 2003";
    EXPECT_EQ(WindowsNtOther, ClassifyWindowsVersion(true, 6, 0));
    EXPECT_EQ(WindowsNtOther, ClassifyWindowsVersion(true, 6, 1));
    EXPECT_EQ(WindowsNtOther, ClassifyWindowsVersion(true, 10, 0));
    EXPECT_EQ(WindowsWin32s, ClassifyWindowsVersion(false, 3, 95));
    EXPECT_EQ(Windows95Family, ClassifyWindowsVersion(false, 4, 0));
    EXPECT_EQ(Windows98, ClassifyWindowsVersion(false, 4, 10));
    EXPECT_EQ(WindowsMe, ClassifyWindowsVersion(false, 4, 90));
}

TEST(WindowsVersion, RunningSystemAgreesWithTheMapping)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(ClassifyWindowsVersion(info.dwPlatformId == VER_PLATFORM_WIN32_NT, info.dwMajorVersion,
                                     info.dwMinorVersion),
              GetWindowsVersionClass());
}

TEST(TempFiles, UniqueNameGetsTheExtension)
{
    char path[MAX_PATH];
    ASSERT_TRUE(MakeTempFilePath(path, sizeof path, "clip.avi", "C:\\", "AVI"));
    const std::string name(path);
    ASSERT_TRUE(EndsWith(name, ".AVI")) << name;
    const std::string unique = name.substr(0, name.size() - 4);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(unique.c_str())) << "the system made " << unique;
    EXPECT_NE(std::string::npos, unique.find("\\VX")) << unique;
    DeleteFileA(unique.c_str());
}

TEST(TempFiles, TooSmallBufferGivesEmptyText)
{
    char path[8];
    EXPECT_FALSE(MakeTempFilePath(path, sizeof path, "clip.avi", "C:\\", "AVI"));
    EXPECT_STREQ("", path);
}

TEST(TempFiles, JoinAddsOneBackslash)
{
    char path[MAX_PATH];
    ASSERT_TRUE(JoinPath(path, sizeof path, "C:\\temp", "a.avi"));
    EXPECT_STREQ("C:\\temp\\a.avi", path);
    ASSERT_TRUE(JoinPath(path, sizeof path, "C:\\temp\\", "a.avi"));
    EXPECT_STREQ("C:\\temp\\a.avi", path);
    // Big5 0xB3 0x5C ends in the byte of a backslash but is one character.
    ASSERT_TRUE(JoinPath(path, sizeof path, "C:\\\xB3\x5C", "a.avi"));
    EXPECT_STREQ("C:\\\xB3\x5C\\a.avi", path);
    EXPECT_FALSE(JoinPath(path, 8, "C:\\temp", "a.avi"));
    EXPECT_STREQ("", path);
}

TEST(TempFiles, ResourceIsWrittenWhole)
{
    TempName file;
    ASSERT_EQ(1, ExtractResourceToFile(file.path, GetModuleHandleA(nullptr), "SAMPLECLIP", "TESTDATA"));
    const std::string text = ReadFile(file.path);
    EXPECT_EQ(0u, text.find("Clip bytes for the resource extraction test."));
    EXPECT_LE(text.size(), sizeof kSampleText + 1) << "resource data may be padded";
}

TEST(TempFiles, MissingResourceWritesNothing)
{
    TempName file;
    DeleteFileA(file.path);
    EXPECT_EQ(0, ExtractResourceToFile(file.path, GetModuleHandleA(nullptr), "NOSUCHCLIP", "TESTDATA"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.path));
    EXPECT_EQ(0, ExtractResourceToFile("Z:\\no\\such\\dir\\x.avi", GetModuleHandleA(nullptr), "SAMPLECLIP",
                                       "TESTDATA"));
}

TEST(WindowHelpers, RectanglesConvertBothCorners)
{
    HWND window = CreateTestWindow();
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    RECT rect = {1, 2, 3, 4};
    ClientToScreenRect(window, rect);
    EXPECT_EQ(origin.x + 1, rect.left);
    EXPECT_EQ(origin.y + 4, rect.bottom);
    ScreenToClientRect(window, rect);
    EXPECT_EQ(3, rect.right);
    EXPECT_EQ(2, rect.top);
    DestroyWindow(window);
}

TEST(WindowHelpers, MenuItemTextByPositionAndCommand)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 101, "&Open");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, 102, "E&xit");
    EXPECT_STREQ("&Open", GetMenuItemText(menu, 0, true));
    EXPECT_STREQ("E&xit", GetMenuItemText(menu, 102, false));
    EXPECT_STREQ("", GetMenuItemText(menu, 1, true)) << "the shared buffer is cleared";
    EXPECT_STREQ("", GetMenuItemText(menu, 999, false));
    DestroyMenu(menu);
}

TEST(WindowHelpers, SmallIconOfTheWindowIsDrawn)
{
    BYTE andMask[16 * 16 / 8];
    BYTE xorMask[16 * 16 / 8];
    std::memset(andMask, 0, sizeof andMask);
    std::memset(xorMask, 0xFF, sizeof xorMask);
    HICON icon = CreateIcon(nullptr, 16, 16, 1, 1, andMask, xorMask);
    HWND window = CreateTestWindow();
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    Surface surface(20, 20, RGB(0, 0, 0));
    const DcState before(surface.Dc());
    EXPECT_TRUE(DrawWindowSmallIcon(window, surface.Dc(), POINT{2, 2}));
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_TRUE(surface.AllAre(2, 2, 18, 18, RGB(255, 255, 255)));
    EXPECT_EQ(0, surface.Count(0, 0, 2, 20, RGB(255, 255, 255)));
    DestroyWindow(window);
    DestroyIcon(icon);
}

TEST(WindowHelpers, WindowWithoutIconShowsItsModulesIcon)
{
    HWND window = CreateTestWindow();
    Surface surface(20, 20, RGB(0, 0, 0));
    const DcState before(surface.Dc());
    EXPECT_TRUE(DrawWindowSmallIcon(window, surface.Dc(), POINT{2, 2}));
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_TRUE(surface.AllAre(2, 2, 18, 18, RGB(32, 192, 48))) << "the icon of DrawTestResources.rc";
    DestroyWindow(window);
}
