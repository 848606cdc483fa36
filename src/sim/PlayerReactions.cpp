// What happens to the player car: bumps, bounces, hits, the wreck and the way back
// onto the road, pick-ups and scores.
#include "sim/Player.h"

#include "engine/PortableMath.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"

#include <algorithm>
#include <cmath>

namespace vorlane {

namespace {
double Sign(double v) {
    return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0);
}
} // namespace

void TPlayer::AddScore(int n) {
    Race().Score += n;
}

void TPlayer::Bump(double factor) {
    Speed *= factor;
    ScrollSpeed *= factor;
    StopCarSounds(false);
    ResumeCarSounds(false);
    World.PlayEffect("Collision");
}

void TPlayer::Bounce(double v) {
    BounceSkip = true;
    Speed = Sign(Speed) * v;
    ScrollSpeed = v * Sign(ScrollSpeed) / 10;
    // The view is thrown back at once, with the race tick's own formula.
    TRace& race = Race();
    race.ScrollVX = -TurnSin(Heading) * ScrollSpeed;
    race.ScrollVY = TurnCos(Heading) * ScrollSpeed;
    const double scale = SpeedScale();
    SetBackgroundPos(BackgroundX() + race.ScrollVX * 0.5 * scale,
                     BackgroundY() + race.ScrollVY * 0.5 * scale);
    StopCarSounds(false);
    ResumeCarSounds(false);
    World.PlayEffect("Collision");
}

void TPlayer::TakeHit() {
    Energy -= 1;
    if (Energy == 0) {
        Energy = 3;
        Race().Lives -= 1;
        Explode();
    }
}

void TPlayer::Explode() {
    SetCrashState(1);
    DropAll();
    WeaponStage = kWeaponLowered;
    Speed = ScrollSpeed = 0;
    SetAnimation("ExplosionBig", 15);
    World.PlayEffect("Explosion");
    StopCarSounds(false);
    CrashTimer = 2000;
}

void TPlayer::SetCrashState(int c) {
    Crashed = uint8_t(c);
    EngineState = EngineSound::None;
    GunSounding = false;
    HornSounding = false;
}

void TPlayer::DropItem(CarItem item) {
    switch (item) {
    case CarItem::Nitro:
        HasNitro = false;
        NitroLeft = 0;
        break;
    case CarItem::MachineGun:
        World.StopEffect("MachineGun");
        GunSounding = false;
        Ammo = 0;
        break;
    case CarItem::RocketLauncher:
        World.StopEffect("Rocket");
        Ammo = 0;
        break;
    default:
        break;
    }
}

void TPlayer::DropAll() {
    DropItem(CarItem::MachineGun);
    DropItem(CarItem::RocketLauncher);
    DropItem(CarItem::Nitro);
    WeaponKind = CarItem::None;
}

void TPlayer::GiveBonus(CarItem item) {
    switch (item) {
    case CarItem::ExtraLife:
        Race().Lives += 1;
        break;
    case CarItem::Nitro:
        HasNitro = true;
        NitroLeft = 100;
        break;
    case CarItem::MachineGun:
    case CarItem::RocketLauncher:
        GiveWeapon(item);
        break;
    default:
        break;
    }
}

// ---- the wreck ----

void TPlayer::CrashStep() {
    TRace& race = Race();
    // The explosion has played once: the car is shown at its restart position and waits.
    if (FramePosBeforeMove > FramePos) {
        if (race.Lives <= 0) {
            Visible = false;
        } else {
            if (!RespawnFound) FindRespawn();
            SetAnimation(kCarImageName[size_t(CarNo)], 0);
        }
    }
    if (CrashTimer > 0) {
        CrashTimer -= FrameMs();
    } else if (race.Lives <= 0) {
        World.ReportRace(RaceEvent::GameOver);
    } else {
        if (!RespawnFound) FindRespawn();
        Respawn();
    }
}

void TPlayer::FindRespawn() {
    TRace& race = Race();
    // The right-hand lane of a straight road (4) or the upper row of a lane shift (12
    // to the right, 17 to the left), the right-most in its row, in the first row from
    // five below the view's top downward (towards the start of the track). The scan
    // stops where the view would pass the start of the map (MapRow 1490).
    bool found = false;
    for (int a = race.MapRow + 5; a - 4 <= kMaxMapRow && a <= kMapRows && !found; ++a) {
        if (a < 1) continue;
        for (int c = kMapCols; c >= 1; --c) {
            const uint8_t tile = race.Map.At(a, c);
            if (tile == 4) {
                SteerPos = 0;
                race.MapCol = c - 6;
            } else if (tile == 12) {
                SteerPos = 38;
                race.MapCol = c - 7;
            } else if (tile == 17) {
                SteerPos = -38;
                race.MapCol = c - 4;
            } else {
                continue;
            }
            race.MapRow = a - 4;
            found = true;
            break;
        }
    }
    if (!found) {
        // Nothing below the view (the wreck lies at the very start of the track): the
        // car starts again where the level starts, on the straight first rows.
        SteerPos = 0;
        race.MapCol = kStartMapCol;
        race.MapRow = kStartMapRow;
    }
    race.MapCol = std::clamp(race.MapCol, 0, kMaxMapCol);
    Heading = RoundHalfEven(SteerPos / 2);
    SetBackgroundPos(0, 0);
    RespawnFound = true;
    ClearNearCars = true;
}

void TPlayer::Respawn() {
    TimeOut = false;
    Crashed = 0;
    RespawnFound = false;
    LevelEndDone = false;
    BloodLeft = 0;
    ScrollSpeed = 0;
    Speed = 0;
    SetAnimation(kCarImageName[size_t(CarNo)], 0);
}

} // namespace vorlane
