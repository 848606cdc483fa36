#include "persist/HighScores.h"

#include <gtest/gtest.h>

#include "persist/GameOptions.h"
#include "persist/TempDir.h"
#include "persist/TextFile.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using testing::TempDataRoot;

std::vector<int32_t> Scores(const THighScoreTable& table) {
    std::vector<int32_t> out;
    for (const THighScore& e : table.Entries())
        out.push_back(e.Score);
    return out;
}

std::vector<std::string> Names(const THighScoreTable& table) {
    std::vector<std::string> out;
    for (const THighScore& e : table.Entries())
        out.push_back(e.Name);
    return out;
}

// Twenty lines for the given entries, as the game writes them.
std::string HsFile(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string out;
    for (const auto& [name, score] : entries)
        out += name + "\r\n" + score + "\r\n";
    return out;
}

// A table loaded from a file holding the given entries.
THighScoreTable TableOf(const std::vector<std::pair<std::string, int32_t>>& entries) {
    TempDataRoot root;
    std::vector<std::pair<std::string, std::string>> lines;
    for (const auto& [name, score] : entries)
        lines.emplace_back(name, std::to_string(score));
    root.Write(root.Save() / "hs", HsFile(lines));
    THighScoreTable table;
    const FileReport report = table.LoadHighScores(root.Path());
    EXPECT_TRUE(report.Ok()) << report.message;
    return table;
}

TEST(HighScoreTable, StartsWithTheDefaultTable) {
    THighScoreTable table;
    EXPECT_EQ(Scores(table),
              (std::vector<int32_t>{5000, 4500, 4000, 3500, 3000, 2500, 2000, 1500, 1000, 500}));
    EXPECT_EQ(Names(table), std::vector<std::string>(10, "ANONYMOUS"));
    EXPECT_EQ(table.Entry(1).Score, 5000);
    EXPECT_EQ(table.Entry(10).Score, 500);
    EXPECT_THROW(table.Entry(11), std::out_of_range);
}

TEST(HighScoreCheck, MixesNamesAndScoresAsUnsignedBytes) {
    EXPECT_EQ(THighScoreTable().HighScoreCheck(), "(\xA0\x96<z\xE2\xF6R>");

    // Codes above 127 count as 128..255. All names are short here: digits past the
    // second have no place in the check value and are left out.
    THighScoreTable table = TableOf({{"\xE9\xFF", 900},
                                     {"A", 100},
                                     {"A", 99},
                                     {"A", 98},
                                     {"A", 97},
                                     {"A", 96},
                                     {"A", 95},
                                     {"A", 94},
                                     {"A", 93},
                                     {"A", 92}});
    EXPECT_EQ(table.HighScoreCheck(), "$+");
}

TEST(HighScoreCheck, DigitsBeyondTheLongestNameAreIgnored) {
    auto table = [](int32_t best, const std::string& name) {
        return TableOf({{name, best},
                        {"AB", 50},
                        {"AB", 40},
                        {"AB", 30},
                        {"AB", 20},
                        {"AB", 10},
                        {"AB", 9},
                        {"AB", 8},
                        {"AB", 7},
                        {"AB", 6}});
    };
    const std::string check = table(1234, "AB").HighScoreCheck();
    EXPECT_EQ(check.size(), 2u);
    EXPECT_EQ(table(1299, "AB").HighScoreCheck(), check) << "third and fourth digits have no place";
    EXPECT_NE(table(1334, "AB").HighScoreCheck(), check);
    EXPECT_NE(table(1234, "AC").HighScoreCheck(), check);
}

TEST(HighScoreTable, InsertScoreFindsTheRightPlace) {
    struct Case {
        const char* what;
        int32_t total;
        int rank;
    };
    const Case cases[] = {
        {"below the table", 100, 0},
        {"equal to the last", 500, 0},
        {"just above the last", 501, 10},
        {"equal to the third goes below it", 4000, 4},
        {"equal to the best goes below it", 5000, 2},
        {"above the best", 9000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        THighScoreTable table;
        EXPECT_EQ(table.ScoreQualifies(c.total), c.rank != 0);
        EXPECT_EQ(table.InsertScore("NEW", c.total), c.rank);

        std::vector<int32_t> expected = Scores(THighScoreTable());
        if (c.rank != 0) {
            expected.insert(expected.begin() + (c.rank - 1), c.total);
            expected.pop_back();
            EXPECT_EQ(table.Entry(c.rank).Name, "NEW");
        }
        EXPECT_EQ(Scores(table), expected);
    }
}

TEST(HighScoreTable, AHigherTotalInATableOfEqualScoresGoesFirstAndDropsTheLast) {
    THighScoreTable table = TableOf({{"P1", 700},
                                     {"P2", 700},
                                     {"P3", 700},
                                     {"P4", 700},
                                     {"P5", 700},
                                     {"P6", 700},
                                     {"P7", 700},
                                     {"P8", 700},
                                     {"P9", 700},
                                     {"P10", 700}});
    EXPECT_FALSE(table.ScoreQualifies(700));
    EXPECT_EQ(table.InsertScore("TOP", 701), 1);
    EXPECT_EQ(Names(table),
              (std::vector<std::string>{"TOP", "P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9"}));
}

TEST(HighScoreTable, ANameWithALineBreakCannotShiftTheFile) {
    THighScoreTable table;
    table.InsertScore("TWO\nLINES", 6000);
    EXPECT_EQ(table.Entry(1).Name, "TWO LINES");
}

TEST(HighScoreFile, SavesTwentyLinesAndReadsThemBack) {
    TempDataRoot root;
    THighScoreTable table;
    ASSERT_FALSE(fs::exists(root.Save()));
    ASSERT_TRUE(table.SaveHighScores(root.Path()).Ok());
    const std::string text = TempDataRoot::Read(root.Save() / "hs");
    EXPECT_TRUE(text.starts_with("ANONYMOUS\r\n5000\r\nANONYMOUS\r\n4500\r\n")) << text;
    EXPECT_TRUE(text.ends_with("\r\nANONYMOUS\r\n500\r\n")) << text;
    EXPECT_EQ(SplitLines(text).size(), 20u);
}

TEST(HighScoreFile, NamesKeepEveryByte) {
    // Odd bytes, a lone CR, an empty name, leading blanks, a NUL, a negative score.
    const std::vector<std::pair<std::string, int32_t>> entries = {
        {"\xFF\xFE\x80", 900},
        {"A\rB", 800},
        {"", 700},
        {"  spaced", 600},
        {std::string("nul\0in", 6), 500},
        {"ends in CR\r", 400},
        {"\xC4\xD6\xDC", 300},
        {"x", 200},
        {"y", 100},
        {"z", -5},
    };
    THighScoreTable table = TableOf(entries);
    for (int rank = 1; rank <= 10; ++rank) {
        EXPECT_EQ(table.Entry(rank).Name, entries[rank - 1].first) << "rank " << rank;
        EXPECT_EQ(table.Entry(rank).Score, entries[rank - 1].second) << "rank " << rank;
    }

    TempDataRoot root;
    ASSERT_TRUE(table.SaveHighScores(root.Path()).Ok());
    THighScoreTable again;
    ASSERT_TRUE(again.LoadHighScores(root.Path()).Ok());
    EXPECT_EQ(Names(again), Names(table));
    EXPECT_EQ(Scores(again), Scores(table));
    EXPECT_EQ(again.HighScoreCheck(), table.HighScoreCheck());
}

TEST(HighScoreFile, AMissingFileGivesTheDefaultTable) {
    TempDataRoot root;
    THighScoreTable table;
    table.InsertScore("SOMEONE", 9999);
    EXPECT_EQ(table.LoadHighScores(root.Path()).status, FileStatus::Missing);
    EXPECT_EQ(Scores(table), Scores(THighScoreTable()));
}

TEST(HighScoreFile, ADamagedFileGivesTheDefaultTableAndIsKeptAside) {
    std::vector<std::pair<std::string, std::string>> good;
    for (int i = 1; i <= 10; ++i)
        good.emplace_back("P" + std::to_string(i), std::to_string(1000 - i));

    std::vector<std::string> damaged;
    auto withScore = [&](int rank, const std::string& score) {
        auto entries = good;
        entries[rank - 1].second = score;
        damaged.push_back(HsFile(entries));
    };
    withScore(1, "lots");
    withScore(10, "");
    withScore(5, "12x");
    withScore(3, "3000000000");
    damaged.push_back(HsFile(good).substr(0, HsFile(good).size() - 6)); // the last score line missing
    damaged.push_back("ANONYMOUS\r\n5000\r\n");                         // only one entry
    damaged.push_back("");

    for (const std::string& contents : damaged) {
        SCOPED_TRACE(::testing::PrintToString(contents));
        TempDataRoot root;
        root.Write(root.Save() / "hs", contents);
        THighScoreTable table;
        table.InsertScore("SOMEONE", 9999);

        const FileReport report = table.LoadHighScores(root.Path());
        EXPECT_EQ(report.status, FileStatus::Damaged);
        EXPECT_NE(report.message.find("hs"), std::string::npos) << report.message;
        EXPECT_EQ(Names(table), Names(THighScoreTable()));
        EXPECT_EQ(Scores(table), Scores(THighScoreTable()));
        EXPECT_FALSE(fs::exists(root.Save() / "hs"));
        EXPECT_EQ(TempDataRoot::Read(root.Save() / "hs.damaged"), contents);
    }
}

// The start-up: high scores, then options, then the check of the one against the other.
struct StartUp {
    explicit StartUp(const fs::path& root) : options(root) {
        table.LoadHighScores(root);
        options.LoadOptions();
        check = table.ResetUnlessCheckMatches(options.StoredCheck);
        reset = check.status == FileStatus::Rejected;
    }
    THighScoreTable table;
    TOptionsFile options;
    FileReport check;
    bool reset = false;
};

// The shut-down: options with the table's check, then the high scores.
void ShutDown(const fs::path& root, const THighScoreTable& table, const TOptionsFile& options) {
    ASSERT_TRUE(options.SaveOptions(table.HighScoreCheck()).Ok());
    ASSERT_TRUE(table.SaveHighScores(root).Ok());
}

TEST(HighScoreCheck, GuardsTheTableFromOneRunToTheNext) {
    TempDataRoot root;
    {
        StartUp first(root.Path());
        EXPECT_TRUE(first.check.Ok())
            << "a first start has no check value, but only the default table to lose";
        EXPECT_EQ(first.check.message, "");
        first.table.InsertScore("ACE", 7777);
        ShutDown(root.Path(), first.table, first.options);
    }
    {
        StartUp second(root.Path());
        EXPECT_FALSE(second.reset);
        EXPECT_EQ(second.table.Entry(1).Name, "ACE");
        ShutDown(root.Path(), second.table, second.options);
    }

    // A score edited by hand, the options file left as it was.
    std::string hs = TempDataRoot::Read(root.Save() / "hs");
    hs.replace(hs.find("7777"), 4, "9777");
    root.Write(root.Save() / "hs", hs);
    StartUp third(root.Path());
    EXPECT_TRUE(third.reset);
    EXPECT_EQ(Scores(third.table), Scores(THighScoreTable()));
}

TEST(HighScoreCheck, AMissingOptionsFileResetsTheTable) {
    TempDataRoot root;
    {
        StartUp first(root.Path());
        first.table.InsertScore("ACE", 7777);
        ShutDown(root.Path(), first.table, first.options);
    }
    fs::remove(root.Save() / "options");
    StartUp second(root.Path());
    EXPECT_TRUE(second.reset);
    EXPECT_EQ(Names(second.table), Names(THighScoreTable()));
}

} // namespace
} // namespace vorlane
