// The report as a screen reader reads it, asked the way readers ask:
// AccessibleObjectFromWindow on the main window, and a WinEvent hook for
// the change a re-check makes.
#include "MainWindow.h"
#include "Resource.h"

#include "AccessibleProbe.h"
#include "MessageLog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

void Ignore(const char*) {}

int g_valueChanges = 0;
void CALLBACK CountValueChange(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (event == EVENT_OBJECT_VALUECHANGE && window == MainWindow() && object == OBJID_CLIENT && child == CHILDID_SELF)
        ++g_valueChanges;
}

class ReportAccessibleTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        LoadAppStrings(instance);
        SetProbeErrorHandler(Ignore);
        RegisterMainWindowClass(instance);
    }

    void SetUp() override
    {
        CoInitialize(nullptr);
        ASSERT_TRUE(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL));
        PumpMessages();
    }

    void TearDown() override
    {
        if (accessible_)
            accessible_->Release();
        DestroyWindow(MainWindow());
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ;  // drops the WM_QUIT the destruction posted
        CoUninitialize();
    }

    IAccessible* Report()
    {
        if (accessible_)
            accessible_->Release();
        accessible_ = AccessibleOf(MainWindow(), OBJID_CLIENT);
        return accessible_;
    }

    IAccessible* accessible_ = nullptr;
};

struct Line {
    long child;
    const wchar_t* text;
};

// 檢查讀卡機 / 你有 1: the first line of the report is empty.
const char kBig5Report[] = "\n  \xC0\xCB\xAC\x64\xC5\xAA\xA5\x64\xBE\xF7\n      \xA7\x41\xA6\xB3 1";
const Line kLines[] = {
    {1, L""},
    {2, L"  \x6AA2\x67E5\x8B80\x5361\x6A5F"},
    {3, L"      \x4F60\x6709 1"},
};

TEST_F(ReportAccessibleTest, TheReportIsAReadOnlyTextWithOneChildPerLine)
{
    strcpy(g_report, kBig5Report);
    IAccessible* report = Report();
    ASSERT_TRUE(report);
    VARIANT role = {}, state = {};
    ASSERT_EQ(S_OK, report->get_accRole(ChildId(CHILDID_SELF), &role));
    EXPECT_EQ(ROLE_SYSTEM_TEXT, role.lVal);
    ASSERT_EQ(S_OK, report->get_accState(ChildId(CHILDID_SELF), &state));
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_READONLY);
    BSTR value = nullptr;
    ASSERT_EQ(S_OK, report->get_accValue(ChildId(CHILDID_SELF), &value));
    EXPECT_EQ(std::wstring(kLines[0].text) + L"\n" + kLines[1].text + L"\n" + kLines[2].text, TakeText(value));
    long count = 0;
    ASSERT_EQ(S_OK, report->get_accChildCount(&count));
    EXPECT_EQ(3, count);

    long previousTop = -1;
    for (const Line& line : kLines) {
        SCOPED_TRACE(line.child);
        BSTR name = nullptr;
        ASSERT_EQ(S_OK, report->get_accName(ChildId(line.child), &name));
        EXPECT_EQ(line.text, TakeText(name));
        ASSERT_EQ(S_OK, report->get_accRole(ChildId(line.child), &role));
        EXPECT_EQ(ROLE_SYSTEM_STATICTEXT, role.lVal);
        long left, top, width, height;
        ASSERT_EQ(S_OK, report->accLocation(&left, &top, &width, &height, ChildId(line.child)));
        EXPECT_GT(top, previousTop) << "the lines are listed in the order they are drawn";
        previousTop = top;
    }
    BSTR none = nullptr;
    EXPECT_EQ(E_INVALIDARG, report->get_accName(ChildId(4), &none));
}

struct Recheck {
    const char* name;
    const char* reportBefore;  // null: the report as the last re-check left it
    int valueChanges;
};

const Recheck kRechecks[] = {
    {"a re-check that changes the report", "stale", 1},
    {"a re-check that finds the same", nullptr, 0},
};

TEST_F(ReportAccessibleTest, AReCheckThatChangesTheReportAnnouncesItsNewValue)
{
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, CountValueChange,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    for (const Recheck& row : kRechecks) {
        SCOPED_TRACE(row.name);
        if (row.reportBefore)
            strcpy(g_report, row.reportBefore);
        PumpMessages();
        g_valueChanges = 0;
        SendMessageA(MainWindow(), WM_COMMAND, IDM_RECHECK, 0);
        PumpMessages();
        EXPECT_EQ(row.valueChanges, g_valueChanges);
        BSTR value = nullptr;
        ASSERT_EQ(S_OK, Report()->get_accValue(ChildId(CHILDID_SELF), &value));
        EXPECT_EQ(0u, TakeText(value).find(L"\n   Tavren ")) << "the value is the new report";
    }
    UnhookWinEvent(hook);
}

}  // namespace
