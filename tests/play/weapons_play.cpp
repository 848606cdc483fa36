// The weapons in a real race. First a script for vorlane-play: the race started from
// the menu, Up held straight up the road of seed 1, which runs the car over a machine
// gun and later a rocket launcher, and Z held from the moment the gun is up; the dump
// shows both weapons rise, fire at their rates until spent and sink. Then the same in
// process with the drawn frames read back: the gun's flash, rockets in flight with their
// flames, straight and turned, and a rocket's explosion. Those frames are also written as
// PNG files into the build folder (weapons_play/) for a look.
#include "play/PlayRun.h"

#include "platform/KeyCodes.h"
#include "sim/Car.h"
#include "sim/Man.h"
#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/Rocket.h"
#include "sim/ScrollBackground.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

namespace vorlane::playtest {
namespace {

using test::FormFixture;

std::string At(int frame, const std::string& event) {
    return std::to_string(frame) + " " + event + "\n";
}

// The first dumped frame from `from` on whose field `name` equals v; -1 when none.
int FirstFrameWith(const PlayResult& run, const std::string& name, long long v, int from = 0) {
    for (const Json& f : run.Frames)
        if (f.Int("frame") >= from && f.Has(name) && f.Int(name) == v) return int(f.Int("frame"));
    return -1;
}

// The frames, from `from` up to `to`, on which the ammunition went down.
std::vector<int> ShotFrames(const PlayResult& run, int from, int to) {
    std::vector<int> shots;
    for (int f = from; f < to; ++f)
        if (run.Frame(f).Int("Ammo") < run.Frame(f - 1).Int("Ammo")) shots.push_back(f);
    return shots;
}

bool Has(const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

TEST(WeaponsScript, BothWeaponsPickedUpOnTheRoadRiseFireUntilSpentAndSink) {
    const std::string script =
        At(50, "press Enter") + At(70, "press Enter") + At(260, "down Up") + At(730, "down Z");
    auto run = PlayScript(script, Options().Frames(2700).Shot(737).Shot(1745));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    // Kept for a look: the gun firing, rockets in flight.
    const auto dir = std::filesystem::path(VORLANE_BINARY_DIR) / "weapons_play";
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(run.ShotPath(737), dir / "script_gun.png",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(run.ShotPath(1745), dir / "script_rockets.png",
                               std::filesystem::copy_options::overwrite_existing);

    const int gun = FirstFrameWith(run, "WeaponKind", 3);
    if (gun < 0 || gun > 720)
        GTEST_SKIP() << "the road of seed 1 no longer lays a machine gun in the car's path";
    // Picked up, it rises a stage every 100 ms (10 frames of 11 ms), the first step at once.
    EXPECT_TRUE(Has(run.Frame(gun).List("effects"), "Bonus"));
    EXPECT_EQ(run.Frame(gun).Int("Ammo"), 25);
    for (int stage = 2; stage <= 6; ++stage)
        EXPECT_EQ(run.Frame(gun + 10 * (stage - 2)).Int("WeaponStage"), stage);

    // Z from frame 730 (read at the end of that frame): a shot every 19 frames (the
    // 200 ms cooldown in 11 ms frames) until all 25 are spent, with the gun's loop
    // sounding throughout.
    const int gunGone = FirstFrameWith(run, "WeaponKind", 0, gun);
    ASSERT_GT(gunGone, 0);
    const std::vector<int> gunShots = ShotFrames(run, 731, gunGone);
    ASSERT_EQ(gunShots.size(), 25u);
    EXPECT_EQ(gunShots.front(), 731);
    for (size_t i = 1; i < gunShots.size(); ++i)
        EXPECT_EQ(gunShots[i] - gunShots[i - 1], 19) << i;
    for (int f = gunShots.front(); f < gunShots.back(); f += 7)
        EXPECT_TRUE(Has(run.Frame(f).List("playing"), "MachineGun")) << f;
    // Spent, it sinks (its sound stopped) and is gone within half a second.
    EXPECT_FALSE(Has(run.Frame(gunShots.back() + 1).List("playing"), "MachineGun"));
    EXPECT_LT(gunGone - gunShots.back(), 45);
    EXPECT_EQ(run.Frame(gunGone).Int("WeaponStage"), 1);

    const int launcher = FirstFrameWith(run, "WeaponKind", 4, gunGone);
    if (launcher < 0) GTEST_SKIP() << "the road of seed 1 no longer lays a rocket launcher in the car's path";
    EXPECT_EQ(run.Frame(launcher).Int("Ammo"), 20);
    const int launcherGone = FirstFrameWith(run, "WeaponKind", 0, launcher);
    ASSERT_GT(launcherGone, 0) << "the launcher was not spent within the run";
    // Fire still held: the first rocket as soon as the launcher is up, then one every
    // 46 frames (500 ms), each with its sound, until the 20 are spent.
    const std::vector<int> rocketShots = ShotFrames(run, launcher + 1, launcherGone);
    ASSERT_EQ(rocketShots.size(), 20u);
    EXPECT_EQ(rocketShots.front(), launcher + 40);
    for (size_t i = 1; i < rocketShots.size(); ++i)
        EXPECT_EQ(rocketShots[i] - rocketShots[i - 1], 46) << i;
    for (int f : rocketShots)
        EXPECT_TRUE(Has(run.Frame(f).List("effects"), "Rocket")) << f;
    EXPECT_LT(launcherGone - rocketShots.back(), 60);
}

class WeaponsPlay : public ::testing::Test {
  protected:
    void SetUp() override {
        TMForm& f = Form();
        f.OnFrameDrawn = [this] {
            if (wantShot_) {
                shot_ = Form().Display().ReadPixels();
                wantShot_ = false;
            }
        };
        // New game, then the car selection's start button.
        game_.RunFrames(50);
        game_.Tap(vk::Enter);
        game_.RunFrames(20);
        game_.Tap(vk::Enter);
        ASSERT_TRUE(f.Race);
        for (int i = 0; i < 400 && f.Screen.ActiveDialog != DialogKind::None; ++i)
            game_.RunFrames(1);
        ASSERT_EQ(f.Screen.ActiveDialog, DialogKind::None);
    }
    TMForm& Form() { return game_.Form(); }
    TRace& Race() { return *Form().Race; }
    TPlayer& Car() { return *Race().Player; }

    // Runs one frame and answers what it drew; the picture is also saved as
    // weapons_play_<name>.png in the build folder.
    const RgbaImage& Shot(const std::string& name) {
        wantShot_ = true;
        game_.RunFrames(1);
        EXPECT_FALSE(wantShot_) << "the frame drew nothing";
        const std::filesystem::path dir = std::filesystem::path(VORLANE_BINARY_DIR) / "weapons_play";
        std::filesystem::create_directories(dir);
        SavePng(shot_, (dir / (name + ".png")).string());
        return shot_;
    }
    // The weapon as a bonus gives it, raised before the caller fires.
    void TakeAndRaise(CarItem kind) {
        Car().GiveBonus(kind);
        for (int i = 0; i < 120 && Car().WeaponStage < 6; ++i)
            game_.RunFrames(1);
        ASSERT_EQ(Car().WeaponStage, 6);
    }
    // A walker with its centre at screen point (x, y), on the road or not.
    void PutPedestrian(int slot, double x, double y) {
        const TrackView v = ViewOf(Race());
        TPedestrian& p = Race().Men->Slots[size_t(slot)];
        p = TPedestrian{};
        p.Exists = 1;
        p.Visible = 1;
        p.X = x + Race().MapCol * 72.0 - v.X;
        p.Y = y + Race().MapRow * 72.0 - v.Y;
        p.State = ManState::Up;
        p.Planned = ManState::Up;
        p.Speed = 3;
    }
    TRocket* FlyingRocket() {
        for (TRocket* r : Race().Rockets)
            if (r->InFlight && !r->Exploding) return r;
        return nullptr;
    }

    FormFixture game_;
    bool wantShot_ = false;
    RgbaImage shot_;
};

// Pixels of the flame's yellow and orange (the flame picture's colours) in a box.
int FlamePixels(const RgbaImage& image, int x0, int y0, int x1, int y1, double* meanX = nullptr) {
    int n = 0;
    double sumX = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, image.height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, image.width); ++x) {
            const uint32_t c = Rgb(image, x, y);
            const int r = int(c >> 16) & 0xFF, g = int(c >> 8) & 0xFF, b = int(c) & 0xFF;
            if (r > 200 && g > 90 && b < 120 && r > b + 100) {
                ++n;
                sumX += x;
            }
        }
    if (meanX) *meanX = n ? sumX / n : -1;
    return n;
}

TEST_F(WeaponsPlay, GunFlashesAndRocketsFlyWithTheirFlames) {
    // Up to speed, straight up the road.
    game_.Down(vk::Up);
    game_.RunFrames(150);
    game_.Up(vk::Up);

    // The machine gun: the first shot shows the flash.
    // Z is read at the end of a frame, the shot is made in the next frame's move and
    // drawn in the frame after.
    TakeAndRaise(CarItem::MachineGun);
    game_.Down('Z');
    game_.RunFrames(2);
    const RgbaImage gun = Shot("gun_flash");
    EXPECT_EQ(Car().WeaponSprite->Image()->Name, "GunShooting");
    EXPECT_EQ(Car().Ammo, 24);
    game_.RunFrames(12);
    Shot("gun_between_shots");
    // An opponent car coming down the car's line and a walker beside the line ahead:
    // the gun fells the walker and blows up the car.
    {
        const TrackView v = ViewOf(Race());
        const double ox = Race().MapCol * 72.0 - v.X, oy = Race().MapRow * 72.0 - v.Y;
        TCar& cars = *Race().Cars;
        cars.CarKind[1] = 1;
        cars.CarDir[1] = kCarDown;
        cars.CarSpeed[1] = kCarSpeedDown;
        cars.CarVisible[1] = 1;
        cars.CarExploding[1] = 0;
        cars.CarX[1] = Car().X + Car().Width / 2.0 - 49 + ox;
        cars.CarY[1] = 20 + oy;
        PutPedestrian(2, Car().X + Car().Width / 2.0 + 30, 250);
    }
    const int score = Race().Score;
    for (int i = 0; i < 40 && Race().Cars->CarExploding[1] == 0; ++i)
        game_.RunFrames(1);
    EXPECT_EQ(Race().Cars->CarExploding[1], 1);
    EXPECT_EQ(Race().Men->Slots[2].State, ManState::Lying);
    EXPECT_EQ(Race().Score, score + 15);
    game_.RunFrames(10);
    Shot("gun_hits");
    game_.Up('Z');
    (void)gun;

    // The rocket launcher replaces the gun at once and rises.
    TakeAndRaise(CarItem::RocketLauncher);
    game_.Down('Z');
    game_.RunFrames(8);
    const RgbaImage straight = Shot("rockets_straight");
    TRocket* r = FlyingRocket();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->RocketAngle, 0);
    // Straight up the flame hangs centred under the rocket.
    double meanX = 0;
    const int rx = int(r->X), ry = int(r->Y);
    EXPECT_GT(FlamePixels(straight, rx - 12, ry + r->Height - 14, rx + 24, ry + r->Height + 22, &meanX), 10);
    EXPECT_NEAR(meanX, r->X + r->Width / 2.0, 2.0);
    game_.RunFrames(45);
    Shot("rockets_more");

    // Turned to the right: the rockets fly turned, their flames behind them.
    game_.Down(vk::Up);
    game_.Down(vk::Right);
    game_.RunFrames(40);
    game_.Up(vk::Right);
    // The next rocket fired turned, once it is clear of the car.
    r = nullptr;
    for (int i = 0; i < 120 && !r; ++i) {
        game_.RunFrames(1);
        TRocket* f = FlyingRocket();
        if (f && f->RocketAngle > 0 && f->Y < Car().Y) r = f;
    }
    ASSERT_NE(r, nullptr);
    Shot("rockets_turned");
    game_.Up('Z');
    game_.Up(vk::Up);

    // A walker in a rocket's path: the rocket explodes on it.
    game_.Down(vk::Space);
    game_.RunFrames(60); // the car stands
    game_.Up(vk::Space);
    Car().GiveBonus(CarItem::RocketLauncher);
    for (int i = 0; i < 60; ++i)
        game_.RunFrames(1);
    for (TRocket* rocket : Race().Rockets)
        ASSERT_FALSE(rocket->InFlight);
    game_.Down('Z');
    game_.RunFrames(2);
    game_.Up('Z');
    r = FlyingRocket();
    ASSERT_NE(r, nullptr);
    // 120 pixels along its path (the car still points where it was steered).
    const double a = r->RocketAngle * 2 * std::numbers::pi / 256;
    PutPedestrian(1, r->X + std::sin(a) * 120 - 10, r->Y - std::cos(a) * 120 - 10);
    bool exploded = false;
    for (int i = 0; i < 40 && !exploded; ++i) {
        game_.RunFrames(1);
        exploded = r->Exploding;
    }
    ASSERT_TRUE(exploded);
    game_.RunFrames(12);
    Shot("rocket_explosion");
}

} // namespace
} // namespace vorlane::playtest
