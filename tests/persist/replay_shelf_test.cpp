// The replays of the high-score table follow their entries: a new entry's replay goes
// in at its rank, those below move down, the one pushed off rank 10 goes, a reset
// drops them all; and however a change was cut short, no entry is ever shown another
// entry's race.
#include "persist/ReplayShelf.h"
#include "persist/TextFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using testing::TempDataRoot;

class ReplayShelfTest : public ::testing::Test {
  protected:
    ReplayShelfTest() : shelf(root.Path()) {}

    // The race of a made-up game: bytes that tell the games apart.
    static std::string Race(const std::string& who) { return "VRPL race of " + who; }

    // A game over whose total may make the table, filed as the game will do it.
    int Play(const std::string& name, int32_t score) {
        const int rank = table.InsertScore(name, score);
        if (rank != 0) {
            EXPECT_TRUE(shelf.FileEntry(table.Entries(), rank, Race(name)).Ok());
        }
        return rank;
    }

    // Ten games filling the table, best first: P1 100000 .. P10 10000, each with its race.
    void FillTable() {
        for (int i = 1; i <= 10; ++i) {
            std::string name = "P";
            name += std::to_string(i);
            ASSERT_EQ(Play(name, 110000 - 10000 * i), i);
        }
    }

    // What the shelf shows for each rank, "-" for nothing.
    std::vector<std::string> Shown() const {
        std::vector<std::string> shown;
        for (int rank = 1; rank <= 10; ++rank) {
            const auto bytes = shelf.EntryReplay(table.Entries(), rank);
            shown.push_back(bytes ? *bytes : "-");
        }
        return shown;
    }

    // The races the table's entries should show: their own, for the names given.
    std::vector<std::string> Expected(std::initializer_list<const char*> names) const {
        std::vector<std::string> races;
        for (const char* n : names)
            races.push_back(std::string(n) == "-" ? "-" : Race(n));
        return races;
    }

    std::set<std::string> FilesInFolder() const {
        std::set<std::string> names;
        std::error_code ec;
        for (fs::directory_iterator it(shelf.Folder(), ec), end; !ec && it != end; it.increment(ec))
            names.insert(it->path().filename().string());
        return names;
    }

    static std::set<std::string> EntryFiles(int count) {
        std::set<std::string> names{"shelf"};
        for (int rank = 1; rank <= count; ++rank)
            names.insert(TReplayShelf::EntryFileName(rank));
        return names;
    }

    TempDataRoot root;
    THighScoreTable table;
    TReplayShelf shelf;
};

TEST_F(ReplayShelfTest, ReplaysFollowTheirEntriesAsTheTableChanges) {
    struct Case {
        const char* name;
        int32_t score;
        int rank;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"top", 200000, 1, Expected({"top", "P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9"})},
        {"middle", 65000, 5, Expected({"P1", "P2", "P3", "P4", "middle", "P5", "P6", "P7", "P8", "P9"})},
        {"bottom", 15000, 10, Expected({"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "bottom"})},
        // Level with P5: a tie goes below the older entry. Level with P10: no place.
        {"tie", 60000, 6, Expected({"P1", "P2", "P3", "P4", "P5", "tie", "P6", "P7", "P8", "P9"})},
        {"too low", 10000, 0, Expected({"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P10"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDataRoot caseRoot;
        table = THighScoreTable();
        shelf = TReplayShelf(caseRoot.Path());
        FillTable();
        ASSERT_EQ(Shown(), Expected({"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P10"}));
        EXPECT_EQ(Play(c.name, c.score), c.rank);
        EXPECT_EQ(Shown(), c.shown);
        // Only the ten replays and the index: the dropped one and the newcomer's
        // incoming copy are gone.
        EXPECT_EQ(FilesInFolder(), EntryFiles(10));
    }
}

TEST_F(ReplayShelfTest, TheRaceDroppedOffRankTenLeavesNoTrace) {
    FillTable();
    Play("new", 500000);
    for (int rank = 1; rank <= 10; ++rank)
        EXPECT_NE(root.Read(shelf.Folder() / TReplayShelf::EntryFileName(rank)), Race("P10")) << rank;
    // P9, now tenth, is dropped by the next newcomer.
    Play("newer", 500001);
    EXPECT_EQ(Shown(), Expected({"newer", "new", "P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8"}));
}

TEST_F(ReplayShelfTest, ResetDropsEveryReplayButTheLastRace) {
    FillTable();
    ASSERT_TRUE(shelf.SaveLast(Race("last")).Ok());
    table.DefaultHighScores();
    ASSERT_TRUE(shelf.Reset().Ok());
    EXPECT_EQ(Shown(), Expected({"-", "-", "-", "-", "-", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(FilesInFolder(), (std::set<std::string>{"shelf", "last.vrp"}));
    EXPECT_EQ(shelf.Last(), Race("last"));
    // A default entry that a game then equals is filed like any other.
    EXPECT_EQ(Play("ANONYMOUS", 6000), 1);
    EXPECT_EQ(Shown()[0], Race("ANONYMOUS"));
    EXPECT_EQ(Shown()[1], "-");
}

TEST_F(ReplayShelfTest, EntriesFromBeforeReplaysGetNoneAndANewcomerEqualToOneGetsItsOwn) {
    // The default table has no replays; a newcomer level with rank 3 goes in at 4.
    EXPECT_EQ(Play("ANONYMOUS", 4000), 4);
    EXPECT_EQ(Shown(), Expected({"-", "-", "-", "ANONYMOUS", "-", "-", "-", "-", "-", "-"}));
    EXPECT_FALSE(shelf.Last().has_value());
}

TEST_F(ReplayShelfTest, FilesLeftMidMoveAreNeverShownForTheWrongEntryAndAreSetRightAtStartUp) {
    FillTable();
    const fs::path folder = shelf.Folder();
    const auto file = [&](int rank) { return folder / TReplayShelf::EntryFileName(rank); };
    // A change cut short: rank 3's replay already moved aside, 7's and 8's swapped, a
    // newcomer's copy written but never filed.
    fs::rename(file(3), folder / "hs05.vrp.moving");
    const std::string seventh = root.Read(file(7));
    root.Write(file(7), root.Read(file(8)));
    root.Write(file(8), seventh);
    root.Write(folder / "incoming.vrp", Race("never filed"));
    root.Write(folder / "incoming.vrp.tmp", "VRPL half writ");

    EXPECT_EQ(Shown(), Expected({"P1", "P2", "-", "P4", "P5", "P6", "-", "-", "P9", "P10"}));
    ASSERT_TRUE(shelf.Reconcile(table.Entries()).Ok());
    EXPECT_EQ(Shown(), Expected({"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P10"}));
    EXPECT_EQ(FilesInFolder(), EntryFiles(10));
}

TEST_F(ReplayShelfTest, ATableOlderThanTheShelfKeepsOnlyItsOwnEntriesReplays) {
    FillTable();
    const THighScoreTable saved = table; // the table file as written at the last shut-down
    Play("crashed", 75000);              // then a game, and a crash before the next shut-down
    table = saved;
    ASSERT_TRUE(shelf.Reconcile(table.Entries()).Ok());
    EXPECT_EQ(Shown(), Expected({"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "-"}));
    EXPECT_EQ(FilesInFolder(), EntryFiles(9));
}

TEST_F(ReplayShelfTest, ADamagedIndexOrAChangedReplayShowsNothingRatherThanSomethingWrong) {
    FillTable();
    const fs::path folder = shelf.Folder();
    std::string bytes = root.Read(folder / "hs02.vrp");
    bytes[3] ^= 1;
    root.Write(folder / "hs02.vrp", bytes);
    // Rank 4's score is no number now.
    std::vector<std::string> lines = SplitLines(root.Read(folder / "shelf"));
    ASSERT_EQ(lines.size(), 10u);
    ASSERT_EQ(lines[3].substr(8), " 70000 P4");
    lines[3] = lines[3].substr(0, 8) + " 7x000 P4";
    root.Write(folder / "shelf", JoinLines(lines));
    EXPECT_EQ(Shown(), Expected({"P1", "-", "P3", "-", "P5", "P6", "P7", "P8", "P9", "P10"}));
    ASSERT_TRUE(shelf.Reconcile(table.Entries()).Ok());
    EXPECT_EQ(Shown(), Expected({"P1", "-", "P3", "-", "P5", "P6", "P7", "P8", "P9", "P10"}));
    EXPECT_FALSE(fs::exists(folder / "hs02.vrp"));
}

// A table that fails its check at start-up is kept aside as hs.rejected: its replays
// go with it into Replays/hs.rejected (never dropped by the start-up that follows), and
// putting both back brings every entry's replay back. A second rejected table's
// replays get a folder of their own; an empty shelf keeps nothing.
TEST_F(ReplayShelfTest, TheReplaysOfARejectedTableAreKeptWithItAndComeBackWithIt) {
    FillTable();
    ASSERT_TRUE(shelf.SaveLast(Race("last")).Ok());
    const THighScoreTable rejected = table;
    const fs::path kept = shelf.Folder() / "hs.rejected";

    const TReplayShelf::KeptReplays first = shelf.KeepWithRejectedTable(root.Save() / "hs.rejected");
    EXPECT_TRUE(first.Report.Ok()) << first.Report.message;
    EXPECT_EQ(first.Folder, kept);
    table.DefaultHighScores(); // what the game now shows and uses
    ASSERT_TRUE(shelf.Reconcile(table.Entries()).Ok());
    EXPECT_EQ(FilesInFolder(), (std::set<std::string>{"hs.rejected", "last.vrp", "shelf"}));
    std::set<std::string> keptFiles;
    for (const auto& entry : fs::directory_iterator(kept))
        keptFiles.insert(entry.path().filename().string());
    EXPECT_EQ(keptFiles, EntryFiles(10));
    const std::vector<std::string> races =
        Expected({"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P10"});
    for (int rank = 1; rank <= 10; ++rank)
        EXPECT_EQ(root.Read(kept / TReplayShelf::EntryFileName(rank)), races[size_t(rank - 1)]);

    // Put back: the table and its replays.
    for (const auto& entry : fs::directory_iterator(kept))
        fs::rename(entry.path(), shelf.Folder() / entry.path().filename());
    fs::remove(kept);
    table = rejected;
    ASSERT_TRUE(shelf.Reconcile(table.Entries()).Ok());
    EXPECT_EQ(Shown(), Expected({"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P10"}));

    // Rejected again while the earlier folder is still there: a folder of its own.
    fs::create_directories(kept);
    const TReplayShelf::KeptReplays second = shelf.KeepWithRejectedTable(root.Save() / "hs.rejected");
    EXPECT_TRUE(second.Report.Ok()) << second.Report.message;
    EXPECT_EQ(second.Folder, shelf.Folder() / "hs.rejected-replays-2");
    EXPECT_EQ(root.Read(shelf.Folder() / "hs.rejected-replays-2" / "hs01.vrp"), Race("P1"));

    // Nothing on the shelf: nothing is made.
    table.DefaultHighScores();
    ASSERT_TRUE(shelf.Reconcile(table.Entries()).Ok());
    const TReplayShelf::KeptReplays none = shelf.KeepWithRejectedTable(root.Save() / "hs.rejected-2");
    EXPECT_TRUE(none.Report.Ok());
    EXPECT_EQ(none.Folder, std::nullopt);
    EXPECT_FALSE(fs::exists(shelf.Folder() / "hs.rejected-2"));
}

TEST_F(ReplayShelfTest, NoShelfFolderIsMadeUntilThereIsSomethingToKeep) {
    ASSERT_TRUE(shelf.Reconcile(table.Entries()).Ok());
    ASSERT_TRUE(shelf.Reset().Ok());
    EXPECT_FALSE(fs::exists(shelf.Folder()));
    EXPECT_FALSE(shelf.FileEntry(table.Entries(), 11, "x").Ok());
}

} // namespace
} // namespace vorlane
