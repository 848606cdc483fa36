#include "sim/Player.h"

#include "engine/PortableMath.h"
#include "sim/Finish.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"
#include "sim/ScrollBackground.h"
#include "sim/Tiles.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vorlane {

namespace {

constexpr double kTurn = 256.0; // angles are 256ths of a full turn

double ToTurn256(double radians) {
    return radians / (2 * std::numbers::pi) * kTurn;
}

double Sign(double v) {
    return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0);
}

} // namespace

// ---- speed model ----

double ThrottleAccel(double v) {
    if (v > 0) return std::min(100.0 / (v * std::sqrt(2 * v)), 0.3);
    return 0.3;
}

double CoastDrag(double v) {
    if (v > 0) return std::max((0.3 - ThrottleAccel(v)) / 2, 0.05);
    return 0;
}

double SteerRate(double v) {
    if (v > 0) return std::min(v / 50, 1.0);
    return std::min(-v / 5, 1.0);
}

void SpeedStep(TSpeedState& s, const TPedals& p, bool onRoad, double speedScale) {
    s.Drag = p.Down ? 0.3 : 0;
    if (!p.Up && !p.Down) s.Drag = CoastDrag(s.Speed);
    if (p.Handbrake) {
        if (s.Speed > 0)
            s.Drag = 0.6;
        else if (s.Speed < 0)
            s.Drag = -0.6;
    }
    const bool nitro = p.Nitro && s.HasNitro;
    if (nitro) {
        s.Speed += 0.6 * speedScale;
        if (s.Speed > kNitroLimit) s.Speed = kNitroLimit;
        if (s.NitroLeft > 0) {
            s.NitroLeft -= 0.5 * speedScale;
            s.NitroBurning = true;
        }
    }
    if (p.Up && !nitro) {
        if (s.Speed > kThrottleLimit)
            s.Drag = CoastDrag(s.Speed); // no throttle above 160: it rolls back down
        else
            s.Speed += ThrottleAccel(s.Speed) * speedScale;
    }
    // Off the road the car is braked hard down to 80.
    if (!onRoad && s.Speed > 80) s.Drag = 0.5;
    s.Speed -= s.Drag * speedScale;
    if (s.Speed > 0 && s.Speed < 0.1) s.Speed = 0;
    if (s.Speed < kReverseLimit) s.Speed = kReverseLimit;
    if (p.Handbrake && s.Speed > -1 && s.Speed < 1) s.Speed = 0;
}

double SteerStep(double steerPos, bool left, bool right, bool handbrake, double scrollSpeed, double speed,
                 double speedScale) {
    if (handbrake) return steerPos;
    // A standing car does not steer; a reversing one steers the other way.
    const double step = Sign(scrollSpeed) * SteerRate(speed) * speedScale;
    if (left) steerPos = std::clamp(steerPos - step, -128.0, 128.0);
    if (right) steerPos = std::clamp(steerPos + step, -128.0, 128.0);
    return steerPos;
}

int RoundHalfEven(double v) {
    return TSprite::RoundPos(v);
}

// ---- creation ----

namespace {
int ClampCar(int car) {
    return car >= 1 && car <= 6 ? car : 1;
}
} // namespace

TPlayer::TPlayer(TSprite* parent, TRaceWorld& world, int car, double x, double y)
    : TGameSprite(parent, world.SpriteHost, 2, kCarImageName[size_t(ClampCar(car))], x, y, 9), World(world),
      CarNo(ClampCar(car)) {
    Marks.Clear();
    BloodLeft = 0;

    const double w = Width;
    const double h = Height;
    WheelRadius = std::sqrt((h / 2) * (h / 2) + (w / 2) * (w / 2)) - 25;
    WheelAngle = ToTurn256(RaceAtan((w / 2) / (h / 2)));
    CarCenterX = X + w / 2;
    CarCenterY = Y + h / 2;
    const double body = CarBodyWidth[size_t(CarNo)];
    // The product of the two half-widths, not the body's half-width squared.
    CornerRadius = std::sqrt((h / 2) * (h / 2) + (body / 2) * (w / 2));
    CornerAngle = ToTurn256(RaceAtan((body / 2) / (h / 2)));
    ComputeCorners();
    ComputeRearWheels();

    TImageCollection& list = world.RaceImages();
    for (size_t i = 1; i < carImages_.size(); ++i)
        carImages_[i] = &list.FindImage(kCarImageName[i]);
    bloodImage_ = &list.FindImage("Blood");
    handbrakeImage_ = &list.FindImage("Handbrake");
    explosionImage_ = &list.FindImage("ExplosionBig");

    NitroFlameL = parent->Add<TGameSprite>(world.SpriteHost, 2, "NitroAnim", std::trunc(X + 8),
                                           std::trunc(Y + h - 8), 7);
    NitroFlameR = parent->Add<TGameSprite>(world.SpriteHost, 2, "NitroAnim", std::trunc(X + w - 8 - 16),
                                           std::trunc(Y + h - 8), 7);
    for (TGameSprite* flame : {NitroFlameL, NitroFlameR}) {
        flame->FramePace = 10; // they animate although hidden
        flame->Visible = false;
    }
    WeaponSprite = TGameSprite::CreateCentered(parent, world.SpriteHost, 2, "RocketAnim_1",
                                               std::trunc(X + w * 0.5), std::trunc(Y + h * 0.6), 10);
    WeaponSprite->Visible = false;
}

// ---- geometry and surface ----

const TPlayer::TTurnedGeometry& TPlayer::TurnedGeometry() {
    if (turned_.Valid && turned_.Heading == Heading) return turned_;
    const double k = 2 * std::numbers::pi / kTurn;
    const double h = Heading;
    const double a = CornerAngle;
    // The corners, then the rear wheels (the right one sits a little further round).
    const double angles[6] = {
        h - a, h + a, h + 128 - a, h + 128 + a, h + WheelAngle - 128, h - WheelAngle - 128 + 4};
    for (size_t i = 0; i < 6; ++i)
        RaceSinCos(angles[i] * k, turned_.Sin[i], turned_.Cos[i]);
    turned_.Heading = Heading;
    turned_.Valid = true;
    return turned_;
}

void TPlayer::ComputeCorners() {
    const TTurnedGeometry& g = TurnedGeometry();
    const double r = CornerRadius * CornerFactor[size_t(CarNo)];
    for (size_t i = 0; i < 4; ++i) {
        Corners.corners[i].x = CarCenterX + g.Sin[i] * r;
        Corners.corners[i].y = CarCenterY - g.Cos[i] * r;
    }
}

void TPlayer::ComputeRearWheels() {
    const TTurnedGeometry& g = TurnedGeometry();
    RearWheelA = {CarCenterX + g.Sin[4] * WheelRadius, CarCenterY - g.Cos[4] * WheelRadius};
    RearWheelB = {CarCenterX + g.Sin[5] * WheelRadius, CarCenterY - g.Cos[5] * WheelRadius};
}

bool TPlayer::OnRoadAt(int px, int py) const {
    // A negative pixel (left of or above the map) divides toward zero into row or
    // column 0, which lies outside the map and reads as plain ground.
    const int tile = int(int8_t(Race().Map.At(py / kTileSize, px / kTileSize)));
    return IsRoadTile(tile);
}

bool TPlayer::TestOnRoad() const {
    const TRace& race = Race();
    const int bx = RoundHalfEven(BackgroundX());
    const int by = RoundHalfEven(BackgroundY());
    for (const TPointD& c : Corners.corners) {
        const int px = RoundHalfEven(double(race.MapCol) * kTileSize - bx + c.x);
        const int py = RoundHalfEven(double(race.MapRow) * kTileSize - by + c.y);
        if (!OnRoadAt(px, py)) return false;
    }
    return true;
}

// ---- the rest of the race ----

TRace& TPlayer::Race() const {
    return *World.Race;
}

double TPlayer::BackgroundX() const {
    return World.Race && World.Race->Background ? World.Race->Background->X : 0;
}

double TPlayer::BackgroundY() const {
    return World.Race && World.Race->Background ? World.Race->Background->Y : 0;
}

void TPlayer::SetBackgroundPos(double x, double y) {
    if (World.Race && World.Race->Background) {
        World.Race->Background->X = x;
        World.Race->Background->Y = y;
    }
}

bool TPlayer::FinishPassed() const {
    return World.Race && World.Race->Finish && World.Race->Finish->Passed != 0;
}

double TPlayer::SpeedScale() const {
    return World.Stats().SpeedScale;
}

int TPlayer::FrameMs() const {
    return World.Stats().FrameMs;
}

} // namespace vorlane
