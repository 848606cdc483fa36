// The mix keeps headroom: the loudest sounds the game plays together, over either
// song, never reach full scale on the sound card, and they stay loud. Measured on
// what SDL's disk driver writes: the mixed stream exactly as it goes out.
#include "game/FormFixture.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace vorlane {
namespace {

// The game's sound goes to a file instead of the card while this lives.
class DiskAudio {
  public:
    explicit DiskAudio(const std::filesystem::path& file) {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    }
    ~DiskAudio() {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL_DISKAUDIOFILE");
    }
    DiskAudio(const DiskAudio&) = delete;
    DiskAudio& operator=(const DiskAudio&) = delete;
};

struct Loudness {
    long long FullScale = 0; // samples at full scale (clipped)
    int LongestRun = 0;      // the most of them in a row
    int Peak = 0;
    size_t Samples = 0;
};

// The device's stream: 16-bit samples (the game asks the mixer for them).
Loudness Measure(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    Loudness l;
    int run = 0;
    int16_t s = 0;
    while (in.read(reinterpret_cast<char*>(&s), sizeof s)) {
        const int level = std::abs(int(s));
        ++l.Samples;
        l.Peak = std::max(l.Peak, level);
        run = level >= 32767 ? run + 1 : 0;
        l.FullScale += level >= 32767 ? 1 : 0;
        l.LongestRun = std::max(l.LongestRun, run);
    }
    return l;
}

// Every sound that can play at once in a race, started together: an engine loop (nitro,
// or the machine gun's loop that takes its place), the horn, and every one-shot.
void LoudestTogether(TMForm& form, const char* engine) {
    for (const char* name : {engine, "Horn", "Explosion", "Collision", "Kill", "KillW", "Rocket", "Score",
                             "Bonus", "WeaponAppear", "Tick", "Button"})
        form.PlayEffect(name);
}

TEST(SoundHeadroom, TheLoudestSoundsTogetherOverEitherSongNeverReachFullScaleAndStayLoud) {
    test::TempGameFolder folder;
    const std::filesystem::path recording = folder.Root() / "mix.raw";
    Loudness heard;
    {
        DiskAudio disk(recording);
        test::FormFixture game;
        TMForm& form = game.Form();
        if (!form.PlatformServices->Audio().Ready()) GTEST_SKIP() << "SDL's disk audio driver is missing";
        game.RunFrames(50);
        ASSERT_TRUE(form.Options().SoundOn);
        ASSERT_EQ(form.MusicFile(), "Data\\Music\\Menu.xm");
        // The menu's song, then the race's, then none; each with everything at once,
        // twice over (the sounds again half way, where the long ones are still on).
        struct Stage {
            const char* Song;
            const char* Engine;
        };
        for (const Stage stage :
             {Stage{"Data\\Music\\Menu.xm", "Nitro"}, Stage{"Data\\Music\\Race.xm", "Nitro"},
              Stage{"Data\\Music\\Race.xm", "MachineGun"}, Stage{nullptr, "Nitro"}}) {
            if (stage.Song)
                form.PlayMusic(stage.Song, false);
            else
                form.StopMusic();
            LoudestTogether(form, stage.Engine);
            SDL_Delay(700);
            LoudestTogether(form, stage.Engine);
            SDL_Delay(700);
        }
    } // the device closes: the file holds all of it
    heard = Measure(recording);
    std::printf("mixed stream: %zu samples, %lld at full scale (longest run %d), peak %d (%.1f dBFS)\n",
                heard.Samples, heard.FullScale, heard.LongestRun, heard.Peak,
                20.0 * std::log10(std::max(heard.Peak, 1) / 32768.0));
    ASSERT_GT(heard.Samples, size_t(44100 * 2 * 4)) << "four seconds of stereo at least";
    EXPECT_EQ(heard.FullScale, 0) << "longest run " << heard.LongestRun;
    EXPECT_LT(heard.Peak, 32767);
    EXPECT_GT(heard.Peak, 32768 / 2) << "louder than -6 dBFS: turned down, not silenced";
}

} // namespace
} // namespace vorlane
