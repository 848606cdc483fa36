// The two songs through the module player: they load with their channels, patterns and
// instruments, play every order to the loop point at the length they should have, are
// neither silent nor clipping, come back at the same tempo, and their instruments' sample
// loops have no seam. The generator writes the same bytes on every run.
//
// (The game plays the songs through SDL_mixer; that it loads them too is checked on the
// platform side.)
#include "audio_products.h"

#include <gtest/gtest.h>
#include <xmp.h>

#include <cmath>
#include <cstring>
#include <ostream>
#include <set>
#include <string>

namespace vorlane::datagen {
namespace {

struct SongCase {
    const char* name;
    const std::vector<uint8_t>& (*bytes)();
    int channels, instruments, orders;
    double minSeconds, maxSeconds; // how long before it loops
    size_t minDistinctPatterns;    // sections that change, not one phrase over and over
};

const SongCase kSongs[] = {
    {"Menu", audiotest::MenuSongBytes, 10, 8, 6, 55.0, 65.0, 5},
    {"Race", audiotest::RaceSongBytes, 12, 11, 18, 110.0, 130.0, 10},
};

void PrintTo(const SongCase& song, std::ostream* os) {
    *os << song.name;
}

class AudioSongs : public ::testing::TestWithParam<SongCase> {};

struct Playthrough {
    double loopSeconds = -1.0;
    std::set<int> positions;
    double rms = 0.0;
    double clipped = 0.0; // fraction of samples at full scale
    int speedAtStart = 0, bpmAtStart = 0, speedAfterLoop = 0, bpmAfterLoop = 0;
};

TEST_P(AudioSongs, LoadsAndPlaysToItsLoopPoint) {
    const SongCase& song = GetParam();
    const std::vector<uint8_t>& bytes = song.bytes();
    const int headerPatterns = bytes[70] | (bytes[71] << 8);

    xmp_context ctx = xmp_create_context();
    ASSERT_EQ(xmp_load_module_from_memory(ctx, bytes.data(), long(bytes.size())), 0);
    xmp_module_info info;
    xmp_get_module_info(ctx, &info);
    EXPECT_EQ(info.mod->chn, song.channels);
    EXPECT_EQ(info.mod->ins, song.instruments);
    EXPECT_EQ(info.mod->len, song.orders);
    EXPECT_EQ(info.mod->rst, 0);
    // The player keeps one spare empty pattern of its own after the module's.
    EXPECT_GE(info.mod->pat, headerPatterns);
    EXPECT_LE(info.mod->pat, headerPatterns + 1);
    std::set<int> distinct(info.mod->xxo, info.mod->xxo + info.mod->len);
    EXPECT_GE(distinct.size(), song.minDistinctPatterns);

    const int rate = 44100;
    ASSERT_EQ(xmp_start_player(ctx, rate, 0), 0);
    Playthrough play;
    xmp_frame_info fi;
    double sum = 0.0, samples = 0.0, atFull = 0.0;
    size_t frames = 0;
    bool first = true;
    while (frames < size_t(song.maxSeconds + 10.0) * rate) {
        ASSERT_EQ(xmp_play_frame(ctx), 0);
        xmp_get_frame_info(ctx, &fi);
        if (first) {
            play.speedAtStart = fi.speed;
            play.bpmAtStart = fi.bpm;
            first = false;
        }
        if (fi.loop_count > 0) {
            play.loopSeconds = double(frames) / rate;
            play.speedAfterLoop = fi.speed;
            play.bpmAfterLoop = fi.bpm;
            break;
        }
        play.positions.insert(fi.pos);
        const int16_t* buf = static_cast<const int16_t*>(fi.buffer);
        for (int i = 0; i < fi.buffer_size / 2; ++i) {
            sum += double(buf[i]) * double(buf[i]);
            if (buf[i] >= 32767 || buf[i] <= -32768) atFull += 1.0;
        }
        samples += fi.buffer_size / 2;
        frames += size_t(fi.buffer_size / 4);
    }
    xmp_end_player(ctx);
    xmp_release_module(ctx);
    xmp_free_context(ctx);

    EXPECT_GE(play.loopSeconds, song.minSeconds);
    EXPECT_LE(play.loopSeconds, song.maxSeconds);
    EXPECT_EQ(int(play.positions.size()), song.orders) << "every order plays before the loop";
    const double rmsDb = 20.0 * std::log10(std::sqrt(sum / std::max(samples, 1.0)) / 32768.0 + 1e-12);
    EXPECT_GT(rmsDb, -30.0) << "too quiet";
    EXPECT_LT(atFull / std::max(samples, 1.0), 1e-4) << "clips";
    // The song comes round at the tempo it started with.
    EXPECT_EQ(play.speedAfterLoop, play.speedAtStart);
    EXPECT_EQ(play.bpmAfterLoop, play.bpmAtStart);
}

TEST_P(AudioSongs, SampleLoopsHaveNoSeam) {
    const std::vector<uint8_t>& bytes = GetParam().bytes();
    xmp_context ctx = xmp_create_context();
    ASSERT_EQ(xmp_load_module_from_memory(ctx, bytes.data(), long(bytes.size())), 0);
    xmp_module_info info;
    xmp_get_module_info(ctx, &info);
    int loops = 0;
    for (int i = 0; i < info.mod->smp; ++i) {
        const xmp_sample& s = info.mod->xxs[i];
        if (!(s.flg & XMP_SAMPLE_LOOP)) continue;
        ASSERT_TRUE(s.flg & XMP_SAMPLE_16BIT) << s.name;
        std::vector<int16_t> loop(size_t(s.lpe - s.lps));
        std::memcpy(loop.data(), s.data + 2 * s.lps, loop.size() * 2);
        const audiotest::Seam seam = audiotest::MeasureSeam(loop);
        EXPECT_TRUE(seam.Smooth()) << s.name << ": jump " << seam.jump << " (limit " << seam.jumpLimit << ")";
        ++loops;
    }
    EXPECT_GE(loops, 3) << "the sustained instruments loop";
    xmp_release_module(ctx);
    xmp_free_context(ctx);
}

INSTANTIATE_TEST_SUITE_P(Songs, AudioSongs, ::testing::ValuesIn(kSongs),
                         [](const ::testing::TestParamInfo<SongCase>& p) {
                             return std::string(p.param.name);
                         });

TEST(AudioSongsBytes, SameBytesOnEveryRun) {
    EXPECT_EQ(BuildMenuSong(), audiotest::MenuSongBytes());
    EXPECT_EQ(BuildRaceSong(), audiotest::RaceSongBytes());
}

} // namespace
} // namespace vorlane::datagen
