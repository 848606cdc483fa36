#pragma once
// The scrolling track under the race: a grid of 72-pixel chips showing a 13 x 10
// window of the track map. Every race frame it scrolls by the velocity the race tick
// derived from the player car, wraps its picture by one tile and moves the map window
// instead, and throws the car back from the poles and building walls in view.
//
// Without a race its velocity is 0 and the obstacle test never runs.
#include "sim/PictureBackground.h"
#include "sim/TrackMap.h"

#include <string>

namespace vorlane {

class TRaceWorld;
struct TRace;

class TScrollBackground : public TPictureBackground {
  public:
    // The picture background (see there), standing still. Inside a race it also
    // clears the race's scroll velocity.
    TScrollBackground(TSprite* parent, TRaceWorld& world, int listNo, const std::string& name,
                      int chipColumns, int chipRows);

    TRaceWorld& World;
    double VX = 0; // this frame's scroll velocity (copied from the race)
    double VY = 0;
    bool WrappedX = false; // the last move wrapped the picture sideways
    bool WrappedY = false; // ... or up or down

    // Copies the 13 x 10 map window whose top-left cell is (mapRow, mapCol) into the
    // chips; cells outside the map show plain ground.
    void RefreshChips(const TrackMap& map, int mapCol, int mapRow);

    // The scroll of one frame: moves the picture by (vx, vy) * 0.5 * speedScale and, for
    // every whole tile it wrapped, moves the map window one cell against the motion,
    // never past the map's edges (0..637 columns, 0..1490 rows).
    void Scroll(double vx, double vy, double speedScale, int& mapCol, int& mapRow);

    // The obstacle test against the player car (race screen only).
    void TestObstacles();

    void MoveStep(int moveCount) override;
    void DrawStep() override;
};

// Where the race's view stands: its map window and the background's position.
TrackView ViewOf(const TRace& race);

// The race's background shows the map window at (MapRow, MapCol).
void RefreshChips(TRace& race);

} // namespace vorlane
