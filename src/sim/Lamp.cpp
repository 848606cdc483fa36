#include "sim/Lamp.h"

#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"
#include "sim/ScrollBackground.h"

namespace vorlane {

namespace {

struct TLampEntry {
    int Tile;
    TLampKind Kind;
};

constexpr TLampEntry kLamps[] = {
    {1, {"Lamp_L", 12, 12, 9}},    {4, {"Lamp_R", -28, 56, 9}},    {5, {"Lamp_RL", 42, 43, 1}},
    {8, {"Lamp_RR", 0, 73, 41}},   {9, {"Lamp_RL", 8, 9, 1}},      {12, {"Lamp_RR", -36, 37, 41}},
    {13, {"Lamp_LR", -48, 26, 1}}, {16, {"Lamp_LL", -11, -8, 41}}, {17, {"Lamp_LR", -12, 62, 1}},
    {20, {"Lamp_LL", 30, 31, 40}},
};

} // namespace

const TLampKind* LampOf(int tile) {
    for (const TLampEntry& e : kLamps)
        if (e.Tile == tile) return &e.Kind;
    return nullptr;
}

TLamp::TLamp(TSprite* parent, TRaceWorld& world)
    : TGameSprite(parent, world.SpriteHost, 2, "Lamp_L", 0, 0, 9), World(world) {
    Visible = true;
}

template <class Fn> void TLamp::ForEachLamp(Fn&& fn) {
    const TRace& race = *World.Race;
    // The window as it stood when the pass began (a bounce may move the view).
    const int row0 = race.MapRow, col0 = race.MapCol;
    for (int r = row0; r <= row0 + 9; ++r) {
        if (r % kLampRowStep != 0) continue;
        for (int c = col0; c <= col0 + 12; ++c) {
            const TLampKind* lamp = LampOf(race.Map.At(r, c));
            if (lamp) fn(r, c, *lamp);
        }
    }
}

void TLamp::MoveStep(int) {
    TPlayer* player = World.Race->Player;
    if (player == nullptr) return;
    ForEachLamp([&](int r, int c, const TLampKind& lamp) {
        // A bounce moves the view, so every pole is placed from where it stands now.
        const TrackView view = ViewOf(*World.Race);
        const double px = RoundPos(CellScreenX(view, c) + lamp.PoleX);
        const double py = RoundPos(CellScreenY(view, r) + lamp.PoleY);
        if (!PointInQuad(TPointD{px, py}, player->Corners)) return;
        if (player->Energy <= 0 || player->Crashed != 0) return;
        if (player->Speed > 0)
            player->Bounce(-100);
        else
            player->Bump(-1);
        player->TakeHit();
    });
}

void TLamp::DrawStep() {
    IDrawSurface* surface = Engine() ? Engine()->Surface() : nullptr;
    if (surface == nullptr) return;
    const TrackView view = ViewOf(*World.Race);
    ForEachLamp([&](int r, int c, const TLampKind& lamp) {
        TImageItem* item = World.RaceImages().Find(lamp.Image);
        if (item)
            item->DrawPattern(*surface, RoundPos(CellScreenX(view, c) + lamp.ImageDX),
                              RoundPos(CellScreenY(view, r)), 0);
    });
}

} // namespace vorlane
