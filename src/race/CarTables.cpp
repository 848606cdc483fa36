// The opponent cars' constants: the five kinds, their hit quadrilaterals, the random
// kind, lane following and what a contact with the player car does.
#include "race/Car.h"

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

struct Corner {
    int x, y;
};
using Shape = std::array<Corner, 4>;

// [kind - 1][direction - 1], corners in the order the collision tests take them (not
// always around the outline: the tests were tuned with these orders).
const std::array<std::array<Shape, 6>, kCarKindCount> kShapes = {{
    {{{{{0, 23}, {38, 0}, {55, 133}, {94, 113}}},
      {{{58, 0}, {95, 18}, {1, 113}, {40, 132}}},
      {{{28, 2}, {67, 2}, {27, 130}, {69, 130}}},
      {{{30, 131}, {67, 131}, {70, 3}, {27, 3}}},
      {{{1, 115}, {37, 133}, {95, 20}, {57, 1}}},
      {{{95, 115}, {60, 133}, {41, 0}, {2, 19}}}}},
    {{{{{0, 25}, {41, 0}, {67, 164}, {119, 137}}},
      {{{78, 0}, {119, 24}, {1, 136}, {53, 165}}},
      {{{33, 2}, {89, 2}, {29, 163}, {89, 163}}},
      {{{89, 161}, {31, 161}, {89, 2}, {27, 2}}},
      {{{40, 165}, {0, 140}, {118, 28}, {67, 1}}},
      {{{119, 140}, {79, 165}, {53, 1}, {0, 28}}}}},
    {{{{{1, 13}, {13, 6}, {24, 54}, {33, 48}}},
      {{{20, 6}, {32, 13}, {1, 48}, {9, 53}}},
      {{{9, 7}, {24, 7}, {10, 54}, {22, 54}}},
      {{{9, 50}, {24, 50}, {23, 0}, {10, 0}}},
      {{{14, 52}, {1, 45}, {33, 7}, {24, 4}}},
      {{{33, 45}, {19, 52}, {9, 2}, {0, 12}}}}},
    {{{{{0, 23}, {34, 0}, {58, 131}, {92, 109}}},
      {{{60, 0}, {92, 23}, {0, 110}, {34, 131}}},
      {{{26, 1}, {70, 1}, {23, 131}, {68, 131}}},
      {{{69, 129}, {25, 129}, {70, 1}, {24, 1}}},
      {{{33, 132}, {0, 108}, {92, 22}, {58, 1}}},
      {{{92, 108}, {59, 132}, {34, 1}, {-1, 22}}}}},
    {{{{{0, 28}, {60, 0}, {90, 231}, {167, 192}}},
      {{{108, 0}, {167, 30}, {2, 192}, {78, 230}}},
      {{{48, 4}, {120, 4}, {38, 227}, {126, 227}}},
      {{{120, 228}, {47, 228}, {126, 6}, {40, 6}}},
      {{{62, 232}, {0, 201}, {166, 40}, {87, 1}}},
      {{{167, 201}, {104, 232}, {79, 1}, {1, 40}}}}},
}};

} // namespace

const TCarKindInfo& CarKindInfo(int kind)
{
    return kind >= 1 && kind <= kCarKindCount ? kKinds[size_t(kind)] : kKinds[0];
}

TQuad CarHitShape(int kind, int direction, double x, double y)
{
    TQuad q;
    if (kind < 1 || kind > kCarKindCount || direction < 1 || direction > 6) {
        for (TPointD& p : q.corners) p = {x, y};
        return q;
    }
    const Shape& s = kShapes[size_t(kind - 1)][size_t(direction - 1)];
    for (size_t k = 0; k < 4; ++k) q.corners[k] = {x + s[k].x, y + s[k].y};
    return q;
}

int RandomCarKind(TRandom& random)
{
    const int a = random.Random(5);
    if (a < 4) return a + 1;
    return random.Random(2) != 0 ? 5 : 3;
}

int FollowLane(int direction, int left, int middle, int right)
{
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
                             int carSpeed, bool levelEnded)
{
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
