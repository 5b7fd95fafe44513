// Timing for the benchmarks. An operation and the floor it is compared
// with (a BitBlt of the same area, LZO1X alone, ...) are timed in turns
// within one loop, so both see the same machine load; each is reported as
// the median of its runs, with the ratio of the two and the goal.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

inline double NowMicroseconds()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> times)
{
    if (times.empty())
        return 0;
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

struct Timing {
    double median;  // microseconds
    double floor;   // microseconds
    double Ratio() const { return floor > 0 ? median / floor : 0; }
};

// Runs operation and floor alternately `runs` times after one warm-up of
// each; GDI work is flushed inside each timed run.
inline Timing MeasureAgainst(int runs, const std::function<void()>& operation, const std::function<void()>& floor)
{
    std::vector<double> operationTimes, floorTimes;
    operation();
    floor();
    GdiFlush();
    for (int i = 0; i < runs; ++i) {
        for (int which = 0; which < 2; ++which) {
            const double start = NowMicroseconds();
            (which == 0 ? operation : floor)();
            GdiFlush();
            (which == 0 ? operationTimes : floorTimes).push_back(NowMicroseconds() - start);
        }
    }
    return Timing{Median(operationTimes), Median(floorTimes)};
}

inline void PrintTableHeader(const char* floorName)
{
    std::printf("%-46s %11s %11s %8s %8s  %s\n", "operation", "median us", floorName, "ratio", "goal", "");
}

// A row whose goal is a ratio to the floor.
inline void PrintRatioRow(const char* name, const Timing& timing, double goalRatio)
{
    std::printf("%-46s %11.1f %11.1f %7.2fx %7.1fx  %s\n", name, timing.median, timing.floor, timing.Ratio(), goalRatio,
                timing.Ratio() <= goalRatio ? "met" : "NOT MET");
}

// A row whose goal is a time in microseconds.
inline void PrintTimeRow(const char* name, const Timing& timing, double goalMicroseconds)
{
    std::printf("%-46s %11.1f %11.1f %7.2fx %6.0fus  %s\n", name, timing.median, timing.floor, timing.Ratio(),
                goalMicroseconds, timing.median <= goalMicroseconds ? "met" : "NOT MET");
}

// A row without a goal of its own: a share of another row.
inline void PrintShareRow(const char* name, const Timing& timing)
{
    std::printf("%-46s %11.1f %11.1f %7.2fx %8s\n", name, timing.median, timing.floor, timing.Ratio(), "-");
}
