#pragma once
// A race made by hand for the opponent-car tests: the real game (FormFixture) with a
// race record of a chosen level, its track, the TCar sprite and, when asked, the
// player car. Frames are stepped by calling the cars' MoveStep directly, so nothing
// else moves and the frame statistics are the test's own.
#include "FormFixture.h"
#include "app/TMForm.h"
#include "sim/Car.h"
#include "sim/LevelTable.h"
#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/Rocket.h"
#include "sim/TrackGenerator.h"

#include <memory>

namespace vorlane::test {

class CarsFixture {
  public:
    explicit CarsFixture(uint32_t seed = 1) : game_(Seeded(seed)) {}

    TMForm& Form() { return game_.Form(); }
    TRace& Race() { return *Form().Race; }
    FormFixture& Game() { return game_; }

    // A race at this level: its numbers, a generated track (or a plain one), the view at
    // the start of the road, and the cars laid.
    TCar& StartLevel(int level, bool generatedTrack = true) {
        TMForm& form = Form();
        form.Race = std::make_unique<TRace>();
        TRace& race = *form.Race;
        const LevelParams p = LevelParameters(level);
        race.Level = level;
        race.TrackLength = p.TrackLength;
        race.CarCount = p.CarCount;
        race.TimeLeft = p.TimeLimitMs;
        race.Lives = 3;
        if (generatedTrack) BuildTrack(race.Map, form.Random, p.TrackLength);
        race.MapCol = kStartMapCol;
        race.MapRow = kStartMapRow;
        race.Cars = form.SpriteEngine.Add<TCar>(form.RaceWorld);
        return *race.Cars;
    }

    TPlayer& AddPlayer() {
        TMForm& form = Form();
        Race().Player =
            form.SpriteEngine.Add<TPlayer>(form.RaceWorld, form.Menu.SelectedCar, kPlayerX, kPlayerY);
        Race().Player->ComputeCorners();
        return *Race().Player;
    }

    // Frames at a frame rate: FrameMs and SpeedScale as the frame bookkeeping sets them.
    void SetFrameRate(int frameMs, double speedScale) {
        Form().Stats.FrameMs = frameMs;
        Form().Stats.SpeedScale = speedScale;
    }

    // Empties every slot, so a test can place its own cars.
    static void ClearSlots(TCar& cars) {
        for (int i = 0; i <= kMaxCars; ++i) {
            const size_t s = size_t(i);
            cars.CarKind[s] = cars.CarDir[s] = 0;
            cars.CarX[s] = cars.CarY[s] = 0;
            cars.CarSpeed[s] = 0;
            cars.CarVisible[s] = cars.CarExploding[s] = cars.CarTouching[s] = 0;
            cars.CarExplosionTime[s] = 0;
        }
    }

    // Puts a driving car in slot i with its top-left at world (x, y).
    static void PlaceCar(TCar& cars, int i, int kind, int dir, double x, double y) {
        const size_t s = size_t(i);
        cars.CarKind[s] = uint8_t(kind);
        cars.CarDir[s] = uint8_t(dir);
        cars.CarX[s] = x;
        cars.CarY[s] = y;
        cars.CarSpeed[s] = dir <= kCarUp ? kCarSpeedUp : kCarSpeedDown;
        cars.CarVisible[s] = 1;
        cars.CarExploding[s] = 0;
        cars.CarExplosionTime[s] = 0;
        cars.CarTouching[s] = 0;
    }

    // World point of a screen point with the view where it is (no background sprite:
    // the view's offset is 0).
    double WorldX(double screenX) { return screenX + Race().MapCol * double(kTileSize); }
    double WorldY(double screenY) { return screenY + Race().MapRow * double(kTileSize); }

  private:
    static FormFixture::Options Seeded(uint32_t seed) {
        FormFixture::Options options;
        options.Seed = seed;
        return options;
    }

    FormFixture game_;
};

} // namespace vorlane::test
