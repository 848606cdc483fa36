// The songs in stereo: rendered through the module player once round, the two
// channels differ (the instruments have their places), neither side is more than 1 dB
// louder than the other, and folded down to mono nothing cancels away.
#include "audio_products.h"

#include <gtest/gtest.h>
#include <xmp.h>

#include <cmath>
#include <string>

namespace vorlane::datagen {
namespace {

struct StereoRender {
    double left = 0, right = 0, mid = 0, side = 0; // sums of squares
    double frames = 0, framesThatDiffer = 0;
    double Rms(double squares) const { return std::sqrt(squares / std::max(frames, 1.0)); }
    static double Db(double ratio) { return 20.0 * std::log10(ratio + 1e-12); }
};

// Plays the song to its loop point at 44100 Hz, 16-bit stereo.
StereoRender Render(const std::vector<uint8_t>& bytes) {
    StereoRender r;
    xmp_context ctx = xmp_create_context();
    if (xmp_load_module_from_memory(ctx, bytes.data(), long(bytes.size())) != 0) {
        xmp_free_context(ctx);
        ADD_FAILURE() << "the song does not load";
        return r;
    }
    xmp_start_player(ctx, 44100, 0);
    xmp_frame_info fi;
    for (int guard = 0; guard < 200000 && xmp_play_frame(ctx) == 0; ++guard) {
        xmp_get_frame_info(ctx, &fi);
        if (fi.loop_count > 0) break;
        const auto* buf = static_cast<const int16_t*>(fi.buffer);
        for (int i = 0; i + 1 < fi.buffer_size / 2; i += 2) {
            const double l = buf[i], rr = buf[i + 1];
            r.left += l * l;
            r.right += rr * rr;
            r.mid += (l + rr) * (l + rr) / 4;
            r.side += (l - rr) * (l - rr) / 4;
            r.frames += 1;
            if (buf[i] != buf[i + 1]) r.framesThatDiffer += 1;
        }
    }
    xmp_end_player(ctx);
    xmp_release_module(ctx);
    xmp_free_context(ctx);
    return r;
}

TEST(AudioSongsStereo, InstrumentsHaveTheirPlacesAndTheSidesBalance) {
    struct Case {
        const char* name;
        const std::vector<uint8_t>& (*bytes)();
    };
    for (const Case& song :
         {Case{"Menu", audiotest::MenuSongBytes}, Case{"Race", audiotest::RaceSongBytes}}) {
        SCOPED_TRACE(song.name);
        const StereoRender r = Render(song.bytes());
        ASSERT_GT(r.frames, 44100.0 * 30) << "the song plays for its length";
        const double left = r.Rms(r.left), right = r.Rms(r.right);
        const double balanceDb = StereoRender::Db(left / right);
        const double sideDb = StereoRender::Db(r.Rms(r.side) / r.Rms(r.mid));
        // Folded to mono, the level stays close to that of the two sides.
        const double monoDb = StereoRender::Db(r.Rms(r.mid) / std::sqrt((left * left + right * right) / 2));
        std::printf("%s: left %.1f dB, right %.1f dB (balance %+.2f dB), side %.1f dB below the middle, "
                    "mono fold %+.2f dB, %.0f%% of frames differ\n",
                    song.name, StereoRender::Db(left / 32768), StereoRender::Db(right / 32768), balanceDb,
                    -sideDb, monoDb, 100.0 * r.framesThatDiffer / r.frames);
        EXPECT_GT(r.framesThatDiffer / r.frames, 0.5) << "the channels differ through most of the song";
        EXPECT_GT(sideDb, -24.0) << "the stereo spread is audible";
        EXPECT_LT(sideDb, -3.0) << "the middle carries the song";
        EXPECT_LE(std::abs(balanceDb), 1.0) << "neither side louder by more than 1 dB";
        EXPECT_GT(monoDb, -1.5) << "nothing cancels in mono";
    }
}

} // namespace
} // namespace vorlane::datagen
