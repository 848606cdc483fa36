#include "persist/GameFolders.h"

#include <cstdlib>
#include <system_error>

#include "persist/Controls.h"
#include "persist/GamePaths.h"
#include "persist/TextFile.h"

#ifndef VORLANE_DATA_FROM_EXECUTABLE
// The install's data folder seen from its bin folder (the build sets it from the
// install directories it was configured with).
#define VORLANE_DATA_FROM_EXECUTABLE "../share/vorlane"
#endif

namespace vorlane {

namespace fs = std::filesystem;

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// The save files of the game, as names relative to a save root.
constexpr std::string_view kSaveFileNames[] = {kOptionsFileName, kHighScoreFileName, kControlsFileName};

bool HoldsAnySave(const fs::path& root) {
    std::error_code ec;
    for (std::string_view name : kSaveFileNames) {
        if (fs::exists(GamePath(root, name), ec)) return true;
    }
    return false;
}

} // namespace

UserDirectories UserDirectoriesFromEnvironment() {
    return {Environment("XDG_DATA_HOME"), Environment("HOME")};
}

std::optional<fs::path> InstalledDataFolder(const fs::path& executableFolder,
                                            const fs::path& dataFromExecutable) {
    if (executableFolder.empty()) return std::nullopt;
    const fs::path folder = (executableFolder / dataFromExecutable).lexically_normal();
    std::error_code ec;
    if (!fs::is_regular_file(folder / kInstallMarkerName, ec)) return std::nullopt;
    return folder;
}

std::optional<fs::path> UserSaveRoot(const UserDirectories& user) {
    // Relative values of XDG_DATA_HOME are to be ignored, as if it were unset.
    if (!user.xdgDataHome.empty() && fs::path(user.xdgDataHome).is_absolute())
        return fs::path(user.xdgDataHome) / kUserFolderName;
    if (!user.home.empty()) return fs::path(user.home) / ".local" / "share" / kUserFolderName;
    return std::nullopt;
}

GameFolders ChooseGameFolders(const fs::path& executableFolder, const fs::path& dataFromExecutable,
                              const UserDirectories& user) {
    const std::optional<fs::path> installedData = InstalledDataFolder(executableFolder, dataFromExecutable);
    if (!installedData) return {".", ".", false};
    return {*installedData, UserSaveRoot(user).value_or(fs::path(".")), true};
}

GameFolders LocateGameFolders(const fs::path& executableFolder) {
    return ChooseGameFolders(executableFolder, VORLANE_DATA_FROM_EXECUTABLE,
                             UserDirectoriesFromEnvironment());
}

FileReport PrepareSaveFolder(const GameFolders& folders) {
    // Run from the build tree the saves are where they always were; nothing to do.
    if (!folders.installed) return {};
    const fs::path saves = GamePath(folders.saveRoot, kOptionsFileName).parent_path();
    std::error_code ec;
    fs::create_directories(saves, ec);
    if (ec)
        return {FileStatus::Failed,
                saves.generic_string() + ": cannot make the save folder: " + ec.message()};
    if (HoldsAnySave(folders.saveRoot)) return {};

    std::string problems;
    for (std::string_view name : kSaveFileNames) {
        const fs::path old = GamePath(folders.dataRoot, name);
        if (!fs::is_regular_file(old, ec)) continue;
        const std::optional<std::string> contents = ReadWholeFile(old, kMaxSaveFileBytes);
        const FileReport copied =
            contents ? WriteFileAtomically(GamePath(folders.saveRoot, name), *contents)
                     : FileReport{FileStatus::Failed,
                                  old.generic_string() + ": cannot be read, or is larger than a save file"};
        if (!copied.Ok()) problems += (problems.empty() ? "" : "; ") + copied.message;
    }
    if (!problems.empty()) return {FileStatus::Failed, problems};
    return {};
}

} // namespace vorlane
