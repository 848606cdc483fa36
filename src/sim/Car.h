#pragma once
// The traffic of a level: up to 200 opponent cars. Half come down the left lanes
// towards the player, half go up the right lanes in the player's direction. They
// follow the road's lane shifts, run into the player car, can be blown up by rockets
// and the machine gun, and come back in at the top or the bottom of the road when they
// drive off it. One TCar sprite holds every car of the level in parallel tables
// (slots 1..200, slot 0 unused) and moves them all; its own image is never drawn. The
// player car draws the cars from these tables so that they lie under it.
#include "sim/GameSprite.h"
#include "sim/Helpers.h"

#include <array>
#include <cstdint>

namespace vorlane {

class TRaceWorld;
class TRandom;
class TrackMap;

// Slots 1..200; slot 0 is not used.
constexpr int kMaxCars = 200;
// Car kinds 1..5 (0 in a slot never filled).
constexpr int kCarKindCount = 5;

// Directions of a car slot.
constexpr uint8_t kCarRemoved = 0; // out of the level for good
constexpr uint8_t kCarUpLeft = 1;
constexpr uint8_t kCarUpRight = 2;
constexpr uint8_t kCarUp = 3;
constexpr uint8_t kCarDown = 4;
constexpr uint8_t kCarDownLeft = 5;
constexpr uint8_t kCarDownRight = 6;

// Speeds of a driving car: up the road and down it.
constexpr int kCarSpeedUp = 6;
constexpr int kCarSpeedDown = -5;

// The explosion of a car ends once its frame counter passes this ("ExplosionBig"
// patterns 0..13).
constexpr double kCarExplosionEnd = 13;

// World y of row 1498: a car below it drives off the bottom of the map.
constexpr double kCarBottomY = 1498.0 * 72.0; // 107856

// What each kind of car looks like and where it drives.
struct TCarKindInfo {
    const char* ImageName; // "Car7".."Car11"; pattern direction - 1
    int XOffsetDown;       // x of the car within its lane, going down
    int XOffsetUp;         // the same, going up
    int CenterX;           // half the image's width and height
    int CenterY;
};

// Kinds 1..5; any other number answers kind 1's entry.
const TCarKindInfo& CarKindInfo(int kind);

// The car's hit quadrilateral for its kind (1..5) and direction (1..6) with its
// image's top-left corner at (x, y), corners in the order the collision tests take
// them. An empty slot (kind or direction 0) answers a quadrilateral of four points
// at (x, y).
TQuad CarHitShape(int kind, int direction, double x, double y);

// A random kind: kinds 1 to 4 one in five each, kind 5 one in ten, kind 3 another
// one in ten (so 20, 20, 30, 20 and 10 percent).
int RandomCarKind(TRandom& random);

// Lane following: the direction a car takes from the tiles left of (left), under
// (middle) and right of (right) its centre, given its direction before.
int FollowLane(int direction, int left, int middle, int right);

// What a new contact between a car and the player car does. Filled by
// DecideCarContact; TCar carries it out on the player car.
struct TCarContact {
    bool RemoveCar = false;        // the car was in the way of a restart: it vanishes
    bool ClearNearCarsOff = false; // the player's ClearNearCars goes back to false
    bool TakeHit = false;          // the player car loses one energy point
    bool PushPlayer = false;       // the player's Speed becomes the car's speed * 15
    double BumpFactor = 0;         // not 0: the player car is bumped by this factor
    bool DestroyCar = false;       // head-on: the car explodes
};

// The inputs of a new contact: the player's ClearNearCars and ScrollSpeed, the
// player car's screen Y, the car's screen y (rounded), the car's speed, and whether
// the level has ended for the player (finish passed or time out: no energy is lost).
TCarContact DecideCarContact(bool clearNearCars, double playerScrollSpeed, double playerY, int carScreenY,
                             int carSpeed, bool levelEnded);

class TCar : public TGameSprite {
  public:
    // Depth 9 at (0, 0) with the picture "Car7" (never drawn); lays the cars of the
    // current track at once.
    TCar(TSprite* parent, TRaceWorld& world);

    TRaceWorld& World;

    // The slot tables, indexed 1..200.
    std::array<uint8_t, kMaxCars + 1> CarKind{};         // 1..5, 0 in a slot never filled
    std::array<uint8_t, kMaxCars + 1> CarDir{};          // kCarRemoved or 1..6
    std::array<double, kMaxCars + 1> CarX{};             // world position of the image's
    std::array<double, kMaxCars + 1> CarY{};             //   top-left corner, map pixels
    std::array<int, kMaxCars + 1> CarSpeed{};            // 6 up, -5 down, 0 destroyed or removed
    std::array<uint8_t, kMaxCars + 1> CarVisible{};      // 1 while near the view
    std::array<uint8_t, kMaxCars + 1> CarExploding{};    // 1 while the explosion plays
    std::array<double, kMaxCars + 1> CarExplosionTime{}; // frame counter of the explosion
    std::array<uint8_t, kMaxCars + 1> CarTouching{};     // 1 while overlapping the player car

    // Where cars come back in: the column of lane 1 at the top of the road (row
    // 1536 - TrackLength) and of lane 4 near its start (row 1495). 0 when the row
    // has no such tile.
    int TopEntryCol = 0;
    int BottomEntryCol = 0;

    // Level set-up: every slot cleared, then CarCount cars laid on distinct rows,
    // the first half going down in lane 2 of the left-most road, the rest going up in
    // lane 3 of the right-most road.
    void LayCars();
    // The car explodes where it stands (head-on contact, rocket, machine gun).
    void DestroyCar(int i);
    // The car comes back in as a new random kind: where 1 at the top going down,
    // where 2 at the bottom going up. Cars it lands on are removed.
    void RespawnCar(int i, int where);

    // Screen position of car i's top-left corner (not rounded).
    double CarScreenX(int i) const;
    double CarScreenY(int i) const;
    // Car i's hit quadrilateral on the screen (at its rounded screen position) and in
    // the world.
    TQuad CarScreenQuad(int i) const;
    TQuad CarWorldQuad(int i) const;

    // Nothing: the player car draws the cars.
    void DrawStep() override;
    // Moves and updates every car of the level.
    void MoveStep(int moveCount) override;

  private:
    // One car's tick, in the order: move, visibility, player contact, rocket hits,
    // explosion, lane following, leaving the track.
    void MoveCar(int i);
    void TestPlayerContact(int i, int sx, int sy);
    void TestRocketHits(int i);
    void FollowLanes(int i);
    // The background's position (the view's offset within its top-left tile).
    double ViewX() const;
    double ViewY() const;
    // Removed: out of the level until the next LayCars.
    void RemoveCar(int i);
};

} // namespace vorlane
