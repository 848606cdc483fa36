#pragma once
// The pick-ups lying on the road: 10, 20, 50 and 100 points, an extra life, nitro, a
// machine gun and a rocket launcher. One TBonus sprite holds every bonus of the level
// in a table of slots, hands a bonus to the player car when the car touches it, and
// draws them; its own image is never drawn.
#include "engine/Random.h"
#include "sim/CarItems.h"
#include "sim/GameSprite.h"
#include "sim/TrackMap.h"

#include <array>
#include <cstdint>

namespace vorlane {

class TRaceWorld;

// Slots 1..400; slot 0 is not used.
constexpr int kMaxBonuses = 400;
// The pick-ups, numbered as their pictures are in the bonus table. A level lays at
// most two extra lives.
enum class BonusKind : uint8_t {
    None = 0,
    Points10 = 1,
    Points20 = 2,
    Points50 = 3,
    Points100 = 4,
    ExtraLife = 5,
    Nitro = 6,
    MachineGun = 7,
    RocketLauncher = 8,
};
constexpr int kMaxLifeBonuses = 2;

struct TBonusSlot {
    uint8_t Active = 0; // 1 while the bonus lies on the road
    int Column = 0;     // map cell
    int Row = 0;
    BonusKind Kind = BonusKind::None;
};

// What a bonus kind is: its picture, its points, the item it gives the car (GiveBonus;
// None for none) and the sound of the pick-up.
struct TBonusKind {
    const char* Image;
    int Score;
    CarItem Item;
    const char* Sound;
};

// The table of the kinds Points10..RocketLauncher; nullptr for any other kind.
const TBonusKind* BonusKindOf(BonusKind kind);

using TBonusSlots = std::array<TBonusSlot, kMaxBonuses + 1>;

// Fills slots 1..bonusCount (at most 400) for a track of trackLength rows: each slot
// picks a row from 1549 - trackLength to 1494 and lays a bonus in lane 2 or 3 of every
// road crossing it (the right-most road's stays); a row without a road leaves the slot
// empty. Once two extra lives lie on the level no further one is laid. Answers the
// number of extra lives laid.
int LayBonusSlots(TBonusSlots& slots, const TrackMap& map, int trackLength, int bonusCount, TRandom& rng);

class TBonus : public TGameSprite {
  public:
    // Depth 5; lays the bonuses of the current track at once.
    TBonus(TSprite* parent, TRaceWorld& world);

    TRaceWorld& World;
    TBonusSlots Slots{};
    int LifeCount = 0; // extra lives laid on this level

    // Level set-up: BonusCount rows chosen at random, one bonus in lane 2 or 3 of
    // each road crossing the row.
    void LayBonuses();

    // Pick-up: the player car takes every bonus it touches.
    void MoveStep(int moveCount) override;
    void DrawStep() override;

  private:
    TImageItem* images_[9] = {}; // by kind
};

} // namespace vorlane
