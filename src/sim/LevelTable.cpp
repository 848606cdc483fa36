#include "sim/LevelTable.h"

#include <cstdint>

namespace vorlane {

LevelParams LevelParameters(int n) {
    if (n < 1) n = 1;
    LevelParams p;
    p.Level = n;
    p.TrackLength = n <= 5 ? n * 200 + 100 : 1300;

    // 64-bit arithmetic: level numbers are never capped, so the products below must
    // not overflow however long a player keeps finishing levels.
    const int64_t level = n;
    int64_t time = int64_t(p.TrackLength / 100) * 18000;
    if (level > 7) {
        time -= (level - 7) * 10000;
        if (time < 60000) time = 60000;
    }
    p.TimeLimitMs = int(time);

    // Past 200 bonus slots the count jumps to the full 400 (late levels are showered
    // with bonuses to make up for the short time).
    const int64_t bonuses = level * 10;
    p.BonusCount = bonuses > 200 ? 400 : int(bonuses);

    // From level 5 on n * n * 10 is past the cap (and would overflow for huge n).
    p.CarCount = level >= 5 ? 200 : int(level * level * 10);
    return p;
}

} // namespace vorlane
