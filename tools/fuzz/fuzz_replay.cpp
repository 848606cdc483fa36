// Feeds arbitrary bytes to the replay reader, three times: as a whole file (the header
// and checksum checks) and as a body sealed under a right header and checksum, of
// either format version (so that the frame decoder and the name entry behind the
// checksum get explored too). Every malformed input must end
// in a ReplayError; any other exception, crash, sanitizer report, hang or huge
// allocation is a finding. A replay that is accepted must be written and read back to
// the same replay.
#include "replay/ReplayFile.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void Play(const std::vector<uint8_t>& file) {
    vorlane::Replay replay;
    try {
        replay = vorlane::ReadReplay(file);
    } catch (const vorlane::ReplayError&) {
        return;
    }
    if (replay.Frames.size() != replay.Outcome.Frames) __builtin_trap();
    // What was read can be written, and reads back the same.
    const std::vector<uint8_t> again = vorlane::WriteReplay(replay);
    if (!(vorlane::ReadReplay(again) == replay)) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    Play(bytes);
    Play(vorlane::SealReplay(vorlane::kGameRulesId, bytes));
    Play(vorlane::SealReplay(vorlane::kGameRulesId, bytes, vorlane::kReplayNamedVersion));
    return 0;
}
