// The race simulation with nothing of the game around it plays the same race as the
// game: the same seed, car and keys give the same state on every frame, in a bare world
// (its own sprite tree, images and random numbers, a host that only writes down) and in
// the whole headless game (keys polled, the panel's texts drawn, effects played).
#include "FormFixture.h"

#include "menus/Screens.h"
#include "platform/KeyCodes.h"
#include "play/RaceDigest.h"
#include "race/Race.h"
#include "sim/BareRace.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::FormFixture;

struct Steering {
    int from; // first frame held
    int to;   // first frame no longer held
    int key;
};

TEST(RaceSimulation, PlaysTheGamesRaceFrameForFrameWithoutTheGame) {
    if (!test::GeneratedDataPresent()) GTEST_SKIP() << "no generated Data/";
    constexpr uint32_t kSeed = 20261211;
    constexpr int kCar = 4;
    constexpr int kFrames = 900;
    // Full throttle with swerves to both sides: the car meets walls, pedestrians,
    // cars and bonuses on the way.
    const Steering steering[] = {
        {120, 170, vk::Left},
        {260, 330, vk::Right},
        {420, 450, vk::Left},
        {600, 700, vk::Right},
    };

    FormFixture game;
    game.RunFrames(46);
    TMForm& form = game.Form();
    CloseMainMenu(form);
    form.Menu.SelectedCar = kCar;
    form.Random.Seed(kSeed);
    StartRace(form);
    ASSERT_TRUE(form.Race);

    test::BareRace bare(test::GeneratedDataRoot(), kSeed);
    bare.Stats = form.Stats;
    bare.Start(kCar);

    game.Down(vk::Up);
    for (int frame = 0; frame < kFrames; ++frame) {
        for (const Steering& s : steering) {
            if (frame == s.from) game.Down(s.key);
            if (frame == s.to) game.Up(s.key);
        }
        form.Input->PollInput();
        TRaceActions actions;
        actions.Accelerate = true;
        for (const Steering& s : steering)
            if (frame >= s.from && frame < s.to) (s.key == vk::Left ? actions.Left : actions.Right) = true;

        game.ClearEffects();
        bare.Host.Effects.clear();
        RaceTick(form, form.Stats.FrameMs);
        RaceStep(bare.World, actions, bare.Stats.FrameMs);

        ASSERT_TRUE(form.Race && bare.Race) << "frame " << frame;
        play::RaceDigest inGame;
        play::RaceDigest alone;
        inGame.Race(*form.Race);
        alone.Race(*bare.Race);
        ASSERT_EQ(inGame.Value(), alone.Value()) << "frame " << frame;
        if (form.Options().SoundOn) {
            ASSERT_EQ(game.Effects(), bare.Host.Effects) << "frame " << frame;
        }
    }
    // The race went somewhere: the car drove up the track.
    EXPECT_LT(bare.Race->MapRow, 1488);
}

} // namespace
} // namespace vorlane
