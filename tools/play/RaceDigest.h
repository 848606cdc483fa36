#pragma once
// A digest of the race frame by frame: after every frame of a replay played back, the
// race's state (the level's numbers, the view, the player car, every opponent car,
// pedestrian, bonus and rocket, the finish) and the effects the frame played are mixed
// into one running 64-bit number. Two plays of a replay with the same digest went
// through the same states on every frame; a change to any rule of the race changes it.
//
// The values and their order are the digest's definition (tests/replay/corpus/README.md
// lists them): a new home for the race's state must feed the same values in the same
// order to keep the recorded digests.
#include "app/TMForm.h"
#include "sim/Bonus.h"
#include "sim/Car.h"
#include "sim/Finish.h"
#include "sim/Man.h"
#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/Rocket.h"
#include "sim/ScrollBackground.h"

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace vorlane::play {

class RaceDigest {
  public:
    uint64_t Value() const { return h_; }

    // One 64-bit word: h = (h xor w) * K, then h xor= h >> 29.
    void Word(uint64_t w) {
        h_ = (h_ ^ w) * 0x9E3779B97F4A7C15ull;
        h_ ^= h_ >> 29;
    }
    void Int(long long v) { Word(uint64_t(v)); }
    void Real(double v) { Word(std::bit_cast<uint64_t>(v)); }
    // Its length, then its bytes eight to a word, little-endian.
    void Text(const std::string& s) {
        Int(static_cast<long long>(s.size()));
        for (size_t i = 0; i < s.size(); i += 8) {
            uint64_t w = 0;
            for (size_t k = 0; k < 8 && i + k < s.size(); ++k)
                w |= uint64_t(static_cast<unsigned char>(s[i + k])) << (8 * k);
            Word(w);
        }
    }

    // The state after frame `frame` (0: the race's first frame) and the effects played
    // since the frame before.
    void Frame(TMForm& form, uint32_t frame, const std::vector<std::string>& effects) {
        Int(frame);
        Int(int(form.Screen.ActiveScreen));
        Int(int(form.Screen.ActiveDialog));
        Int(static_cast<long long>(effects.size()));
        for (const std::string& e : effects)
            Text(e);
        if (!form.Race) {
            Int(-1);
            return;
        }
        Race(*form.Race);
    }

    // The race's own state, as Frame mixes it in after the screen and the effects.
    void Race(const TRace& r) {
        Int(r.Level), Int(r.Lives), Int(r.Score), Int(r.TimeLeft);
        Int(r.TrackLength), Int(r.BonusCount), Int(r.CarCount);
        Int(r.MapRow), Int(r.MapCol), Real(r.ScrollVX), Real(r.ScrollVY);
        if (r.Background) Real(r.Background->X), Real(r.Background->Y);
        if (const TPlayer* p = r.Player) Player(*p);
        if (const TCar* c = r.Cars) Cars(*c);
        if (const TMan* m = r.Men) Pedestrians(*m);
        if (const TBonus* b = r.Bonuses) Bonuses(*b);
        for (const TRocket* rocket : r.Rockets) {
            if (!rocket) continue;
            Int(rocket->InFlight), Int(rocket->Exploding), Int(rocket->RocketSpeed), Int(rocket->RocketAngle);
            Real(rocket->WorldX), Real(rocket->WorldY);
        }
        if (r.Finish) Int(r.Finish->WorldY), Int(r.Finish->Passed);
    }

  private:
    void Player(const TPlayer& p) {
        Real(p.X), Real(p.Y), Real(p.CarCenterX), Real(p.CarCenterY);
        Real(p.Speed), Real(p.ScrollSpeed), Real(p.SteerPos), Int(p.Heading), Real(p.Drag), Int(p.OnRoad);
        for (const TPointD& c : p.Corners.corners)
            Real(c.x), Real(c.y);
        Real(p.RearWheelA.x), Real(p.RearWheelA.y), Real(p.RearWheelB.x), Real(p.RearWheelB.y);
        Int(p.Energy), Int(p.Crashed), Int(p.CrashTimer), Int(p.TimeOut);
        Int(p.HasNitro), Real(p.NitroLeft), Int(p.NitroBurning);
        Int(int(p.WeaponKind)), Int(p.WeaponStage), Int(p.Ammo), Int(p.FireCooldown);
    }
    void Cars(const TCar& c) {
        for (int i = 1; i <= kMaxCars; ++i) {
            const size_t k = size_t(i);
            Int(c.CarDir[k]), Int(c.CarKind[k]), Real(c.CarX[k]), Real(c.CarY[k]), Int(c.CarSpeed[k]);
            Int(c.CarExploding[k]), Real(c.CarExplosionTime[k]);
        }
    }
    void Pedestrians(const TMan& m) {
        Int(m.Scared);
        for (size_t i = 0; i < m.Slots.size(); ++i) {
            const TPedestrian& p = m.Slots[i];
            if (!p.Exists) continue;
            Int(static_cast<long long>(i)), Int(int(p.State)), Real(p.X), Real(p.Y), Int(p.Speed);
            Real(p.ScareTime);
        }
    }
    void Bonuses(const TBonus& b) {
        Int(b.LifeCount);
        for (size_t i = 0; i < b.Slots.size(); ++i) {
            const TBonusSlot& s = b.Slots[i];
            if (!s.Active) continue;
            Int(static_cast<long long>(i)), Int(s.Column), Int(s.Row), Int(int(s.Kind));
        }
    }

    uint64_t h_ = 0x6A09E667F3BCC908ull;
};

} // namespace vorlane::play
