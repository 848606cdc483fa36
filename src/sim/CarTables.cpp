// The opponent cars' constants: the five kinds, their hit quadrilaterals, the random
// kind, lane following and what a contact with the player car does.
#include "sim/Car.h"
#include "sim/CarShapes.h"

#include "engine/Random.h"

namespace vorlane {

namespace {

// Index 0 stands in for an unknown kind.
const std::array<TCarKindInfo, kCarKindCount + 1> kKinds = {{
    {"Car7", -14, -14, 49, 67},
    {"Car7", -14, -14, 49, 67},   // 1: sedan
    {"Car8", -24, -24, 60, 85},   // 2: sports car
    {"Car9", 4, 36, 17, 29},      // 3: small car
    {"Car10", -18, -6, 46, 76},   // 4: van
    {"Car11", -55, -40, 84, 120}, // 5: truck
}};

} // namespace

const TCarKindInfo& CarKindInfo(int kind) {
    return kind >= 1 && kind <= kCarKindCount ? kKinds[size_t(kind)] : kKinds[0];
}

TQuad CarHitShape(int kind, int direction, double x, double y) {
    TQuad q;
    if (kind < 1 || kind > kCarKindCount || direction < 1 || direction > 6) {
        for (TPointD& p : q.corners)
            p = {x, y};
        return q;
    }
    const TCarShape& s = kCarHitShapes[size_t(kind - 1)][size_t(direction - 1)];
    for (size_t k = 0; k < 4; ++k)
        q.corners[k] = {x + s[k].x, y + s[k].y};
    return q;
}

int RandomCarKind(TRandom& random) {
    const int a = random.Random(5);
    if (a < 4) return a + 1;
    return random.Random(2) != 0 ? 5 : 3;
}

int FollowLane(int direction, int left, int middle, int right) {
    int d = direction;
    if (direction >= kCarUpLeft && direction <= kCarUp) {
        // Going up: a shift to the left (tiles 15, 14), to the right (7, 8), or the
        // straight road again (3, 4).
        if (left == 15 && middle == 14) d = kCarUpLeft;
        if (middle == 7 && right == 8) d = kCarUpRight;
        if (middle == 3 && right == 4) d = kCarUp;
    } else if (direction >= kCarDown && direction <= kCarDownRight) {
        // Going down: the upper row of a shift to the right leads down and left, of a
        // shift to the left down and right; lanes 1 and 2 are the straight road.
        if (left == 9 && middle == 10) d = kCarDownLeft;
        if (middle == 19 && right == 18) d = kCarDownRight;
        if (middle == 2 && left == 1) d = kCarDown;
    }
    return d;
}

TCarContact DecideCarContact(bool clearNearCars, double playerScrollSpeed, double playerY, int carScreenY,
                             int carSpeed, bool levelEnded) {
    TCarContact c;
    if (clearNearCars) {
        // The player car has just been put back on the road: the car in the way goes.
        c.RemoveCar = true;
        c.ClearNearCarsOff = true;
        carSpeed = 0;
    }
    if (playerScrollSpeed > 0) c.ClearNearCarsOff = true;
    if (carSpeed == 0) return c; // exploding or just removed: no push, no damage
    const double sy = carScreenY;
    if (playerY < sy && carSpeed > 0) {
        // Coming up from behind: the player car is shoved ahead.
        c.TakeHit = !levelEnded;
        c.PushPlayer = true;
    }
    if (sy <= playerY) {
        c.TakeHit = !levelEnded;
        if (carSpeed < 0) {
            // Head-on: the oncoming car explodes, the player car is thrown back.
            c.BumpFactor = -0.2;
            c.DestroyCar = true;
        } else {
            // Running into a slower car ahead.
            c.BumpFactor = 0.2;
        }
    }
    return c;
}

} // namespace vorlane
