// The car's engine sound, its horn, and the skid and blood marks it leaves.
#include "sim/Player.h"

#include "sim/Man.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"

#include <cmath>

namespace vorlane {

namespace {

// The ten engine sounds, and what else stops when every car sound goes.
constexpr const char* kEngineSounds[] = {"Neutral", "Accel1", "Accel2", "Accel3", "Accel4",
                                         "Shift",   "Slowed", "Maxed",  "Brake",  "Nitro"};
constexpr const char* kOtherCarSounds[] = {"MachineGun", "Rocket", "Horn",      "Kill",
                                           "Score",      "Bonus",  "Explosion", "Collision"};

} // namespace

void StopCarSounds(TRaceWorld& world, bool all) {
    for (const char* name : kEngineSounds)
        world.StopEffect(name);
    if (all)
        for (const char* name : kOtherCarSounds)
            world.StopEffect(name);
}

void ResumeCarSounds(TRaceWorld& world, bool all) {
    if (world.Race && world.Race->Player) world.Race->Player->ResumeCarSounds(all);
}

void TPlayer::StopCarSounds(bool all) {
    vorlane::StopCarSounds(World, all);
}

void TPlayer::ResumeCarSounds(bool all) {
    // The gears' sound comes back as the highest one.
    switch (EngineState) {
    case EngineSound::Maxed:
        SetEngineSound("Maxed");
        break;
    case EngineSound::Neutral:
        SetEngineSound("Neutral");
        break;
    case EngineSound::Accel:
        SetEngineSound("Accel4");
        break;
    case EngineSound::Shift:
        SetEngineSound("Shift");
        break;
    case EngineSound::Slowed:
        SetEngineSound("Slowed");
        break;
    case EngineSound::Brake:
        SetEngineSound("Brake");
        break;
    case EngineSound::Nitro:
        SetEngineSound("Nitro");
        break;
    case EngineSound::None:
        break;
    }
    if (all) {
        // The gun's loop goes through SetEngineSound too, which silences the engine until
        // the next driving frame picks its sound again.
        if (GunSounding) SetEngineSound("MachineGun");
        if (HornSounding) World.PlayEffect("Horn");
    }
}

void TPlayer::SetEngineSound(const std::string& name) {
    StopCarSounds(false);
    World.PlayEffect(name);
    EngineState = EngineSound::None;
    if (name == "Maxed")
        EngineState = EngineSound::Maxed;
    else if (name == "Neutral")
        EngineState = EngineSound::Neutral;
    else if (name == "Accel1" || name == "Accel2" || name == "Accel3" || name == "Accel4")
        EngineState = EngineSound::Accel;
    else if (name == "Shift")
        EngineState = EngineSound::Shift;
    else if (name == "Slowed")
        EngineState = EngineSound::Slowed;
    else if (name == "Brake")
        EngineState = EngineSound::Brake;
    else if (name == "Nitro")
        EngineState = EngineSound::Nitro;
}

void TPlayer::EngineSoundStep() {
    // To enter a sound: play it unless its state is already on.
    const auto enter = [this](EngineSound state, const char* name) {
        if (EngineState != state) SetEngineSound(name);
    };
    if (KeyNitro && HasNitro) {
        enter(EngineSound::Nitro, "Nitro");
        return;
    }
    World.StopEffect("Nitro");
    if (EngineState == EngineSound::Nitro) EngineState = EngineSound::None;
    if (!OnRoad) {
        enter(EngineSound::Neutral, "Neutral");
        return;
    }
    const double v = Speed;
    if (KeyUp && !KeyHandbrake) {
        // The gears: an accelerating sound plays on until a shift band is crossed.
        if (v > 0 && v <= 65) enter(EngineSound::Accel, "Accel1");
        if (v > 65 && v <= 67) enter(EngineSound::Shift, "Shift");
        if (v > 67 && v <= 90) enter(EngineSound::Accel, "Accel2");
        if (v > 95 && v <= 97) enter(EngineSound::Shift, "Shift");
        if (v > 97 && v <= 115) enter(EngineSound::Accel, "Accel3");
        if (v > 115 && v <= 116) enter(EngineSound::Shift, "Shift");
        if (v > 116 && v <= 130) enter(EngineSound::Accel, "Accel4");
        if (v > 130 && v <= 131) enter(EngineSound::Shift, "Shift");
        if (v > 131 && v <= 142) enter(EngineSound::Accel, "Accel4");
        if (v > 142 && v <= 143) enter(EngineSound::Shift, "Shift");
        if (v > 143 && v <= 157) enter(EngineSound::Accel, "Accel4");
        if (v > 157 && v <= 180) enter(EngineSound::Maxed, "Maxed");
    }
    if (!KeyUp && !KeyHandbrake) {
        if (v > 40)
            enter(EngineSound::Slowed, "Slowed");
        else
            enter(EngineSound::Neutral, "Neutral");
    }
    if (KeyHandbrake && v != 0) enter(EngineSound::Brake, "Brake");
    if (EngineState == EngineSound::Brake && Speed == 0) SetEngineSound("Neutral");
}

void TPlayer::HornStep() {
    if (!KeyHorn) {
        HornSounding = false;
        World.StopEffect("Horn");
        return;
    }
    if (!HornSounding) {
        HornSounding = true;
        if (Race().Men) Race().Men->ScarePedestrians();
        World.PlayEffect("Horn");
    }
}

// ---- marks ----

void TMarkStore::Clear() {
    MarkX.fill(0);
    MarkY.fill(0);
    MarkAngle.fill(0);
    MarkActive.fill(0);
    MarkBlood.fill(0);
    MarkShown.fill(0);
    LastMark = 1;
}

int TMarkStore::Lay(double x, double y, int heading, int& bloodLeft) {
    for (int i = 1; i <= kSlots; ++i) {
        const size_t s = size_t(i);
        if (MarkActive[s] != 0) continue;
        MarkShown[s] = 1;
        if (bloodLeft <= 0) {
            MarkBlood[s] = 0;
        } else {
            // The first blood marks after a run-over lie under the car: not shown.
            MarkBlood[s] = 1;
            if (bloodLeft > 30) MarkShown[s] = 0;
            bloodLeft -= 1;
        }
        MarkX[s] = x;
        MarkY[s] = y;
        MarkAngle[s] = heading;
        MarkActive[s] = 1;
        LastMark = i;
        return i;
    }
    return 0;
}

void TMarkStore::Scroll(double dx, double dy) {
    for (int i = 1; i <= kSlots; ++i) {
        MarkX[size_t(i)] += dx;
        MarkY[size_t(i)] += dy;
    }
}

void TMarkStore::DropOffScreen() {
    for (int i = 1; i <= kSlots; ++i) {
        const size_t s = size_t(i);
        if (MarkActive[s] == 1 && (MarkX[s] < 0 || MarkX[s] > 700 || MarkY[s] + 14 < 0 || MarkY[s] > 600)) {
            MarkX[s] = MarkY[s] = 0;
            MarkActive[s] = 0;
        }
    }
}

int TMarkStore::ActiveCount() const {
    int n = 0;
    for (int i = 1; i <= kSlots; ++i)
        n += MarkActive[size_t(i)] != 0;
    return n;
}

void TPlayer::LayMarks() {
    if (!((KeyHandbrake && std::abs(ScrollSpeed) > 0.1) || BloodLeft > 0)) return;
    const size_t last = size_t(Marks.LastMark);
    const double dx = RearWheelB.x - Marks.MarkX[last];
    const double dy = RearWheelB.y - Marks.MarkY[last];
    if (std::sqrt(dx * dx + dy * dy) < 12 - ScrollSpeed * 0.5 * SpeedScale()) return;
    Marks.Lay(RearWheelA.x, RearWheelA.y, Heading, BloodLeft);
    Marks.Lay(RearWheelB.x, RearWheelB.y, Heading, BloodLeft);
}

} // namespace vorlane
