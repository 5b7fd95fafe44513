#include "GdiPressure.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

GdiPressure::GdiPressure(int handlesLeft)
{
    for (;;) {
        HBRUSH brush = CreateSolidBrush(RGB(brushes_.size() & 0xFF, 0, 0));
        if (!brush)
            break;
        brushes_.push_back(brush);
    }
    // The table is full; hand back the requested headroom.
    for (int i = 0; i < handlesLeft && !brushes_.empty(); ++i) {
        DeleteObject(brushes_.back());
        brushes_.pop_back();
    }
}

GdiPressure::~GdiPressure()
{
    for (HBRUSH brush : brushes_)
        DeleteObject(brush);
}

int FreeGdiHandles()
{
    std::vector<HBRUSH> probes;
    for (HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3)); probe; probe = CreateSolidBrush(RGB(1, 2, 3)))
        probes.push_back(probe);
    for (HBRUSH probe : probes)
        DeleteObject(probe);
    return static_cast<int>(probes.size());
}

int GdiObjectsKept(const std::function<void()>& make, int times)
{
    make();
    int least = 0;
    for (int span = 0; span < 2; ++span) {
        const int before = FreeGdiHandles();
        for (int i = 0; i < times; ++i)
            make();
        const int kept = before - FreeGdiHandles();
        least = span == 0 ? kept : std::min(least, kept);
    }
    return least;
}

int LeakRounds(int suite, int full)
{
    const char* asked = std::getenv("SSO_FULL_LEAK_RUNS");
    return asked && std::strcmp(asked, "1") == 0 ? full : suite;
}
