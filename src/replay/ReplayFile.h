#pragma once
// The replay file around the frames: an 18-byte header, then the body.
//
//   offset size
//    0     4   magic "VRPL"
//    4     2   format version (1 or 2), little-endian like every fixed-width field
//    6     4   the game rules id the race was played under
//   10     4   body length in bytes
//   14     4   CRC-32 over bytes 0..13 and the body
//   18     ..  body: start section, frame section (ReplayFrames.h), outcome, and in
//              version 2 the name entry after it
//
// docs/replay-format.md describes every field.
#include "replay/ReplayBytes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorlane {

inline constexpr uint8_t kReplayMagic[4] = {'V', 'R', 'P', 'L'};
// Version 1: a race alone (as it stands when the race is over). Version 2: the same
// race followed by what its name entry took. A reader reads both.
inline constexpr uint16_t kReplayRaceVersion = 1;
inline constexpr uint16_t kReplayNamedVersion = 2;
inline constexpr size_t kReplayHeaderSize = 18;
// Longest player name a replay keeps (the game types at most 12 characters).
inline constexpr size_t kReplayMaxNameLength = 255;

void WriteReplayStart(ReplayByteWriter& out, const ReplayStart& start);
ReplayStart ReadReplayStart(ReplayByteReader& in);
void WriteReplayOutcome(ReplayByteWriter& out, const ReplayOutcome& outcome);
ReplayOutcome ReadReplayOutcome(ReplayByteReader& in);
void WriteReplayNameEntry(ReplayByteWriter& out, const ReplayNameEntry& entry);
ReplayNameEntry ReadReplayNameEntry(ReplayByteReader& in);

// The whole file: the header for the body, then the body.
std::vector<uint8_t> SealReplay(uint32_t rulesId, const std::vector<uint8_t>& body,
                                uint16_t version = kReplayRaceVersion);

// Where the body of a checked file lies.
struct ReplayBody {
    const uint8_t* Data = nullptr;
    size_t Size = 0;
    uint16_t Version = kReplayRaceVersion;
};
// Checks the header, the length and the checksum, in that order, and that the rules
// are expectedRulesId; throws ReplayError with a one-line message otherwise.
ReplayBody OpenReplay(const std::vector<uint8_t>& file, uint32_t expectedRulesId);

} // namespace vorlane
