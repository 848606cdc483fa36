#include "sim/Bonus.h"

#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"
#include "sim/ScrollBackground.h"

namespace vorlane {

namespace {

constexpr TBonusKind kKinds[9] = {
    {nullptr, 0, CarItem::None, nullptr},
    {"Bonus10", 10, CarItem::None, "Score"},
    {"Bonus20", 20, CarItem::None, "Score"},
    {"Bonus50", 50, CarItem::None, "Score"},
    {"Bonus100", 100, CarItem::None, "Score"},
    {"BonusL", 50, CarItem::ExtraLife, "Bonus"},
    {"BonusN", 30, CarItem::Nitro, "Bonus"},
    {"BonusMGnp", 20, CarItem::MachineGun, "Bonus"},
    {"BonusRnp", 20, CarItem::RocketLauncher, "Bonus"},
};

} // namespace

const TBonusKind* BonusKindOf(BonusKind kind) {
    if (kind < BonusKind::Points10 || kind > BonusKind::RocketLauncher) return nullptr;
    return &kKinds[size_t(kind)];
}

TBonus::TBonus(TSprite* parent, TRaceWorld& world)
    : TGameSprite(parent, world.SpriteHost, 2, "Bonus10", 0, 0, 5), World(world) {
    for (int k = 1; k <= 8; ++k)
        images_[k] = &world.RaceImages().FindImage(kKinds[k].Image);
    LayBonuses();
}

int LayBonusSlots(TBonusSlots& slots, const TrackMap& map, int trackLength, int bonusCount, TRandom& rng) {
    for (TBonusSlot& s : slots)
        s.Active = 0;
    int lives = 0;
    const int count = bonusCount < kMaxBonuses ? bonusCount : kMaxBonuses;
    for (int j = 1; j <= count; ++j) {
        const int row = (1549 - trackLength) + rng.Random(trackLength - 54);
        TBonusSlot& s = slots[size_t(j)];
        // Every road crossing the row lays its bonus in this slot; the right-most wins.
        for (int c = 1; c <= kMapCols; ++c) {
            if (map.At(row, c) != 1) continue;
            s.Active = 1;
            s.Column = c + 1 + rng.Random(2);
            s.Row = row;
            const auto draw = [&rng] { return BonusKind(rng.Random(8) + 1); };
            BonusKind kind = draw();
            if (lives >= kMaxLifeBonuses)
                while (kind == BonusKind::ExtraLife)
                    kind = draw();
            s.Kind = kind;
            if (kind == BonusKind::ExtraLife) ++lives;
        }
    }
    return lives;
}

void TBonus::LayBonuses() {
    const TRace& race = *World.Race;
    LifeCount = LayBonusSlots(Slots, race.Map, race.TrackLength, race.BonusCount, World.Random);
}

void TBonus::MoveStep(int) {
    TRace& race = *World.Race;
    const int count = race.BonusCount < kMaxBonuses ? race.BonusCount : kMaxBonuses;
    for (int j = 1; j <= count; ++j) {
        TBonusSlot& s = Slots[size_t(j)];
        if (!s.Active) continue;
        const TrackView view = ViewOf(race);
        const int sx = RoundPos(CellScreenX(view, s.Column));
        const int sy = RoundPos(CellScreenY(view, s.Row));
        // Only a bonus near the view can be picked up.
        if (sx + 19 < -20 || sx + 19 > 720 || sy + 19 < -20 || sy + 19 > 620) continue;
        const int points[4][2] = {
            {sx + 19, sy + 19}, {sx + 54, sy + 19}, {sx + 19, sy + 53}, {sx + 54, sy + 53}};
        TPlayer* player = nullptr;
        for (const auto& pt : points) {
            player = dynamic_cast<TPlayer*>(World.SpriteEngine.SpriteAt(pt[0], pt[1]));
            if (player) break;
        }
        if (player == nullptr) continue;
        const TBonusKind* kind = BonusKindOf(s.Kind);
        s.Active = 0;
        if (kind == nullptr) continue;
        player->AddScore(kind->Score);
        if (kind->Item != CarItem::None) player->GiveBonus(kind->Item);
        World.PlayEffect(kind->Sound);
    }
}

void TBonus::DrawStep() {
    IDrawSurface* surface = Engine() ? Engine()->Surface() : nullptr;
    if (surface == nullptr) return;
    const TRace& race = *World.Race;
    const TrackView view = ViewOf(race);
    for (int j = 1; j <= kMaxBonuses; ++j) {
        const TBonusSlot& s = Slots[size_t(j)];
        if (!s.Active || BonusKindOf(s.Kind) == nullptr) continue;
        if (s.Column < race.MapCol || s.Column > race.MapCol + 13 || s.Row < race.MapRow ||
            s.Row > race.MapRow + 10)
            continue;
        const int sx = RoundPos(CellScreenX(view, s.Column));
        const int sy = RoundPos(CellScreenY(view, s.Row));
        images_[size_t(s.Kind)]->DrawPattern(*surface, sx + 19, sy + 19, 0);
    }
}

} // namespace vorlane
