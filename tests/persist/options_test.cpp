#include "persist/GameOptions.h"

#include <gtest/gtest.h>

#include "persist/TempDir.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using testing::TempDataRoot;

TEST(OptionsFile, ReadsEveryLineAsItStands) {
    TempDataRoot root;
    root.Write(root.Save() / "options", "0\r\n1\r\n1\r\n  Latvia\r\n(\xA0\x96<z\r\n");
    TOptionsFile file(root.Path());
    const FileReport report = file.LoadOptions();

    EXPECT_TRUE(report.Ok()) << report.message;
    EXPECT_FALSE(file.Options.FullScreenMode);
    EXPECT_TRUE(file.Options.MusicOn);
    EXPECT_TRUE(file.Options.SoundOn);
    EXPECT_EQ(file.Options.Country, "  Latvia");
    EXPECT_EQ(file.StoredCheck, "(\xA0\x96<z");
}

TEST(OptionsFile, AMissingFileGivesTheDefaultsAndLeavesTheCheckEmpty) {
    TempDataRoot root;
    TOptionsFile file(root.Path());
    file.Options = {true, false, false, "Somewhere"};

    EXPECT_EQ(file.LoadOptions().status, FileStatus::Missing);
    EXPECT_FALSE(file.Options.FullScreenMode);
    EXPECT_TRUE(file.Options.MusicOn);
    EXPECT_TRUE(file.Options.SoundOn);
    EXPECT_EQ(file.Options.Country, "") << "no country";
    EXPECT_EQ(file.StoredCheck, "");
}

TEST(OptionsFile, AnyNonZeroFlagIsTrueAndIsWrittenBackAsOne) {
    TempDataRoot root;
    // LF endings (a file edited by hand) and text after the number are accepted.
    root.Write(root.Save() / "options", "5\n-1 yes\n0\nLV\nchk");
    TOptionsFile file(root.Path());
    ASSERT_TRUE(file.LoadOptions().Ok());
    EXPECT_TRUE(file.Options.FullScreenMode);
    EXPECT_TRUE(file.Options.MusicOn);
    EXPECT_FALSE(file.Options.SoundOn);

    ASSERT_TRUE(file.SaveOptions("new check").Ok());
    EXPECT_EQ(TempDataRoot::Read(root.Save() / "options"), "1\r\n1\r\n0\r\nLV\r\nnew check\r\n");
}

TEST(OptionsFile, SavesAndReadsBackAnyBytes) {
    TempDataRoot root;
    TOptionsFile saved(root.Path());
    saved.Options = {true, false, true, std::string("\xC4sterreich \xFF\x01", 13)};
    const std::string check = "\xE0 \xFF~";
    ASSERT_FALSE(fs::exists(root.Save()));
    const FileReport report = saved.SaveOptions(check);
    ASSERT_TRUE(report.Ok()) << report.message;

    TOptionsFile loaded(root.Path());
    ASSERT_TRUE(loaded.LoadOptions().Ok());
    EXPECT_TRUE(loaded.Options.FullScreenMode);
    EXPECT_FALSE(loaded.Options.MusicOn);
    EXPECT_TRUE(loaded.Options.SoundOn);
    EXPECT_EQ(loaded.Options.Country, saved.Options.Country);
    EXPECT_EQ(loaded.StoredCheck, check);
}

// The underscores the options screen shows for no country are not a country: an
// empty country is written as an empty line, and a file that holds the underscores
// (as earlier versions wrote for no country) reads as none.
TEST(OptionsFile, NoCountryIsAnEmptyLineAndTheUnderscoresReadAsNone) {
    TempDataRoot root;
    TOptionsFile fresh(root.Path());
    ASSERT_TRUE(fresh.SaveOptions("chk").Ok());
    EXPECT_EQ(TempDataRoot::Read(root.Save() / "options"), "0\r\n1\r\n1\r\n\r\nchk\r\n");
    TOptionsFile again(root.Path());
    ASSERT_TRUE(again.LoadOptions().Ok());
    EXPECT_EQ(again.Options.Country, "");

    const struct {
        const char* line;
        const char* country;
    } cases[] = {{"_______", ""}, {"______", "______"}, {"_______ ", "_______ "}, {"Chile", "Chile"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        root.Write(root.Save() / "options", std::string("0\r\n1\r\n1\r\n") + c.line + "\r\nchk\r\n");
        TOptionsFile file(root.Path());
        ASSERT_TRUE(file.LoadOptions().Ok());
        EXPECT_EQ(file.Options.Country, c.country);
    }
}

TEST(OptionsFile, AnEmptyCheckLineIsNotAMissingOne) {
    TempDataRoot root;
    TOptionsFile saved(root.Path());
    ASSERT_TRUE(saved.SaveOptions("").Ok());
    TOptionsFile loaded(root.Path());
    EXPECT_TRUE(loaded.LoadOptions().Ok());
    EXPECT_EQ(loaded.StoredCheck, "");
}

TEST(OptionsFile, ADamagedFileGivesTheDefaultsAndIsKeptAside) {
    const char* damaged[] = {
        "x\r\n1\r\n1\r\nLV\r\nchk\r\n",           // flag not a number
        "1\r\n\r\n1\r\nLV\r\nchk\r\n",            // empty flag line
        "1\r\n1\r\n1abc\r\nLV\r\nchk\r\n",        // digits run into letters
        "1\r\n1\r\n99999999999\r\nLV\r\nchk\r\n", // too large
        "1\r\n0\r\n",                             // lines missing
        "1\r\n0\r\n0\r\nLV\r\n",                  // check line missing
        "",                                       // empty file
    };
    for (const char* contents : damaged) {
        SCOPED_TRACE(::testing::PrintToString(std::string(contents)));
        TempDataRoot root;
        root.Write(root.Save() / "options", contents);
        TOptionsFile file(root.Path());
        file.Options = {true, false, false, "Before"};

        const FileReport report = file.LoadOptions();
        EXPECT_EQ(report.status, FileStatus::Damaged);
        EXPECT_NE(report.message.find("options"), std::string::npos) << report.message;
        EXPECT_FALSE(file.Options.FullScreenMode);
        EXPECT_TRUE(file.Options.MusicOn);
        EXPECT_TRUE(file.Options.SoundOn);
        EXPECT_EQ(file.Options.Country, "") << "no country";
        EXPECT_EQ(file.StoredCheck, "") << "a damaged file gives no check value";
        EXPECT_FALSE(fs::exists(root.Save() / "options"));
        EXPECT_EQ(TempDataRoot::Read(root.Save() / "options.damaged"), contents);

        // The game goes on and writes a good file at shut-down.
        ASSERT_TRUE(file.SaveOptions("c").Ok());
        TOptionsFile again(root.Path());
        EXPECT_TRUE(again.LoadOptions().Ok());
    }
}

} // namespace
} // namespace vorlane
