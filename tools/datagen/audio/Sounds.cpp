// The sound archive: every effect of the game by name, with its loop flag, as 16-bit
// mono RIFF WAVE recordings.
#include "datagen/Families.h"
#include "datagen/audio/Effects.h"
#include "datagen/audio/Loops.h"
#include "datagen/audio/SoundCatalogue.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vorlane::datagen {

const std::vector<SoundName>& SoundCatalogue() {
    static const std::vector<SoundName> names = {
        {"Neutral", true},    {"Accel1", true},     {"Accel2", true},        {"Accel3", true},
        {"Accel4", true},     {"Shift", true},      {"Slowed", true},        {"Maxed", true},
        {"Brake", true},      {"Nitro", true},      {"MachineGun", true},    {"Horn", true},
        {"Button", false},    {"MenuBegin", false}, {"Tick", false},         {"Collision", false},
        {"Explosion", false}, {"Rocket", false},    {"Kill", false},         {"KillW", false},
        {"Score", false},     {"Bonus", false},     {"WeaponAppear", false},
    };
    return names;
}

namespace audio {

void FinishOneShot(Signal& s, double rate, double peak) {
    // Trim the silent end, then make both ends meet zero.
    size_t end = s.size();
    while (end > 0 && std::fabs(s[end - 1]) < 1e-4f)
        --end;
    s.resize(end);
    FadeIn(s, Samples(0.0005, rate));
    FadeOut(s, Samples(0.01, rate));
    NormalizePeak(s, peak);
}

void FinishLoop(Signal& s, double rmsDb, size_t search) {
    NormalizeRms(s, rmsDb);
    SoftLimit(s, 0.75, 0.97);
    StartAtQuietCrossing(s, search);
}

std::vector<Effect> SynthesizeEffects() {
    std::vector<Effect> made;
    for (auto family : {EngineEffects, WeaponEffects, VoiceEffects, SignalEffects})
        for (Effect& e : family())
            made.push_back(std::move(e));
    std::vector<Effect> ordered;
    for (const SoundName& entry : SoundCatalogue()) {
        auto it =
            std::find_if(made.begin(), made.end(), [&](const Effect& e) { return e.name == entry.name; });
        if (it == made.end())
            throw std::logic_error(std::string("sound effect not synthesized: ") + entry.name);
        if (it->looped != entry.looped)
            throw std::logic_error(std::string("sound effect with the wrong loop flag: ") + entry.name);
        ordered.push_back(std::move(*it));
        made.erase(it);
    }
    if (!made.empty()) throw std::logic_error("sound effect outside the catalogue: " + made.front().name);
    return ordered;
}

} // namespace audio

std::vector<SoundRecord> BuildSounds() {
    std::vector<SoundRecord> records;
    for (const audio::Effect& e : audio::SynthesizeEffects()) {
        SoundRecord r;
        r.name = e.name;
        r.looped = e.looped;
        r.wave = EncodeWave16(audio::ToPcm16(e.samples), 1, audio::kEffectRate);
        records.push_back(std::move(r));
    }
    return records;
}

} // namespace vorlane::datagen
