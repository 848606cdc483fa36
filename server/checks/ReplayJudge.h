#pragma once
// Whether a checked replay verifies the submission it came with: the race played to
// its end, its final score is the submission's, it ran with the seed the file
// announces, and the name (and country) its own name entry took are the row's.
// Otherwise the short reason kept with the replay. (That no other row was verified by
// the same race is the store's to see: RecordReplayVerdict.)
#include <cstdint>
#include <string>
#include <string_view>

#include "checks/ReplayCheck.h"

namespace vorlane::scores {

struct ReplayJudgement {
    bool verified = false;
    std::string reason; // empty when verified
    // The race's fingerprint when the race played to the row's score with its own seed
    // (verified, or refused only for the name entry): the store looks for it among the
    // races verified already first.
    std::string race = {};
};

// The row as the upload named it: its score, and its name and country (UTF-8, as the
// table keeps them). A replay with a name entry must name the same, whatever the
// letter case of ASCII letters, as the table's own look-ups compare names; a replay
// without one (a race left before its name entry, a replay of the first format) proves
// the score only.
ReplayJudgement JudgeReplay(const ReplayCheckResult& check, int64_t submittedScore, std::string_view name,
                            std::string_view country);

// Names (or countries) the table takes for one: equal once ASCII letters are folded
// to one case (SQLite's NOCASE, PostgreSQL's lower() under the "C" collation).
bool SameTableName(std::string_view a, std::string_view b);

} // namespace vorlane::scores
