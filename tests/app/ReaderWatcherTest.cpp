// The report follows the readers and cards: each change the watcher sees
// brings exactly one notice to the main window, the window's settle timer
// then re-checks once, and nothing comes after the window is gone. The
// simulated service is changed under the running watcher.
#include "ReaderWatcher.h"
#include "MainWindow.h"
#include "Resource.h"

#include "SimEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string g_failedCalls;
void CollectFailedCall(const char* call)
{
    g_failedCalls += call;
    g_failedCalls += ";";
}

// The back-off as the watcher asks for it, without its real length.
std::vector<DWORD> g_backoffs;
DWORD RecordBackoff(HANDLE stop, DWORD milliseconds)
{
    g_backoffs.push_back(milliseconds);
    return WaitForSingleObject(stop, 30);
}

const char kEmptyReader[] = "[reader]\nname = Reader A\n";
const char kCardInA[] = "[reader]\nname = Reader A\ncard = inserted\natr = 3B 8A 80 01\n";
const char kSecondReader[] = "[reader]\nname = Reader B\n";

class ReaderWatcherTest : public testing::Test {
protected:
    void SetUp() override
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        LoadAppStrings(instance);
        SetProbeErrorHandler(CollectFailedCall);
        SetReaderWatcherWait(RecordBackoff);
        RegisterMainWindowClass(instance);
        Apply(kEmptyReader);
        ASSERT_TRUE(CreateMainWindow(instance, SW_SHOWNORMAL));
        window_ = MainWindow();
        SendMessageA(window_, WM_COMMAND, IDM_RECHECK, 0);
        ASSERT_TRUE(StartReaderWatcher(window_, kReadersChangedMessage));
        Sleep(200);  // the watcher learns the states it measures changes against
    }

    void TearDown() override
    {
        if (IsWindow(window_))
            DestroyWindow(window_);
        StopReaderWatcher();
        SetReaderWatcherWait(nullptr);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ;
        SimReset(nullptr);
    }

    static void Apply(const std::string& scenario)
    {
        std::string error;
        ASSERT_TRUE(SimApplyScenarioText(scenario, &error)) << error;
    }

    // The notices that reach the thread within `milliseconds`, taken out
    // of the queue undelivered.
    static int NoticesWithin(DWORD milliseconds)
    {
        int notices = 0;
        const DWORD start = GetTickCount();
        for (;;) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, kReadersChangedMessage, kReadersChangedMessage, PM_REMOVE))
                ++notices;
            if (GetTickCount() - start >= milliseconds)
                return notices;
            Sleep(10);
        }
    }

    // Delivers a notice and then the settle timer it set: the one re-check.
    // False when the notice set no timer.
    bool SettleAndRecheck()
    {
        SendMessageA(window_, kReadersChangedMessage, 0, 0);
        if (!KillTimer(window_, kSettleTimer))
            return false;
        SendMessageA(window_, WM_TIMER, kSettleTimer, 0);
        Sleep(200);  // the restarted watcher learns the new states
        return true;
    }

    bool ReportHas(const char* big5) const { return std::string(g_report).find(big5) != std::string::npos; }

    HWND window_ = nullptr;
};

const char kOneReader[] = "\xA7\x41\xA6\xB3 1 \xA5\x78\xC5\xAA\xA5\x64\xBE\xF7";   // 你有 1 台讀卡機
const char kTwoReaders[] = "\xA7\x41\xA6\xB3 2 \xA5\x78\xC5\xAA\xA5\x64\xBE\xF7";  // 你有 2 台讀卡機
const char kNoReaders[] = "\xA7\x41\xA6\xB3 0 \xA5\x78\xC5\xAA\xA5\x64\xBE\xF7";   // 你有 0 台讀卡機
const char kCardPresent[] = "\xA6\xB3\xB4\xA1\xA5\x64";                            // 有插卡
const char kNoCard[] = "\xA8\x53\xA6\xB3\xB4\xA1\xA5\x64";                         // 沒有插卡

TEST_F(ReaderWatcherTest, EachChangeBringsOneNoticeAndOneQuietRecheck)
{
    struct Row {
        const char* change;
        std::string scenario;
        const char* reportShows;
    };
    const Row rows[] = {
        {"a card inserted", kCardInA, kCardPresent},
        {"the card removed", kEmptyReader, kNoCard},
        {"a reader added", std::string(kEmptyReader) + kSecondReader, kTwoReaders},
        {"a reader removed", kEmptyReader, kOneReader},
        {"the service stopping", "service = stopped\n", kNoReaders},
        {"the service returning", kCardInA, kCardPresent},
    };
    ASSERT_EQ(0, NoticesWithin(300)) << "the start is no change";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.change);
        g_failedCalls.clear();
        g_backoffs.clear();
        Apply(row.scenario);
        EXPECT_EQ(1, NoticesWithin(600));
        EXPECT_TRUE(SettleAndRecheck()) << "the notice waits for the changes to settle";
        EXPECT_TRUE(ReportHas(row.reportShows));
        EXPECT_EQ("", g_failedCalls) << "a re-check nobody asked for shows no message boxes";
        EXPECT_EQ(0, NoticesWithin(300)) << "nothing more without a change";
        for (DWORD backoff : g_backoffs)
            EXPECT_GE(backoff, kServiceBackoffMs) << "the service is asked again after a pause only";
    }
}

TEST_F(ReaderWatcherTest, TheServiceAwayIsAskedAfterEverLongerPausesOnly)
{
    Apply("service = stopped\n");
    EXPECT_EQ(1, NoticesWithin(400));
    ASSERT_TRUE(SettleAndRecheck());
    EXPECT_EQ("", g_failedCalls);
    g_backoffs.clear();
    EXPECT_EQ(0, NoticesWithin(300));
    ASSERT_GE(g_backoffs.size(), 3u) << "the watcher keeps trying";
    for (size_t i = 0; i < g_backoffs.size(); ++i) {
        EXPECT_GE(g_backoffs[i], kServiceBackoffMs);
        EXPECT_LE(g_backoffs[i], kLongestServiceBackoffMs);
        if (i > 0) {
            EXPECT_GE(g_backoffs[i], g_backoffs[i - 1]);
        }
    }
    // The command asked for by the person still names the failed calls.
    SendMessageA(window_, WM_COMMAND, IDM_RECHECK, 0);
    EXPECT_EQ("SCardEstablishContext;SCardListReaders;", g_failedCalls);
}

TEST_F(ReaderWatcherTest, NothingFollowsTheWindowsEnd)
{
    const std::string shown = g_report;
    DestroyWindow(window_);
    EXPECT_FALSE(StopReaderWatcher()) << "the window's end ended the watcher";
    NoticesWithin(0);  // whatever was queued before the end has no window to reach
    Apply(kCardInA);
    EXPECT_EQ(0, NoticesWithin(400));
    EXPECT_EQ(shown, g_report);
}

TEST_F(ReaderWatcherTest, RecheckCommandRestartsTheWatcherWithoutAnOldNotice)
{
    Apply(kCardInA);
    Sleep(300);  // the notice is queued, not yet delivered
    SendMessageA(window_, WM_COMMAND, IDM_RECHECK, 0);
    EXPECT_TRUE(ReportHas(kCardPresent));
    EXPECT_EQ(0, NoticesWithin(300)) << "the re-check covered the change";
    Apply(kEmptyReader);
    EXPECT_EQ(1, NoticesWithin(600)) << "and the watcher runs again";
}

}  // namespace
