#pragma once
// What the engine needs from a sound device: voices made from a RIFF "fmt " block and
// its sample data. The platform layer serves it with SDL_mixer; tests with a fake.
#include <cstdint>
#include <memory>
#include <vector>

namespace vorlane {

class IVoice {
  public:
    virtual ~IVoice() = default;
    // A second voice sharing the same samples, or nullptr when none can be made.
    virtual std::unique_ptr<IVoice> Duplicate() = 0;
    virtual void Play(bool looped) = 0; // from the current position
    virtual void Stop() = 0;
    virtual void SetPosition(uint32_t sampleFrame) = 0;
    virtual bool IsPlaying() const = 0;
};

class IAudioDevice {
  public:
    virtual ~IAudioDevice() = default;
    virtual bool Ready() const = 0;
    // nullptr when the format is not playable or the device is not ready.
    virtual std::unique_ptr<IVoice> MakeVoice(const std::vector<uint8_t>& formatBlock,
                                              const std::vector<uint8_t>& samples) = 0;
};

} // namespace vorlane
