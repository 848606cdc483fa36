#pragma once
// Where the game reads its data and where it keeps the player's saves.
//
// Run from the repository (the build tree) it uses its working folder for both, as it
// always has: "Data\Res", "Data\Music" and "Data\Save" side by side. An installed game
// reads its data from the install (share/vorlane beside bin/) and keeps the saves of
// each user in $XDG_DATA_HOME/vorlane, or ~/.local/share/vorlane without it.
//
// "Installed" is decided from the executable's own folder, never from the working
// folder: the install puts a marker file into its data folder, found at a path
// relative to the executable that the build compiled in. A build tree has no such
// file beside it, so it can never be taken for an install, wherever it is started.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "persist/FileReport.h"

namespace vorlane {

// The file the install writes into its data folder.
inline constexpr std::string_view kInstallMarkerName = "vorlane.installed";
// The folder of the per-user saves below the XDG data folder.
inline constexpr std::string_view kUserFolderName = "vorlane";

struct GameFolders {
    std::filesystem::path dataRoot; // holds "Data\Res" and "Data\Music"
    std::filesystem::path saveRoot; // holds "Data\Save"
    bool installed = false;
};

// What the save folder depends on, read from the environment by the caller.
struct UserDirectories {
    std::string xdgDataHome; // $XDG_DATA_HOME, may be empty
    std::string home;        // $HOME, may be empty
};
UserDirectories UserDirectoriesFromEnvironment();

// The install's data folder when executableFolder belongs to an install: the folder
// at dataFromExecutable (relative to executableFolder) holding the marker file.
std::optional<std::filesystem::path> InstalledDataFolder(const std::filesystem::path& executableFolder,
                                                         const std::filesystem::path& dataFromExecutable);

// $XDG_DATA_HOME/vorlane (only an absolute $XDG_DATA_HOME counts), else
// $HOME/.local/share/vorlane; nothing when neither is set.
std::optional<std::filesystem::path> UserSaveRoot(const UserDirectories& user);

// The folders for a game whose executable lies in executableFolder. An install
// without a usable home folder keeps its saves in the working folder's Data\Save.
GameFolders ChooseGameFolders(const std::filesystem::path& executableFolder,
                              const std::filesystem::path& dataFromExecutable, const UserDirectories& user);

// The same with the layout of this build's install and the real environment.
GameFolders LocateGameFolders(const std::filesystem::path& executableFolder);

// For an installed game: makes its save folder and, while it holds no saves yet,
// copies those kept beside the data ("Data\Save" of the data folder, where a game
// folder turned into an install kept them) - copies, never moves: the old files stay.
// Run from the build tree nothing is done: the saves stay in the working folder.
FileReport PrepareSaveFolder(const GameFolders& folders);

} // namespace vorlane
