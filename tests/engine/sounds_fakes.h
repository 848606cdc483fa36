#pragma once
// A sound device for the sound tests: voices only record what is done to them, and a
// test ends a one-shot play by calling Finish().
#include "engine/AudioDevice.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vorlane::testing {

class FakeAudioDevice;

class FakeVoice : public IVoice {
  public:
    FakeVoice(FakeAudioDevice& device, int id);
    ~FakeVoice() override;

    std::unique_ptr<IVoice> Duplicate() override;
    void Play(bool looped) override {
        playing = true;
        this->looped = looped;
        ++plays;
    }
    void Stop() override { playing = false; }
    void SetPosition(uint32_t frame) override { position = frame; }
    bool IsPlaying() const override;

    void Finish() {
        playing = false;
        position = 1000;
    }

    FakeAudioDevice& device;
    const int id;
    bool playing = false;
    bool looped = false;
    uint32_t position = 0;
    int plays = 0;
    mutable int polls = 0; // IsPlaying calls while playing
};

class FakeAudioDevice : public IAudioDevice {
  public:
    bool ready = true;
    bool canDuplicate = true;
    int finishAfterPolls = -1; // >= 0: a playing voice ends after that many IsPlaying calls
    int nextId = 1;
    std::vector<FakeVoice*> alive;
    std::vector<std::vector<uint8_t>> formats; // the format block of each MakeVoice

    bool Ready() const override { return ready; }
    std::unique_ptr<IVoice> MakeVoice(const std::vector<uint8_t>& formatBlock,
                                      const std::vector<uint8_t>&) override {
        if (!ready) return nullptr;
        formats.push_back(formatBlock);
        return std::make_unique<FakeVoice>(*this, nextId++);
    }
    FakeVoice* Voice(int id) const {
        for (FakeVoice* v : alive) {
            if (v->id == id) return v;
        }
        return nullptr;
    }
};

inline FakeVoice::FakeVoice(FakeAudioDevice& d, int i) : device(d), id(i) {
    device.alive.push_back(this);
}

inline FakeVoice::~FakeVoice() {
    auto& a = device.alive;
    a.erase(std::remove(a.begin(), a.end(), this), a.end());
}

inline bool FakeVoice::IsPlaying() const {
    if (!playing) return false;
    ++polls;
    return device.finishAfterPolls < 0 || polls <= device.finishAfterPolls;
}

inline std::unique_ptr<IVoice> FakeVoice::Duplicate() {
    if (!device.canDuplicate) return nullptr;
    return std::make_unique<FakeVoice>(device, device.nextId++);
}

// RIFF building blocks.
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}
inline void PutChunk(std::vector<uint8_t>& out, const std::string& id, const std::vector<uint8_t>& contents,
                     uint32_t statedSize) {
    out.insert(out.end(), id.begin(), id.end());
    PutU32(out, statedSize);
    out.insert(out.end(), contents.begin(), contents.end());
}
inline void PutChunk(std::vector<uint8_t>& out, const std::string& id, const std::vector<uint8_t>& contents) {
    PutChunk(out, id, contents, uint32_t(contents.size()));
}
inline std::vector<uint8_t> RiffHead() {
    std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
    PutU32(out, 0); // the stated size is not used
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    return out;
}
// A small playable recording: a 16-byte PCM format block and a few samples.
inline std::vector<uint8_t> SmallWave() {
    std::vector<uint8_t> out = RiffHead();
    PutChunk(out, "fmt ", {1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0});
    PutChunk(out, "data", {1, 2, 3, 4, 5, 6});
    return out;
}

} // namespace vorlane::testing
