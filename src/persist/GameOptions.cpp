#include "persist/GameOptions.h"

#include <optional>
#include <vector>

#include "persist/GamePaths.h"
#include "persist/TextFile.h"

namespace vorlane {

TOptionsFile::TOptionsFile(std::filesystem::path dataRoot) : file_(GamePath(dataRoot, kOptionsFileName)) {}

void TOptionsFile::DefaultOptions()
{
    Options = TGameOptions{};
}

FileReport TOptionsFile::LoadOptions()
{
    const std::optional<std::string> contents = ReadWholeFile(file_);
    if (!contents) {
        DefaultOptions();
        return {FileStatus::Missing, file_.generic_string() + ": cannot be read, default options in use"};
    }

    const std::vector<std::string> lines = SplitLines(*contents);
    std::string problem;
    TGameOptions read;
    bool* flags[] = {&read.FullScreenMode, &read.MusicOn, &read.SoundOn};
    for (int i = 0; i < 3 && problem.empty(); ++i) {
        if (size_t(i) >= lines.size()) {
            problem = "line " + std::to_string(i + 1) + " is missing";
            break;
        }
        const std::optional<int32_t> value = ParseIntegerLine(lines[i]);
        if (!value) {
            problem = "line " + std::to_string(i + 1) + " \"" + lines[i] + "\" is not a number";
            break;
        }
        *flags[i] = *value != 0;
    }
    if (problem.empty() && lines.size() < 5) problem = "line " + std::to_string(lines.size() + 1) + " is missing";

    if (!problem.empty()) {
        DefaultOptions();
        std::string message = file_.generic_string() + ": " + problem + "; default options in use";
        if (const auto kept = KeepDamagedFile(file_)) {
            message += ", the damaged file kept as " + kept->generic_string();
        } else {
            message += ", the damaged file could not be moved aside";
        }
        return {FileStatus::Damaged, message};
    }

    read.Country = lines[3];
    Options = read;
    StoredCheck = lines[4];
    return {};
}

FileReport TOptionsFile::SaveOptions(const std::string& highScoreCheck) const
{
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
