// The game's start-up and shut-down, run whole on the headless drivers.
#include "FormFixture.h"

#include "persist/GamePaths.h"
#include "persist/ReplayShelf.h"
#include "platform/KeyCodes.h"

#include <fstream>
#include <sstream>

namespace vorlane {
namespace {

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(ShellStartup, OpensTheMainMenuWithItsIntroAndMusic) {
    test::FormFixture game;
    TMForm& f = game.Form();
    EXPECT_EQ(f.Screen.ActiveScreen, ScreenKind::MainMenu);
    EXPECT_EQ(f.Screen.ActiveDialog, DialogKind::None);
    EXPECT_EQ(f.Screen.SelectedItem, 1);
    EXPECT_EQ(f.Screen.MenuIntro, 1);
    EXPECT_EQ(f.Stats.RefreshRate, 85);
    EXPECT_EQ(f.MusicFile(), "Data\\Music\\Menu.xm");
    // A first start: default options and table.
    EXPECT_FALSE(f.Options().FullScreenMode);
    EXPECT_TRUE(f.Options().MusicOn);
    EXPECT_EQ(f.Options().Country, "") << "no country given yet";
    EXPECT_EQ(f.HighScores.Entry(1).Score, 5000);
    EXPECT_EQ(game.RunFrames(10), 10);
}

TEST(ShellStartup, ShutDownWritesOptionsWithTheTableCheckAndTheTable) {
    test::FormFixture game;
    TMForm& f = game.Form();
    f.Options().Country = "Narnia";
    f.Options().SoundOn = false;
    f.HighScores.InsertScore("ACE", 7000);
    f.ShutDown();
    EXPECT_TRUE(f.Terminated);
    const std::string options = ReadAll(game.SaveDir() / "options");
    EXPECT_EQ(options, "0\r\n1\r\n0\r\nNarnia\r\n" + f.HighScores.HighScoreCheck() + "\r\n");
    const std::string hs = ReadAll(game.SaveDir() / "hs");
    EXPECT_EQ(hs.rfind("ACE\r\n7000\r\nANONYMOUS\r\n5000\r\n", 0), 0u) << hs;
    // No link file, nothing opened.
    EXPECT_TRUE(game.Game().Shell.Opened.empty());
}

TEST(ShellStartup, TheNextStartReadsWhatTheLastOneWroteAndOpensTheLinkFile) {
    test::TempGameFolder keep; // a folder that outlives both games
    std::filesystem::path saved;
    {
        test::FormFixture first;
        first.Form().Options().Country = "Atlantis";
        first.Form().Options().FullScreenMode = true;
        first.Form().HighScores.InsertScore("BOB", 4200);
        first.Form().ShutDown();
        std::filesystem::copy(first.SaveDir(), keep.SaveDir(),
                              std::filesystem::copy_options::overwrite_existing |
                                  std::filesystem::copy_options::recursive);
    }
    test::FormFixture::Options o;
    o.BeforeStart = [&](const std::filesystem::path& root) {
        std::filesystem::copy(keep.SaveDir(), root / "Data" / "Save",
                              std::filesystem::copy_options::overwrite_existing |
                                  std::filesystem::copy_options::recursive);
        std::ofstream(root / "play.url") << "[InternetShortcut]\r\nURL=http://example.invalid/\r\n";
    };
    test::FormFixture second(o);
    TMForm& f = second.Form();
    EXPECT_EQ(f.Options().Country, "Atlantis");
    EXPECT_TRUE(f.Options().FullScreenMode);
    EXPECT_TRUE(f.Display().IsFullScreen());
    EXPECT_EQ(f.HighScores.Entry(3).Name, "BOB"); // the check value matched: the table stays
    f.ShutDown();
    ASSERT_EQ(second.Game().Shell.Opened.size(), 1u);
    EXPECT_NE(second.Game().Shell.Opened[0].find("play.url"), std::string::npos);
}

TEST(ShellStartup, AModeFromTheCommandLineIsForThisRunOnly) {
    struct Case {
        bool fileFullScreen, commandLineFullScreen;
        int switches; // Alt+Enter presses during the run
        char saved;   // the options file's first line after the run
    };
    const Case cases[] = {
        {false, true, 0, '0'},                        // full screen this time; the file keeps its window
        {true, false, 0, '1'}, {false, true, 2, '0'}, // switched away and back: still the command line's mode
        {false, true, 1, '0'},                        // the player's own switch to the window is saved
        {true, false, 1, '1'}, {true, true, 1, '0'},  // the same mode as the file's: nothing to hold back
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "file " << c.fileFullScreen << ", command line "
                                        << c.commandLineFullScreen << ", " << c.switches << " switches");
        test::FormFixture::Options o;
        o.FullScreenOverride = c.commandLineFullScreen;
        o.BeforeStart = [&](const std::filesystem::path& root) {
            std::filesystem::create_directories(root / "Data" / "Save");
            std::ofstream(root / "Data" / "Save" / "options", std::ios::binary)
                << (c.fileFullScreen ? "1" : "0") << "\r\n1\r\n1\r\nHere\r\nx\r\n";
        };
        test::FormFixture game(o);
        TMForm& f = game.Form();
        EXPECT_EQ(f.Options().FullScreenMode, c.commandLineFullScreen);
        EXPECT_EQ(f.Display().IsFullScreen(), c.commandLineFullScreen);
        for (int i = 0; i < c.switches; ++i)
            f.KeyDown(vk::Enter, true);
        f.ShutDown();
        const std::string saved = ReadAll(game.SaveDir() / "options");
        ASSERT_FALSE(saved.empty());
        EXPECT_EQ(saved[0], c.saved);
        EXPECT_EQ(saved.substr(1, 14), "\r\n1\r\n1\r\nHere\r\n") << "the other options as they were";
    }
}

TEST(ShellStartup, AHandEditedTableFallsBackToTheDefaultsButIsKeptAsideAndReported) {
    std::string table;
    for (int i = 1; i <= 10; ++i)
        table += "CHEAT\r\n" + std::to_string(99999 - i) + "\r\n";
    test::FormFixture::Options o;
    o.BeforeStart = [&table](const std::filesystem::path& root) {
        std::ofstream(root / "Data" / "Save" / "hs", std::ios::binary) << table;
        std::ofstream(root / "Data" / "Save" / "options", std::ios::binary)
            << "0\r\n1\r\n1\r\nX\r\nwrong\r\n";
    };
    ::testing::internal::CaptureStderr();
    test::FormFixture game(o);
    const std::string console = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(game.Form().HighScores.Entry(1).Name, "ANONYMOUS");
    EXPECT_EQ(game.Form().Options().Country, "X");
    EXPECT_NE(console.find("Data/Save/hs.rejected"), std::string::npos) << console;
    EXPECT_EQ(ReadAll(game.SaveDir() / "hs.rejected"), table);

    game.Form().ShutDown();
    EXPECT_EQ(ReadAll(game.SaveDir() / "hs").rfind("ANONYMOUS\r\n5000\r\n", 0), 0u);
    EXPECT_EQ(ReadAll(game.SaveDir() / "hs.rejected"), table) << "the shut-down leaves the kept table alone";
}

// A table with replays that fails its check (here: the options file is gone) is kept
// aside with its replays, and the message says where both went.
TEST(ShellStartup, ARejectedTableKeepsItsReplaysBesideItAndSaysSo) {
    test::FormFixture::Options o;
    o.BeforeStart = [](const std::filesystem::path& root) {
        THighScoreTable table;
        TReplayShelf shelf(root);
        for (const char* name : {"ANN", "BEN"}) {
            const int rank = table.InsertScore(name, 9000);
            ASSERT_TRUE(shelf.FileEntry(table.Entries(), rank, std::string("VRPL race of ") + name).Ok());
        }
        ASSERT_TRUE(table.SaveHighScores(root).Ok());
    };
    ::testing::internal::CaptureStderr();
    test::FormFixture game(o);
    const std::string console = ::testing::internal::GetCapturedStderr();
    const std::filesystem::path kept = game.SaveDir() / "Replays" / "hs.rejected";
    EXPECT_NE(console.find("Data/Save/hs.rejected; its replays kept with it in "), std::string::npos)
        << console;
    EXPECT_NE(console.find("Data/Save/Replays/hs.rejected"), std::string::npos) << console;
    EXPECT_EQ(ReadAll(kept / "hs01.vrp"), "VRPL race of ANN");
    EXPECT_EQ(ReadAll(kept / "hs02.vrp"), "VRPL race of BEN");
    EXPECT_TRUE(std::filesystem::exists(kept / "shelf"));
    EXPECT_FALSE(std::filesystem::exists(game.SaveDir() / "Replays" / "hs01.vrp"));
}

// An installed game keeps the player's saves apart from its data: the controls file
// goes there with the options and the table, is read from there, and nothing is
// written beside the data.
TEST(ShellStartup, TheControlsFileLivesWithThePlayersSaves) {
    test::TempGameFolder saves;
    const std::filesystem::path saveFile = saves.Root() / "Data" / "Save" / "controls";
    {
        test::FormFixture::Options o;
        o.SaveRoot = saves.Root();
        test::FormFixture first(o);
        first.Form().ShutDown();
        EXPECT_TRUE(std::filesystem::exists(saves.Root() / "Data" / "Save" / "options"));
        EXPECT_EQ(ReadAll(saveFile).rfind("# Vorlane controls", 0), 0u) << "no controls file among the saves";
        EXPECT_FALSE(std::filesystem::exists(first.Root() / "Data" / "Save" / "controls"))
            << "the controls file was written beside the data";
    }

    // The player's own binding is the one in force; one left beside the data is not read.
    std::ofstream(saveFile, std::ios::binary) << "fire = Q\r\n";
    test::FormFixture::Options o;
    o.SaveRoot = saves.Root();
    o.BeforeStart = [](const std::filesystem::path& root) {
        std::filesystem::create_directories(root / "Data" / "Save");
        std::ofstream(root / "Data" / "Save" / "controls", std::ios::binary) << "fire = W\r\n";
    };
    test::FormFixture second(o);
    EXPECT_EQ(second.Form().Input->Assigns[isButton12][0], 'Q');
}

TEST(ShellStartup, AnImageMissingFromItsArchiveNamesTheArchive) {
    // The two image archives swapped: the first picture the menu asks for is not in
    // the archive that now sits under the first name.
    test::FormFixture::Options o;
    o.BeforeStart = [](const std::filesystem::path& root) {
        namespace fs = std::filesystem;
        const fs::path res = root / "Data" / "Res", real = fs::read_symlink(res);
        fs::remove(res);
        fs::create_directory(res);
        fs::create_symlink(real / "Res1.gfx", res / "Res2.gfx");
        fs::create_symlink(real / "Res2.gfx", res / "Res1.gfx");
        fs::create_symlink(real / "Sounds.sfx", res / "Sounds.sfx");
    };
    try {
        test::FormFixture game(o);
        FAIL() << "the game started with its archives swapped";
    } catch (const EngineError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("not found in "), std::string::npos) << message;
        EXPECT_NE(message.find("Data/Res/Res"), std::string::npos) << message;
    }
}

} // namespace
} // namespace vorlane
