#include "replay/ReplayRecorder.h"

#include "replay/ReplayFile.h"

namespace vorlane {

void ReplayRecorder::BeginRace(const ReplayStart& start) {
    body_.clear();
    pending_.clear();
    ReplayByteWriter out(body_);
    WriteReplayStart(out, start);
    encoder_ = std::make_unique<FrameEncoder>(body_, start.InitialHeld);
}

void ReplayRecorder::Event(const ReplayEvent& event) {
    if (Recording()) pending_.push_back(event);
}

void ReplayRecorder::Frame(const FrameStep& step, uint64_t held) {
    if (!Recording()) return;
    encoder_->Add(step, held, pending_);
    pending_.clear();
}

std::vector<uint8_t> ReplayRecorder::End(const RaceResult& result) {
    if (!Recording()) return {};
    encoder_->Finish(pending_);
    ReplayByteWriter out(body_);
    WriteReplayOutcome(out, {result, encoder_->Frames()});
    std::vector<uint8_t> file = SealReplay(rulesId_, body_);
    encoder_.reset();
    body_.clear();
    pending_.clear();
    return file;
}

std::vector<uint8_t> WriteReplay(const Replay& replay) {
    ReplayRecorder recorder(replay.RulesId);
    recorder.BeginRace(replay.Start);
    for (const ReplayFrame& frame : replay.Frames) {
        for (const ReplayEvent& e : frame.Events)
            recorder.Event(e);
        recorder.Frame(frame.Step, frame.Held);
    }
    for (const ReplayEvent& e : replay.TrailingEvents)
        recorder.Event(e);
    const std::vector<uint8_t> race = recorder.End(replay.Outcome.Result);
    return replay.NameEntry ? AddNameEntry(race, *replay.NameEntry, replay.RulesId) : race;
}

std::vector<uint8_t> AddNameEntry(const std::vector<uint8_t>& race, const ReplayNameEntry& entry,
                                  uint32_t rulesId) {
    const ReplayBody body = OpenReplay(race, rulesId);
    if (body.Version != kReplayRaceVersion) ReplayByteReader::Fail("the race has its name entry already");
    std::vector<uint8_t> named(body.Data, body.Data + body.Size);
    ReplayByteWriter out(named);
    WriteReplayNameEntry(out, entry);
    return SealReplay(rulesId, named, kReplayNamedVersion);
}

} // namespace vorlane
