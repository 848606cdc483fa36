#pragma once
// What became of loading or saving one of the game's small text files. The game
// goes on in every case; the message (naming the file) is for the player's log.
#include <string>

namespace vorlane {

enum class FileStatus {
    Ok,       // read or written as it should be
    Missing,  // could not be opened for reading: defaults in use
    Damaged,  // read but not understood: defaults in use, the file kept aside
    Rejected, // understood but not to be used (a table failing its check): defaults in use, the file kept
              // aside
    Failed,   // could not be written: the old file, if any, is unchanged
};

struct FileReport {
    FileStatus status = FileStatus::Ok;
    std::string message; // empty when Ok

    bool Ok() const { return status == FileStatus::Ok; }
};

} // namespace vorlane
