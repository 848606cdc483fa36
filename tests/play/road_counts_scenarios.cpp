// What lives on the road, as vorlane-play's dump counts it while a race runs: the
// opponent cars in the level and those exploding, the pedestrians in the level and
// those lying, the bonuses on the road and the rockets in flight. Two drives up the
// road of level 1 see every count change, each at the frame of its cause.
#include "play/PlayRun.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vorlane::playtest {
namespace {

std::string At(int frame, const std::string& event) {
    return std::to_string(frame) + " " + event + "\n";
}

// New game, the car selection's start button, Up held once the level banner is gone.
std::string DriveUp() {
    return At(50, "press Enter") + At(70, "press Enter") + At(260, "down Up");
}

// The first frame after `from` on which the race's field differs from the frame before;
// -1 when it never does.
int FirstChange(const PlayResult& run, const std::string& field, int from) {
    for (size_t i = 1; i < run.Frames.size(); ++i) {
        const Json& before = run.Frames[i - 1];
        const Json& now = run.Frames[i];
        if (now.Int("frame") <= from || !before.Has(field) || !now.Has(field)) continue;
        if (now.Int(field) != before.Int(field)) return int(now.Int("frame"));
    }
    return -1;
}

bool Played(const Json& frame, const std::string& effect) {
    const std::vector<std::string> effects = frame.List("effects");
    return std::find(effects.begin(), effects.end(), effect) != effects.end();
}

constexpr int RaceStart = 70;

TEST(RoadCounts, ACarExplodesAndLeavesAWalkerLeavesAndOneIsRunOver) {
    // Seed 3: the road brings an oncoming car head-on into the car, a walker off the
    // map's edge and, after a crash, a walker under the wheels.
    auto run = PlayScript(DriveUp(), Options().Seed(3).Frames(2100));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;

    // Laid at the start: some cars (no more than the level's number), walkers and
    // bonuses; nothing exploding, lying or flying.
    const Json& start = run.Frame(RaceStart);
    EXPECT_GT(start.Int("Cars"), 0);
    EXPECT_LE(start.Int("Cars"), start.Int("CarCount"));
    EXPECT_GT(start.Int("Pedestrians"), 0);
    EXPECT_GT(start.Int("Bonuses"), 0);
    EXPECT_EQ(start.Int("CarsExploding"), 0);
    EXPECT_EQ(start.Int("PedestriansLying"), 0);
    EXPECT_EQ(start.Int("RocketsInFlight"), 0);

    // The head-on crash: one car explodes with the sound, and is still counted while
    // it burns.
    const int blast = FirstChange(run, "CarsExploding", RaceStart);
    ASSERT_GT(blast, 0) << "seed 3 no longer brings a car head-on";
    EXPECT_EQ(run.Frame(blast).Int("CarsExploding"), 1);
    EXPECT_TRUE(Played(run.Frame(blast), "Explosion"));
    EXPECT_EQ(run.Frame(blast).Int("Cars"), start.Int("Cars"));
    // The explosion plays its 0.65 s (59 frames of 11 ms), then the car is out of the
    // level: both counts go down on the same frame.
    const int burnt = FirstChange(run, "CarsExploding", blast);
    EXPECT_EQ(burnt - blast, 59);
    EXPECT_EQ(run.Frame(burnt).Int("CarsExploding"), 0);
    EXPECT_EQ(FirstChange(run, "Cars", RaceStart), burnt);
    EXPECT_EQ(run.Frame(burnt).Int("Cars"), start.Int("Cars") - 1);

    // A walker leaves the level over the map's edge: one fewer, none lying.
    const int gone = FirstChange(run, "Pedestrians", RaceStart);
    ASSERT_GT(gone, 0);
    EXPECT_EQ(run.Frame(gone).Int("Pedestrians"), start.Int("Pedestrians") - 1);
    EXPECT_EQ(run.Frame(gone).Int("PedestriansLying"), 0);

    // Run over: the walker falls with its cry and stays in the level, lying.
    const int fell = FirstChange(run, "PedestriansLying", RaceStart);
    ASSERT_GT(fell, 0) << "seed 3 no longer runs a walker over";
    EXPECT_EQ(run.Frame(fell).Int("PedestriansLying"), 1);
    EXPECT_TRUE(Played(run.Frame(fell), "Kill") || Played(run.Frame(fell), "KillW"));
    EXPECT_EQ(run.Frame(fell).Int("Pedestrians"), run.Frame(fell - 1).Int("Pedestrians"));
    EXPECT_EQ(run.Last().Int("PedestriansLying"), 1);
}

TEST(RoadCounts, BonusesArePickedUpAndRocketsFlyAndComeBack) {
    // Seed 1: straight up the road over a machine gun and a rocket launcher, fire held.
    auto run = PlayScript(DriveUp() + At(730, "down Z"), Options().Frames(1800));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    const Json& start = run.Frame(RaceStart);

    // Every pick-up takes one bonus off the road, on the frame of its sound.
    int bonuses = int(start.Int("Bonuses")), pickups = 0;
    for (int f = FirstChange(run, "Bonuses", RaceStart); f > 0; f = FirstChange(run, "Bonuses", f)) {
        EXPECT_EQ(run.Frame(f).Int("Bonuses"), --bonuses) << f;
        EXPECT_TRUE(Played(run.Frame(f), "Bonus")) << f;
        ++pickups;
    }
    EXPECT_GE(pickups, 2) << "the gun and the launcher";

    // Each shot of the launcher puts one more rocket in flight, with its sound; they
    // come back to the pool one by one, and never more than the pool's five fly.
    int launches = 0, returns = 0;
    for (int f = FirstChange(run, "RocketsInFlight", RaceStart); f > 0;
         f = FirstChange(run, "RocketsInFlight", f)) {
        const long long now = run.Frame(f).Int("RocketsInFlight"),
                        before = run.Frame(f - 1).Int("RocketsInFlight");
        EXPECT_LE(now, 5);
        if (now > before) {
            EXPECT_EQ(now, before + 1) << f;
            EXPECT_TRUE(Played(run.Frame(f), "Rocket")) << f;
            ++launches;
        } else {
            EXPECT_EQ(now, before - 1) << f;
            ++returns;
        }
    }
    EXPECT_GE(launches, 2);
    EXPECT_GE(returns, 1);
    EXPECT_EQ(launches - returns, run.Last().Int("RocketsInFlight"));
}

} // namespace
} // namespace vorlane::playtest
