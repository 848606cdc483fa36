#pragma once
// What the menu-to-race scenarios share: a script line, the frames the race starts and
// its level banner closes on, and a saved table that any race total tops.
#include "persist/GameOptions.h"
#include "persist/HighScores.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace vorlane::playtest {

inline std::string At(int frame, const std::string& event) {
    return std::to_string(frame) + " " + event + "\n";
}

// Enter (or A) on "New game" after the intro, then on the car selection's start button.
inline constexpr int RaceStart = 70;
// The level banner counts 2000 ms down by 11 ms a frame from the race's first frame
// and closes on its 182nd.
inline constexpr int BannerEnd = RaceStart + 181;

// A saved table of ten negative totals, with its check value in the options, so that a
// race left at once (total 0) earns first place.
inline void LowTable(const std::filesystem::path& root) {
    const auto save = root / "Data" / "Save";
    {
        std::ofstream hs(save / "hs", std::ios::binary);
        for (int k = 1; k <= 10; ++k)
            hs << "LOW" << k << "\r\n" << -k << "\r\n";
    }
    THighScoreTable table;
    table.LoadHighScores(root);
    ASSERT_EQ(table.Entry(1).Score, -1);
    TOptionsFile options(root);
    options.SaveOptions(table.HighScoreCheck());
}

} // namespace vorlane::playtest
