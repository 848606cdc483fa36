// The race simulation on its own: this program links vorlane_sim and the engine only
// (no platform, no SDL), lays a race and drives it, and the race tells what happened
// through its host instead of playing sounds or opening dialogs.
#include "sim/BareRace.h"
#include "sim/Player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace vorlane {
namespace {

std::filesystem::path DataRoot() {
    if (const char* dir = std::getenv("VORLANE_DATA_DIR"); dir && *dir) return dir;
    return VORLANE_SOURCE_DIR;
}

bool DataPresent() {
    return std::filesystem::exists(DataRoot() / "Data" / "Res" / "Res2.gfx");
}

TEST(BareRaceSimulation, StartsALevelAndTellsTheHostInsteadOfOpeningTheBanner) {
    if (!DataPresent()) GTEST_SKIP() << "no generated Data/";
    test::BareRace bare(DataRoot(), 7);
    bare.Start(3);
    ASSERT_TRUE(bare.Race);
    const TRace& r = *bare.Race;
    EXPECT_EQ(r.Level, 1);
    EXPECT_EQ(r.Lives, 3);
    EXPECT_EQ(r.Score, 0);
    EXPECT_EQ(r.TimeLeft, 54000);
    ASSERT_NE(r.Player, nullptr);
    EXPECT_EQ(r.Player->CarNo, 3);
    EXPECT_EQ(bare.Host.Events, std::vector<RaceEvent>{RaceEvent::LevelReady});
}

TEST(BareRaceSimulation, DrivesUpTheTrackFromTheFramesActions) {
    if (!DataPresent()) GTEST_SKIP() << "no generated Data/";
    test::BareRace bare(DataRoot(), 7);
    bare.Start(1);
    const TRace& r = *bare.Race;
    const int rowBefore = r.MapRow;
    const int timeBefore = r.TimeLeft;
    TRaceActions go;
    go.Accelerate = true;
    constexpr int kFrames = 300;
    for (int i = 0; i < kFrames; ++i)
        ASSERT_TRUE(RaceStep(bare.World, go, bare.Stats.FrameMs)) << i;
    EXPECT_GT(r.Player->Speed, 0);
    EXPECT_LT(r.MapRow, rowBefore) << "the view did not move up the track";
    EXPECT_EQ(r.TimeLeft, timeBefore - kFrames * bare.Stats.FrameMs);
    // The engine's sound went through the host: the first gear's.
    const auto& fx = bare.Host.Effects;
    EXPECT_NE(std::find(fx.begin(), fx.end(), "Accel1"), fx.end());
}

TEST(BareRaceSimulation, AsksToLeaveOrPauseOnlyThroughItsHost) {
    if (!DataPresent()) GTEST_SKIP() << "no generated Data/";
    test::BareRace bare(DataRoot(), 7);
    bare.Start(1);
    bare.Host.Events.clear();
    TRaceActions ask;
    ask.Leave = true;
    ask.Pause = true;
    RaceStep(bare.World, ask, bare.Stats.FrameMs);
    EXPECT_EQ(bare.Host.Events, (std::vector<RaceEvent>{RaceEvent::LeaveAsked, RaceEvent::PauseAsked}));
    TakeDownRace(bare.World);
    EXPECT_FALSE(bare.Race);
    EXPECT_EQ(bare.Engine.AllCount(), 0);
}

} // namespace
} // namespace vorlane
