#pragma once
// The player's settings and the file "Data\Save\options" that keeps them between
// runs. The same file carries the check value of the high-score table, written at
// shut-down and compared with the table at start-up.
#include <filesystem>
#include <string>

#include "persist/FileReport.h"

namespace vorlane {

// What stands for "no country": shown on the options screen while the country is
// empty and sent with an online result in its place (the server reads it as none).
// It is never the country itself: a file that holds it (as earlier versions wrote)
// reads as no country, and no country is written as an empty line.
inline constexpr const char* kNoCountry = "_______";

struct TGameOptions {
    bool FullScreenMode = false;
    bool MusicOn = true;
    bool SoundOn = true;
    std::string Country; // bytes as typed or read, at most 16 when typed; empty: none given
};

// The options record with its file and the check value read beside it.
//
// File layout, one value per line, lines ended by CR LF:
//   1 FullScreenMode "1"/"0"   2 MusicOn   3 SoundOn   4 Country   5 check value
// A flag reads as true for any number but 0. A file with a flag line that is not
// a number, fewer or more than five lines, a line over 1024 bytes or over 64 KB in
// all is moved aside (options.damaged) unread and the defaults are used.
class TOptionsFile {
  public:
    explicit TOptionsFile(std::filesystem::path dataRoot);

    TGameOptions Options;
    // The check value read from the file; empty until a file was read.
    std::string StoredCheck;

    // The default settings; StoredCheck is not touched.
    void DefaultOptions();
    // Reads the file. Missing, unreadable or damaged: the defaults, and StoredCheck
    // keeps its value (empty at start-up, so the start-up check resets the table).
    FileReport LoadOptions();
    // Writes the settings with the given check value of the current high-score
    // table, replacing the old file only once the new one is complete.
    FileReport SaveOptions(const std::string& highScoreCheck) const;

    const std::filesystem::path& FilePath() const { return file_; }

  private:
    std::filesystem::path file_;
};

} // namespace vorlane
