#include "persist/GameOptions.h"

#include <optional>

#include "persist/GamePaths.h"
#include "persist/TextFile.h"

namespace vorlane {

TOptionsFile::TOptionsFile(std::filesystem::path dataRoot) : file_(GamePath(dataRoot, kOptionsFileName)) {}

void TOptionsFile::DefaultOptions() {
    Options = TGameOptions{};
}

FileReport TOptionsFile::LoadOptions() {
    SaveFileLines file = ReadSaveFileLines(file_, 5);
    if (file.status == FileStatus::Missing) {
        DefaultOptions();
        return {FileStatus::Missing,
                file_.generic_string() + ": " + file.problem + ", default options in use"};
    }

    TGameOptions read;
    bool* flags[] = {&read.FullScreenMode, &read.MusicOn, &read.SoundOn};
    for (size_t i = 0; i < 3 && file.status == FileStatus::Ok; ++i) {
        const std::optional<int32_t> value = ParseIntegerLine(file.lines[i]);
        if (!value) {
            file.status = FileStatus::Damaged;
            file.problem = LineIsNotANumber(i + 1, file.lines[i]);
            break;
        }
        *flags[i] = *value != 0;
    }
    if (file.status != FileStatus::Ok) {
        DefaultOptions();
        return ReportDamagedFile(file_, file.problem, "default options");
    }

    read.Country = file.lines[3] == kNoCountry ? std::string() : file.lines[3];
    Options = read;
    StoredCheck = file.lines[4];
    return {};
}

FileReport TOptionsFile::SaveOptions(const std::string& highScoreCheck) const {
    std::string country = Options.Country;
    for (char& c : country) {
        if (c == '\n') c = ' '; // a line break would shift every later line
    }
    const std::vector<std::string> lines = {
        Options.FullScreenMode ? "1" : "0",
        Options.MusicOn ? "1" : "0",
        Options.SoundOn ? "1" : "0",
        country,
        highScoreCheck,
    };
    return WriteFileAtomically(file_, JoinLines(lines));
}

} // namespace vorlane
