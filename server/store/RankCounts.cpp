#include "store/RankCounts.h"

#include <limits>

namespace vorlane::scores {
namespace {

constexpr int64_t kLowBits = (int64_t{1} << kRankLevelBits) - 1;

} // namespace

std::string FoldCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::string RankGroup(const ScoreFilter& filter) {
    std::string group;
    if (filter.country.empty()) return group;
    group.reserve(filter.country.size() + 1);
    group.push_back('=');
    group.append(FoldCase(filter.country));
    return group;
}

std::array<KeyRange, kRankLevels> RangesAbove(int64_t score) {
    std::array<KeyRange, kRankLevels> ranges{};
    for (int level = 0; level < kRankLevels; ++level) {
        const int64_t key = score >> (level * kRankLevelBits);
        const bool top = level == kRankLevels - 1;
        // Above the score's own key, under the same key one level up (the top level: all above).
        const int64_t high = top ? std::numeric_limits<int64_t>::max() : (key | kLowBits);
        ranges[static_cast<size_t>(level)] =
            KeyRange{level, key == std::numeric_limits<int64_t>::max() ? key : key + 1, high};
        if (key == std::numeric_limits<int64_t>::max()) ranges[static_cast<size_t>(level)].high = key - 1;
    }
    return ranges;
}

std::optional<ScoreAtOffset> FindScoreAtOffset(int64_t offset, const ListCounts& list) {
    KeyRange range{kRankLevels - 1, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()};
    int64_t above = 0;
    for (;;) {
        bool found = false;
        for (const auto& [key, count] : list(range)) {
            if (above + count <= offset) {
                above += count;
                continue;
            }
            if (range.level == 0) return ScoreAtOffset{key, above};
            const int64_t low = key * (kLowBits + 1);
            range = KeyRange{range.level - 1, low, low + kLowBits};
            found = true;
            break;
        }
        if (!found) return std::nullopt;
    }
}

} // namespace vorlane::scores
