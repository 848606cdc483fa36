#pragma once
// The table of the ten best race totals with the players' names, its file
// "Data\Save\hs" and the check value that guards the file against hand edits.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "persist/FileReport.h"

namespace vorlane {

struct THighScore {
    std::string Name; // bytes, drawn as Latin-1; at most 12 when typed, any length in the file
    int32_t Score = 0;
};

inline constexpr const char* kDefaultHighScoreName = "ANONYMOUS";

// File layout: twenty lines ended by CR LF, for ranks 1 to 10 the name and then
// the score in decimal. A score line that is not a number, fewer or more than
// twenty lines, a line over 1024 bytes or a file over 64 KB make the file damaged:
// it is moved aside (hs.damaged) and the default table is used.
class THighScoreTable {
  public:
    static constexpr int kSize = 10;

    // Starts with the default table.
    THighScoreTable();

    // Every name "ANONYMOUS", scores 5000, 4500, ... 500 for ranks 1 to 10.
    void DefaultHighScores();

    // Rank 1 (best) to 10.
    const THighScore& Entry(int rank) const;
    const std::array<THighScore, kSize>& Entries() const { return entries_; }

    // The check value over the table: as many characters as the longest name, each
    // from 32 to 255, mixing in every name and every score's decimal digits.
    // Digits beyond the longest name's length are left out.
    std::string HighScoreCheck() const;
    // The start-up check: when the value stored with the options differs, the
    // default table replaces this one. A table read from the file that the reset
    // would lose is kept first: the file is moved aside to "hs.rejected" (then
    // "-2", ...), so the next save cannot overwrite it, and the report (Rejected)
    // says so. A default table loses nothing by it: Ok, no message. When the file
    // cannot be moved aside, SaveHighScores leaves it alone instead.
    FileReport ResetUnlessCheckMatches(const std::string& storedCheck);
    // Where the last check kept the rejected table; empty when it kept none.
    const std::filesystem::path& RejectedKeptAs() const { return rejectedKeptAs_; }

    // Whether a race total beats some entry of the table (a tie does not).
    bool ScoreQualifies(int32_t total) const;
    // Puts the total in below every entry with at least the same score; the entry
    // pushed off rank 10 drops out. Answers the new entry's rank, or 0 when it did
    // not make the table. A line break in the name is stored as a space.
    int InsertScore(const std::string& name, int32_t total);

    // Reads "Data\Save\hs" under the data root. Missing or unreadable: the default
    // table. Damaged: the default table, the file kept aside.
    FileReport LoadHighScores(const std::filesystem::path& dataRoot);
    // Writes the table, replacing the old file only once the new one is complete.
    // Not written (Failed) when a rejected table could not be moved out of its way.
    FileReport SaveHighScores(const std::filesystem::path& dataRoot) const;

  private:
    bool IsDefaultTable() const;

    std::array<THighScore, kSize> entries_;
    std::filesystem::path loadedFrom_;     // the file the table was read from, empty when none
    std::filesystem::path keepUnwritten_;  // a rejected file the game could not move aside
    std::filesystem::path rejectedKeptAs_; // where the last check kept a rejected table
};

} // namespace vorlane
