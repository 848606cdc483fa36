// The sound archive as the game loads it: every effect the game plays is there with its
// loop flag and a 16-bit mono recording; loops repeat without a click; nothing clips,
// nothing is silent, the engine sounds sit at one level; and the generator writes the
// same bytes on every run.
#include "audio_products.h"
#include "datagen/audio/SoundCatalogue.h"
#include "engine/Sounds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>

namespace vorlane::datagen {
namespace {

using audiotest::MeasureSeam;

struct Recording {
    bool looped = false;
    int rate = 0;
    std::vector<int16_t> samples;
};

uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
    return uint16_t(b[at] | (b[at + 1] << 8));
}
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return U16(b, at) | (uint32_t(U16(b, at + 2)) << 16);
}

// Every item of the generated archive, loaded by the game's own sound list.
const std::map<std::string, Recording>& Recordings() {
    static const std::map<std::string, Recording> recordings = [] {
        TSoundCollection list;
        list.LoadFromBytes(audiotest::SoundArchiveBytes(), "Sounds.sfx");
        std::map<std::string, Recording> out;
        for (int i = 0; i < list.Count(); ++i) {
            const TSoundItem& item = list.Item(i);
            Recording r;
            r.looped = item.Looped();
            const std::vector<uint8_t>& fmt = item.Wave.Format;
            EXPECT_GE(fmt.size(), 16u) << item.Name;
            if (fmt.size() < 16) continue;
            EXPECT_EQ(U16(fmt, 0), 1) << item.Name << ": not PCM";
            EXPECT_EQ(U16(fmt, 2), 1) << item.Name << ": not mono";
            EXPECT_EQ(U16(fmt, 14), 16) << item.Name << ": not 16-bit";
            r.rate = int(U32(fmt, 4));
            r.samples.resize(item.Wave.Data.size() / 2);
            std::memcpy(r.samples.data(), item.Wave.Data.data(), r.samples.size() * 2);
            out[item.Name] = std::move(r);
        }
        return out;
    }();
    return recordings;
}

double Rms(const std::vector<int16_t>& s) {
    double sum = 0.0;
    for (int16_t v : s)
        sum += double(v) * double(v);
    return s.empty() ? 0.0 : std::sqrt(sum / double(s.size())) / 32768.0;
}

double Db(double v) {
    return 20.0 * std::log10(std::max(v, 1e-9));
}

TEST(AudioSounds, EveryEffectIsThereWithItsLoopFlag) {
    const auto& recordings = Recordings();
    EXPECT_EQ(recordings.size(), SoundCatalogue().size());
    for (const SoundName& entry : SoundCatalogue()) {
        SCOPED_TRACE(entry.name);
        const auto it = recordings.find(entry.name);
        ASSERT_NE(it, recordings.end());
        EXPECT_EQ(it->second.looped, entry.looped);
        EXPECT_TRUE(it->second.rate == 22050 || it->second.rate == 44100) << it->second.rate;
        EXPECT_FALSE(it->second.samples.empty());
    }
    // The names the game plays, looked up as the game does (without regard to case).
    TSoundCollection list;
    list.LoadFromBytes(audiotest::SoundArchiveBytes(), "Sounds.sfx");
    EXPECT_TRUE(list.FindWave("accel3").Looped());
    EXPECT_FALSE(list.FindWave("KILLW").Looped());
}

TEST(AudioSounds, SeamMeasureTellsAWholeLoopFromACutOne) {
    // 441 Hz at 22050 Hz: 1000 samples hold 20 whole cycles, 1012 samples end near a crest
    // and jump back to zero.
    auto sine = [](size_t n) {
        std::vector<double> s(n);
        for (size_t i = 0; i < n; ++i)
            s[i] = std::sin(2.0 * 3.14159265358979 * 441.0 * double(i) / 22050.0);
        return s;
    };
    EXPECT_TRUE(MeasureSeam(sine(1000)).Smooth());
    EXPECT_FALSE(MeasureSeam(sine(1012)).Smooth());
}

TEST(AudioSounds, LoopsJoinWithoutAClick) {
    for (const auto& [name, r] : Recordings()) {
        if (!r.looped) continue;
        const audiotest::Seam seam = MeasureSeam(r.samples);
        EXPECT_TRUE(seam.Smooth()) << name << ": jump " << seam.jump << " (limit " << seam.jumpLimit
                                   << "), bend " << seam.bend << " (limit " << seam.bendLimit << ")";
        // Looped sounds start on a quiet zero crossing, so starting one does not click.
        EXPECT_LE(std::abs(int(r.samples.front())), 1600) << name;
    }
}

TEST(AudioSounds, LevelsNoClippingNoSilenceOneShotsStartAndEndAtRest) {
    for (const auto& [name, r] : Recordings()) {
        SCOPED_TRACE(name);
        int peak = 0;
        for (int16_t v : r.samples)
            peak = std::max(peak, std::abs(int(v)));
        EXPECT_LE(peak, 32440) << "clips"; // 0.99 of full scale
        EXPECT_GE(Db(Rms(r.samples)), -35.0) << "too quiet";
        if (!r.looped) {
            EXPECT_LE(std::abs(int(r.samples.front())), 300);
            EXPECT_LE(std::abs(int(r.samples.back())), 300);
        }
    }
}

TEST(AudioSounds, EngineLoopsAreLevelMatched) {
    double loudest = 0.0, quietest = 1.0;
    for (const char* name : kEngineLoops) {
        const double rms = Rms(Recordings().at(name).samples);
        loudest = std::max(loudest, rms);
        quietest = std::min(quietest, rms);
    }
    // Switching from one engine state to the next never jumps by more than 6 dB.
    EXPECT_LE(Db(loudest) - Db(quietest), 6.0);
}

TEST(AudioSounds, EffectsFitHowOftenTheGamePlaysThem) {
    const auto& all = Recordings();
    // The remaining time is counted into the score with a tick every 100 ms.
    EXPECT_LT(double(all.at("Tick").samples.size()) / all.at("Tick").rate, 0.1);
    // The gun fires every 200 ms: its loop holds whole shots at that rate.
    const Recording& gun = all.at("MachineGun");
    const double shots = double(gun.samples.size()) / gun.rate / 0.2;
    EXPECT_NEAR(shots, std::round(shots), 1e-3);
    EXPECT_GE(shots, 1.0);
}

TEST(AudioSounds, SameBytesOnEveryRun) {
    EXPECT_EQ(WriteSoundArchive("MSoundList", BuildSounds()), audiotest::SoundArchiveBytes());
}

} // namespace
} // namespace vorlane::datagen
