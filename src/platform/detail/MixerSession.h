#pragma once
// Internal to the platform layer: the open SDL_mixer device shared by the sound
// device, its voices and the music player, with the record of which voice owns which
// mixing channel.
#include "platform/detail/FadeOut.h"
#include "platform/detail/OutputLimiter.h"
#include "platform/detail/SdlHandles.h"

#include <SDL_mixer.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace vorlane::detail {

// A stopped looped sound on its way to silence: the fade the mixer applies to its
// channel, and the samples the channel still plays, kept until the channel has ended.
struct ChannelFade {
    LinearFadeOut fade;
    std::shared_ptr<Mix_Chunk> samples;
    std::shared_ptr<Mix_Chunk> view; // the chunk started inside the samples, if any
    std::atomic<bool> ended{false};  // set by the mixer when the channel ends
};

// The length of the fade of a stopped looped sound, and how long its channel stays
// taken after the fade (silent) until the mixer ends it.
inline constexpr int kLoopFadeMilliseconds = 8;
inline constexpr int kFadeChannelLingerMilliseconds = 100;

void SDLCALL ApplyLimiter(int channel, void* stream, int length, void* limiter);

struct MixerSession {
    SdlSubsystem audio; // SDL's audio, unless silent
    bool open = false;
    int frequency = 0;
    Uint16 format = 0;
    int outputChannels = 0;
    std::vector<uint64_t> owners; // per mixing channel: the voice that started it last
    uint64_t nextVoiceId = 1;
    std::vector<std::unique_ptr<ChannelFade>> fades; // channels fading out now
    // The mix's gain staging (16-bit devices): the effects' channels and the music at
    // the headroom, the whole brought up again by the limiter (OutputLimiter.h).
    bool staged = false;
    std::unique_ptr<OutputLimiter> limiter; // of the session that opened the device
    bool Staged() const { return staged; }

    // Silent: SDL's audio is not even started, and the session never opens.
    MixerSession(int wantedFrequency, int mixingChannels, bool silent = false);
    ~MixerSession();
    MixerSession(const MixerSession&) = delete;
    MixerSession& operator=(const MixerSession&) = delete;

    // Plays chunk on a free channel (adding channels when all are busy) for `owner`;
    // the channel, or -1.
    int Start(Mix_Chunk* chunk, bool looped, uint64_t owner);
    bool Owns(int channel, uint64_t owner) const {
        return channel >= 0 && size_t(channel) < owners.size() && owners[size_t(channel)] == owner;
    }
    int BytesPerFrame() const { return (SDL_AUDIO_BITSIZE(format) / 8) * outputChannels; }
    // Fades the channel out over kLoopFadeMilliseconds and ends it, keeping the chunks
    // it plays alive until then. False (nothing changed) when the device's format
    // cannot be faded or the mixer refuses.
    bool FadeOut(int channel, std::shared_ptr<Mix_Chunk> samples, std::shared_ptr<Mix_Chunk> view);
    // Lets go of the chunks of fades whose channels have ended.
    void ForgetEndedFades();
    // Every mixing channel at the level of the mix's gain staging.
    void SetChannelVolumes();
};

} // namespace vorlane::detail
