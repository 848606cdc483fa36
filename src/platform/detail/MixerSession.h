#pragma once
// Internal to the platform layer: the open SDL_mixer device shared by the sound
// device, its voices and the music player, with the record of which voice owns which
// mixing channel.
#include "platform/detail/SdlHandles.h"

#include <SDL_mixer.h>

#include <cstdint>
#include <vector>

namespace vorlane::detail {

struct MixerSession {
    SdlSubsystem audio{SDL_INIT_AUDIO};
    bool open = false;
    int frequency = 0;
    Uint16 format = 0;
    int outputChannels = 0;
    std::vector<uint64_t> owners; // per mixing channel: the voice that started it last
    uint64_t nextVoiceId = 1;

    MixerSession(int wantedFrequency, int mixingChannels);
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
};

} // namespace vorlane::detail
