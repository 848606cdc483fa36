#include "persist/ReplayShelf.h"

#include "engine/Crc32.h"
#include "persist/GamePaths.h"
#include "persist/TextFile.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace vorlane {

namespace fs = std::filesystem;

namespace {

constexpr int kRanks = THighScoreTable::kSize;
constexpr std::string_view kIncomingFileName = "incoming.vrp";
constexpr std::string_view kMovingSuffix = ".moving";
constexpr uintmax_t kMaxShelfFileBytes = kMaxReplayFileBytes;

FileReport Failure(const fs::path& file, const std::string& what) {
    return {FileStatus::Failed, file.generic_string() + ": " + what};
}

// A file of the shelf that may hold an entry's replay: hs01.vrp..hs10.vrp, a newcomer
// being filed (or its copy half written when the game stopped), or a replay halfway
// through a move.
bool IsShelfFile(const std::string& name) {
    if (name == kIncomingFileName || name == std::string(kIncomingFileName) + ".tmp") return true;
    std::string_view n = name;
    if (n.ends_with(kMovingSuffix)) n.remove_suffix(kMovingSuffix.size());
    for (int rank = 1; rank <= kRanks; ++rank)
        if (n == TReplayShelf::EntryFileName(rank)) return true;
    return false;
}

struct ShelfFile {
    fs::path Path;
    uint32_t Crc = 0;
    bool Used = false;
};

std::vector<ShelfFile> ScanShelfFiles(const fs::path& folder) {
    std::vector<ShelfFile> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec) || !IsShelfFile(it->path().filename().string())) continue;
        if (const std::optional<std::string> bytes = ReadWholeFile(it->path(), kMaxShelfFileBytes))
            files.push_back({it->path(), Crc32(*bytes)});
    }
    return files;
}

bool SameEntry(const std::string& name, int32_t score, const THighScore& entry) {
    return name == entry.Name && score == entry.Score;
}

} // namespace

TReplayShelf::TReplayShelf(const fs::path& dataRoot) : folder_(GamePath(dataRoot, kReplayFolderName)) {}

std::string TReplayShelf::EntryFileName(int rank) {
    char name[16];
    std::snprintf(name, sizeof name, "hs%02d.vrp", rank);
    return name;
}

FileReport TReplayShelf::SaveLast(std::string_view bytes) {
    return WriteFileAtomically(folder_ / kLastFileName, bytes);
}

std::optional<std::string> TReplayShelf::Last() const {
    return ReadWholeFile(folder_ / kLastFileName, kMaxShelfFileBytes);
}

// The index: one line a rank, "-" for no replay, else "<crc in hex> <score> <name>".
TReplayShelf::Index TReplayShelf::ReadIndex() const {
    Index index;
    const std::optional<std::string> contents = ReadWholeFile(folder_ / kIndexFileName, kMaxSaveFileBytes);
    if (!contents) return index;
    const std::vector<std::string> lines = SplitLines(*contents);
    for (size_t r = 0; r < lines.size() && r < index.size(); ++r) {
        const std::string& line = lines[r];
        const size_t crcEnd = line.find(' ');
        if (crcEnd == std::string::npos) continue;
        const size_t scoreEnd = line.find(' ', crcEnd + 1);
        if (scoreEnd == std::string::npos) continue;
        Record record;
        const char* begin = line.data();
        const auto crc = std::from_chars(begin, begin + crcEnd, record.Crc, 16);
        const auto score = std::from_chars(begin + crcEnd + 1, begin + scoreEnd, record.Score, 10);
        if (crc.ec != std::errc() || crc.ptr != begin + crcEnd || score.ec != std::errc() ||
            score.ptr != begin + scoreEnd)
            continue; // a damaged line: that rank has no replay
        record.Name = line.substr(scoreEnd + 1);
        index[r] = std::move(record);
    }
    return index;
}

FileReport TReplayShelf::WriteIndex(const Index& index) const {
    return WriteIndex(index, folder_ / kIndexFileName);
}

FileReport TReplayShelf::WriteIndex(const Index& index, const fs::path& file) {
    std::vector<std::string> lines;
    for (const std::optional<Record>& record : index) {
        if (!record) {
            lines.emplace_back("-");
            continue;
        }
        char head[32];
        std::snprintf(head, sizeof head, "%08X %d ", unsigned(record->Crc), int(record->Score));
        lines.push_back(head + record->Name);
    }
    return WriteFileAtomically(file, JoinLines(lines));
}

FileReport TReplayShelf::Arrange(const Index& wanted) {
    std::error_code ec;
    // No shelf yet and nothing to put on it: nothing is made.
    if (!fs::exists(folder_, ec) && wanted == Index{}) return {};
    std::vector<ShelfFile> files = ScanShelfFiles(folder_);
    // Each rank's bytes, found by their CRC: at their own place when they are there
    // already, else wherever the last change left them.
    Index placed = wanted;
    std::array<ShelfFile*, kRanks> source{};
    for (int r = 0; r < kRanks; ++r) {
        if (!wanted[size_t(r)]) continue;
        const fs::path target = folder_ / EntryFileName(r + 1);
        ShelfFile* found = nullptr;
        for (ShelfFile& f : files)
            if (!f.Used && f.Crc == wanted[size_t(r)]->Crc && f.Path == target) found = &f;
        for (ShelfFile& f : files)
            if (!found && !f.Used && f.Crc == wanted[size_t(r)]->Crc) found = &f;
        if (!found) {
            placed[size_t(r)].reset(); // lost in a crash: the entry has no replay
            continue;
        }
        found->Used = true;
        source[size_t(r)] = found;
    }
    // Moves in two steps, first aside and then into place, so that no replay still to
    // be moved is overwritten by another.
    for (int r = 0; r < kRanks; ++r) {
        ShelfFile* f = source[size_t(r)];
        const fs::path target = folder_ / EntryFileName(r + 1);
        if (!f || f->Path == target) continue;
        fs::path aside = target;
        aside += kMovingSuffix;
        fs::rename(f->Path, aside, ec);
        if (ec)
            return Failure(f->Path,
                           "cannot move it to " + aside.generic_string() + " (" + ec.message() + ")");
        f->Path = aside;
    }
    for (int r = 0; r < kRanks; ++r) {
        ShelfFile* f = source[size_t(r)];
        const fs::path target = folder_ / EntryFileName(r + 1);
        if (!f || f->Path == target) continue;
        fs::rename(f->Path, target, ec);
        if (ec)
            return Failure(f->Path,
                           "cannot move it to " + target.generic_string() + " (" + ec.message() + ")");
        f->Path = target;
    }
    // The index is the word on which replay is whose: from here on the new one counts.
    if (FileReport report = WriteIndex(placed); !report.Ok()) return report;
    // What no rank keeps: the replays dropped, a newcomer that found no place, leftovers.
    for (const ShelfFile& f : ScanShelfFiles(folder_)) {
        bool kept = false;
        for (int r = 0; r < kRanks; ++r)
            kept = kept || (source[size_t(r)] && f.Path == folder_ / EntryFileName(r + 1));
        if (!kept) fs::remove(f.Path, ec);
    }
    return {};
}

FileReport TReplayShelf::FileEntry(const THighScoreEntries& table, int rank, std::string_view bytes) {
    if (rank < 1 || rank > kRanks)
        return Failure(folder_, "rank " + std::to_string(rank) + " is not a place of the high-score table");
    const fs::path incoming = folder_ / kIncomingFileName;
    if (FileReport report = WriteFileAtomically(incoming, bytes); !report.Ok()) return report;
    const Index old = ReadIndex();
    Index wanted;
    const auto keep = [&](int r, int from) {
        const std::optional<Record>& record = old[size_t(from)];
        if (record && SameEntry(record->Name, record->Score, table[size_t(r)])) wanted[size_t(r)] = record;
    };
    for (int r = 0; r < kRanks; ++r) {
        if (r + 1 < rank)
            keep(r, r);
        else if (r + 1 > rank)
            keep(r, r - 1);
    }
    wanted[size_t(rank - 1)] =
        Record{table[size_t(rank - 1)].Name, table[size_t(rank - 1)].Score, Crc32(bytes)};
    return Arrange(wanted);
}

FileReport TReplayShelf::Reset() {
    return Arrange(Index{});
}

FileReport TReplayShelf::Reconcile(const THighScoreEntries& table) {
    const Index old = ReadIndex();
    Index wanted;
    std::array<bool, kRanks> used{};
    // An entry keeps the replay of its own rank; an entry that moved (a table older
    // than the shelf, after a crash) finds its replay by its name and score.
    for (int r = 0; r < kRanks; ++r) {
        const std::optional<Record>& record = old[size_t(r)];
        if (record && SameEntry(record->Name, record->Score, table[size_t(r)])) {
            wanted[size_t(r)] = record;
            used[size_t(r)] = true;
        }
    }
    for (int r = 0; r < kRanks; ++r) {
        for (int from = 0; from < kRanks && !wanted[size_t(r)]; ++from) {
            const std::optional<Record>& record = old[size_t(from)];
            if (used[size_t(from)] || !record || !SameEntry(record->Name, record->Score, table[size_t(r)]))
                continue;
            wanted[size_t(r)] = record;
            used[size_t(from)] = true;
        }
    }
    return Arrange(wanted);
}

TReplayShelf::KeptReplays TReplayShelf::KeepWithRejectedTable(const fs::path& keptTable) {
    const Index index = ReadIndex();
    if (index == Index{}) return {};
    std::error_code ec;
    // A folder of its own: named like the kept table, or after it when that is taken.
    fs::path folder;
    for (int n = 1; n <= 1000 && folder.empty(); ++n) {
        fs::path candidate = folder_ / keptTable.filename();
        if (n > 1) candidate += "-replays-" + std::to_string(n);
        if (fs::create_directory(candidate, ec)) folder = candidate;
        if (ec) return {std::nullopt, Failure(candidate, "cannot make the folder (" + ec.message() + ")")};
    }
    if (folder.empty())
        return {std::nullopt, Failure(folder_, "no free folder for the rejected table's replays")};
    // The index first, as a copy: whatever point a failure stops at, the replays
    // already moved are found by it.
    if (FileReport report = WriteIndex(index, folder / kIndexFileName); !report.Ok()) return {folder, report};
    for (int r = 0; r < kRanks; ++r) {
        if (!index[size_t(r)]) continue;
        const fs::path from = folder_ / EntryFileName(r + 1);
        if (!fs::exists(from, ec)) continue; // lost in a crash: its rank shows none
        fs::rename(from, folder / EntryFileName(r + 1), ec);
        if (ec)
            return {folder, Failure(from, "cannot move it to " + folder.generic_string() + " (" +
                                              ec.message() + ")")};
    }
    fs::remove(folder_ / kIndexFileName, ec);
    return {folder, {}};
}

std::optional<std::string> TReplayShelf::EntryReplay(const THighScoreEntries& table, int rank) const {
    if (rank < 1 || rank > kRanks) return std::nullopt;
    const std::optional<Record> record = ReadIndex()[size_t(rank - 1)];
    if (!record || !SameEntry(record->Name, record->Score, table[size_t(rank - 1)])) return std::nullopt;
    std::optional<std::string> bytes = ReadWholeFile(folder_ / EntryFileName(rank), kMaxShelfFileBytes);
    if (!bytes || Crc32(*bytes) != record->Crc) return std::nullopt;
    return bytes;
}

} // namespace vorlane
