// How big a replay gets: a five-minute game at 85 frames a second must stay under
// 64 KB. The sizes are printed, so that a change of the format shows what it costs.
#include "replay/ReplayRecorder.h"

#include "replay/SyntheticRace.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace vorlane {
namespace {

using replaytest::MakeSyntheticRace;
using replaytest::SyntheticRaceSettings;

size_t FileSize(const SyntheticRaceSettings& settings, const char* what) {
    const Replay race = MakeSyntheticRace(settings);
    size_t keyChanges = 0;
    for (size_t i = 1; i < race.Frames.size(); ++i)
        keyChanges += race.Frames[i].Held != race.Frames[i - 1].Held;
    const size_t bytes = WriteReplay(race).size();
    const double minutes = double(settings.Frames) / (85.0 * 60.0);
    std::printf("[ replay size ] %s: %d frames, %zu key changes, %zu bytes (%.0f bytes a minute, %.2f bytes "
                "a frame)\n",
                what, settings.Frames, keyChanges, bytes, double(bytes) / minutes,
                double(bytes) / settings.Frames);
    return bytes;
}

constexpr int kFiveMinutes = 85 * 60 * 5; // 25,500 frames

TEST(ReplaySize, AFiveMinuteGameStaysUnder64KB) {
    // A steady 85 Hz timer with jitter and stalls; about three key changes a second.
    EXPECT_LT(FileSize({kFiveMinutes, 11, 25, false}, "five minutes, typical play"), 64u * 1024u);
    // Busier hands: a key change every fifth frame, 17 a second.
    EXPECT_LT(FileSize({kFiveMinutes, 12, 5, false}, "five minutes, busy keys"), 64u * 1024u);
    // A frame timer whose move counts jump all over 5..20 ms still costs a byte a frame.
    EXPECT_LT(FileSize({kFiveMinutes, 13, 25, true}, "five minutes, erratic timer"), 64u * 1024u);
}

TEST(ReplaySize, QuietFramesCostAlmostNothing) {
    // Standing at the start with nothing pressed and a perfectly steady timer: runs.
    Replay race;
    for (int i = 0; i < kFiveMinutes; ++i)
        race.Frames.push_back({{}, 0, {12, 11, 1.0}});
    race.Outcome.Frames = kFiveMinutes;
    const size_t bytes = WriteReplay(race).size();
    std::printf("[ replay size ] five minutes standing still: %zu bytes\n", bytes);
    EXPECT_LT(bytes, size_t(kFiveMinutes / 64 + 64));
}

} // namespace
} // namespace vorlane
