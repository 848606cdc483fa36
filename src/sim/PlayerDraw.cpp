// Drawing the player car: the marks under it, the nitro flames, the opponent cars (so
// that they lie under the car), the car or its wreck, and the weapon on top.
#include "sim/Player.h"

#include "sim/Car.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"

#include <algorithm>
#include <cmath>

namespace vorlane {

namespace {
int Trunc(double v) {
    return int(std::trunc(v));
}
} // namespace

void TPlayer::DrawStep() {
    if (!Visible || Engine() == nullptr || Engine()->Surface() == nullptr) return;
    DrawMarks();
    // A nitro frame's flames are drawn once. A wreck keeps the flag, so the flames
    // flash once more when the car is back on the road.
    if (Crashed == 0 && NitroBurning) {
        DrawNitroFlames();
        NitroBurning = false;
    }
    DrawOpponents();

    // The car stands at (365, 400); the crash explosion is centred a little lower.
    if (FrameCount < 2) {
        X = kPlayerX;
        Y = kPlayerY;
    } else {
        X = Width / 2.0 + kPlayerX - 32;
        Y = Height / 2.0 + kPlayerY + 10;
    }

    if (Crashed == 1 && !RespawnFound) DrawWreck();

    if (Heading != 0 && Image() != nullptr) {
        const int pw = Image()->FrameWidth();
        const int ph = Image()->FrameHeight();
        Image()->DrawPatternRotated(*Engine()->Surface(), Trunc(X + pw / 2.0), Trunc(Y + ph / 2.0), pw, ph,
                                    Trunc(FramePos), 0.5, 0.5, Heading);
    } else {
        TGameSprite::DrawStep();
    }

    if (Crashed == 0 && (WeaponKind == CarItem::MachineGun || WeaponKind == CarItem::RocketLauncher))
        DrawWeapon();
}

void TPlayer::DrawMarks() {
    IDrawSurface& surface = *Engine()->Surface();
    for (int i = 1; i <= TMarkStore::kSlots; ++i) {
        const size_t s = size_t(i);
        if (Marks.MarkActive[s] == 0 || Marks.MarkShown[s] == 0) continue;
        TImageItem* image = Marks.MarkBlood[s] != 0 ? bloodImage_ : handbrakeImage_;
        image->DrawPatternRotated(surface, Trunc(Marks.MarkX[s] + 5), Trunc(Marks.MarkY[s] + 7), 10, 14, 0,
                                  0.5, 0.5, Marks.MarkAngle[s]);
    }
}

void TPlayer::DrawNitroFlames() {
    IDrawSurface& surface = *Engine()->Surface();
    const double w = Width;
    const double h = Height;
    const int cx = Trunc(X + w / 2);
    const int cy = Trunc(Y + h / 2);

    TImageItem* left = NitroFlameL->Image();
    const int fw = left->FrameWidth();
    const int fh = left->FrameHeight();
    const int pattern = Trunc(NitroFlameL->FramePos);
    // The pivot is the car's centre seen from the flame: both flames hang under the
    // rear bumper and turn with the car.
    const double leftPivotX = (w / 2 - 8) / 16;
    const double pivotY = -(h / 2 - 8) / 51;
    left->DrawPatternRotated(surface, cx, cy, fw, fh, pattern, leftPivotX, pivotY,
                             Heading == 0 ? 1 : Heading);

    TImageItem* right = NitroFlameR->Image();
    const int rightPattern = Trunc(NitroFlameR->FramePos);
    if (Heading == -64 || Heading == 64) {
        const double sign = Heading > 0 ? 1 : -1;
        left->DrawPatternRotated(surface, cx, Trunc(Y + h / 2 + sign * w / 2), fw, fh, pattern, leftPivotX,
                                 pivotY, Heading);
    } else {
        const double rw = NitroFlameR->Width;
        const double rightPivotX = -(w / 2 - rw - 8) / 16;
        right->DrawPatternRotated(surface, cx, cy, right->FrameWidth(), right->FrameHeight(), rightPattern,
                                  rightPivotX, pivotY, Heading == 0 ? -1 : Heading);
    }
}

void TPlayer::DrawOpponents() {
    TRace& race = Race();
    if (race.Cars == nullptr) return;
    const TCar& cars = *race.Cars;
    IDrawSurface& surface = *Engine()->Surface();
    const double bx = BackgroundX();
    const double by = BackgroundY();
    const int count = std::min(race.CarCount, kMaxCars);
    for (int i = 1; i <= count; ++i) {
        const size_t s = size_t(i);
        const int dir = cars.CarDir[s];
        const int kind = cars.CarKind[s];
        if (cars.CarVisible[s] == 0 || dir == 0 || kind < 1 || kind > kCarKindCount) continue;
        const int sx = RoundHalfEven(cars.CarX[s] - double(race.MapCol) * kTileSize + bx);
        const int sy = RoundHalfEven(cars.CarY[s] - double(race.MapRow) * kTileSize + by);
        const size_t image = size_t(kind + 6);
        if (cars.CarExploding[s] != 0) {
            // The 64-pixel fireball centred on the car: image k + 6 is the car's picture.
            explosionImage_->DrawPattern(surface, sx + CarHalfWidth[image] - 32,
                                         sy + CarHalfHeight[image] - 32, Trunc(cars.CarExplosionTime[s]));
        } else {
            carImages_[image]->DrawPattern(surface, sx, sy, dir - 1);
        }
    }
}

void TPlayer::DrawWreck() {
    IDrawSurface& surface = *Engine()->Surface();
    TImageItem* explosion = Image();
    if (explosion == nullptr) return;
    const double pw = explosion->FrameWidth();
    const double ph = explosion->FrameHeight();
    const size_t car = size_t(CarNo);
    // The car's own picture, burnt out under the fire.
    carImages_[car]->DrawPatternRotated(surface, Trunc(X + pw / 2), Trunc(Y + ph / 2), 2 * CarHalfWidth[car],
                                        2 * CarHalfHeight[car], 0, 0.5, 0.5, Heading);
    // Two more fires, ahead of the middle and behind it, a little later in the fireball.
    const auto& c = Corners.corners;
    const double fx = (3 * c[0].x + 3 * c[1].x + c[2].x + c[3].x) / 8;
    const double fy = (3 * c[0].y + 3 * c[1].y + c[2].y + c[3].y) / 8;
    explosion->DrawPatternRotated(surface, Trunc(pw / 2 + fx - 32), Trunc(ph / 2 + fy - 32), int(pw), int(ph),
                                  Trunc(FramePos + 2), 0.5, 0.5, Heading);
    const double rx = (c[0].x + c[1].x + 3 * c[2].x + 3 * c[3].x) / 8;
    const double ry = (c[0].y + c[1].y + 3 * c[2].y + 3 * c[3].y) / 8;
    explosion->DrawPatternRotated(surface, Trunc(pw / 2 + rx - 32), Trunc(ph / 2 + ry - 32), int(pw), int(ph),
                                  Trunc(FramePos + 4), 0.5, 0.5, Heading);
}

} // namespace vorlane
