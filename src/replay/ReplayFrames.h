#pragma once
// The frame section of a replay: each frame as a change from the one before, so that
// the common frame (same keys, a move count a few milliseconds off the last one) is one
// byte and a run of identical frames is one byte for up to 64 of them.
//
// Tokens (one byte, then what its kind needs):
//   0x00-0x3F  a run of 1-64 frames equal to the previous one (no events, same keys,
//              same move count, same frame statistics)
//   0x40-0x7F  one frame whose move count differs by -32..+31 from the previous one
//   0x80-0x8F  one frame with the changes named by the low four bits:
//              1 move count (zigzag varint difference), 2 held keys (varint: the bits
//              that flipped), 4 frame statistics (varint FrameMs, 8-byte SpeedScale),
//              8 events (varint count >= 1, then the events)
//   0xFF       the end of the frames; a varint count of trailing events follows
// A frame without a change bit set is written as a run. The "previous frame" of the
// first frame has move count 0, no frame statistics and the start's held keys.
#include "replay/ReplayBytes.h"

#include <cstdint>
#include <vector>

namespace vorlane {

class FrameEncoder {
  public:
    FrameEncoder(std::vector<uint8_t>& out, uint64_t initialHeld);
    // Throws std::invalid_argument for a step no game frame can have (FrameMs below 0,
    // a SpeedScale that is not a positive number); a move count below 1 counts as 1.
    void Add(const FrameStep& step, uint64_t held, const std::vector<ReplayEvent>& events);
    // Closes the frame section with the events handled after the last frame.
    void Finish(const std::vector<ReplayEvent>& trailingEvents);
    uint32_t Frames() const { return frames_; }

  private:
    void FlushRun();
    void Events(const std::vector<ReplayEvent>& events);

    ReplayByteWriter out_;
    FrameStep previous_{0, 0, 0.0};
    uint64_t held_;
    uint32_t run_ = 0;
    uint32_t frames_ = 0;
};

class FrameDecoder {
  public:
    FrameDecoder(ReplayByteReader& in, uint64_t initialHeld);
    // The next frame; false once the end token (and the trailing events) are read.
    bool Next(ReplayFrame& frame);
    const std::vector<ReplayEvent>& TrailingEvents() const { return trailing_; }
    uint32_t Frames() const { return frames_; }

  private:
    void ReadEvents(std::vector<ReplayEvent>& events, uint64_t count);
    ReplayEvent ReadEvent();
    void Count();
    void SetLag(FrameStep& step, int64_t lag) const;

    ReplayByteReader& in_;
    FrameStep previous_{0, 0, 0.0};
    uint64_t held_;
    uint32_t run_ = 0;
    uint32_t frames_ = 0;
    bool ended_ = false;
    std::vector<ReplayEvent> trailing_;
};

} // namespace vorlane
