// A looped sound that is stopped fades out over a few milliseconds instead of
// stopping mid-wave: the fade itself, and the device's real output stream.
#include "platform/SdlAudio.h"
#include "platform/detail/FadeOut.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace vorlane {
namespace {

using detail::LinearFadeOut;

TEST(FadeOutTest, LevelFallsInEvenStepsAcrossBlocksToSilence) {
    // The same fade given in one block or in uneven pieces, as the mixer hands them.
    const std::vector<std::vector<size_t>> splits = {{40}, {2, 6, 32}, {10, 10, 10, 10}, {18, 22}};
    for (const std::vector<size_t>& blocks : splits) {
        LinearFadeOut fade(8, 2); // stereo, eight frames
        std::vector<int16_t> stream(40, 16000);
        for (size_t i = 0; i < stream.size(); i += 2)
            stream[i + 1] = -8000; // right differs
        size_t at = 0;
        for (size_t n : blocks) {
            fade.Apply(stream.data() + at, n);
            at += n;
        }
        for (size_t frame = 0; frame < 20; ++frame) {
            const int keep = frame < 8 ? int(8 - frame) : 0;
            EXPECT_EQ(stream[2 * frame], 16000 * keep / 8) << "left, frame " << frame;
            EXPECT_EQ(stream[2 * frame + 1], -8000 * keep / 8) << "right, frame " << frame;
        }
        EXPECT_TRUE(fade.Done());
    }
    LinearFadeOut unfinished(100, 1);
    std::vector<int16_t> some(99, 1000);
    unfinished.Apply(some.data(), some.size());
    EXPECT_FALSE(unfinished.Done());
    EXPECT_EQ(some.front(), 1000);
    EXPECT_EQ(some.back(), 20); // frame 98 of 100 keeps 2/100
}

// What the device sends to the (dummy) sound card, frame by frame (left channel).
class OutputRecorder {
  public:
    OutputRecorder() { Mix_SetPostMix(&OutputRecorder::Record, this); }
    ~OutputRecorder() { Mix_SetPostMix(nullptr, nullptr); }
    std::vector<int16_t> Left() {
        std::lock_guard lock(mutex_);
        return left_;
    }

  private:
    static void SDLCALL Record(void* self, Uint8* stream, int length) {
        auto* recorder = static_cast<OutputRecorder*>(self);
        std::lock_guard lock(recorder->mutex_);
        const auto* samples = reinterpret_cast<const int16_t*>(stream);
        for (int i = 0; i + 1 < length / 2; i += 2)
            recorder->left_.push_back(samples[i]);
    }
    std::mutex mutex_;
    std::vector<int16_t> left_;
};

// WAVEFORMATEX of 16-bit mono PCM at 44100 Hz, the device's own rate.
std::vector<uint8_t> MonoFormat() {
    return {1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0, 0, 0};
}

// A level held at `value`: the harshest case, where stopping at once jumps from full
// level to nothing.
std::vector<uint8_t> Level(int16_t value, int frames) {
    std::vector<uint8_t> s;
    for (int i = 0; i < frames; ++i) {
        s.push_back(uint8_t(value));
        s.push_back(uint8_t(uint16_t(value) >> 8));
    }
    return s;
}

// The frames from the last one at full level to the first silent one after it.
struct Ending {
    size_t fullAt = 0, silentAt = 0;
    int largestStep = 0;
};

Ending FindEnding(const std::vector<int16_t>& left, int16_t full) {
    Ending e;
    for (size_t i = 0; i < left.size(); ++i)
        if (left[i] == full) e.fullAt = i;
    e.silentAt = e.fullAt;
    while (e.silentAt < left.size() && left[e.silentAt] != 0)
        ++e.silentAt;
    for (size_t i = e.fullAt; i < e.silentAt && i + 1 < left.size(); ++i)
        e.largestStep = std::max(e.largestStep, std::abs(left[i] - left[i + 1]));
    return e;
}

TEST(FadeOutTest, StoppedLoopFadesOnTheDeviceWhileASingleSoundStopsAtOnce) {
    SdlAudioDevice device;
    ASSERT_TRUE(device.Ready()) << SDL_GetError();
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    if (frequency != 44100 || format != AUDIO_S16SYS)
        GTEST_SKIP() << "the device runs at another rate or format";

    const int16_t full = 12000;
    struct Case {
        bool looped;
        size_t shortest, longest; // frames from full level to silence
    };
    // The fade lasts 8 ms (352 frames); a single sound ends from one frame to the next.
    for (const Case c : {Case{true, 340, 360}, Case{false, 1, 1}}) {
        auto voice = device.MakeVoice(MonoFormat(), Level(full, 44100));
        ASSERT_NE(voice, nullptr);
        OutputRecorder recorder;
        voice->Play(c.looped);
        SDL_Delay(150);
        voice->Stop();
        EXPECT_FALSE(voice->IsPlaying());
        SDL_Delay(150);
        const std::vector<int16_t> left = recorder.Left();
        // The level as the mix gives it out (its gain staging scales every sound alike).
        ASSERT_FALSE(left.empty());
        const int16_t heard = *std::max_element(left.begin(), left.end());
        ASSERT_GT(heard, full / 2);
        const Ending e = FindEnding(left, heard);
        ASSERT_LT(e.silentAt, left.size()) << "the sound never ended";
        const size_t length = e.silentAt - e.fullAt;
        EXPECT_GE(length, c.shortest) << (c.looped ? "looped" : "single");
        EXPECT_LE(length, c.longest) << (c.looped ? "looped" : "single");
        if (c.looped) {
            EXPECT_LE(e.largestStep, heard / 300) << "the level falls evenly";
        }
        for (size_t i = e.silentAt; i < left.size(); ++i)
            ASSERT_EQ(left[i], 0) << "silent after the end, frame " << i;
    }
}

} // namespace
} // namespace vorlane
