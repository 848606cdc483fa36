#include "sim/Finish.h"

#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"
#include "sim/ScrollBackground.h"

namespace vorlane {

TFinish::TFinish(TSprite* parent, TRaceWorld& world)
    : TGameSprite(parent, world.SpriteHost, 2, "FinishLine", 0, (1550 - world.Race->TrackLength) * kTileSize,
                  5),
      World(world) {
    LayFinish();
}

int TFinish::FinishRow() const {
    return 1550 - World.Race->TrackLength;
}

void TFinish::LayFinish() {
    WorldY = FinishRow() * kTileSize;
    Y = WorldY;
    Passed = 0;
}

void TFinish::MoveStep(int) {
    const TRace& race = *World.Race;
    Y = WorldY - race.MapRow * kTileSize + ViewOf(race).Y;
    // Both are the top edges of the sprites on the screen.
    if (race.Player && Y > race.Player->Y) Passed = 1;
}

void TFinish::DrawStep() {
    IDrawSurface* surface = Engine() ? Engine()->Surface() : nullptr;
    if (surface == nullptr || Image() == nullptr) return;
    const TRace& race = *World.Race;
    const int row = WorldToCell(WorldY);
    // Between the outer lanes of the straight top end of the road.
    int c1 = 0, c4 = 0;
    for (int c = 1; c <= kMapCols && c1 == 0; ++c)
        if (race.Map.At(row, c) == 1) c1 = c;
    for (int c = kMapCols; c >= 1 && c4 == 0; --c)
        if (race.Map.At(row, c) == 4) c4 = c;
    if (c1 == 0 || c4 == 0) return;
    const TrackView view = ViewOf(race);
    const int x0 = RoundPos(view.X);
    const int y = RoundPos(view.Y) + WorldY - race.MapRow * kTileSize;
    for (int c = c1 + 1; c <= c4 - 1; ++c)
        Image()->DrawPattern(*surface, x0 + (c - race.MapCol) * kTileSize, y, 0);
}

} // namespace vorlane
