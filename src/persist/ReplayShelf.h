#pragma once
// The replays kept in the save folder, "Data\Save\Replays": last.vrp, the last race
// played, and hs01.vrp to hs10.vrp, the races of the ten entries of the high-score
// table, which follow their entries when the table changes.
//
// A replay must never be shown for an entry it is not the race of. The shelf's index,
// "Data\Save\Replays\shelf", says for each rank the name and score of the entry its
// replay belongs to and the CRC-32 of the replay's bytes; it is written atomically,
// after the files are in place, and is the only word on which file is whose. A file
// whose bytes do not match the CRC of its rank is not that rank's replay. So whatever
// point a crash stops a change at, every rank either gets its own replay (found by its
// CRC wherever the change left it) or none, and the next start-up (Reconcile) tidies
// the folder. The table file itself is written at shut-down, so after a crash the
// table may be older than the shelf: the shelf then keeps only the replays of entries
// the table still holds.
#include "persist/FileReport.h"
#include "persist/HighScores.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

using THighScoreEntries = std::array<THighScore, THighScoreTable::kSize>;

inline constexpr std::string_view kReplayFolderName = "Data\\Save\\Replays";

class TReplayShelf {
  public:
    explicit TReplayShelf(const std::filesystem::path& dataRoot);

    const std::filesystem::path& Folder() const { return folder_; }
    // "hs01.vrp" .. "hs10.vrp".
    static std::string EntryFileName(int rank);
    static constexpr std::string_view kLastFileName = "last.vrp";
    static constexpr std::string_view kIndexFileName = "shelf";

    // The last race's replay, replacing the one before.
    FileReport SaveLast(std::string_view bytes);
    std::optional<std::string> Last() const;

    // The race whose total THighScoreTable::InsertScore has just put in at rank
    // (1..10): its replay is filed for that entry, the replays of the entries below
    // move down one rank with them, and the one pushed off rank 10 is dropped. table:
    // the entries after the insertion.
    FileReport FileEntry(const THighScoreEntries& table, int rank, std::string_view bytes);
    // The table was reset to its defaults: every entry's replay goes.
    FileReport Reset();
    // At start-up, once the table is loaded and checked: the replays of entries the
    // table holds go to their ranks, every other is dropped, and what a crash left
    // behind is tidied away.
    FileReport Reconcile(const THighScoreEntries& table);

    // At start-up, before Reconcile, when the table failed its check and was kept aside
    // as keptTable ("...\hs.rejected"): the replays of its entries and the index go with
    // it, into the shelf's folder named like the kept table ("Replays\hs.rejected"), so
    // that putting both back (the table as hs, the folder's files into Replays) brings
    // the replays back with it. Nothing is done when the shelf holds no entry's replay.
    struct KeptReplays {
        std::optional<std::filesystem::path> Folder; // where they went
        FileReport Report;                           // Failed: not all of them could be moved
    };
    KeptReplays KeepWithRejectedTable(const std::filesystem::path& keptTable);

    // The replay of the entry at rank (1..10); nothing when it has none, or when what
    // lies there is not that entry's race.
    std::optional<std::string> EntryReplay(const THighScoreEntries& table, int rank) const;

  private:
    struct Record {
        std::string Name;
        int32_t Score = 0;
        uint32_t Crc = 0;
        bool operator==(const Record&) const = default;
    };
    using Index = std::array<std::optional<Record>, THighScoreTable::kSize>;

    Index ReadIndex() const;
    FileReport WriteIndex(const Index& index) const;
    static FileReport WriteIndex(const Index& index, const std::filesystem::path& file);
    // Puts each rank's replay where it belongs, commits the index, removes the rest.
    FileReport Arrange(const Index& wanted);

    std::filesystem::path folder_;
};

} // namespace vorlane
