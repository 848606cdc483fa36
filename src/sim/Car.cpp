// The opponent cars: laying them for a level, driving them along their lanes,
// bringing them back in when they leave the road, and exploding them.
#include "sim/Car.h"

#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"
#include "sim/Rocket.h"
#include "sim/ScrollBackground.h"
#include "sim/TrackMap.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vorlane {

namespace {

// Sideways and upward share of a diagonal car's speed (a lane shift is about 27
// degrees off straight).
constexpr double kDiagonalX = 0.44961132;
constexpr double kDiagonalY = 0.8932243;

// The last row cars are laid above, and the rows cars are laid on are multiples of 4.
constexpr int kLayRowsEnd = 1490;
constexpr int kLayRowStep = 4;
// Rows where cars come back in at the bottom.
constexpr int kBottomEntryRow = 1495;

// Tiles of lane 1 and lane 4 of a straight road.
constexpr uint8_t kTileLane1 = 1;
constexpr uint8_t kTileLane4 = 4;

// A car is near the view while its screen position stays within these bounds.
constexpr int kNearLeft = -170, kNearRight = 870, kNearTop = -240, kNearBottom = 601;

int CarSlots(const TRace& race) {
    return std::clamp(race.CarCount, 0, kMaxCars);
}

} // namespace

TCar::TCar(TSprite* parent, TRaceWorld& world)
    : TGameSprite(parent, world.SpriteHost, 2, "Car7", 0, 0, 9), World(world) {
    LayCars();
}

void TCar::DrawStep() {}

double TCar::ViewX() const {
    return World.Race ? ViewOf(*World.Race).X : 0.0;
}
double TCar::ViewY() const {
    return World.Race ? ViewOf(*World.Race).Y : 0.0;
}

double TCar::CarScreenX(int i) const {
    const int mapCol = World.Race ? World.Race->MapCol : 0;
    return CarX[size_t(i)] - double(mapCol) * kTileSize + ViewX();
}

double TCar::CarScreenY(int i) const {
    const int mapRow = World.Race ? World.Race->MapRow : 0;
    return CarY[size_t(i)] - double(mapRow) * kTileSize + ViewY();
}

TQuad TCar::CarScreenQuad(int i) const {
    return CarHitShape(CarKind[size_t(i)], CarDir[size_t(i)], TSprite::RoundPos(CarScreenX(i)),
                       TSprite::RoundPos(CarScreenY(i)));
}

TQuad TCar::CarWorldQuad(int i) const {
    return CarHitShape(CarKind[size_t(i)], CarDir[size_t(i)], CarX[size_t(i)], CarY[size_t(i)]);
}

void TCar::LayCars() {
    CarKind.fill(0);
    CarDir.fill(0);
    CarX.fill(0);
    CarY.fill(0);
    CarSpeed.fill(0);
    CarVisible.fill(0);
    CarExploding.fill(0);
    CarExplosionTime.fill(0);
    CarTouching.fill(0);
    TopEntryCol = BottomEntryCol = 0;
    if (!World.Race) return;
    TRace& race = *World.Race;
    const TrackMap& map = race.Map;
    TRandom& random = World.Random;

    // Where cars come back in: lane 1 at the top of the road, lane 4 near its start.
    const int topRow = 1536 - race.TrackLength;
    for (int c = 1; c <= TrackMap::Cols; ++c) {
        if (map.At(topRow, c) == kTileLane1) {
            TopEntryCol = c;
            break;
        }
    }
    for (int c = TrackMap::Cols; c >= 1; --c) {
        if (map.At(kBottomEntryRow, c) == kTileLane4) {
            BottomEntryCol = c;
            break;
        }
    }

    // Every car gets a row of its own: a multiple of 4 between the top of the road and
    // the start. When every such row is taken the remaining slots stay empty.
    const int lo = topRow, hi = kLayRowsEnd;
    std::vector<uint8_t> used(size_t(std::max(hi, 1) + 1), 0);
    int freeRows = 0;
    for (int r = std::max(lo, 0); r < hi; ++r)
        if (r % kLayRowStep == 0) ++freeRows;
    auto acceptRow = [&]() -> int {
        if (freeRows == 0 || hi <= lo) return 0;
        for (;;) {
            const int r = lo + random.Random(hi - lo);
            if (r >= 0 && r % kLayRowStep == 0 && used[size_t(r)] == 0) {
                used[size_t(r)] = 1;
                --freeRows;
                return r;
            }
        }
    };

    const int count = CarSlots(race);
    const int down = int(std::nearbyint(count / 2.0));
    for (int k = 1; k <= count; ++k) {
        const int r = acceptRow();
        if (r == 0) continue;
        const size_t i = size_t(k);
        if (k <= down) {
            // Coming down in lane 2 of the left-most road.
            int c = 0;
            for (int col = 1; col <= TrackMap::Cols && c == 0; ++col)
                if (map.At(r, col) == kTileLane1) c = col;
            if (c == 0) continue;
            CarKind[i] = uint8_t(RandomCarKind(random));
            CarDir[i] = kCarDown;
            CarX[i] = double(c + 1) * kTileSize + CarKindInfo(CarKind[i]).XOffsetDown;
            CarY[i] = double(r) * kTileSize;
            CarSpeed[i] = kCarSpeedDown;
        } else {
            // Going up in lane 3 of the right-most road.
            int c = 0;
            for (int col = TrackMap::Cols; col >= 1 && c == 0; --col)
                if (map.At(r, col) == kTileLane4) c = col;
            if (c == 0) continue;
            CarKind[i] = uint8_t(RandomCarKind(random));
            CarDir[i] = kCarUp;
            CarX[i] = double(c - 1) * kTileSize + CarKindInfo(CarKind[i]).XOffsetUp;
            CarY[i] = double(r) * kTileSize;
            CarSpeed[i] = kCarSpeedUp;
        }
        CarVisible[i] = 1;
        CarExploding[i] = 0;
    }
}

void TCar::DestroyCar(int i) {
    if (i < 1 || i > kMaxCars) return;
    CarExploding[size_t(i)] = 1;
    CarSpeed[size_t(i)] = 0;
}

void TCar::RemoveCar(int i) {
    CarSpeed[size_t(i)] = 0;
    CarDir[size_t(i)] = kCarRemoved;
}

void TCar::RespawnCar(int i, int where) {
    if (i < 1 || i > kMaxCars || !World.Race) return;
    const TRace& race = *World.Race;
    const size_t s = size_t(i);
    // Without a lane to enter by (a road the generator did not lay) the car stays out.
    const int entryCol = where == 2 ? BottomEntryCol : TopEntryCol;
    if (entryCol == 0) {
        RemoveCar(i);
        return;
    }
    CarKind[s] = uint8_t(RandomCarKind(World.Random));
    CarExploding[s] = 0;
    CarVisible[s] = 1;
    const TCarKindInfo& kind = CarKindInfo(CarKind[s]);
    if (where == 2) {
        CarDir[s] = kCarUp;
        CarSpeed[s] = kCarSpeedUp;
        CarX[s] = double(entryCol - 1) * kTileSize + kind.XOffsetUp;
        CarY[s] = kCarBottomY;
    } else {
        CarDir[s] = kCarDown;
        CarSpeed[s] = kCarSpeedDown;
        CarX[s] = double(entryCol + 1) * kTileSize + kind.XOffsetDown;
        CarY[s] = double(1536 - race.TrackLength) * kTileSize;
    }
    // A car it lands on is taken off the road.
    const TQuad here = CarWorldQuad(i);
    for (int j = 1; j <= kMaxCars; ++j) {
        if (j == i || CarDir[size_t(j)] == kCarRemoved) continue;
        if (QuadsOverlap(here, CarWorldQuad(j))) RemoveCar(j);
    }
}

void TCar::MoveStep(int moveCount) {
    TGameSprite::MoveStep(moveCount);
    if (!World.Race) return;
    const int count = CarSlots(*World.Race);
    for (int i = 1; i <= count; ++i) {
        if (CarDir[size_t(i)] != kCarRemoved) MoveCar(i);
    }
}

void TCar::MoveCar(int i) {
    const size_t s = size_t(i);
    const double f = World.Stats().SpeedScale;
    const double v = CarSpeed[s] * 0.5 * f;

    // 1. Drive.
    switch (CarDir[s]) {
    case kCarUp:
    case kCarDown:
        CarY[s] -= v;
        break;
    case kCarUpLeft:
    case kCarDownRight:
        CarX[s] -= v * kDiagonalX;
        CarY[s] -= v * kDiagonalY;
        break;
    case kCarUpRight:
    case kCarDownLeft:
        CarX[s] += v * kDiagonalX;
        CarY[s] -= v * kDiagonalY;
        break;
    default:
        break;
    }

    // 2. Near the view?
    const int sx = TSprite::RoundPos(CarScreenX(i));
    const int sy = TSprite::RoundPos(CarScreenY(i));
    CarVisible[s] = (sx < kNearLeft || sx > kNearRight || sy < kNearTop || sy > kNearBottom) ? 0 : 1;

    // 3. The player car.
    if (CarVisible[s] != 0) TestPlayerContact(i, sx, sy);
    if (CarDir[s] == kCarRemoved) return;

    // 4. Rockets.
    if (CarVisible[s] != 0 && CarExploding[s] == 0) TestRocketHits(i);

    // 5. The explosion runs its 13 patterns in about 0.65 s at any frame rate; then the
    // car is gone for the rest of the level.
    if (CarExploding[s] != 0) {
        CarExplosionTime[s] += 20.0 * World.Stats().FrameMs / 1000.0;
        if (CarExplosionTime[s] > kCarExplosionEnd) {
            CarExploding[s] = 0;
            CarDir[s] = kCarRemoved;
            return;
        }
    }

    // 6. Follow the lane.
    FollowLanes(i);

    // 7. Off the bottom of the map: back in at the bottom going up; past the top of
    // the road: back in at the top going down.
    const int trackLength = World.Race->TrackLength;
    if (CarY[s] > kCarBottomY)
        RespawnCar(i, 2);
    else if (CarY[s] < double(1535 - trackLength) * kTileSize)
        RespawnCar(i, 1);
}

void TCar::FollowLanes(int i) {
    const size_t s = size_t(i);
    const TCarKindInfo& kind = CarKindInfo(CarKind[s]);
    const TrackMap& map = World.Race->Map;
    const double cx = CarX[s] + kind.CenterX, cy = CarY[s] + kind.CenterY;
    const int y = int(std::nearbyint(cy));
    const int left = map.TileAtWorld(int(std::nearbyint(cx - kTileSize)), y);
    const int middle = map.TileAtWorld(int(std::nearbyint(cx)), y);
    const int right = map.TileAtWorld(int(std::nearbyint(cx + kTileSize)), y);
    const int before = CarDir[s];
    const int after = FollowLane(before, left, middle, right);
    CarDir[s] = uint8_t(after);
    // Out of a shift and straight again: the car settles on its lane's line. A diagonal
    // step is a hair more than half a tile sideways per tile up, and a car laid or
    // brought in with its centre already inside a shift drifts less than a whole tile;
    // without this the error adds up over a staircase of shifts until the car's centre
    // crosses into the next lane, no straight rule matches any more and the car drives
    // off across the scenery.
    if (after != before && (after == kCarUp || after == kCarDown)) {
        const int col = WorldToCell(int(std::nearbyint(cx)));
        CarX[s] = double(col) * kTileSize + (after == kCarUp ? kind.XOffsetUp : kind.XOffsetDown);
    }
}

void TCar::TestPlayerContact(int i, int sx, int sy) {
    TPlayer* player = World.Race->Player;
    if (player == nullptr || player->Crashed != 0) return;
    const size_t s = size_t(i);
    if (!QuadsOverlap(CarHitShape(CarKind[s], CarDir[s], sx, sy), player->Corners)) {
        CarTouching[s] = 0;
        return;
    }
    if (CarTouching[s] != 0) return; // still the same contact
    CarTouching[s] = 1;

    const bool levelEnded = player->FinishPassed() || player->TimeOut;
    const TCarContact c =
        DecideCarContact(player->ClearNearCars, player->ScrollSpeed, player->Y, sy, CarSpeed[s], levelEnded);
    const int speed = CarSpeed[s];
    if (c.RemoveCar) RemoveCar(i);
    if (c.ClearNearCarsOff) player->ClearNearCars = false;
    if (c.TakeHit) player->TakeHit();
    if (c.PushPlayer) player->Speed = speed * 1.5 * 10;
    if (c.BumpFactor != 0) player->Bump(c.BumpFactor);
    if (c.DestroyCar) {
        DestroyCar(i);
        World.PlayEffect("Explosion");
    }
}

void TCar::TestRocketHits(int i) {
    TRace& race = *World.Race;
    const TQuad world = CarWorldQuad(i);
    for (TRocket* rocket : race.Rockets) {
        if (rocket == nullptr || !rocket->InFlight || rocket->Exploding) continue;
        if (!PointInQuad(TPointD{rocket->WorldX, rocket->WorldY}, world)) continue;
        World.PlayEffect("Explosion");
        DestroyCar(i);
        if (race.Player != nullptr) race.Player->AddScore(10);
        rocket->RocketReset();
        break;
    }
}

} // namespace vorlane
