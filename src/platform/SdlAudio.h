#pragma once
// Sound effects through SDL_mixer: the engine's IAudioDevice. Without a usable sound
// device the device is simply not ready and every voice request answers nullptr.
#include "engine/AudioDevice.h"

#include <memory>

namespace vorlane {

namespace detail {
struct MixerSession;
}

struct AudioOptions {
    int frequency = 44100;
    int channels = 32;   // mixing channels to start with; more are added when all play
    bool silent = false; // open no device at all: the device is never ready
};

// One device per process at a time: SDL_mixer's channels are shared by the process.
class SdlAudioDevice final : public IAudioDevice {
  public:
    explicit SdlAudioDevice(const AudioOptions& options = {});
    ~SdlAudioDevice() override;
    SdlAudioDevice(const SdlAudioDevice&) = delete;
    SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

    bool Ready() const override;
    // The format block and samples are wrapped into a RIFF WAVE and converted to the
    // device's format once; duplicates share the converted samples. Each voice plays
    // on a mixing channel of its own. Play starts at the last SetPosition (the start
    // unless set); Stop does not remember where it stopped. A looped voice repeats
    // from that position to the end.
    std::unique_ptr<IVoice> MakeVoice(const std::vector<uint8_t>& formatBlock,
                                      const std::vector<uint8_t>& samples) override;
    // Mixing channels allocated now (grows when every channel is busy).
    int Channels() const;

  private:
    friend class SdlMusicPlayer;
    std::shared_ptr<detail::MixerSession> session_;
};

// A RIFF WAVE file made of a "fmt " block and sample data.
std::vector<uint8_t> MakeRiffWave(const std::vector<uint8_t>& formatBlock,
                                  const std::vector<uint8_t>& samples);

} // namespace vorlane
