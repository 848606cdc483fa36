// The generated songs must also load in SDL_mixer's own module music loader, so that any
// build of the game that hands them to SDL_mixer directly plays them too.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::filesystem::path DataRoot() {
    if (const char* dir = std::getenv("VORLANE_DATA_DIR")) return dir;
    return VORLANE_SOURCE_DIR;
}

TEST(MixerSongTest, GeneratedSongsLoadInSdlMixer) {
    const auto music = DataRoot() / "Data" / "Music";
    if (!std::filesystem::exists(music / "Menu.xm")) GTEST_SKIP() << "no generated songs in " << music;

    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    Mix_Init(MIX_INIT_MOD);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
    for (const char* name : {"Menu.xm", "Race.xm"}) {
        Mix_Music* song = Mix_LoadMUS((music / name).string().c_str());
        EXPECT_NE(song, nullptr) << name << ": " << Mix_GetError();
        if (song) {
            EXPECT_EQ(Mix_GetMusicType(song), MUS_MOD) << name;
            EXPECT_EQ(Mix_PlayMusic(song, -1), 0) << name << ": " << Mix_GetError();
            Mix_HaltMusic();
            Mix_FreeMusic(song);
        }
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace
