#include "checks/RaceFingerprint.h"

#include <bit>
#include <cstdio>

#include "replay/ReplayPlayer.h"

namespace vorlane::scores {
namespace {

// FNV-1a over the race's fields, each as 8 little-endian bytes.
class Fingerprint {
  public:
    explicit Fingerprint(uint64_t kind) { Add(kind); }
    void Add(uint64_t value) {
        for (int i = 0; i < 8; ++i) {
            hash_ ^= (value >> (8 * i)) & 0xFF;
            hash_ *= 0x100000001B3ull;
        }
    }
    void Add(const ReplayEvent& e) {
        Add(static_cast<uint64_t>(e.Kind));
        Add(static_cast<uint64_t>(static_cast<int64_t>(e.Key)));
        Add(e.Alt ? 1 : 0);
        Add(e.Ch);
        Add(static_cast<uint64_t>(static_cast<int64_t>(e.X)));
        Add(static_cast<uint64_t>(static_cast<int64_t>(e.Y)));
    }
    std::string Hex() const {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_));
        return text;
    }

  private:
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

constexpr uint64_t kRace = 1;
constexpr uint64_t kBytes = 2;

uint64_t Signed(int64_t value) {
    return static_cast<uint64_t>(value);
}

} // namespace

std::string RaceFingerprint(const std::vector<uint8_t>& bytes) {
    try {
        ReplayPlayer player(bytes);
        Fingerprint race(kRace);
        const ReplayStart& start = player.Start();
        race.Add(start.Seed);
        race.Add(Signed(start.Car));
        race.Add(start.Options);
        race.Add(start.InitialHeld);
        race.Add(Signed(start.MouseX));
        race.Add(Signed(start.MouseY));
        ReplayFrame frame;
        while (player.Next(frame)) {
            race.Add(Signed(frame.Step.LagCount));
            race.Add(Signed(frame.Step.FrameMs));
            race.Add(std::bit_cast<uint64_t>(frame.Step.SpeedScale));
            race.Add(frame.Held);
            race.Add(frame.Events.size());
            for (const ReplayEvent& e : frame.Events)
                race.Add(e);
        }
        race.Add(player.TrailingEvents().size());
        for (const ReplayEvent& e : player.TrailingEvents())
            race.Add(e);
        const ReplayOutcome& outcome = player.Outcome();
        race.Add(Signed(outcome.Result.Score));
        race.Add(Signed(outcome.Result.Level));
        race.Add(Signed(outcome.Result.Lives));
        race.Add(outcome.Frames);
        return race.Hex();
    } catch (const ReplayError&) {
        Fingerprint file(kBytes);
        file.Add(bytes.size());
        for (uint8_t byte : bytes)
            file.Add(byte);
        return file.Hex();
    }
}

} // namespace vorlane::scores
