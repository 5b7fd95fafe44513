#pragma once

#include <windows.h>

#include <iosfwd>
#include <vector>

// Stands in for the window timers of this executable while it lives: the
// code under test's SetTimer and KillTimer calls are recorded and none
// reaches the clock, so a test sees which timer an action starts, by its
// id and its delay, and drives it with WM_TIMER alone. One at a time.
class TimerLog {
public:
    struct Timer {
        HWND window;
        UINT_PTR id;
        UINT delay;
        bool operator==(const Timer& other) const
        {
            return window == other.window && id == other.id && delay == other.delay;
        }
    };

    TimerLog();
    ~TimerLog();
    TimerLog(const TimerLog&) = delete;
    TimerLog& operator=(const TimerLog&) = delete;

    // Set and not killed since, in the order set (a timer set again keeps
    // its place and takes the new delay, as the system's does).
    const std::vector<Timer>& Running() const { return running_; }
    bool IsRunning(HWND window, UINT_PTR id, UINT delay) const;
    bool IsRunning(HWND window, UINT_PTR id) const;

private:
    friend struct TimerLogCalls;
    std::vector<Timer> running_;
};

void PrintTo(const TimerLog::Timer& timer, std::ostream* out);
