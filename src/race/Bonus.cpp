#include "race/Bonus.h"

#include "app/TMForm.h"
#include "race/RaceState.h"

namespace vorlane {

namespace {

constexpr TBonusKind kKinds[9] = {
    {nullptr, 0, 0, nullptr},
    {"Bonus10", 10, 0, "Score"},
    {"Bonus20", 20, 0, "Score"},
    {"Bonus50", 50, 0, "Score"},
    {"Bonus100", 100, 0, "Score"},
    {"BonusL", 50, 1, "Bonus"},   // extra life
    {"BonusN", 30, 2, "Bonus"},   // nitro
    {"BonusMGnp", 20, 3, "Bonus"}, // machine gun
    {"BonusRnp", 20, 4, "Bonus"},  // rocket launcher
};

} // namespace

const TBonusKind* BonusKindOf(int kind)
{
    if (kind < 1 || kind > 8)
        return nullptr;
    return &kKinds[kind];
}

TBonus::TBonus(TSprite* parent, TMForm& form)
    : TMyImageSprite(parent, form.SpriteHost, 2, "Bonus10", 0, 0, 5), Form(form)
{
    LayBonuses();
}

void TBonus::LayBonuses()
{
    for (TBonusSlot& s : Slots)
        s.Active = 0;
    LifeCount = 0;
    TRace& race = *Form.Race;
    const TrackMap& map = race.Map;
    TRandom& rng = Form.Random;
    const int count = race.BonusCount < kMaxBonuses ? race.BonusCount : kMaxBonuses;
    for (int j = 1; j <= count; ++j) {
        const int row = (1549 - race.TrackLength) + rng.Random(race.TrackLength - 54);
        TBonusSlot& s = Slots[size_t(j)];
        // Every road crossing the row lays its bonus in this slot; the right-most wins.
        for (int c = 1; c <= kMapCols; ++c) {
            if (map.At(row, c) != 1)
                continue;
            s.Active = 1;
            s.Column = c + 1 + rng.Random(2);
            s.Row = row;
            int kind = rng.Random(8) + 1;
            if (LifeCount >= kMaxLifeBonuses)
                while (kind == kBonusLife)
                    kind = rng.Random(8) + 1;
            s.Kind = uint8_t(kind);
            if (kind == kBonusLife)
                ++LifeCount;
        }
    }
}

// Pick-up comes with the player car.
void TBonus::MoveStep(int) {}

void TBonus::DrawStep() {}

} // namespace vorlane
