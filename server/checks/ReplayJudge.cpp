#include "checks/ReplayJudge.h"

#include "submission/Submission.h"

namespace vorlane::scores {
namespace {

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A name entry's bytes (from the file, so anything) as the reason shows them: Latin-1 as UTF-8, what no name
// holds as '?', at most 32 characters.
std::string Shown(std::string_view bytes) {
    std::string kept;
    for (const char c : bytes.substr(0, 32))
        kept += IsNameByte(static_cast<unsigned char>(c)) || c == '_' ? c : '?';
    std::string shown = "\"";
    shown += Latin1ToUtf8(kept);
    if (bytes.size() > 32) shown += "...";
    shown += '"';
    return shown;
}

// "WHAT differs: the replay's name entry PART "X", the result WITH "Y"" (built in steps:
// GCC 12 warns wrongly of the one-line sum).
std::string Differs(const char* what, const char* part, std::string_view entry, const char* with,
                    std::string_view row) {
    std::string reason = what;
    reason += " differs: the replay's name entry ";
    reason += part;
    reason += ' ';
    reason += Shown(entry);
    reason += ", the result ";
    reason += with;
    reason += " \"";
    reason += row;
    reason += '"';
    return reason;
}

} // namespace

bool SameTableName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

ReplayJudgement JudgeReplay(const ReplayCheckResult& check, int64_t submittedScore, std::string_view name,
                            std::string_view country) {
    switch (check.kind) {
    case ReplayCheckKind::Refused:
        return {false, "replay refused: " + check.message};
    case ReplayCheckKind::Diverged:
        return {false, "replay diverged: " + check.message};
    case ReplayCheckKind::TimeLimit:
        return {false, "time limit"};
    case ReplayCheckKind::Crashed:
        return {false, "check failed: " + check.message};
    case ReplayCheckKind::Ok:
        break;
    }
    if (check.finalScore != submittedScore)
        return {false, "score differs: the replay ends with " + std::to_string(check.finalScore) +
                           ", the submission says " + std::to_string(submittedScore)};
    if (!check.recordedSeed) return {false, "replay refused: its start section cannot be read"};
    if (check.seed != *check.recordedSeed)
        return {false, "seed differs: played with " + std::to_string(check.seed) + ", the file says " +
                           std::to_string(*check.recordedSeed)};
    if (const auto& entry = check.nameEntry) {
        // The game sends no country as the line to write on; the table keeps it so.
        const std::string entryCountry =
            entry->country.empty() ? std::string(kDefaultCountry) : entry->country;
        if (!SameTableName(Latin1ToUtf8(entry->name), name))
            return {false, Differs("name", "took", entry->name, "names", name), check.raceFingerprint};
        if (!SameTableName(Latin1ToUtf8(entryCountry), country))
            return {false, Differs("country", "went with", entryCountry, "with", country),
                    check.raceFingerprint};
    }
    return {true, "", check.raceFingerprint};
}

} // namespace vorlane::scores
