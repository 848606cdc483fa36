#include "replay/ReplayFrames.h"

#include <bit>
#include <climits>
#include <cmath>
#include <stdexcept>
#include <string>

namespace vorlane {

namespace {

constexpr uint8_t kRunToken = 0x00; // + (frames - 1), up to 64 frames
constexpr uint32_t kMaxRun = 64;
constexpr uint8_t kNudgeToken = 0x40; // + (difference + 32)
constexpr int kNudgeLow = -32, kNudgeHigh = 31;
constexpr uint8_t kChangeToken = 0x80; // + change bits
constexpr uint8_t kEndToken = 0xFF;

constexpr uint8_t kLagChanged = 1, kHeldChanged = 2, kStatsChanged = 4, kHasEvents = 8;

// Frame statistics the game can run with: FrameMs is 1000 / a rate of at least 1.
constexpr int32_t kMaxFrameMs = 1000;

bool SameStats(const FrameStep& a, const FrameStep& b) {
    return a.FrameMs == b.FrameMs &&
           std::bit_cast<uint64_t>(a.SpeedScale) == std::bit_cast<uint64_t>(b.SpeedScale);
}

bool GoodSpeedScale(double s) {
    return std::isfinite(s) && s > 0.0;
}

std::string FrameName(uint32_t frame) {
    return "frame " + std::to_string(frame + 1);
}

} // namespace

FrameEncoder::FrameEncoder(std::vector<uint8_t>& out, uint64_t initialHeld)
    : out_(out), held_(initialHeld & kHeldAllBits) {}

void FrameEncoder::FlushRun() {
    if (run_ == 0) return;
    out_.Byte(uint8_t(kRunToken + (run_ - 1)));
    run_ = 0;
}

void FrameEncoder::Events(const std::vector<ReplayEvent>& events) {
    out_.Varint(events.size());
    for (const ReplayEvent& e : events) {
        out_.Byte(uint8_t(e.Kind));
        switch (e.Kind) {
        case ReplayEventKind::KeyDown:
            out_.Signed(e.Key);
            out_.Byte(e.Alt ? 1 : 0);
            break;
        case ReplayEventKind::KeyUp:
            out_.Signed(e.Key);
            break;
        case ReplayEventKind::Char:
            out_.Byte(e.Ch);
            break;
        case ReplayEventKind::MouseMove:
            out_.Signed(e.X);
            out_.Signed(e.Y);
            break;
        case ReplayEventKind::Click:
        case ReplayEventKind::DoubleClick:
        case ReplayEventKind::CloseRequest:
        case ReplayEventKind::PadLost:
            break;
        }
    }
}

void FrameEncoder::Add(const FrameStep& given, uint64_t held, const std::vector<ReplayEvent>& events) {
    FrameStep step = given;
    if (step.LagCount < 1) step.LagCount = 1;
    if (step.FrameMs < 0 || step.FrameMs > kMaxFrameMs)
        throw std::invalid_argument("replay: FrameMs " + std::to_string(step.FrameMs) +
                                    " cannot be recorded");
    if (!GoodSpeedScale(step.SpeedScale))
        throw std::invalid_argument("replay: a SpeedScale that is not a positive number cannot be recorded");
    for (const ReplayEvent& e : events)
        if (int(e.Kind) >= kReplayEventKindCount) throw std::invalid_argument("replay: unknown event kind");
    held &= kHeldAllBits;

    const bool statsChanged = !SameStats(step, previous_);
    const bool heldChanged = held != held_;
    const int64_t lagDifference = int64_t(step.LagCount) - int64_t(previous_.LagCount);
    ++frames_;
    if (events.empty() && !heldChanged && !statsChanged) {
        if (lagDifference == 0) {
            if (++run_ == kMaxRun) FlushRun();
            return;
        }
        if (lagDifference >= kNudgeLow && lagDifference <= kNudgeHigh) {
            FlushRun();
            out_.Byte(uint8_t(kNudgeToken + (lagDifference - kNudgeLow)));
            previous_ = step;
            return;
        }
    }
    FlushRun();
    const uint8_t changes =
        uint8_t((lagDifference != 0 ? kLagChanged : 0) | (heldChanged ? kHeldChanged : 0) |
                (statsChanged ? kStatsChanged : 0) | (events.empty() ? 0 : kHasEvents));
    out_.Byte(uint8_t(kChangeToken + changes));
    if (changes & kLagChanged) out_.Signed(lagDifference);
    if (changes & kHeldChanged) out_.Varint(held ^ held_);
    if (changes & kStatsChanged) {
        out_.Varint(uint64_t(step.FrameMs));
        out_.Real(step.SpeedScale);
    }
    if (changes & kHasEvents) Events(events);
    previous_ = step;
    held_ = held;
}

void FrameEncoder::Finish(const std::vector<ReplayEvent>& trailingEvents) {
    FlushRun();
    out_.Byte(kEndToken);
    Events(trailingEvents);
}

FrameDecoder::FrameDecoder(ReplayByteReader& in, uint64_t initialHeld) : in_(in), held_(initialHeld) {}

void FrameDecoder::SetLag(FrameStep& step, int64_t lag) const {
    if (lag < 1 || lag > INT32_MAX)
        ReplayByteReader::Fail(FrameName(frames_) + " has move count " + std::to_string(lag) +
                               ", not 1 or more");
    step.LagCount = int32_t(lag);
}

void FrameDecoder::Count() {
    if (frames_ == UINT32_MAX) ReplayByteReader::Fail("more frames than a replay can hold");
    ++frames_;
}

ReplayEvent FrameDecoder::ReadEvent() {
    const uint8_t kind = in_.Byte("an event");
    if (kind >= kReplayEventKindCount)
        ReplayByteReader::Fail("unknown event kind " + std::to_string(kind) + " before " +
                               FrameName(frames_));
    ReplayEvent e = ReplayEvent::Of(ReplayEventKind(kind));
    switch (e.Kind) {
    case ReplayEventKind::KeyDown: {
        e.Key = int32_t(in_.SignedRanged("a key code", INT32_MIN, INT32_MAX));
        const uint8_t alt = in_.Byte("a key event");
        if (alt > 1)
            ReplayByteReader::Fail("a key event's Alt flag is " + std::to_string(alt) + ", not 0 or 1");
        e.Alt = alt == 1;
        break;
    }
    case ReplayEventKind::KeyUp:
        e.Key = int32_t(in_.SignedRanged("a key code", INT32_MIN, INT32_MAX));
        break;
    case ReplayEventKind::Char:
        e.Ch = in_.Byte("a typed character");
        break;
    case ReplayEventKind::MouseMove:
        e.X = int32_t(in_.SignedRanged("a mouse x", INT32_MIN, INT32_MAX));
        e.Y = int32_t(in_.SignedRanged("a mouse y", INT32_MIN, INT32_MAX));
        break;
    case ReplayEventKind::Click:
    case ReplayEventKind::DoubleClick:
    case ReplayEventKind::CloseRequest:
    case ReplayEventKind::PadLost:
        break;
    }
    return e;
}

void FrameDecoder::ReadEvents(std::vector<ReplayEvent>& events, uint64_t count) {
    // Every event takes at least a byte: a count beyond what is left is damage, and is
    // refused before anything is set aside for it.
    if (count > in_.Left())
        ReplayByteReader::Fail("an event count of " + std::to_string(count) + " runs past the body");
    events.reserve(size_t(count));
    for (uint64_t i = 0; i < count; ++i)
        events.push_back(ReadEvent());
}

bool FrameDecoder::Next(ReplayFrame& frame) {
    if (ended_) return false;
    frame.Events.clear();
    if (run_ > 0) {
        --run_;
        Count();
        frame.Held = held_;
        frame.Step = previous_;
        return true;
    }
    const uint8_t token = in_.Byte("the frames (no end mark)");
    if (token == kEndToken) {
        ReadEvents(trailing_, in_.Varint("the trailing events"));
        ended_ = true;
        return false;
    }
    FrameStep step = previous_;
    if (token < kNudgeToken) {
        run_ = token - kRunToken; // this frame, and that many more
    } else if (token < kChangeToken) {
        SetLag(step, int64_t(previous_.LagCount) + (token - kNudgeToken) + kNudgeLow);
    } else if (token <= kChangeToken + 0x0F) {
        const uint8_t changes = token - kChangeToken;
        if (changes & kLagChanged) {
            SetLag(step, int64_t(previous_.LagCount) +
                             in_.SignedRanged("a move count", -(INT64_C(1) << 32), INT64_C(1) << 32));
        }
        if (changes & kHeldChanged) {
            const uint64_t flipped = in_.Varint("the held keys");
            if ((flipped & ~kHeldAllBits) != 0)
                ReplayByteReader::Fail(FrameName(frames_) + " holds keys the game does not have");
            held_ ^= flipped;
        }
        if (changes & kStatsChanged) {
            step.FrameMs = int32_t(in_.Ranged("FrameMs", 0, kMaxFrameMs));
            step.SpeedScale = in_.Real("SpeedScale");
            if (!GoodSpeedScale(step.SpeedScale))
                ReplayByteReader::Fail(FrameName(frames_) +
                                       " has a SpeedScale that is not a positive number");
        }
        if (changes & kHasEvents) {
            const uint64_t count = in_.Varint("an event count");
            if (count == 0) ReplayByteReader::Fail(FrameName(frames_) + " announces events but holds none");
            ReadEvents(frame.Events, count);
        }
    } else {
        ReplayByteReader::Fail("unknown frame token " + std::to_string(token) + " at " + FrameName(frames_));
    }
    // The first frame has no frame statistics before it to repeat.
    if (!GoodSpeedScale(step.SpeedScale))
        ReplayByteReader::Fail(FrameName(frames_) + " carries no frame statistics");
    if (step.LagCount < 1)
        ReplayByteReader::Fail(FrameName(frames_) + " has move count " + std::to_string(step.LagCount) +
                               ", not 1 or more");
    Count();
    frame.Held = held_;
    frame.Step = step;
    previous_ = step;
    return true;
}

} // namespace vorlane
