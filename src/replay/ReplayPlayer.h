#pragma once
// Plays a replay file back: checks the whole file when it is opened (header, checksum,
// every frame, the outcome's frame count), then hands out the frames one by one, each
// with the events to give the game before the frame, the held keys of its poll and its
// time step.
#include "replay/ReplayBytes.h"
#include "replay/ReplayData.h"
#include "replay/ReplayFrames.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vorlane {

class ReplayPlayer {
  public:
    // Throws ReplayError with a one-line message naming what is wrong ("replay:
    // checksum mismatch", "replay: recorded under game rules 2, ..."). Never anything
    // else, whatever the bytes.
    explicit ReplayPlayer(std::vector<uint8_t> file, uint32_t rulesId = kGameRulesId);
    ReplayPlayer(const ReplayPlayer&) = delete;
    ReplayPlayer& operator=(const ReplayPlayer&) = delete;

    const ReplayStart& Start() const { return start_; }
    const ReplayOutcome& Outcome() const { return outcome_; }
    // What the race's name entry took (format version 2); nothing for a race alone.
    const std::optional<ReplayNameEntry>& NameEntry() const { return nameEntry_; }
    uint32_t FrameCount() const { return outcome_.Frames; }
    uint32_t FramesPlayed() const { return decoder_->Frames(); }
    bool Finished() const { return FramesPlayed() == FrameCount(); }

    // The next frame; false after the last one.
    bool Next(ReplayFrame& frame);
    // The events handled after the last frame (give them once Next answered false).
    const std::vector<ReplayEvent>& TrailingEvents() const { return trailing_; }

  private:
    std::vector<uint8_t> file_;
    ReplayStart start_;
    ReplayOutcome outcome_;
    std::optional<ReplayNameEntry> nameEntry_;
    std::vector<ReplayEvent> trailing_;
    std::unique_ptr<ReplayByteReader> reader_;
    std::unique_ptr<FrameDecoder> decoder_;
};

// A whole replay read into memory (tests and tools).
Replay ReadReplay(const std::vector<uint8_t>& file, uint32_t rulesId = kGameRulesId);

} // namespace vorlane
