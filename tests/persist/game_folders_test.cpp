// Where the game reads its data and keeps its saves: the build tree as always, an
// install (found by its marker beside the executable) with per-user saves.
#include "persist/Controls.h"
#include "persist/GameFolders.h"
#include "persist/GamePaths.h"

#include "persist/TempDir.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using testing::TempDataRoot;

// A fake install under root: bin/ for the game, share/vorlane with the marker.
struct FakeInstall {
    explicit FakeInstall(const TempDataRoot& root) : prefix(root.Path() / "prefix") {
        fs::create_directories(Bin());
        root.Write(Data() / kInstallMarkerName, "installed\n");
    }
    fs::path Bin() const { return prefix / "bin"; }
    fs::path Data() const { return prefix / "share" / "vorlane"; }
    fs::path prefix;
};

const fs::path kDataFromBin = "../share/vorlane";

TEST(GameFolders, UserSaveRootFollowsXdgThenHome) {
    struct Case {
        UserDirectories user;
        std::optional<fs::path> expected;
    };
    const Case cases[] = {
        {{"/xdg/data", "/home/ann"}, fs::path("/xdg/data/vorlane")},
        {{"", "/home/ann"}, fs::path("/home/ann/.local/share/vorlane")},
        // A relative XDG_DATA_HOME is ignored, as the desktop's rules say.
        {{"relative/data", "/home/ann"}, fs::path("/home/ann/.local/share/vorlane")},
        {{"", ""}, std::nullopt},
        {{"/xdg/data", ""}, fs::path("/xdg/data/vorlane")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UserSaveRoot(c.user), c.expected) << c.user.xdgDataHome << " | " << c.user.home;
    }
}

TEST(GameFolders, BuildTreeUsesTheWorkingFolderForDataAndSaves) {
    TempDataRoot root;
    // An executable with no marker beside it: wherever it lies, it is not an install,
    // even with a share/vorlane folder of data but no marker.
    fs::create_directories(root.Path() / "build" / "release");
    fs::create_directories(root.Path() / "build" / "share" / "vorlane" / "Data");
    const GameFolders folders =
        ChooseGameFolders(root.Path() / "build" / "release", kDataFromBin, {"/xdg", "/home/ann"});
    EXPECT_FALSE(folders.installed);
    EXPECT_EQ(folders.dataRoot, fs::path("."));
    EXPECT_EQ(folders.saveRoot, fs::path("."));
    EXPECT_EQ(GamePath(folders.saveRoot, kHighScoreFileName), fs::path("./Data/Save/hs"));
}

TEST(GameFolders, InstallReadsItsDataAndSavesPerUser) {
    TempDataRoot root;
    const FakeInstall install(root);
    const GameFolders folders = ChooseGameFolders(install.Bin(), kDataFromBin, {"/xdg", "/home/ann"});
    EXPECT_TRUE(folders.installed);
    EXPECT_EQ(folders.dataRoot, install.Data().lexically_normal());
    EXPECT_EQ(folders.saveRoot, fs::path("/xdg/vorlane"));

    // Without any home folder the saves stay in the working folder.
    EXPECT_EQ(ChooseGameFolders(install.Bin(), kDataFromBin, {"", ""}).saveRoot, fs::path("."));
    // An empty executable folder (the system could not tell) is no install.
    EXPECT_FALSE(ChooseGameFolders("", kDataFromBin, {"/xdg", ""}).installed);
}

TEST(GameFolders, PreparingMakesTheSaveFolderAndCopiesOldSavesOnce) {
    TempDataRoot root;
    const FakeInstall install(root);
    // Saves kept beside the installed data by an older game folder.
    root.Write(GamePath(install.Data(), kHighScoreFileName), "ANN\r\n500\r\n");
    root.Write(GamePath(install.Data(), kControlsFileName), "fire = Q\r\n");
    const GameFolders folders =
        ChooseGameFolders(install.Bin(), kDataFromBin, {(root.Path() / "xdg").string(), ""});

    ASSERT_TRUE(PrepareSaveFolder(folders).Ok());
    const fs::path saves = root.Path() / "xdg" / "vorlane" / "Data" / "Save";
    EXPECT_TRUE(fs::is_directory(saves));
    EXPECT_EQ(TempDataRoot::Read(saves / "hs"), "ANN\r\n500\r\n");
    EXPECT_EQ(TempDataRoot::Read(saves / "controls"), "fire = Q\r\n"); // the player's key bindings too
    EXPECT_FALSE(fs::exists(saves / "options"));                       // there was none to copy
    // The old file stays where it was.
    EXPECT_EQ(TempDataRoot::Read(GamePath(install.Data(), kHighScoreFileName)), "ANN\r\n500\r\n");

    // Once the player has saves of his own they are never overwritten by the old ones.
    root.Write(saves / "hs", "BOB\r\n900\r\n");
    ASSERT_TRUE(PrepareSaveFolder(folders).Ok());
    EXPECT_EQ(TempDataRoot::Read(saves / "hs"), "BOB\r\n900\r\n");
}

TEST(GameFolders, PreparingReportsASaveFolderThatCannotBeMade) {
    TempDataRoot root;
    const FakeInstall install(root);
    root.Write(root.Path() / "blocked", "a file where the folder should be");
    const GameFolders folders =
        ChooseGameFolders(install.Bin(), kDataFromBin, {(root.Path() / "blocked").string(), ""});
    const FileReport report = PrepareSaveFolder(folders);
    EXPECT_EQ(report.status, FileStatus::Failed);
    EXPECT_NE(report.message.find("blocked/vorlane/Data/Save"), std::string::npos) << report.message;
}

TEST(GameFolders, BuildTreeSavesAreLeftAsTheyAre) {
    TempDataRoot root;
    root.Write(root.Save() / "hs", "OLD\r\n1\r\n");
    const GameFolders folders{root.Path(), root.Path(), false};
    ASSERT_TRUE(PrepareSaveFolder(folders).Ok());
    EXPECT_EQ(TempDataRoot::Read(root.Save() / "hs"), "OLD\r\n1\r\n");
}

} // namespace
} // namespace vorlane
