#pragma once
// The rocket launcher's rockets. The race keeps a pool of five, made idle at the start
// of the race; a shot takes the first idle one and sends it across the scrolling world
// in the car's direction. A rocket flies in map pixels (so it keeps its course while the
// view scrolls), trails a flickering flame, and ends in an explosion when it hits a
// pedestrian, at once when it blows up an opponent car (the car shows the explosion),
// or quietly when it leaves the play area.
#include "sim/GameSprite.h"

namespace vorlane {

class TRaceWorld;

constexpr int kRocketCount = 5;     // the pool
constexpr int kRocketIdleY = -1000; // where an idle rocket waits, hidden
constexpr int kRocketDepth = 9;

class TRocket : public TGameSprite {
  public:
    // Image "Rocket" at (x, y), depth 9, with its flame; idle. The race makes the pool
    // with the defaults.
    TRocket(TSprite* parent, TRaceWorld& world, double x = 0, double y = kRocketIdleY, int speed = 0,
            int angle = 0);

    // The flame, image "EngineFire", animated and hidden: the rocket draws it behind
    // itself. It is the rocket's child, so killing the rocket takes the flame along.
    TGameSprite* EngineFlame = nullptr;
    int RocketSpeed = 0;   // 0 once exploded
    int RocketAngle = 0;   // 256ths of a turn, 0 up, clockwise (the car's Heading at launch)
    bool InFlight = false; // flying or exploding
    bool Exploding = false;
    double WorldX = 0; // the rocket's top-left in map pixels
    double WorldY = 0;

    // A pedestrian was hit: the explosion plays where the rocket is, and the rocket
    // stops. The housekeeping puts it back in the pool when the explosion ends.
    void RocketExplode();
    // Back to the pool: idle, hidden, at (0, -1000). An opponent car hit by the rocket
    // calls this at once (the car shows its own explosion).
    void RocketReset();

    void MoveStep(int moveCount) override;
    void DrawStep() override;

    TRaceWorld& World;
};

// Sends the first idle rocket of the pool from the screen point (x, y) (its top-left)
// in direction angle, at speed plus the car's scroll speed. With all five in use nothing
// is launched. Answers the rocket sent, or nullptr.
TRocket* LaunchRocket(TRaceWorld& world, double x, double y, int speed, int angle);

// Once per race tick: a rocket whose explosion has played through, or that has left the
// play area (x 0..700, y 0..600), goes back to the pool.
void RocketHousekeeping(TRaceWorld& world);

// The race's pool: five idle rockets into world.Race->Rockets, and their removal.
void CreateRockets(TRaceWorld& world);
void KillRockets(TRaceWorld& world);

} // namespace vorlane
