#include "sim/Rocket.h"

#include "engine/PortableMath.h"
#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"
#include "sim/ScrollBackground.h"

#include <cmath>

namespace vorlane {

namespace {

constexpr int kPlayRight = 700; // rockets leave the play area at x 0..700, y 0..600
constexpr int kPlayBottom = 600;
// The flame sprite is the rocket's child, its top-left 12 pixels left of and 2 above the
// rocket's; it is drawn hanging behind the rocket with this point of it (in fractions of
// its size) on the rocket's centre.
constexpr double kFlameOffsetX = -12;
constexpr double kFlameOffsetY = -2;
constexpr double kFlamePivotX = 0.5;
constexpr double kFlamePivotY = -0.22;

} // namespace

TRocket::TRocket(TSprite* parent, TRaceWorld& world, double x, double y, int speed, int angle)
    : TGameSprite(parent, world.SpriteHost, 2, "Rocket", x, y, kRocketDepth), RocketSpeed(speed),
      RocketAngle(angle), World(world) {
    EngineFlame =
        Add<TGameSprite>(world.SpriteHost, 2, std::string("EngineFire"), kFlameOffsetX, kFlameOffsetY, Z());
    EngineFlame->FramePace = 10;
    EngineFlame->FrameLooped = true;
    EngineFlame->Visible = false;
}

void TRocket::RocketExplode() {
    SetAnimation("Explosion", 20);
    RocketSpeed = 0;
    Exploding = true;
    WorldX -= 32;
    WorldY -= 32;
    World.PlayEffect("Explosion");
}

void TRocket::RocketReset() {
    InFlight = false;
    Visible = false;
    X = 0;
    Y = kRocketIdleY;
    WorldX = WorldY = 0;
    RocketSpeed = 0;
    RocketAngle = 0;
}

void TRocket::MoveStep(int moveCount) {
    if (!InFlight || !World.Race) return;
    TGameSprite::MoveStep(moveCount);
    const TRace& race = *World.Race;
    const double step = RocketSpeed * 0.5 * World.Stats().SpeedScale;
    WorldX += TurnSin(RocketAngle) * step;
    WorldY -= TurnCos(RocketAngle) * step;
    const TrackView view = ViewOf(race);
    X = WorldX - double(race.MapCol) * kTileSize + view.X;
    Y = WorldY - double(race.MapRow) * kTileSize + view.Y;
}

void TRocket::DrawStep() {
    if (!Visible) return;
    IDrawSurface* surface = Engine() != nullptr ? Engine()->Surface() : nullptr;
    if (surface == nullptr || Image() == nullptr) return;
    const int cx = int(std::trunc(X + Width / 2.0));
    const int cy = int(std::trunc(Y + Height / 2.0));
    if (RocketAngle != 0)
        Image()->DrawPatternRotated(*surface, cx, cy, Width, Height, int(std::trunc(FramePos)), 0.5, 0.5,
                                    RocketAngle);
    else
        TGameSprite::DrawStep();

    // The flame hangs behind the rocket, turned with it about the rocket's centre.
    // Straight up it is drawn the same way (unturned), so it stays centred under the
    // rocket rather than jumping aside.
    if (!Exploding && EngineFlame->Image() != nullptr) {
        TImageItem* flame = EngineFlame->Image();
        flame->DrawPatternRotated(*surface, cx, cy, EngineFlame->Width, EngineFlame->Height,
                                  int(std::trunc(EngineFlame->FramePos)), kFlamePivotX, kFlamePivotY,
                                  RocketAngle);
    }
}

TRocket* LaunchRocket(TRaceWorld& world, double x, double y, int speed, int angle) {
    if (!world.Race) return nullptr;
    TRace& race = *world.Race;
    TRocket* rocket = nullptr;
    for (TRocket* r : race.Rockets)
        if (r != nullptr && !r->InFlight) {
            rocket = r;
            break;
        }
    if (rocket == nullptr) return nullptr;
    const TrackView view = ViewOf(race);
    const double scrollSpeed = race.Player != nullptr ? race.Player->ScrollSpeed : 0.0;
    rocket->InFlight = true;
    rocket->Visible = true;
    rocket->X = x;
    rocket->Y = y;
    rocket->WorldX = x + double(race.MapCol) * kTileSize - view.X;
    rocket->WorldY = y + double(race.MapRow) * kTileSize - view.Y;
    rocket->RocketAngle = angle;
    rocket->RocketSpeed = speed + TSprite::RoundPos(scrollSpeed);
    rocket->Exploding = false;
    rocket->SetAnimation("Rocket", 0);
    return rocket;
}

void RocketHousekeeping(TRaceWorld& world) {
    if (!world.Race) return;
    for (TRocket* r : world.Race->Rockets) {
        if (r == nullptr || !r->InFlight) continue;
        const int flameHeight =
            r->EngineFlame->Image() != nullptr ? r->EngineFlame->Image()->FrameHeight() : 0;
        const bool explosionOver = r->Exploding && r->FramePosBeforeMove > r->FramePos;
        if (explosionOver || r->Y > kPlayBottom || r->Y + r->Height + flameHeight < 0 || r->X < 0 ||
            r->X + r->Width > kPlayRight)
            r->RocketReset();
    }
}

void CreateRockets(TRaceWorld& world) {
    if (!world.Race) return;
    for (TRocket*& r : world.Race->Rockets)
        r = world.SpriteEngine.Add<TRocket>(world);
}

void KillRockets(TRaceWorld& world) {
    if (!world.Race) return;
    for (TRocket*& r : world.Race->Rockets) {
        if (r == nullptr) continue;
        r->EngineFlame->KillOnce();
        r->KillOnce();
        r = nullptr;
    }
}

} // namespace vorlane
