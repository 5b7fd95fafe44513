// Copy and save, as a person uses them from the main window: the clipboard
// holds the report's Unicode text whatever the system's code page, and the
// save dialog, skinned or not, writes the bytes "--report" writes.
#include "MainWindow.h"
#include "Report.h"
#include "ReportClipboard.h"
#include "ReportFile.h"
#include "ReportSave.h"
#include "Resource.h"

#include "core/SkinManager.h"
#include "core/SkinnedWindow.h"
#include "data/SkinObject.h"
#include "SimEnvironment.h"
#include "SkinEngine.h"

#include <dlgs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

void IgnoreFailedCall(const char*) {}

std::string FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string MakeTempFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

class ReportExportTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string error;
        ASSERT_TRUE(SimApplyScenario(SimScenarioPath("default.txt"), &error)) << error;
    }
    static void TearDownTestSuite() { SimReset(nullptr); }

    void OpenMainWindow(bool skinned)
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        skinned_ = skinned;
        if (skinned) {
            ASSERT_TRUE(EngineStart(instance));
            ASSERT_TRUE(LoadSkinFromResource(instance, "SKINRES", "VELTRAMOX"));
            SetDialogSkinName("Dialog");
        }
        LoadAppStrings(instance);
        SetProbeErrorHandler(IgnoreFailedCall);
        RegisterMainWindowClass(instance);
        ASSERT_TRUE(CreateMainWindow(instance, SW_SHOWNORMAL));
        window_ = MainWindow();
    }

    void TearDown() override { CloseMainWindow(); }

    void CloseMainWindow()
    {
        if (IsWindow(window_))
            DestroyWindow(window_);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ;  // drops the WM_QUIT the destruction posted
        if (skinned_)
            EngineStop();
        skinned_ = false;
    }

    HWND window_ = nullptr;
    bool skinned_ = false;
};

std::wstring ClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"<clipboard busy>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

LCID ClipboardLocale()
{
    LCID locale = 0;
    if (!OpenClipboard(nullptr))
        return 0;
    if (HANDLE data = GetClipboardData(CF_LOCALE)) {
        locale = *static_cast<const LCID*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return locale;
}

// The clipboard's text back in Big5 with the report's own line ends.
std::string Big5FromClipboard(const std::wstring& text)
{
    std::wstring lines;
    for (wchar_t c : text)
        if (c != L'\r')
            lines += c;
    const int bytes = WideCharToMultiByte(950, 0, lines.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string big5(bytes > 0 ? bytes : 1, '\0');
    WideCharToMultiByte(950, 0, lines.c_str(), -1, &big5[0], bytes, nullptr, nullptr);
    big5.resize(bytes > 0 ? bytes - 1 : 0);
    return big5;
}

// Ctrl+C and the menu command copy what the window shows. Run by the
// report-file tests under code page 1252 too.
TEST_F(ReportExportTest, CopyPutsTheReportOnTheClipboardAsUnicode)
{
    OpenMainWindow(false);
    struct Row {
        const char* name;
        const char* big5;  // null: the report the checks build
        const wchar_t* expected;
    };
    const Row rows[] = {
        {"a header and a count", "\n  \xC0\xCB\xAC\x64\xC5\xAA\xA5\x64\xBE\xF7\n      \xA7\x41\xA6\xB3 1",
         L"\r\n  \x6AA2\x67E5\x8B80\x5361\x6A5F\r\n      \x4F60\x6709 1"},  // 檢查讀卡機, 你有 1
        {"the default machine's report", nullptr, nullptr},
    };
    SCOPED_TRACE("ANSI code page " + std::to_string(GetACP()));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.big5)
            strcpy(g_report, row.big5);
        else
            BuildReport(g_report, IgnoreFailedCall);
        const std::string shown = g_report;
        SendMessageA(window_, WM_COMMAND, IDM_COPY_REPORT, 0);
        const std::wstring copied = ClipboardText();
        if (row.expected) {
            EXPECT_EQ(std::wstring(row.expected), copied);
        }
        EXPECT_EQ(shown, Big5FromClipboard(copied)) << "round trip to the Big5 report";
        EXPECT_EQ(kReportLocale, ClipboardLocale());
        EXPECT_EQ(shown, g_report) << "the report itself is unchanged";
    }
}

// What a save-dialog script saw and did.
struct DialogRun {
    std::vector<std::function<void(HWND)>> steps;
    size_t next = 0;
    int ticks = 0;
    HWND owner = nullptr;
    bool seen = false;
    std::string offeredName, dialogSkin, listViewSkin;
    std::vector<std::string> comboSkins;
};
DialogRun* g_run;

std::string SkinNameOf(HWND window)
{
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(window);
    return skin && skin->GetSkinObject() ? skin->GetSkinObject()->Name() : "<none>";
}

BOOL CALLBACK NoteControlSkin(HWND child, LPARAM)
{
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "SysListView32") == 0)
        g_run->listViewSkin = SkinNameOf(child);
    else if (lstrcmpiA(className, "ComboBox") == 0)
        g_run->comboSkins.push_back(GetWindowLongA(child, GWL_STYLE) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)
                                        ? "owner-drawn"
                                        : SkinNameOf(child));
    return TRUE;
}

HWND FindOwnedDialog(HWND owner)
{
    for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", nullptr); window;
         window = FindWindowExA(nullptr, window, "#32770", nullptr)) {
        if (GetWindow(window, GW_OWNER) == owner && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

HWND FileNameEdit(HWND dialog)
{
    HWND edit = GetDlgItem(dialog, edt1);
    return edit ? edit : GetDlgItem(dialog, cmb13);
}

// One step of the script per tick, once the dialog is up.
void CALLBACK DriveSaveDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindOwnedDialog(g_run->owner);
    if (dialog && !g_run->seen) {
        g_run->seen = true;
        char offered[MAX_PATH] = {};
        GetWindowTextA(FileNameEdit(dialog), offered, MAX_PATH);
        g_run->offeredName = offered;
        g_run->dialogSkin = SkinNameOf(dialog);
        EnumChildWindows(dialog, NoteControlSkin, 0);
    }
    if (dialog && g_run->next < g_run->steps.size())
        g_run->steps[g_run->next++](dialog);
    if (++g_run->ticks > 60 && dialog)  // never stay in a dialog the script did not close
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    if (g_run->ticks > 80)
        KillTimer(nullptr, timer);
}

std::function<void(HWND)> TypeName(const std::string& name)
{
    return [name](HWND dialog) { SetWindowTextA(FileNameEdit(dialog), name.c_str()); };
}

std::function<void(HWND)> Press(int id)
{
    return [id](HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    };
}

TEST_F(ReportExportTest, SaveDialogWritesTheReportFileBytesSkinnedAsUnskinned)
{
    const std::string folder = MakeTempFolder("sso-save-test");
    const std::string inner = MakeTempFolder("sso-save-test\\inner");
    const std::string reportMode = folder + "\\from-report-option.txt";
    ASSERT_EQ(0, WriteReportFile(reportMode.c_str()));
    const std::string expected = FileBytes(reportMode);
    ASSERT_FALSE(expected.empty());

    struct Row {
        const char* name;
        std::vector<std::function<void(HWND)>> steps;
        std::string written;  // empty: nothing is written
    };
    const std::string typed = folder + "\\typed.txt";
    SYSTEMTIME today;
    GetLocalTime(&today);
    const Row rows[] = {
        {"type a full name and save", {TypeName(typed), Press(IDOK)}, typed},
        {"navigate into a folder, then type a name",
         {TypeName(inner), Press(IDOK), TypeName("navigated.txt"), Press(IDOK)},
         inner + "\\navigated.txt"},
        {"cancel", {TypeName(folder + "\\cancelled.txt"), Press(IDCANCEL)}, ""},
    };
    for (bool skinned : {false, true}) {
        OpenMainWindow(skinned);
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (skinned ? ", skinned" : ", unskinned"));
            DeleteFileA(typed.c_str());
            DeleteFileA((inner + "\\navigated.txt").c_str());
            BuildReport(g_report, IgnoreFailedCall);
            DialogRun run;
            run.steps = row.steps;
            run.owner = window_;
            g_run = &run;
            const UINT_PTR timer = SetTimer(nullptr, 0, 100, DriveSaveDialog);
            SendMessageA(window_, WM_COMMAND, IDM_SAVE_REPORT, 0);
            KillTimer(nullptr, timer);
            ASSERT_TRUE(run.seen) << "the save dialog opened";
            EXPECT_EQ(run.steps.size(), run.next) << "every step ran in the open dialog";
            EXPECT_EQ(nullptr, FindOwnedDialog(window_));
            EXPECT_EQ(DefaultReportFileName(today), run.offeredName);
            if (row.written.empty())
                EXPECT_FALSE(FileExists(folder + "\\cancelled.txt"));
            else
                EXPECT_EQ(expected, FileBytes(row.written));
            EXPECT_TRUE(IsWindow(window_));
            if (skinned) {
                EXPECT_EQ("Dialog", run.dialogSkin);
                EXPECT_EQ("ListCtrl", run.listViewSkin);
                // The dialog's owner-drawn combo boxes stay the system's, as
                // every owner-drawn control does; the others are the skin's.
                EXPECT_NE(run.comboSkins.end(), std::find(run.comboSkins.begin(), run.comboSkins.end(), "ComboBox"));
                for (const std::string& combo : run.comboSkins)
                    EXPECT_TRUE(combo == "ComboBox" || combo == "owner-drawn") << combo;
            } else {
                EXPECT_EQ("<none>", run.dialogSkin);
            }
        }
        CloseMainWindow();
    }
}

struct MessageBoxSeen {
    bool seen = false;
    std::wstring text;
} g_box;

void CALLBACK CloseErrorBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindOwnedDialog(MainWindow());
    if (!box)
        return;
    KillTimer(nullptr, timer);
    g_box.seen = true;
    WCHAR text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    g_box.text = text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(ReportExportTest, AFailedWriteIsToldWithTheReasonAndThePath)
{
    OpenMainWindow(false);
    const std::string folder = MakeTempFolder("sso-save-test");  // a folder cannot be written as a file
    strcpy(g_report, "kept");
    g_box = MessageBoxSeen();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseErrorBox);
    EXPECT_FALSE(SaveReportTo(window_, folder.c_str(), g_report));
    KillTimer(nullptr, timer);
    ASSERT_TRUE(g_box.seen);
    const std::wstring path(folder.begin(), folder.end());
    const size_t at = g_box.text.find(path);
    ASSERT_NE(std::wstring::npos, at) << "the path is named";
    EXPECT_GT(g_box.text.size(), at + path.size() + 4) << "and a reason follows it";
    EXPECT_STREQ("kept", g_report);
    EXPECT_TRUE(IsWindow(window_));
}

}  // namespace
