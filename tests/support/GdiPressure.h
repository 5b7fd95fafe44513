#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// Wine's GDI handle table holds at most 65,536 handles per process and
// GetGuiResources is a stub there. Filling the table until only a few
// hundred handles remain makes any leaking operation, repeated a thousand
// times, fail quickly and visibly.
class GdiPressure {
public:
    explicit GdiPressure(int handlesLeft = 300);
    ~GdiPressure();
    GdiPressure(const GdiPressure&) = delete;
    GdiPressure& operator=(const GdiPressure&) = delete;

    int Filled() const { return static_cast<int>(brushes_.size()); }

private:
    std::vector<HBRUSH> brushes_;
};

// How many more GDI objects the process can create now.
int FreeGdiHandles();
// The GDI objects `make` leaves behind over `times` calls after a first
// one, the smaller of two such spans: what is made on first use stays
// once, even where it comes later (a control's own thread may draw its
// first frame only then), while a leak shows in both.
int GdiObjectsKept(const std::function<void()>& make, int times);

// How many times a leak test repeats its operation: `suite` in the test
// suite, which has to stay short; `full` with SSO_FULL_LEAK_RUNS=1 in the
// environment, for a longer run by hand with the same checks.
int LeakRounds(int suite, int full);
