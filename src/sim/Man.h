#pragma once
// The pedestrians: men and women who walk the verges and side roads of the track,
// turning at corners and junctions, run when the horn sounds, fall when the car runs
// them over or the machine gun shoots them, and vanish when a rocket hits them. One
// TMan sprite holds every pedestrian of the level in a table of slots and moves and
// draws them itself; its own image is never drawn.
#include "engine/Random.h"
#include "sim/GameSprite.h"
#include "sim/TrackMap.h"

#include <array>
#include <cstdint>

namespace vorlane {

class TRaceWorld;

// Slots 1..600; slot 0 is not used.
constexpr int kMaxPedestrians = 600;

// What a pedestrian does; the four walking directions are also the pictures' order
// after lying (see ManImageName).
enum class ManState : uint8_t {
    Lying = 0,
    Left = 1,
    Right = 2,
    Up = 3,
    Down = 4,
    Gone = 255, // taken away by a rocket
};

struct TPedestrian {
    uint8_t Exists = 0; // 1 while part of the level
    uint8_t Woman = 0;  // 1: "Girl_" pictures, 0: "Man_" pictures
    double X = 0;       // world position of the figure's centre, in map pixels
    double Y = 0;
    ManState State = ManState::Lying;
    ManState Planned = ManState::Lying; // the direction to take at the next cell boundary
    uint8_t Visible = 1;                // 1 while near the view
    uint8_t Speed = 0;                  // 3..5 walking, 8 scared, 0 lying or gone
    double Frame = 0;                   // animation counter, 0 up to 4
    double ScareTime = 0;               // ms of scare left
    int CellCol = 0, CellRow = 0;       // the map cell of the centre
    int TargetCol = 0, TargetRow = 0;   // the cell one step ahead, recorded last tick
    int ScreenX = 0, ScreenY = 0;       // the centre on the screen, from the last move
};

using TPedestrianSlots = std::array<TPedestrian, kMaxPedestrians + 1>;

// One row of the turn table: the new state for a turn to the walker's left, to the
// right, straight on and back, and the step of one cell in the walking direction.
struct TManTurn {
    ManState Left{}, Right{}, Straight{}, Back{};
    int StepX = 0, StepY = 0;
};

// The turn table of the walking states; nullptr for any other state.
const TManTurn* ManTurnOf(ManState state);

// How a walker heading in direction dir (a walking state) reads the path tile it has just
// stepped onto, as a re-planning code 0..7: 0 back, 1 straight, 2 left, 3 right,
// 4 left or straight, 5 straight or right, 6 left or right, 7 any of the three.
// Tiles that are no path give 0.
int ManTileCode(int tile, ManState dir);

// The map cell of a world point: (x div 72, y div 72) of the point rounded to whole
// pixels (halves to even).
void ManCellOf(double x, double y, int& col, int& row);

// The picture name of a walker state (Lying..Down) for a man or a woman.
const char* ManImageName(ManState state, bool woman);

// Fills the slots for a track of trackLength rows: on every fifth row from the road's
// top down to row 1490, first on the left side, then on the right, one walker on the
// first path tile within 19 columns of the road's outer edge. Slots without one stay
// empty; every slot is counted, so the left side takes slots 1.. and the right side
// follows.
void LayPedestrianSlots(TPedestrianSlots& slots, const TrackMap& map, int trackLength, TRandom& rng);

// One walking step of a walker (states 1..4; others stay put): on entering the cell
// recorded as the target it turns by the tile it stands on, then records the cell one
// step ahead, and it moves 2 * Speed pixels when its pattern number changed from
// oldFrame. Lying and gone figures stay where they are.
void WalkPedestrian(TPedestrian& p, const TrackMap& map, TRandom& rng, double oldFrame);

class TMan : public TGameSprite {
  public:
    // Depth 6; lays the pedestrians of the current track at once.
    TMan(TSprite* parent, TRaceWorld& world);

    TRaceWorld& World;
    uint8_t Scared = 0; // the scare flag: 1 from the horn until the first walker calms
    TPedestrianSlots Slots{};

    // Level set-up: at most one walker every fifth row on each side of the road,
    // within 19 columns of the road's edge.
    void LayPedestrians();
    // The horn: every visible walker runs at speed 8 for a second.
    void ScarePedestrians();
    // The scare ends for everybody at once.
    void CalmPedestrians();
    // The machine gun's hit: the walker in slot i falls as if run over ("Kill" or
    // "KillW" and 5 points), without the bump and the blood of a run-over.
    void ShootPedestrian(int i);

    void MoveStep(int moveCount) override;
    void DrawStep() override;

  private:
    // Falls at its place: moved up-left by 10, speed, state and frame 0.
    static void FallDown(TPedestrian& p);
    void TestRunOver(TPedestrian& p);
    void TestRockets(TPedestrian& p);

    TImageItem* images_[2][5] = {}; // [woman][state]
};

} // namespace vorlane
