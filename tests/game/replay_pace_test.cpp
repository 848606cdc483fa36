// The pace of a watched replay: which recorded frames each displayed frame plays.
#include "app/ReplayPace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlane {
namespace {

struct PaceCase {
    std::string What;
    std::vector<int> Lags;   // the recorded frames' move counts
    std::vector<int> Shown;  // how long each displayed frame took
    std::vector<int> Played; // recorded frames played on each displayed frame
    long long OwedAfter;     // milliseconds owed after the last displayed frame
};

std::vector<int> Repeat(int value, int count, std::vector<int> before = {}, std::vector<int> after = {}) {
    before.insert(before.end(), size_t(count), value);
    before.insert(before.end(), after.begin(), after.end());
    return before;
}

TEST(ReplayPace, ALongFrameWaitsItsOwnTimeAndAWatcherFarBehindCatchesUpOnlyBriefly) {
    const PaceCase cases[] = {
        // A display twice as fast as the race: every other displayed frame plays one.
        {"faster display", {10, 10, 10}, Repeat(5, 6), {0, 1, 0, 1, 0, 1}, 0},
        // A display slower than the race: two or three recorded frames on each.
        {"slower display", Repeat(10, 8), Repeat(25, 3), {2, 3, 2}, 5},
        // A recorded frame of 300 ms (the race's machine stalled) comes 300 ms after
        // the one before, however much longer that is than the cut-off of a watcher
        // behind: it is never cut while nothing else is due.
        {"long recorded frame", {10, 300, 10}, Repeat(20, 17), Repeat(0, 14, {1}, {2, 0}), 20},
        // The watcher stalled for a second: four recorded frames on that displayed
        // frame, and no more than 250 ms still owed instead of 952.
        {"watcher stalled", Repeat(10, 100), {1000}, {4}, 250},
        // ... and catching up, four a frame until it is back on the race's pace.
        {"catching up", Repeat(10, 100), Repeat(20, 13, {1000}), Repeat(4, 12, {4}, {3}), 0},
        // Stalled before a long recorded frame: that frame comes on the next displayed
        // frame (what is owed is cut to its own length, not below).
        {"stalled before a long frame", {10, 10, 10, 10, 600, 10}, {1000, 20}, {4, 2}, 10},
    };
    for (const PaceCase& c : cases) {
        SCOPED_TRACE(c.What);
        TReplayPace pace;
        size_t next = 0;
        const auto lagOf = [&c](size_t i) { return i < c.Lags.size() ? c.Lags[i] : 0; };
        std::vector<int> played;
        for (int ms : c.Shown) {
            pace.Elapse(ms);
            while (next < c.Lags.size() && pace.Due(lagOf(next))) {
                pace.Played(lagOf(next));
                ++next;
            }
            played.push_back(pace.PlayedThisFrame());
            pace.Settle(lagOf(next));
        }
        EXPECT_EQ(played, c.Played);
        EXPECT_EQ(pace.OwedMs(), c.OwedAfter);
    }
}

TEST(ReplayPace, APauseStartsAfresh) {
    TReplayPace pace;
    pace.Elapse(30);
    ASSERT_TRUE(pace.Due(20));
    pace.Restart();
    EXPECT_FALSE(pace.Due(20));
    EXPECT_EQ(pace.OwedMs(), 0);
    pace.Elapse(-5); // a clock that went back owes nothing
    EXPECT_EQ(pace.OwedMs(), 0);
    pace.Elapse(20);
    EXPECT_TRUE(pace.Due(20));
}

} // namespace
} // namespace vorlane
