#include "MainWindow.h"
#include "Resource.h"

#include "MessageLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>
#include <string>

namespace {

// Failed smart-card calls during a re-check are collected, not shown.
std::string g_failedCalls;
void CollectFailedCall(const char* call)
{
    g_failedCalls += call;
    g_failedCalls += ";";
}

const WCHAR kAboutCaption[] = L"\x95DC\x65BC\x672C\x7A0B\x5F0F";  // 關於本程式

class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        LoadAppStrings(instance);
        SetProbeErrorHandler(CollectFailedCall);
        RegisterMainWindowClass(instance);
    }

    void SetUp() override
    {
        ASSERT_TRUE(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL));
        window_ = MainWindow();
        PumpMessages();
    }

    void TearDown() override
    {
        if (IsWindow(window_))
            DestroyWindow(window_);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ;  // drops the WM_QUIT the destruction posted
    }

    // Runs one turn of the program's message loop on a message posted to the
    // main window.
    void RunLoopOn(UINT message, WPARAM wParam, LPARAM lParam)
    {
        PostMessageA(window_, message, wParam, lParam);
        HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ProcessLoopMessage(msg, accelerators);
    }

    HWND window_ = nullptr;
};

TEST_F(MainWindowTest, UsesTheTitleAndClassNameOfTheStringTable)
{
    WCHAR title[256] = {};
    GetWindowTextW(window_, title, 256);
    EXPECT_STREQ(L"Tavren \x81EA\x7136\x4EBA\x6191\x8B49\x5B89\x88DD\x60C5\x5F62\x6AA2\x67E5\x7A0B\x5F0F", title);
    WCHAR className[256] = {};
    GetClassNameW(window_, className, 256);
    EXPECT_STREQ(L"Tavren  \x81EA\x7136\x4EBA\x6191\x8B49\x5B89\x88DD\x60C5\x5F62\x6AA2\x67E5\x7A0B\x5F0F",
                 className);
    RECT frame;
    GetWindowRect(window_, &frame);
    EXPECT_EQ(800, frame.right - frame.left);
    EXPECT_EQ(700, frame.bottom - frame.top);
}

// The re-check invalidates the whole client area before the checks run and
// the repaint that follows shows the report the checks produced.
TEST_F(MainWindowTest, RecheckRebuildsTheReportAndRepaintsTheWholeClientArea)
{
    strcpy(g_report, "stale");
    ValidateRect(window_, nullptr);
    SendMessageA(window_, WM_COMMAND, IDM_RECHECK, 0);

    EXPECT_EQ(0, strncmp(g_report, "\n   Tavren ", 11));
    RECT client, update;
    GetClientRect(window_, &client);
    ASSERT_TRUE(GetUpdateRect(window_, &update, FALSE));
    EXPECT_TRUE(EqualRect(&client, &update));

    MessageLog::Instance().Flush();
    MessageLog::Instance().RestrictTo({WM_PAINT, WM_ERASEBKGND});
    MessageLog::Instance().Subclass(window_);
    UpdateWindow(window_);
    static const ExpectedMessage repaint[] = {{WM_PAINT, kSent, 0, 0}, {WM_ERASEBKGND, kSent, 0, 0}};
    EXPECT_TRUE(LogMatches(repaint, "re-check repaints once"));
    MessageLog::Instance().RestrictTo({});
}

TEST_F(MainWindowTest, PaintsTheReportIntoTheClientArea)
{
    strcpy(g_report, "\n\n  ################################");
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
    HDC dc = GetDC(window_);
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    int inked = 0;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 60; ++y)
            inked += GetPixel(dc, x, y) != background;
    ReleaseDC(window_, dc);
    EXPECT_GT(inked, 100);
}

// Pixels of Big5 text drawn as the window does, for a given system code page.
std::vector<COLORREF> DrawnPixels(const char* text, UINT systemCodePage)
{
    const int width = 320, height = 40;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    RECT area = {0, 0, width, height};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawBig5Text(dc, &area, text, systemCodePage);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

// On a system whose ANSI code page is not 950 the report is converted
// before drawing; the picture is the one a code-page-950 system shows.
TEST(ReportPainting, ConvertedDrawingLooksLikeTheBig5Drawing)
{
    const char text[] = "\n  \xC0\xCB\xAC\x64\xC5\xAA\xA5\x64\xBE\xF7\n      \xA7\x41\xA6\xB3 1";  // 檢查讀卡機, 你有 1
    const std::vector<COLORREF> big5 = DrawnPixels(text, 950);
    const std::vector<COLORREF> converted = DrawnPixels(text, 1252);
    EXPECT_GT(std::count(big5.begin(), big5.end(), RGB(0, 0, 0)), 50);
    EXPECT_TRUE(big5 == converted);
}

// The about box is modal: a timer inside its loop looks at it and closes it.
struct AboutBoxProbe {
    static std::wstring caption;
    static bool seen;
    static int opened;
    static int ticks;
    static bool closeWithEscape;

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD)
    {
        HWND dialog = FindWindowW(L"#32770", kAboutCaption);
        if (dialog && !seen) {
            seen = true;
            ++opened;
            WCHAR text[64] = {};
            GetWindowTextW(dialog, text, 64);
            caption = text;
            if (closeWithEscape) {
                PostMessageA(GetFocus() ? GetFocus() : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
            } else {
                PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            }
        }
        if (++ticks > 10) {  // never stay in a loop that did not open the box
            KillTimer(nullptr, id);
            if (dialog)
                EndDialog(dialog, IDCANCEL);
            EndMenu();
        }
    }

    static void Reset(bool escape)
    {
        opened = 0;
        caption.clear();
        seen = false;
        ticks = 0;
        closeWithEscape = escape;
    }
};
std::wstring AboutBoxProbe::caption;
bool AboutBoxProbe::seen;
int AboutBoxProbe::opened;
int AboutBoxProbe::ticks;
bool AboutBoxProbe::closeWithEscape;

// The accelerators name character codes with Alt. Windows matches them on
// WM_SYSCHAR; Wine's TranslateAccelerator matches them on a key-down message
// that carries the character code. The test offers both, one after the
// other, and expects exactly one about box either way.
TEST_F(MainWindowTest, AltQuestionMarkAndAltSlashOpenTheAboutBox)
{
    const WPARAM keys[] = {'?', '/'};
    const LPARAM altHeld = 0x20000001;
    for (WPARAM key : keys) {
        for (bool escape : {true, false}) {
            AboutBoxProbe::Reset(escape);
            for (UINT message : {WM_SYSCHAR, WM_SYSKEYDOWN}) {
                AboutBoxProbe::seen = false;
                AboutBoxProbe::ticks = 0;
                UINT_PTR timer = SetTimer(nullptr, 0, 50, AboutBoxProbe::OnTimer);
                RunLoopOn(message, key, altHeld);
                KillTimer(nullptr, timer);
            }
            EXPECT_EQ(1, AboutBoxProbe::opened) << "key " << static_cast<char>(key);
            EXPECT_EQ(std::wstring(kAboutCaption), AboutBoxProbe::caption);
            EXPECT_EQ(nullptr, FindWindowW(L"#32770", kAboutCaption)) << (escape ? "Esc" : "OK");
            EXPECT_TRUE(IsWindowEnabled(window_));
        }
    }
}

TEST_F(MainWindowTest, ExitEndsTheProgram)
{
    SendMessageA(window_, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_FALSE(IsWindow(window_));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, msg.wParam);
}

TEST_F(MainWindowTest, UnhandledMenuBarCommandGoesToTheDefaultProcedure)
{
    EXPECT_EQ(0, SendMessageA(window_, WM_COMMAND, IDM_UNHANDLED, 0));
    EXPECT_TRUE(IsWindow(window_));
}

}  // namespace
