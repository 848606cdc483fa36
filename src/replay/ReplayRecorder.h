#pragma once
// Records one race as it is played, frame by frame, into the bytes of a replay file.
// The game calls it at three places: BeginRace when StartRace runs, Event for each
// window event handled while the race lasts, Frame once for every frame the race is
// on the screen (racing or under a dialog), End when the race is taken down.
//
// Memory grows with the encoded replay only (about 10 KB a minute), not with the frames.
#include "replay/ReplayData.h"
#include "replay/ReplayFrames.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vorlane {

class ReplayRecorder {
  public:
    explicit ReplayRecorder(uint32_t rulesId = kGameRulesId) : rulesId_(rulesId) {}

    // Starts a recording (one already running is dropped).
    void BeginRace(const ReplayStart& start);
    // A window event handled since the previous frame; it goes with the next frame, or
    // after the last one when the race ends before another frame.
    void Event(const ReplayEvent& event);
    // One frame: its time step and the held keys its race tick or dialog read.
    // Throws std::invalid_argument for a step no frame can have (ReplayFrames.h).
    void Frame(const FrameStep& step, uint64_t held);
    // Ends the recording and answers the whole file; the frame count is the recorder's
    // own. Empty when no race was being recorded.
    std::vector<uint8_t> End(const RaceResult& result);

    bool Recording() const { return encoder_ != nullptr; }
    uint32_t FramesRecorded() const { return encoder_ ? encoder_->Frames() : 0; }
    // Bytes of the body so far (to watch the size grow).
    size_t BodySize() const { return body_.size(); }

  private:
    uint32_t rulesId_;
    std::vector<uint8_t> body_;
    std::vector<ReplayEvent> pending_;
    std::unique_ptr<FrameEncoder> encoder_;
};

// The file of a replay held whole in memory; its outcome's frame count is the number
// of frames given. Version 2 when it holds a name entry.
std::vector<uint8_t> WriteReplay(const Replay& replay);

// A race's file (version 1, as End answered it) with what its name entry took added
// after the outcome (version 2); the race's own bytes stay as they were. Throws
// ReplayError for a file that is not a race alone of these rules.
std::vector<uint8_t> AddNameEntry(const std::vector<uint8_t>& race, const ReplayNameEntry& entry,
                                  uint32_t rulesId = kGameRulesId);

} // namespace vorlane
