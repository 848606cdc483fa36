#include "sim/ScrollBackground.h"

#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"
#include "sim/Tiles.h"

namespace vorlane {

TScrollBackground::TScrollBackground(TSprite* parent, TRaceWorld& world, int listNo, const std::string& name,
                                     int chipColumns, int chipRows)
    : TPictureBackground(parent, world.SpriteHost, listNo, name, chipColumns, chipRows), World(world) {
    VX = VY = 0;
    if (World.Race) {
        World.Race->ScrollVX = 0;
        World.Race->ScrollVY = 0;
    }
    WrappedX = WrappedY = false;
}

void TScrollBackground::RefreshChips(const TrackMap& map, int mapCol, int mapRow) {
    // The window is one row and column larger than the grid; SetChip ignores the
    // chips beyond it, so only the 13 x 10 that show are copied.
    const int rows = MapRows(), cols = MapColumns();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            SetChip(c, r, map.At(mapRow + r, mapCol + c));
}

void TScrollBackground::Scroll(double vx, double vy, double speedScale, int& mapCol, int& mapRow) {
    X += vx * 0.5 * speedScale;
    Y += vy * 0.5 * speedScale;
    WrappedX = WrappedY = false;

    // The picture wraps by a whole tile and the map window moves one cell against the
    // motion. At the map's edges the picture still wraps (it repeats the edge tiles)
    // but the window stays. A frame that scrolls more than a tile (a very slow frame
    // rate) wraps once for every tile it crossed, so the picture never drifts away
    // from the window.
    auto shiftCol = [&] {
        WrappedX = true;
        if (vx > 0 && mapCol > 0)
            --mapCol;
        else if (vx < 0 && mapCol + kViewCols < kMapCols)
            ++mapCol;
    };
    auto shiftRow = [&] {
        WrappedY = true;
        if (vy > 0 && mapRow > 0)
            --mapRow;
        else if (vy < 0 && mapRow + kViewRows < kMapRows)
            ++mapRow;
    };
    if (PatternWidth > 0) {
        while (X > 0) {
            X -= PatternWidth;
            shiftCol();
        }
        while (X < -PatternWidth) {
            X += PatternWidth;
            shiftCol();
        }
    }
    if (PatternHeight > 0) {
        while (Y > 0) {
            Y -= PatternHeight;
            shiftRow();
        }
        while (Y < -PatternHeight) {
            Y += PatternHeight;
            shiftRow();
        }
    }
}

void TScrollBackground::TestObstacles() {
    TRace& race = *World.Race;
    TPlayer* player = race.Player;
    if (!player) return;
    // Every pole and wall tile of the view whose solid box the car's corners overlap
    // throws the car back (or stops a car standing or reversing) and costs it an energy
    // point; two walls met in one frame cost two. A bounce moves the picture at once,
    // so each tile's box is placed from the picture's position at its turn.
    for (int i = 1; i <= kViewRows; ++i) {
        for (int j = 1; j <= kViewCols; ++j) {
            const uint8_t tile = race.Map.At(race.MapRow + i, race.MapCol + j);
            if (!IsObstacleTile(tile)) continue;
            if (!QuadsOverlap(ObstacleQuad(tile, X + j * kTileSize, Y + i * kTileSize), player->Corners))
                continue;
            if (player->Energy <= 0 || player->Crashed != 0) continue;
            if (player->Speed > 0)
                player->Bounce(-100);
            else
                player->Bump(-1);
            player->TakeHit();
        }
    }
}

void TScrollBackground::MoveStep(int moveCount) {
    TBackgroundSprite::MoveStep(moveCount);
    TRace* race = World.Race.get();
    // Only the race sets a velocity; the menus' backdrop stands still.
    VX = race ? race->ScrollVX : 0;
    VY = race ? race->ScrollVY : 0;
    if (race) {
        Scroll(VX, VY, World.Stats().SpeedScale, race->MapCol, race->MapRow);
    } else {
        int col = 0, row = 0;
        Scroll(VX, VY, World.Stats().SpeedScale, col, row);
    }
    if (race && World.Host.RaceOnScreen()) TestObstacles();
}

void TScrollBackground::DrawStep() {
    TBackgroundSprite::DrawStep();
}

TrackView ViewOf(const TRace& race) {
    TrackView v;
    v.MapCol = race.MapCol;
    v.MapRow = race.MapRow;
    if (race.Background) {
        v.X = race.Background->X;
        v.Y = race.Background->Y;
    }
    return v;
}

void RefreshChips(TRace& race) {
    if (race.Background) race.Background->RefreshChips(race.Map, race.MapCol, race.MapRow);
}

} // namespace vorlane
