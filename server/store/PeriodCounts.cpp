#include "store/PeriodCounts.h"

#include <algorithm>
#include <map>

namespace vorlane::scores {

int64_t CellOf(int64_t time, int64_t seconds) {
    const int64_t cell = time / seconds;
    return (time % seconds != 0 && time < 0) ? cell - 1 : cell;
}

PeriodCells CellsSince(int64_t since, int64_t lastDay) {
    PeriodCells period;
    // The rows before the first whole 5-minute cell come from the rows.
    const int64_t fine = kPeriodSpanSeconds[0];
    int64_t at = CellOf(since, fine) * fine;
    if (at < since) at += fine;
    period.looseFrom = since;
    period.looseTo = at;
    // Each span's cells up to where the next one's begin; the days through lastDay.
    for (size_t span = 0; span < kPeriodSpans; ++span) {
        const int64_t seconds = kPeriodSpanSeconds[span];
        const int64_t first = CellOf(at, seconds);
        if (span + 1 == kPeriodSpans) {
            period.cells[span] = {first, lastDay};
            break;
        }
        const int64_t next = kPeriodSpanSeconds[span + 1];
        int64_t end = CellOf(at, next) * next;
        if (end < at) end += next;
        period.cells[span] = {first, CellOf(end, seconds) - 1};
        at = end;
    }
    return period;
}

int64_t CellCount(const PeriodCells& cells) {
    int64_t count = 0;
    for (const auto& [first, last] : cells.cells)
        count += std::max<int64_t>(0, last - first + 1);
    return count;
}

ListCounts PeriodCountList(const std::vector<int64_t>& looseScores, ListLevelCounts scoreCounts,
                           ListLevelCounts cellCounts) {
    return [&looseScores, scoreCounts = std::move(scoreCounts),
            cellCounts = std::move(cellCounts)](const KeyRange& range) {
        if (range.level == 0) return scoreCounts(range);
        std::map<int64_t, int64_t, std::greater<>> sums;
        for (const auto& [key, count] : cellCounts(range))
            sums[key] += count;
        for (const int64_t score : looseScores) {
            const int64_t key = score >> (range.level * kRankLevelBits);
            if (key >= range.low && key <= range.high) ++sums[key];
        }
        std::vector<std::pair<int64_t, int64_t>> listed;
        listed.reserve(sums.size());
        for (const auto& [key, count] : sums)
            if (count > 0) listed.emplace_back(key, count);
        return listed;
    };
}

int64_t RowsAboveThrough(int64_t score, const ListCounts& list) {
    int64_t above = 0;
    for (const KeyRange& range : RangesAbove(score)) {
        if (range.low > range.high) continue;
        for (const auto& [key, count] : list(range))
            above += count;
    }
    return above;
}

} // namespace vorlane::scores
