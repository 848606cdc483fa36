#pragma once
// The player's car. It never moves on the screen while it drives: the sprite stays at
// (365, 400) and only turns, and the world scrolls under it with a velocity the race
// tick derives from its Speed and Heading. The car carries its own driving model
// (throttle, brake, reverse, handbrake, nitro, steering, off-road drag), its
// reactions to what the other race objects report (bumps, bounces, hits, the crash
// and the restart, pick-ups, scores), the level's end, the engine sound, the skid and
// blood marks, and it draws the opponent cars under itself.
//
// Split by topic: Player.cpp (creation, geometry, speed model), PlayerDrive.cpp (the
// driving MoveStep), PlayerReactions.cpp (reactions, crash and restart position),
// PlayerLevelEnd.cpp (level end, RestartLevel), PlayerSound.cpp (engine sound, horn,
// marks), PlayerDraw.cpp (DrawStep), PlayerWeapons.cpp (the weapon, by its own file).
#include "sim/CarItems.h"
#include "sim/GameSprite.h"
#include "sim/Helpers.h"

#include <array>
#include <cstdint>
#include <string>

namespace vorlane {

class TRaceWorld;
struct TRace;
class TImageItem;

// ---- The car tables -------------------------------------------------------------

// Cars 1..6 are the player's choice, 7..11 the opponent kinds 1..5. Index 0 unused.
inline constexpr std::array<const char*, 12> kCarImageName{"",     "Car1", "Car2", "Car3", "Car4",  "Car5",
                                                           "Car6", "Car7", "Car8", "Car9", "Car10", "Car11"};
// Half the width and half the height of each car picture.
inline constexpr std::array<int, 12> CarHalfWidth{0, 32, 31, 41, 31, 34, 32, 49, 60, 17, 46, 84};
inline constexpr std::array<int, 12> CarHalfHeight{0, 78, 74, 78, 67, 77, 72, 67, 85, 29, 76, 120};
// The player cars' body width (the corners sit on the body, not on the mirrors), the
// share of the corner radius the collision corners use, and where the weapon turns.
inline constexpr std::array<int, 7> CarBodyWidth{0, 65, 62, 70, 63, 60, 62};
inline constexpr std::array<double, 7> CornerFactor{0, 0.95, 0.94, 0.95, 0.92, 0.95, 0.92};
inline constexpr std::array<double, 7> WeaponPivot{0, 0.23, 0.2, 0.28, 0.36, 0.25, 0.22};

// Where the car stands on the screen while it drives.
constexpr double kPlayerX = 365;
constexpr double kPlayerY = 400;

// ---- The speed model (per frame at 85 frames per second) ------------------------

constexpr double kThrottleLimit = 160; // no throttle above this
constexpr double kNitroLimit = 170;
constexpr double kReverseLimit = -15;

// What the throttle adds: min(100 / (v * sqrt(2v)), 0.3) going forward, 0.3 otherwise.
double ThrottleAccel(double v);
// What rolling with no pedal takes: max((0.3 - ThrottleAccel(v)) / 2, 0.05) going
// forward, 0 reversing (a reversing car keeps rolling).
double CoastDrag(double v);
// How fast the wheel turns: min(v / 50, 1) forward, min(-v / 5, 1) reversing.
double SteerRate(double v);

// The pedals of one frame.
struct TPedals {
    bool Up = false;
    bool Down = false;
    bool Handbrake = false;
    bool Nitro = false;
};

// What the pedals change.
struct TSpeedState {
    double Speed = 0;
    bool HasNitro = false;
    double NitroLeft = 0;
    bool NitroBurning = false; // set when this frame burnt nitro
    double Drag = 0;           // the deceleration chosen this frame
};

// One frame of pedals, nitro and surface drag on the speed.
void SpeedStep(TSpeedState& s, const TPedals& pedals, bool onRoad, double speedScale);

// One frame of steering: Left turns the wheel one way, Right the other, by the
// steering rate times the direction of travel; nothing while the handbrake is on.
// Answers the new wheel position within -128..128.
double SteerStep(double steerPos, bool left, bool right, bool handbrake, double scrollSpeed, double speed,
                 double speedScale);

// Halves to even, as every rounding of the race.
int RoundHalfEven(double v);

// ---- The skid and blood marks ---------------------------------------------------

// A fixed store of 100 marks on the screen (slots 1..100), reused in place. The marks
// move with the scroll and are dropped when they leave the play area.
struct TMarkStore {
    static constexpr int kSlots = 100;
    std::array<double, kSlots + 1> MarkX{};
    std::array<double, kSlots + 1> MarkY{};
    std::array<int, kSlots + 1> MarkAngle{};
    std::array<uint8_t, kSlots + 1> MarkActive{};
    std::array<uint8_t, kSlots + 1> MarkBlood{};
    std::array<uint8_t, kSlots + 1> MarkShown{};
    int LastMark = 1; // the newest mark's slot

    // Every slot free at (0, 0), LastMark 1.
    void Clear();
    // Lays a mark at (x, y) turned by heading in the first free slot; none free: nothing
    // (answers 0). While bloodLeft is above 0 the mark is blood and bloodLeft drops by
    // one; the blood marks laid while it is above 30 are not shown. Answers the slot.
    int Lay(double x, double y, int heading, int& bloodLeft);
    // Every slot moves by (dx, dy) with the world.
    void Scroll(double dx, double dy);
    // Active marks that left x 0..700, y -14..600 are freed.
    void DropOffScreen();
    int ActiveCount() const;
};

// ---- The car ------------------------------------------------------------------

// The car's engine sounds: each is a loop of its own ("Maxed", "Neutral", ...); the
// four accelerating sounds of the gears ("Accel1".."Accel4") are one state.
enum class EngineSound { None, Maxed, Accel, Shift, Slowed, Neutral, Brake, Nitro };

class TPlayer : public TGameSprite {
  public:
    // Car `car` (the car selection's choice, 1..6; another number is car 1) at (x, y),
    // depth 9, with its nitro flames and weapon beside it (hidden: the car draws them).
    TPlayer(TSprite* parent, TRaceWorld& world, int car, double x, double y);

    TRaceWorld& World;
    int CarNo = 1; // the selected car, 1..6

    // Companions.
    TGameSprite* NitroFlameL = nullptr;
    TGameSprite* NitroFlameR = nullptr;
    TGameSprite* WeaponSprite = nullptr;

    // The weapon (PlayerWeapons.cpp).
    int WeaponStage = kWeaponLowered;   // kWeaponLowered..kWeaponRaised
    int WeaponStageTimer = 0;           // ms
    uint8_t ShotFlash = 0;              // 1 while a shot's picture is up
    CarItem WeaponKind = CarItem::None; // None, MachineGun or RocketLauncher
    int Ammo = 0;
    int FireCooldown = 0;     // ms
    bool GunSounding = false; // the looped "MachineGun" is on

    // Damage and the race.
    bool HasNitro = false;
    double NitroLeft = 0;
    int Energy = 3;             // 3 when whole; the third hit wrecks the car
    bool NitroBurning = false;  // a nitro frame: the flames are drawn once
    bool TimeOut = false;       // the level's time ran out
    bool LevelEndDone = false;  // the level end's one-time part ran
    int CrashTimer = 0;         // ms until the wreck is put back on the road
    bool RespawnFound = false;  // the restart position is chosen
    uint8_t Crashed = 0;        // 1 while wrecked
    bool ClearNearCars = false; // the next driving frame removes the cars around the car
    bool BounceSkip = false;    // the frame after a bounce is not driven

    bool HornSounding = false;
    // The engine sound playing (None after any other loop, the gun's, took its place).
    EngineSound EngineState = EngineSound::None;

    // Geometry, from the picture's size at creation.
    double WheelRadius = 0;
    double WheelAngle = 0; // 256ths of a turn
    double CarCenterX = 0;
    double CarCenterY = 0;
    double CornerRadius = 0;
    double CornerAngle = 0; // 256ths of a turn
    TPointD RearWheelA;     // rear left
    TPointD RearWheelB;     // rear right
    // Front left, front right, rear right, rear left, on the screen.
    TQuad Corners;

    // Motion.
    double Speed = 0;       // forward; negative reversing
    double ScrollSpeed = 0; // Speed / 10: how fast the world scrolls
    double SteerPos = 0;    // the wheel, -128..128
    int Heading = 0;        // round(SteerPos / 2): 256ths of a turn, 0 up, clockwise
    double Drag = 0;
    bool OnRoad = true;

    // Controls, written by the race tick every frame.
    bool KeyLeft = false;
    bool KeyRight = false;
    bool KeyUp = false;
    bool KeyDown = false;
    bool KeyHandbrake = false;
    bool KeyFire = false;
    bool KeyNitro = false;
    bool KeyHorn = false;

    // The skid and blood marks, and how many blood marks are still to lay (a run-over
    // pedestrian sets it: 50 when it was below 1, else 30 when it was below 30).
    TMarkStore Marks;
    int BloodLeft = 0;

    void MoveStep(int moveCount) override;
    void DrawStep() override;

    // ---- reactions (the other race objects call them) ----
    void AddScore(int n);
    // Speed and ScrollSpeed times factor, with a collision sound.
    void Bump(double factor);
    // Thrown back at speed v (v negative throws backwards), the view moved at once,
    // and the next frame not driven.
    void Bounce(double v);
    // One energy point; the third wrecks the car and costs a life.
    void TakeHit();
    void Explode();
    void SetCrashState(int c);
    // 2 nitro, 3 machine gun, 4 rocket launcher: the item's supply is gone.
    void DropItem(CarItem item);
    void DropAll();
    // 1 extra life, 2 nitro, 3 machine gun, 4 rocket launcher.
    void GiveBonus(CarItem item);
    // Chooses where the wreck goes back on the road, below the view.
    void FindRespawn();
    // Back on the road, standing.
    void Respawn();
    // The next level (advance) or the same level number again, on a new track.
    void RestartLevel(bool advance);

    // ---- sound ----
    void StopCarSounds(bool all);
    void ResumeCarSounds(bool all);
    // Plays one engine sound in place of the others and sets its state flag.
    void SetEngineSound(const std::string& name);

    // ---- driving parts (PlayerDrive.cpp, PlayerSound.cpp) ----
    void ComputeCorners();
    // Whether the map tile under world pixel (px, py) is road.
    bool OnRoadAt(int px, int py) const;
    // Whether all four corners stand on road.
    bool TestOnRoad() const;
    void CrashStep();
    void LevelEndStep();
    void EngineSoundStep();
    void HornStep();
    // The companions follow the car, the marks the world.
    void FollowScroll();
    void ComputeRearWheels();
    void LayMarks();
    // Removes the opponent cars within 720 pixels above or below the car.
    void ClearCarsNearby();

    // ---- drawing parts (PlayerDraw.cpp) ----
    void DrawMarks();
    void DrawNitroFlames();
    void DrawOpponents();
    void DrawWreck();

    // ---- the weapon (PlayerWeapons.cpp) ----
    // The machine gun (3) or the rocket launcher (4) is taken from a bonus.
    void GiveWeapon(CarItem weapon);
    // Driving: the shot flash, raising and lowering, the fire cooldown.
    void WeaponStep();
    // Driving: fires while Fire is held and the weapon is up.
    void FiringStep();
    void FireWeapon();
    // The machine gun's shot from screen point (px, py) along the heading.
    void GunRay(double px, double py);
    // The level end: the stage timer stops and the shot's picture goes.
    void EndShotFlash();
    // The weapon over the car.
    void DrawWeapon();

    // ---- what the car reaches of the rest of the race ----
    TRace& Race() const;
    double BackgroundX() const;
    double BackgroundY() const;
    void SetBackgroundPos(double x, double y);
    bool FinishPassed() const;
    double SpeedScale() const;
    int FrameMs() const;

  private:
    // The sines and cosines of the four corners' and the two rear wheels' angles at one
    // heading: worked out again only when the heading changes.
    struct TTurnedGeometry {
        int Heading = 0;
        bool Valid = false;
        std::array<double, 6> Sin{};
        std::array<double, 6> Cos{};
    };
    const TTurnedGeometry& TurnedGeometry();
    TTurnedGeometry turned_;

    std::array<TImageItem*, 12> carImages_{};
    TImageItem* bloodImage_ = nullptr;
    TImageItem* handbrakeImage_ = nullptr;
    TImageItem* explosionImage_ = nullptr;
};

} // namespace vorlane
