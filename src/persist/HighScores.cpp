#include "persist/HighScores.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <vector>

#include "persist/GamePaths.h"
#include "persist/TextFile.h"

namespace vorlane {

THighScoreTable::THighScoreTable() {
    DefaultHighScores();
}

void THighScoreTable::DefaultHighScores() {
    for (int rank = 1; rank <= kSize; ++rank) {
        entries_[rank - 1] = {kDefaultHighScoreName, 5500 - 500 * rank};
    }
}

const THighScore& THighScoreTable::Entry(int rank) const {
    if (rank < 1 || rank > kSize)
        throw std::out_of_range("high-score rank " + std::to_string(rank) + " is not 1 to 10");
    return entries_[rank - 1];
}

namespace {

// Mixes one text into the check value, character by character from the front.
// Characters past the end of the check value have no place in it.
void MixInto(std::string& check, const std::string& text) {
    const size_t n = std::min(check.size(), text.size());
    for (size_t j = 0; j < n; ++j) {
        const unsigned sum = static_cast<unsigned char>(check[j]) + static_cast<unsigned char>(text[j]);
        check[j] = static_cast<char>(sum % 224 + 32);
    }
}

} // namespace

std::string THighScoreTable::HighScoreCheck() const {
    size_t longest = 0;
    for (const THighScore& e : entries_)
        longest = std::max(longest, e.Name.size());
    std::string check(longest, ' ');
    for (const THighScore& e : entries_) {
        MixInto(check, e.Name);
        MixInto(check, std::to_string(e.Score));
    }
    return check;
}

bool THighScoreTable::IsDefaultTable() const {
    const THighScoreTable defaults;
    return std::equal(
        entries_.begin(), entries_.end(), defaults.entries_.begin(),
        [](const THighScore& a, const THighScore& b) { return a.Name == b.Name && a.Score == b.Score; });
}

FileReport THighScoreTable::ResetUnlessCheckMatches(const std::string& storedCheck) {
    rejectedKeptAs_.clear();
    if (storedCheck == HighScoreCheck() || IsDefaultTable()) return {};
    const std::string why =
        storedCheck.empty()
            ? "there is no check value for the table (the options file was missing or damaged)"
            : "the table does not match its check value in the options file";
    std::string message =
        (loadedFrom_.empty() ? std::string("the high-score table") : loadedFrom_.generic_string()) + ": " +
        why + "; the default high scores are shown and used";
    DefaultHighScores();
    if (!loadedFrom_.empty()) {
        if (const auto kept = KeepFileAside(loadedFrom_, KeepReason::Rejected)) {
            message += ", the rejected table kept as " + kept->generic_string();
            rejectedKeptAs_ = *kept;
        } else {
            keepUnwritten_ = loadedFrom_;
            message += "; the file could not be moved aside, so the game will not overwrite it";
        }
        loadedFrom_.clear(); // the table in memory no longer comes from it
    }
    return {FileStatus::Rejected, message};
}

bool THighScoreTable::ScoreQualifies(int32_t total) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [total](const THighScore& e) { return e.Score < total; });
}

int THighScoreTable::InsertScore(const std::string& name, int32_t total) {
    // The newcomer goes in an eleventh place below the table, then ten passes of a
    // bubble sort put the table in order, highest first. Only a strictly lower score
    // gives way, so the newcomer stays below every older entry with its score; what
    // ends in the eleventh place drops out.
    std::array<THighScore, kSize + 1> all;
    std::copy(entries_.begin(), entries_.end(), all.begin());
    all[kSize] = {name, total};
    std::replace(all[kSize].Name.begin(), all[kSize].Name.end(), '\n', ' ');

    size_t newcomer = kSize;
    for (size_t pass = 1; pass <= kSize; ++pass) {
        for (size_t k = 0; k + pass < kSize + 1; ++k) {
            if (all[k].Score < all[k + 1].Score) {
                std::swap(all[k], all[k + 1]);
                if (newcomer == k)
                    newcomer = k + 1;
                else if (newcomer == k + 1)
                    newcomer = k;
            }
        }
    }
    std::copy(all.begin(), all.begin() + kSize, entries_.begin());
    return newcomer < kSize ? int(newcomer) + 1 : 0;
}

FileReport THighScoreTable::LoadHighScores(const std::filesystem::path& dataRoot) {
    const std::filesystem::path path = GamePath(dataRoot, kHighScoreFileName);
    loadedFrom_.clear();
    SaveFileLines file = ReadSaveFileLines(path, 2 * kSize);
    if (file.status == FileStatus::Missing) {
        DefaultHighScores();
        return {FileStatus::Missing,
                path.generic_string() + ": " + file.problem + ", default high scores in use"};
    }

    std::array<THighScore, kSize> read;
    for (size_t i = 0; i < kSize && file.status == FileStatus::Ok; ++i) {
        const size_t nameLine = 2 * i, scoreLine = nameLine + 1;
        const std::optional<int32_t> score = ParseIntegerLine(file.lines[scoreLine]);
        if (!score) {
            file.status = FileStatus::Damaged;
            file.problem = LineIsNotANumber(scoreLine + 1, file.lines[scoreLine]);
            break;
        }
        read[i] = {file.lines[nameLine], *score};
    }
    if (file.status != FileStatus::Ok) {
        DefaultHighScores();
        return ReportDamagedFile(path, file.problem, "default high scores");
    }
    entries_ = read;
    loadedFrom_ = path;
    return {};
}

FileReport THighScoreTable::SaveHighScores(const std::filesystem::path& dataRoot) const {
    std::vector<std::string> lines;
    const std::filesystem::path path = GamePath(dataRoot, kHighScoreFileName);
    if (!keepUnwritten_.empty() && keepUnwritten_ == path) {
        return {FileStatus::Failed,
                path.generic_string() +
                    ": not written, it still holds a rejected table the game could not move aside"};
    }
    lines.reserve(2 * kSize);
    for (const THighScore& e : entries_) {
        lines.push_back(e.Name);
        lines.push_back(std::to_string(e.Score));
    }
    return WriteFileAtomically(path, JoinLines(lines));
}

} // namespace vorlane
