// The player car's weapons: the machine gun and the rocket launcher picked up from
// bonuses. A weapon rises out of the roof in five steps before it can fire and sinks
// back the same way once its ammunition is spent. The gun hits at once along a ray in
// the car's direction; the launcher sends rockets from alternate sides of the car.
#include "sim/Player.h"

#include "engine/PortableMath.h"
#include "sim/Car.h"
#include "sim/Man.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"
#include "sim/Rocket.h"
#include "sim/ScrollBackground.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <strings.h>

namespace vorlane {

namespace {

constexpr int kStageStepMs = 100; // one step of raising or lowering, and the gun's flash
constexpr int kGunCooldownMs = 200;
constexpr int kLauncherCooldownMs = 500;
constexpr int kGunAmmo = 25;
constexpr int kLauncherAmmo = 20;
constexpr int kRocketLaunchSpeed = 18;
constexpr double kGunRayStep = 5; // pixels per step of the gun's ray
constexpr double kGunReach = 50;  // a pedestrian this close to the ray on both axes falls
constexpr int kGunRayRight = 700; // the ray ends where it leaves the track part of the screen
constexpr int kGunRayBottom = 600;
// While the gun flashes its picture sits a little higher on the roof, car by car.
constexpr double kGunShootingLift[6] = {0.185, 0.202, 0.17, 0.175, 0.18, 0.2};

std::string StageImage(CarItem weapon, int stage) {
    return (weapon == CarItem::MachineGun ? "GunAnim_" : "RocketAnim_") + std::to_string(stage);
}

} // namespace

void TPlayer::GiveWeapon(CarItem weapon) {
    if (weapon != CarItem::MachineGun && weapon != CarItem::RocketLauncher) return;
    // The other weapon goes at once, with its ammunition and sound.
    DropItem(weapon == CarItem::MachineGun ? CarItem::RocketLauncher : CarItem::MachineGun);
    if (WeaponKind != weapon) {
        WeaponStage = kWeaponLowered;
        WeaponKind = weapon;
    }
    // The weapon already carried keeps its stage and is refilled.
    Ammo = weapon == CarItem::MachineGun ? kGunAmmo : kLauncherAmmo;
    WeaponSprite->SetImageCentered(StageImage(weapon, WeaponStage), std::trunc(X + Width * 0.5),
                                   std::trunc(Y + Height * 0.6));
}

void TPlayer::WeaponStep() {
    const int frameMs = World.Stats().FrameMs;
    // 1. The gun's flash ends: back to the picture of the stage.
    if (ShotFlash == 1) {
        if (WeaponStageTimer > 0) WeaponStageTimer -= frameMs;
        if (WeaponStageTimer <= 0) {
            WeaponStageTimer = 0;
            WeaponSprite->SetImageCentered(StageImage(WeaponKind, WeaponStage), std::trunc(WeaponSprite->X),
                                           std::trunc(WeaponSprite->Y));
            ShotFlash = 0;
        }
    }
    const double cx = std::trunc(X + Width * 0.5);
    const double cy = std::trunc(Y + Height * 0.6);
    // 2. Raising, one stage every 100 ms.
    if (WeaponStage < kWeaponRaised && WeaponKind != CarItem::None && Ammo > 0) {
        if (WeaponStage == kWeaponLowered) World.PlayEffect("WeaponAppear");
        WeaponStageTimer -= frameMs;
        if (WeaponStageTimer <= 0) {
            WeaponStageTimer = kStageStepMs;
            ++WeaponStage;
            WeaponSprite->SetImageCentered(StageImage(WeaponKind, WeaponStage), cx, cy);
        }
    }
    // 3. Lowering once the ammunition is spent; below stage 2 the weapon is gone.
    if (WeaponStage >= kWeaponLowered && WeaponKind != CarItem::None && Ammo <= 0) {
        if (WeaponStage <= kWeaponLowered) {
            WeaponKind = CarItem::None;
        } else {
            if (WeaponStage == kWeaponRaised) World.PlayEffect("WeaponAppear");
            WeaponStageTimer -= frameMs;
            if (WeaponStageTimer <= 0) {
                WeaponStageTimer = kStageStepMs;
                --WeaponStage;
                WeaponSprite->SetImageCentered(StageImage(WeaponKind, WeaponStage), cx, cy);
            }
        }
    }
    // 4. The cooldown runs down to just below 0 and rests there.
    if (WeaponKind != CarItem::None && FireCooldown >= 0) FireCooldown -= frameMs;
}

void TPlayer::FiringStep() {
    if (KeyFire && WeaponStage == kWeaponRaised) {
        if (WeaponKind == CarItem::MachineGun && !GunSounding) {
            GunSounding = true;
            World.PlayEffect("MachineGun");
        }
        FireWeapon();
    } else if (WeaponKind == CarItem::MachineGun) {
        GunSounding = false;
        World.StopEffect("MachineGun");
    }
}

void TPlayer::FireWeapon() {
    if (FireCooldown > 0) return;
    Ammo = std::max(Ammo - 1, 0);
    if (WeaponKind == CarItem::MachineGun) {
        FireCooldown = kGunCooldownMs;
        WeaponStageTimer = kStageStepMs;
        WeaponSprite->SetImageCentered("GunShooting", std::trunc(WeaponSprite->X),
                                       std::trunc(WeaponSprite->Y));
        GunRay(X + Width / 2.0, Y + Height / 2.0);
    } else if (WeaponKind == CarItem::RocketLauncher) {
        World.PlayEffect("Rocket");
        FireCooldown = kLauncherCooldownMs;
        // The launcher fires from alternate sides: right of the car with an odd
        // number of rockets left, left with an even one.
        const int phi = Ammo % 2 == 1 ? -Heading - 86 : -Heading - 170;
        LaunchRocket(World, std::trunc(X + (Width - 12) / 2.0 - TurnSin(phi) * 55),
                     std::trunc(Y + Height / 2.0 - TurnCos(phi) * 55), kRocketLaunchSpeed, Heading);
    }
    ShotFlash = 1;
}

void TPlayer::GunRay(double px, double py) {
    if (!World.Race) return;
    TRace& race = *World.Race;
    const TrackView view = ViewOf(race);
    const double originX = double(race.MapCol) * kTileSize - view.X; // world = screen + origin
    const double originY = double(race.MapRow) * kTileSize - view.Y;
    const double dx = TurnSin(Heading) * kGunRayStep;
    const double dy = -TurnCos(Heading) * kGunRayStep;
    double wx = px + originX;
    double wy = py + originY;
    double sx = px;
    double sy = py;
    bool hit = false;
    while (!hit && sx >= 0 && sx <= kGunRayRight && sy >= 0 && sy <= kGunRayBottom) {
        wx += dx;
        wy += dy;
        // Every walker near this point of the ray falls (a walker taken away by a
        // rocket is no longer there to be shot).
        if (race.Men != nullptr) {
            TMan& men = *race.Men;
            for (int i = 1; i <= kMaxPedestrians; ++i) {
                const TPedestrian& p = men.Slots[size_t(i)];
                if (p.Exists == 0 || p.Visible == 0 || p.State == ManState::Lying ||
                    p.State == ManState::Gone)
                    continue;
                if (std::abs(p.X - wx) <= kGunReach && std::abs(p.Y - wy) <= kGunReach) {
                    men.ShootPedestrian(i);
                    hit = true;
                }
            }
        }
        // The first driving car whose shape holds the ray's screen point explodes.
        if (race.Cars != nullptr) {
            TCar& cars = *race.Cars;
            for (int i = 1; i <= std::min(race.CarCount, kMaxCars); ++i) {
                const size_t k = size_t(i);
                if (cars.CarVisible[k] == 0 || cars.CarDir[k] == kCarRemoved || cars.CarSpeed[k] == 0 ||
                    cars.CarExploding[k] != 0)
                    continue;
                if (PointInQuad(TPointD{sx, sy}, cars.CarScreenQuad(i))) {
                    AddScore(10);
                    cars.DestroyCar(i);
                    World.PlayEffect("Explosion");
                    hit = true;
                    break;
                }
            }
        }
        sx = wx - originX;
        sy = wy - originY;
    }
}

void TPlayer::EndShotFlash() {
    WeaponStageTimer = 0;
    if (ShotFlash == 1) {
        WeaponSprite->SetImageCentered(StageImage(WeaponKind, WeaponStage), std::trunc(WeaponSprite->X),
                                       std::trunc(WeaponSprite->Y));
        ShotFlash = 0;
    }
}

void TPlayer::DrawWeapon() {
    if (Crashed != 0 || (WeaponKind != CarItem::MachineGun && WeaponKind != CarItem::RocketLauncher)) return;
    TImageItem* image = WeaponSprite->Image();
    IDrawSurface* surface = Engine() != nullptr ? Engine()->Surface() : nullptr;
    if (image == nullptr || surface == nullptr) return;
    const int car = std::clamp(CarNo, 1, 6);
    // The weapon turns with the car about a point on its roof.
    double py = (Height / 2.0) / 114.0 - 0.6 + WeaponPivot[size_t(car)];
    if (WeaponKind == CarItem::MachineGun && strcasecmp(image->Name.c_str(), "GunShooting") == 0)
        py += kGunShootingLift[car - 1] - 0.03;
    image->DrawPatternRotated(*surface, int(std::trunc(X + Width / 2.0)), int(std::trunc(Y + Height / 2.0)),
                              image->FrameWidth(), image->FrameHeight(),
                              int(std::trunc(WeaponSprite->FramePos)), 0.5, py, Heading);
}

} // namespace vorlane
