#include "replay/ReplayFile.h"

#include "engine/Crc32.h"

#include <algorithm>
#include <climits>
#include <string>

namespace vorlane {

namespace {

constexpr size_t kChecksumOffset = 14;

uint32_t ReadFixed32(const std::vector<uint8_t>& file, size_t at) {
    return uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 | uint32_t(file[at + 2]) << 16 |
           uint32_t(file[at + 3]) << 24;
}

uint32_t Checksum(const uint8_t* file, size_t bodySize) {
    const uint32_t head = Crc32(file, kChecksumOffset);
    return Crc32(file + kReplayHeaderSize, bodySize, head);
}

} // namespace

void WriteReplayStart(ReplayByteWriter& out, const ReplayStart& start) {
    out.Varint(start.Seed);
    out.Varint(uint64_t(start.Car));
    out.Varint(start.Options);
    out.Varint(start.InitialHeld & kHeldAllBits);
    out.Signed(start.MouseX);
    out.Signed(start.MouseY);
    out.Text(start.PlayerName.substr(0, kReplayMaxNameLength));
}

ReplayStart ReadReplayStart(ReplayByteReader& in) {
    ReplayStart start;
    start.Seed = uint32_t(in.Ranged("the seed", 0, UINT32_MAX));
    start.Car = int(in.Ranged("the car", 1, kReplayCarCount));
    start.Options = uint32_t(in.Ranged("the options", 0, kReplayOptionBits));
    const uint64_t held = in.Varint("the held keys at the start");
    if ((held & ~kHeldAllBits) != 0) ReplayByteReader::Fail("the start holds keys the game does not have");
    start.InitialHeld = held;
    start.MouseX = int(in.SignedRanged("the mouse x", INT32_MIN, INT32_MAX));
    start.MouseY = int(in.SignedRanged("the mouse y", INT32_MIN, INT32_MAX));
    start.PlayerName = in.Text("the player name", kReplayMaxNameLength);
    return start;
}

void WriteReplayOutcome(ReplayByteWriter& out, const ReplayOutcome& outcome) {
    out.Signed(outcome.Result.Score);
    out.Signed(outcome.Result.Level);
    out.Signed(outcome.Result.Lives);
    out.Varint(outcome.Frames);
}

ReplayOutcome ReadReplayOutcome(ReplayByteReader& in) {
    ReplayOutcome outcome;
    outcome.Result.Score = int32_t(in.SignedRanged("the final score", INT32_MIN, INT32_MAX));
    outcome.Result.Level = int32_t(in.SignedRanged("the final level", INT32_MIN, INT32_MAX));
    outcome.Result.Lives = int32_t(in.SignedRanged("the final lives", INT32_MIN, INT32_MAX));
    outcome.Frames = uint32_t(in.Ranged("the frame count", 0, UINT32_MAX));
    return outcome;
}

void WriteReplayNameEntry(ReplayByteWriter& out, const ReplayNameEntry& entry) {
    out.Text(entry.Name.substr(0, kReplayMaxNameLength));
    out.Text(entry.Country.substr(0, kReplayMaxNameLength));
}

ReplayNameEntry ReadReplayNameEntry(ReplayByteReader& in) {
    ReplayNameEntry entry;
    entry.Name = in.Text("the name typed at the name entry", kReplayMaxNameLength);
    entry.Country = in.Text("the country sent with the name", kReplayMaxNameLength);
    return entry;
}

std::vector<uint8_t> SealReplay(uint32_t rulesId, const std::vector<uint8_t>& body, uint16_t version) {
    std::vector<uint8_t> file(std::begin(kReplayMagic), std::end(kReplayMagic));
    file.reserve(kReplayHeaderSize + body.size());
    ReplayByteWriter header(file);
    header.Fixed(version, 2);
    header.Fixed(rulesId, 4);
    header.Fixed(body.size(), 4);
    header.Fixed(0, 4); // the checksum, filled in below
    file.insert(file.end(), body.begin(), body.end());
    const uint32_t crc = Checksum(file.data(), body.size());
    for (int i = 0; i < 4; ++i)
        file[kChecksumOffset + size_t(i)] = uint8_t(crc >> (8 * i));
    return file;
}

ReplayBody OpenReplay(const std::vector<uint8_t>& file, uint32_t expectedRulesId) {
    if (file.size() < 4 || !std::equal(std::begin(kReplayMagic), std::end(kReplayMagic), file.begin()))
        ReplayByteReader::Fail("not a replay file (it does not begin with VRPL)");
    if (file.size() < kReplayHeaderSize)
        ReplayByteReader::Fail("truncated: " + std::to_string(file.size()) + " bytes, shorter than the " +
                               std::to_string(kReplayHeaderSize) + "-byte header");
    const unsigned version = unsigned(file[4]) | unsigned(file[5]) << 8;
    if (version != kReplayRaceVersion && version != kReplayNamedVersion)
        ReplayByteReader::Fail(
            "format version " + std::to_string(version) + " is not one this game reads (it reads versions " +
            std::to_string(kReplayRaceVersion) + " and " + std::to_string(kReplayNamedVersion) + ")");
    const uint32_t bodySize = ReadFixed32(file, 10);
    const size_t present = file.size() - kReplayHeaderSize;
    if (present < bodySize)
        ReplayByteReader::Fail("truncated: the body should be " + std::to_string(bodySize) + " bytes, " +
                               std::to_string(present) + " are present");
    if (present > bodySize)
        ReplayByteReader::Fail(std::to_string(present - bodySize) + " bytes of trailing junk after the " +
                               std::to_string(bodySize) + "-byte body");
    if (ReadFixed32(file, kChecksumOffset) != Checksum(file.data(), bodySize))
        ReplayByteReader::Fail("checksum mismatch");
    const uint32_t rules = ReadFixed32(file, 6);
    if (rules != expectedRulesId)
        ReplayByteReader::Fail("recorded under game rules " + std::to_string(rules) +
                               ", this game plays rules " + std::to_string(expectedRulesId) +
                               ", so it cannot be replayed");
    return {file.data() + kReplayHeaderSize, bodySize, uint16_t(version)};
}

} // namespace vorlane
