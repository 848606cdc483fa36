// Voices and songs on SDL_mixer with the dummy audio driver, and the silent device
// when there is no driver at all.
#include "platform/Music.h"
#include "platform/SdlAudio.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

namespace vorlane {
namespace {

// WAVEFORMATEX of 16-bit mono PCM.
std::vector<uint8_t> Format(uint32_t rate) {
    std::vector<uint8_t> f(18, 0);
    auto put16 = [&](size_t at, uint32_t v) {
        f[at] = uint8_t(v);
        f[at + 1] = uint8_t(v >> 8);
    };
    put16(0, 1); // PCM
    put16(2, 1); // mono
    put16(4, rate & 0xFFFF);
    put16(6, rate >> 16);
    put16(8, (rate * 2) & 0xFFFF);
    put16(10, (rate * 2) >> 16);
    put16(12, 2);  // block align
    put16(14, 16); // bits
    return f;
}

// A sine tone of the given length as 16-bit little-endian samples.
std::vector<uint8_t> Tone(uint32_t rate, int milliseconds) {
    const size_t n = size_t(rate) * size_t(milliseconds) / 1000;
    std::vector<uint8_t> s(n * 2);
    for (size_t i = 0; i < n; ++i) {
        const auto v = int16_t(8000 * std::sin(double(i) * 0.05));
        s[i * 2] = uint8_t(v);
        s[i * 2 + 1] = uint8_t(uint16_t(v) >> 8);
    }
    return s;
}

TEST(AudioTest, VoicesPlayStopAndFinish) {
    SdlAudioDevice device;
    ASSERT_TRUE(device.Ready()) << SDL_GetError();
    auto longVoice = device.MakeVoice(Format(22050), Tone(22050, 3000));
    ASSERT_NE(longVoice, nullptr);
    EXPECT_FALSE(longVoice->IsPlaying());

    longVoice->Play(false);
    EXPECT_TRUE(longVoice->IsPlaying());
    auto copy = longVoice->Duplicate();
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(copy->IsPlaying());
    copy->Play(false);
    EXPECT_TRUE(copy->IsPlaying());
    EXPECT_TRUE(longVoice->IsPlaying()) << "a duplicate plays beside its original";
    longVoice->Stop();
    EXPECT_FALSE(longVoice->IsPlaying());
    EXPECT_TRUE(copy->IsPlaying());
    copy->Play(false); // playing again restarts on a channel of its own
    EXPECT_TRUE(copy->IsPlaying());
    copy->Stop();

    // A short sound ends by itself; a looped one goes on; a sound started past its end
    // is not heard.
    auto shortVoice = device.MakeVoice(Format(22050), Tone(22050, 40));
    auto looped = shortVoice->Duplicate();
    auto late = shortVoice->Duplicate();
    shortVoice->Play(false);
    looped->Play(true);
    late->SetPosition(22050);
    late->Play(false);
    EXPECT_FALSE(late->IsPlaying());
    SDL_Delay(400);
    EXPECT_FALSE(shortVoice->IsPlaying());
    EXPECT_TRUE(looped->IsPlaying());

    // Its old channel taken by another voice, a finished voice does not count as playing.
    auto other = device.MakeVoice(Format(22050), Tone(22050, 3000));
    other->Play(false);
    EXPECT_FALSE(shortVoice->IsPlaying());
    looped->Stop();
    EXPECT_FALSE(looped->IsPlaying());
    EXPECT_TRUE(other->IsPlaying());
    shortVoice->Stop(); // must not stop the voice that owns the channel now
    EXPECT_TRUE(other->IsPlaying());
}

TEST(AudioTest, ChannelsGrowWhenAllAreBusy) {
    AudioOptions options;
    options.channels = 2;
    SdlAudioDevice device(options);
    ASSERT_TRUE(device.Ready());
    auto first = device.MakeVoice(Format(44100), Tone(44100, 2000));
    ASSERT_NE(first, nullptr);
    std::vector<std::unique_ptr<IVoice>> voices;
    for (int i = 0; i < 5; ++i) {
        voices.push_back(first->Duplicate());
        voices.back()->Play(false);
    }
    for (auto& v : voices)
        EXPECT_TRUE(v->IsPlaying());
    EXPECT_GE(device.Channels(), 5);
}

TEST(AudioTest, UnplayableRecordingsGiveNoVoice) {
    SdlAudioDevice device;
    ASSERT_TRUE(device.Ready());
    EXPECT_EQ(device.MakeVoice(Format(22050), {}), nullptr) << "no samples";
    EXPECT_EQ(device.MakeVoice({1, 0, 1, 0}, Tone(22050, 10)), nullptr) << "format block too short";
    std::vector<uint8_t> unknown = Format(22050);
    unknown[0] = 0x77; // a format tag nobody decodes
    EXPECT_EQ(device.MakeVoice(unknown, Tone(22050, 10)), nullptr);
}

TEST(AudioTest, RiffWaveWrapsTheBlocksWithEvenChunks) {
    const std::vector<uint8_t> wave = MakeRiffWave({1, 2, 3}, {9});
    ASSERT_EQ(wave.size(), 12u + 8 + 4 + 8 + 2);
    EXPECT_EQ(std::string(wave.begin(), wave.begin() + 4), "RIFF");
    EXPECT_EQ(wave[4], wave.size() - 8);
    EXPECT_EQ(std::string(wave.begin() + 8, wave.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(wave[16], 3);
    EXPECT_EQ(std::string(wave.begin() + 24, wave.begin() + 28), "data");
    EXPECT_EQ(wave[28], 1);
    EXPECT_EQ(wave[32], 9);
}

// The smallest XM module: one empty pattern of one row at the fastest pace (about
// 10 ms long), two channels, no instruments.
std::vector<uint8_t> TinyXm() {
    std::vector<uint8_t> xm;
    auto text = [&](const std::string& s, size_t n) {
        for (size_t i = 0; i < n; ++i)
            xm.push_back(i < s.size() ? uint8_t(s[i]) : 0);
    };
    auto u16 = [&](uint32_t v) {
        xm.push_back(uint8_t(v));
        xm.push_back(uint8_t(v >> 8));
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    text("Extended Module: ", 17);
    text("tiny", 20);
    xm.push_back(0x1A);
    text("test", 20);
    u16(0x0104);
    u32(276);
    u16(1);   // song length
    u16(0);   // restart
    u16(2);   // channels
    u16(1);   // patterns
    u16(0);   // instruments
    u16(1);   // linear frequencies
    u16(1);   // tempo
    u16(255); // bpm
    text("", 256);
    u32(9); // pattern header
    xm.push_back(0);
    u16(1);
    u16(0); // empty pattern
    return xm;
}

TEST(MusicTest, SongsLoadPlayAndFree) {
    SdlAudioDevice device;
    ASSERT_TRUE(device.Ready());
    SdlMusicPlayer music(device);
    EXPECT_EQ(music.SongLoadFromFile("Data\\Music\\NoSuchSong.xm"), 0);
    EXPECT_EQ(music.SongLoadFromResource("NoSuchResource"), 0);
    music.SongPlay(0); // harmless
    music.SongFree(42);

    const std::string path = std::string(VORLANE_BINARY_DIR) + "/platform_tiny.xm";
    {
        const std::vector<uint8_t> bytes = TinyXm();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    const int song = music.SongLoadFromFile(path);
    ASSERT_NE(song, 0) << SDL_GetError();
    EXPECT_EQ(music.Playing(), 0);
    EXPECT_EQ(music.RenderedBytes(), 0u);
    music.SongPlay(song);
    EXPECT_EQ(music.Playing(), song);
    SDL_Delay(300);
    const uint64_t rendered = music.RenderedBytes();
    EXPECT_GT(rendered, 0u) << "the song reaches the device";
    EXPECT_EQ(music.Playing(), song);
    SDL_Delay(200);
    EXPECT_GT(music.RenderedBytes(), rendered) << "and loops on long after its 10 ms";
    music.SongFree(song);
    EXPECT_EQ(music.Playing(), 0);
    const uint64_t stopped = music.RenderedBytes();
    SDL_Delay(100);
    EXPECT_EQ(music.RenderedBytes(), stopped) << "freed: no more music";
    music.SongPlay(song); // freed: nothing happens
    EXPECT_EQ(music.Playing(), 0);
    std::remove(path.c_str());
}

TEST(MusicTest, AMissingOrDamagedSongIsReportedOnceNamingItsFile) {
    SdlAudioDevice device;
    ASSERT_TRUE(device.Ready());
    std::vector<std::string> lines;
    SdlMusicPlayer music(device, [&lines](const std::string& line) { lines.push_back(line); });

    const std::string dir = std::string(VORLANE_BINARY_DIR) + "/";
    const std::string damaged = dir + "platform_damaged.xm", good = dir + "platform_good.xm";
    std::vector<uint8_t> bytes = TinyXm();
    std::ofstream(good, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    bytes.resize(bytes.size() / 2); // cut in the middle of its header
    std::ofstream(damaged, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));

    struct Case {
        std::string path;
        const char* why; // nullptr: loads, nothing said
    };
    const Case cases[] = {
        {dir + "NoSuchSong.xm", "missing"},
        {damaged, "damaged"},
        {std::string(VORLANE_SOURCE_DIR) + "/CMakeLists.txt", "not a music module"},
        {good, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        lines.clear();
        const int song = music.SongLoadFromFile(c.path);
        EXPECT_EQ(song == 0, c.why != nullptr);
        if (song) music.SongFree(song);
        if (!c.why) {
            EXPECT_TRUE(lines.empty());
            continue;
        }
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find(c.path), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(c.why), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find("without music"), std::string::npos) << lines[0];
        EXPECT_EQ(music.SongLoadFromFile(c.path), 0);
        EXPECT_EQ(lines.size(), 1u) << "asked again (the menu reopens): not said again";
    }
    std::remove(damaged.c_str());
    std::remove(good.c_str());
}

TEST(AudioTest, WithoutASoundDeviceEverythingIsSilent) {
    const char* old = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = old ? old : "";
    setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
    {
        SdlAudioDevice device;
        EXPECT_FALSE(device.Ready());
        EXPECT_EQ(device.Channels(), 0);
        EXPECT_EQ(device.MakeVoice(Format(22050), Tone(22050, 100)), nullptr);
        SdlMusicPlayer music(device);
        EXPECT_EQ(music.SongLoadFromFile(std::string(VORLANE_SOURCE_DIR) + "/CMakeLists.txt"), 0);
        music.SongPlay(1);
        music.SongFree(1);
    }
    if (old)
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
}

} // namespace
} // namespace vorlane
