#include "replay/ReplayPlayer.h"

#include "replay/ReplayFile.h"

#include <string>

namespace vorlane {

ReplayPlayer::ReplayPlayer(std::vector<uint8_t> file, uint32_t rulesId) : file_(std::move(file)) {
    const ReplayBody body = OpenReplay(file_, rulesId);

    // A first pass over everything, so that a damaged frame deep inside is refused
    // before the first frame is played.
    ReplayByteReader check(body.Data, body.Size);
    start_ = ReadReplayStart(check);
    const size_t framesAt = check.Position();
    FrameDecoder all(check, start_.InitialHeld);
    ReplayFrame frame;
    while (all.Next(frame)) {
    }
    trailing_ = all.TrailingEvents();
    outcome_ = ReadReplayOutcome(check);
    if (body.Version == kReplayNamedVersion) nameEntry_ = ReadReplayNameEntry(check);
    if (check.Left() != 0)
        ReplayByteReader::Fail(std::to_string(check.Left()) + " bytes follow the " +
                               (nameEntry_ ? "name entry" : "outcome") + " inside the body");
    if (outcome_.Frames != all.Frames())
        ReplayByteReader::Fail("the outcome counts " + std::to_string(outcome_.Frames) +
                               " frames, the body holds " + std::to_string(all.Frames()));

    reader_ = std::make_unique<ReplayByteReader>(body.Data + framesAt, body.Size - framesAt);
    decoder_ = std::make_unique<FrameDecoder>(*reader_, start_.InitialHeld);
}

bool ReplayPlayer::Next(ReplayFrame& frame) {
    if (Finished()) return false;
    return decoder_->Next(frame);
}

Replay ReadReplay(const std::vector<uint8_t>& file, uint32_t rulesId) {
    ReplayPlayer player(file, rulesId);
    Replay replay;
    replay.RulesId = rulesId;
    replay.Start = player.Start();
    replay.Outcome = player.Outcome();
    replay.TrailingEvents = player.TrailingEvents();
    replay.NameEntry = player.NameEntry();
    replay.Frames.reserve(player.FrameCount());
    for (ReplayFrame frame; player.Next(frame);)
        replay.Frames.push_back(frame);
    return replay;
}

} // namespace vorlane
