#pragma once
// What the server learns from playing an uploaded replay through, and the shape of
// the function that does it. The server holds the function behind ReplayChecker so
// that the worker pool, the store and the pages do not depend on how it is done.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlane::scores {

enum class ReplayCheckKind {
    Ok,        // played to its end; the figures below are the race's
    Diverged,  // played, but the race went another way than the file says
    Refused,   // the file is not a replay this game can play
    TimeLimit, // the check ran out of CPU time
    Crashed,   // the check died (a signal, an exception)
};

struct ReplayCheckResult {
    ReplayCheckKind kind = ReplayCheckKind::Refused;
    std::string message; // what was wrong, for the other kinds
    int64_t finalScore = 0;
    int64_t level = 0;
    int64_t lives = 0;
    uint32_t frames = 0;
    uint32_t seed = 0; // the seed the race was played with
    // The seed the file's start section announces, when it could be read.
    std::optional<uint32_t> recordedSeed;
    // The race's fingerprint (RaceFingerprint.h); empty when the check died first.
    std::string raceFingerprint;
    // What the race's own name entry took, as the file keeps it (Latin-1 bytes, as
    // typed); nothing for a file without one (a race left before its name entry, a
    // replay of the first format) or that cannot be read.
    struct NameEntry {
        std::string name;
        std::string country; // the options' country; empty: none given
    };
    std::optional<NameEntry> nameEntry;
};

// Plays a replay file through with the game's data folder; never throws.
using ReplayChecker =
    std::function<ReplayCheckResult(const std::vector<uint8_t>& bytes, const std::filesystem::path& dataDir)>;

// The seed a replay file's start section announces; nothing when the file is refused.
std::optional<uint32_t> RecordedSeedOf(const std::vector<uint8_t>& bytes);
// The name entry a replay file holds; nothing when it holds none or is refused.
std::optional<ReplayCheckResult::NameEntry> NameEntryOf(const std::vector<uint8_t>& bytes);

} // namespace vorlane::scores
