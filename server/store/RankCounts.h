#pragma once
// Ranks without walking the rows ahead: beside the table the database keeps how
// many rows hold each score, and how many fall in each run of 256 scores, of 65,536
// and of 16,777,216 (four levels, each key the score shifted right by 8 bits more).
// A count per group of rows that a table shows: all rows, one country's (letter
// case folded), and each of these for verified rows only. The rows ahead of a score
// are then at most 255 counts a level; the score at any rank is found going down
// the levels, 256 counts at most on each.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/ScoreStore.h"

namespace vorlane::scores {

inline constexpr int kRankLevels = 4;
inline constexpr int kRankLevelBits = 8;

// ASCII letters to lower case, every other byte as it is: how names and countries
// are matched (the same fold as SQLite's NOCASE and lower(), PostgreSQL's lower()
// under the "C" collation).
std::string FoldCase(std::string_view text);

// The group of counts a filter with no period reads: "" for every country, "=" and
// the folded country for one. Verified rows have their own groups beside.
std::string RankGroup(const ScoreFilter& filter);

// Counts of one level with keys from low to high (both included).
struct KeyRange {
    int level = 0;
    int64_t low = 0;
    int64_t high = 0;
};

// The ranges whose counts sum to the rows with a score above `score`, one a level
// (an empty range has low > high).
std::array<KeyRange, kRankLevels> RangesAbove(int64_t score);

// The score of the row `offset` rows down the table (0: the first) and how many
// rows come before every row of that score; nothing when the table has no more
// rows. `list(range)` answers the counts of a range as (key, count), highest key
// first.
struct ScoreAtOffset {
    int64_t score = 0;
    int64_t rowsAbove = 0;
};
using ListCounts = std::function<std::vector<std::pair<int64_t, int64_t>>(const KeyRange&)>;
std::optional<ScoreAtOffset> FindScoreAtOffset(int64_t offset, const ListCounts& list);

} // namespace vorlane::scores
