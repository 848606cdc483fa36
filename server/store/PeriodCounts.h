#pragma once
// Ranks within a period ("Today": the rows sent since a moment) without walking the
// rows ahead. Beside the counts per score (RankCounts.h) the database keeps, for the
// same groups of rows, how many rows fall in each run of 256, 65,536 and 16,777,216
// scores (levels 1 to 3) in each cell of time: every 5 minutes, every hour and every
// UTC day (spans 0, 1 and 2). A period is then a few cells - the 5-minute cells up
// to the next whole hour, the hours up to the next whole day, the days from there
// on - and the rows of the few minutes between its start and the first whole
// 5-minute cell, read from the rows themselves; level 0 (one score) is read from the
// rows too, those of 256 scores at most. Rows sent before the counts' horizon (kept
// in the database) are not counted: a period that starts before it is read from the
// rows as before.
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "store/RankCounts.h"

namespace vorlane::scores {

inline constexpr int kPeriodSpans = 3;
inline constexpr std::array<int64_t, kPeriodSpans> kPeriodSpanSeconds{300, 3600, 86400};
// A period whose days run further than this (rows dated far ahead, put in by hand)
// is read from the rows.
inline constexpr int64_t kMostPeriodDays = 400;

// The cell of `time` in a span of `seconds` (rounded down, times before 1970 too).
int64_t CellOf(int64_t time, int64_t seconds);

// The cells that make up the rows sent at or after `since`, through the day
// `lastDay`: for each span the first and last cell (none when first > last), and
// the seconds [looseFrom, looseTo) whose rows are counted from the rows.
struct PeriodCells {
    std::array<std::pair<int64_t, int64_t>, kPeriodSpans> cells{};
    int64_t looseFrom = 0;
    int64_t looseTo = 0;
};
PeriodCells CellsSince(int64_t since, int64_t lastDay);

// How many cells a period reads (for the cap above and for the tests).
int64_t CellCount(const PeriodCells& cells);

// The counts of a period as ListCounts (RankCounts.h) wants them, highest key
// first: level 0 from `scoreCounts` (the rows of each score within the range),
// the levels above from `cellCounts` (the cells' counts summed per key) plus the
// `looseScores` (the scores of the rows between the period's start and its first
// whole cell).
using ListLevelCounts = std::function<std::vector<std::pair<int64_t, int64_t>>(const KeyRange&)>;
ListCounts PeriodCountList(const std::vector<int64_t>& looseScores, ListLevelCounts scoreCounts,
                           ListLevelCounts cellCounts);

// The rows above `score` through `list` (RangesAbove's ranges, summed).
int64_t RowsAboveThrough(int64_t score, const ListCounts& list);

} // namespace vorlane::scores
