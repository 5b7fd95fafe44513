// The stress run's random input: every place lies inside its window and in
// its zone, at any window size, and a seed gives its input again.
#include <gtest/gtest.h>

#include "StressEvents.h"

#include <algorithm>

namespace {

struct PlaceCase {
    StressZone zone;
    int across;
    int down;
    RECT within;  // relative to the window's top-left corner
};

// Windows of several sizes, from one pixel up, far from the origin.
const RECT kWindows[] = {{500, 300, 501, 301}, {-40, -30, 20, 10}, {100, 200, 900, 800}};

// The fractions at both ends of their range, and between; edges by side.
const PlaceCase kPlaces[] = {
    {StressZone::Anywhere, 0, 0, {0, 0, 1, 1}},
    {StressZone::Anywhere, 9999, 9999, {-1, -1, 0, 0}},
    {StressZone::CaptionBand, 9999, 9999, {-1, 0, 0, 44}},
    {StressZone::Edge, 5000, 0, {0, 0, 0, 6}},                 // top
    {StressZone::Edge, 5000, 2500 + 9999 / 4, {0, -6, 0, 0}},  // bottom, deepest
    {StressZone::Edge, 0, 5000, {0, 0, 6, 0}},                 // left
    {StressZone::Edge, 9999, 9999, {-6, 0, 0, 0}},             // right, deepest
};

// `within` on `window`: negative left and top, and zero or negative right
// and bottom, count from the far edge; clipped to the window.
RECT Zone(const RECT& within, const RECT& window)
{
    const LONG left = within.left >= 0 ? window.left + within.left : window.right + within.left;
    const LONG top = within.top >= 0 ? window.top + within.top : window.bottom + within.top;
    const LONG right = within.right > 0 ? window.left + within.right : window.right + within.right;
    const LONG bottom = within.bottom > 0 ? window.top + within.bottom : window.bottom + within.bottom;
    return {std::max(window.left, left), std::max(window.top, top), std::min(window.right, right),
            std::min(window.bottom, bottom)};
}

}  // namespace

TEST(StressPlaces, EveryPlaceLiesInsideItsWindowAndItsZone)
{
    for (const RECT& window : kWindows) {
        for (const PlaceCase& row : kPlaces) {
            const POINT point = ResolvePlace({row.zone, row.across, row.down}, window);
            const RECT zone = Zone(row.within, window);
            EXPECT_TRUE(PtInRect(&window, point)) << point.x << "," << point.y << " zone " << int(row.zone);
            EXPECT_TRUE(PtInRect(&zone, point))
                << point.x << "," << point.y << " zone " << int(row.zone) << " at " << row.across << "," << row.down;
        }
    }
}

TEST(StressStream, ASeedGivesItsInputAgainAndEveryEventNamesAWindowOfTheRun)
{
    StressEventStream first(77, 6), again(77, 6), other(78, 6);
    int differing = 0;
    for (int i = 0; i < 2000; ++i) {
        const StressEvent a = first.Next(), b = again.Next(), c = other.Next();
        ASSERT_EQ(Describe(a), Describe(b)) << "event " << i;
        differing += Describe(a) != Describe(c);
        ASSERT_GE(a.window, 0);
        ASSERT_LT(a.window, 6);
    }
    EXPECT_GT(differing, 1000) << "another seed, other input";
}
