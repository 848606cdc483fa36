// The driving frame of the player car.
#include "sim/Player.h"

#include "sim/Car.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"

#include <algorithm>
#include <cmath>

namespace vorlane {

void TPlayer::MoveStep(int moveCount) {
    TGameSprite::MoveStep(moveCount);
    // The frame right after a bounce is not driven.
    if (BounceSkip) {
        BounceSkip = false;
        return;
    }
    ComputeCorners();
    if (ClearNearCars) ClearCarsNearby();
    if (Crashed != 0) {
        CrashStep();
        return;
    }
    if (FinishPassed() || TimeOut) {
        LevelEndStep();
        return;
    }
    OnRoad = TestOnRoad();
    EngineSoundStep();
    HornStep();
    FollowScroll();
    ComputeRearWheels();
    LayMarks();
    Marks.DropOffScreen();
    WeaponStep();

    const double scale = SpeedScale();
    SteerPos = SteerStep(SteerPos, KeyLeft, KeyRight, KeyHandbrake, ScrollSpeed, Speed, scale);

    TSpeedState s;
    s.Speed = Speed;
    s.HasNitro = HasNitro;
    s.NitroLeft = NitroLeft;
    s.NitroBurning = NitroBurning;
    s.Drag = Drag;
    SpeedStep(s, TPedals{KeyUp, KeyDown, KeyHandbrake, KeyNitro}, OnRoad, scale);
    Speed = s.Speed;
    NitroLeft = s.NitroLeft;
    NitroBurning = s.NitroBurning;
    Drag = s.Drag;

    ScrollSpeed = Speed / 10;
    Heading = RoundHalfEven(SteerPos / 2);

    FiringStep();

    // No reversing off the start of the map.
    if (Race().MapRow == kMaxMapRow && Speed < 0) Speed = ScrollSpeed = 0;
}

void TPlayer::FollowScroll() {
    const double w = Width;
    const double h = Height;
    if (NitroFlameL) {
        NitroFlameL->X = std::trunc(X + 8);
        NitroFlameL->Y = std::trunc(Y + h - 8);
    }
    if (NitroFlameR) {
        NitroFlameR->X = std::trunc(X + w - 24);
        NitroFlameR->Y = std::trunc(Y + h - 8);
    }
    if (WeaponSprite) {
        WeaponSprite->X = std::trunc(X + w * 0.5);
        WeaponSprite->Y = std::trunc(Y + h * 0.6);
    }
    // The marks take the same step as the background.
    const TRace& race = Race();
    const double scale = SpeedScale();
    Marks.Scroll(race.ScrollVX * 0.5 * scale, race.ScrollVY * 0.5 * scale);
}

void TPlayer::ClearCarsNearby() {
    TRace& race = Race();
    if (race.Cars) {
        TCar& cars = *race.Cars;
        const int count = std::min(race.CarCount, kMaxCars);
        for (int i = 1; i <= count; ++i) {
            const size_t s = size_t(i);
            if (cars.CarKind[s] == 0 || cars.CarDir[s] == kCarRemoved) continue;
            if (std::abs(cars.CarScreenY(i) - Y) <= 720) {
                cars.CarSpeed[s] = 0;
                cars.CarDir[s] = kCarRemoved;
            }
        }
    }
    ClearNearCars = false;
}

} // namespace vorlane
