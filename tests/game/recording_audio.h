#pragma once
// A sound device that plays nothing and writes down every Play and Stop its voices
// are asked for, so that a test sees what reached the device and not only what the
// game reported. Put it under a running game with
//   game.Form().Sounds->SetDevice(&device);
// (the sound list makes its voices anew on it; they write into the device's log).
#include "engine/AudioDevice.h"

#include <memory>
#include <vector>

namespace vorlane::test {

class RecordingAudioDevice final : public IAudioDevice {
  public:
    enum class Call { Play, Stop };

    bool Ready() const override { return true; }
    std::unique_ptr<IVoice> MakeVoice(const std::vector<uint8_t>&, const std::vector<uint8_t>&) override {
        return std::make_unique<Voice>(calls_);
    }

    const std::vector<Call>& Calls() const { return *calls_; }
    int Count(Call kind) const {
        int n = 0;
        for (Call c : *calls_)
            n += c == kind ? 1 : 0;
        return n;
    }
    void Forget() { calls_->clear(); }

  private:
    class Voice final : public IVoice {
      public:
        explicit Voice(std::shared_ptr<std::vector<Call>> log) : log_(std::move(log)) {}
        std::unique_ptr<IVoice> Duplicate() override { return std::make_unique<Voice>(log_); }
        void Play(bool) override {
            log_->push_back(Call::Play);
            playing_ = true;
        }
        void Stop() override {
            log_->push_back(Call::Stop);
            playing_ = false;
        }
        void SetPosition(uint32_t) override {}
        bool IsPlaying() const override { return playing_; }

      private:
        std::shared_ptr<std::vector<Call>> log_;
        bool playing_ = false;
    };

    // Shared with the voices: a voice may outlive the device.
    std::shared_ptr<std::vector<Call>> calls_ = std::make_shared<std::vector<Call>>();
};

} // namespace vorlane::test
