#include "persist/TextFile.h"

#include <gtest/gtest.h>

#include "persist/GamePaths.h"
#include "persist/TempDir.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using testing::TempDataRoot;

TEST(ParseIntegerLine, ReadsNumbersTheWayTheFilesHoldThem) {
    struct Case {
        const char* line;
        std::optional<int32_t> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"5", 5},
        {"-1", -1},
        {"+7", 7},
        {"  42", 42},
        {"\t12", 12},
        {"12 and the rest is ignored", 12},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {"-", std::nullopt},
        {"+-3", std::nullopt},
        {"2147483648", std::nullopt},
        {"1.5", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseIntegerLine(c.line), c.value) << "line \"" << c.line << "\"";
    }
}

TEST(SplitLines, AcceptsCrLfAndLfAndAnUnendedLastLine) {
    EXPECT_EQ(SplitLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitLines("a\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nc"), (std::vector<std::string>{"a", "", "c"}));
    EXPECT_EQ(SplitLines("in\rside\r\r\n"), (std::vector<std::string>{"in\rside\r"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(GamePath, MapsBackslashesToThePlatformSeparator) {
    const fs::path p = GamePath("/games/vorlane", "Data\\Save\\hs");
    EXPECT_EQ(p, fs::path("/games/vorlane") / "Data" / "Save" / "hs");
    EXPECT_EQ(p.filename(), "hs");
}

TEST(WriteFileAtomically, CreatesTheMissingFolders) {
    TempDataRoot root;
    const fs::path file = root.Save() / "hs";
    ASSERT_FALSE(fs::exists(root.Save()));
    const FileReport report = WriteFileAtomically(file, "x\r\n");
    EXPECT_TRUE(report.Ok()) << report.message;
    EXPECT_EQ(TempDataRoot::Read(file), "x\r\n");
}

TEST(WriteFileAtomically, ReplacesTheOldFileInsteadOfRewritingIt) {
    TempDataRoot root;
    const fs::path file = root.Save() / "hs";
    root.Write(file, "old contents");
    // A second name for the old file: rewriting the file in place would change it
    // too, replacing the file leaves it alone.
    const fs::path oldCopy = root.Save() / "hs.link";
    fs::create_hard_link(file, oldCopy);

    ASSERT_TRUE(WriteFileAtomically(file, "new contents").Ok());
    EXPECT_EQ(TempDataRoot::Read(file), "new contents");
    EXPECT_EQ(TempDataRoot::Read(oldCopy), "old contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(root.Save()), fs::directory_iterator()), 2)
        << "no temporary file may be left behind";
}

TEST(WriteFileAtomically, AFailedWriteKeepsTheOldFileAndSaysSo) {
    TempDataRoot root;
    const fs::path file = root.Save() / "options";
    root.Write(file, "old contents");
    fs::create_directories(root.Save() / "options.tmp"); // the temporary file cannot be made

    const FileReport report = WriteFileAtomically(file, "new contents");
    EXPECT_EQ(report.status, FileStatus::Failed);
    EXPECT_NE(report.message.find("options"), std::string::npos) << report.message;
    EXPECT_EQ(TempDataRoot::Read(file), "old contents");
}

TEST(WriteFileAtomically, AFolderThatCannotBeMadeIsAFailure) {
    TempDataRoot root;
    root.Write(root.Path() / "Data", "a file where the folder should be");
    const FileReport report = WriteFileAtomically(root.Save() / "hs", "x");
    EXPECT_EQ(report.status, FileStatus::Failed);
    EXPECT_NE(report.message.find("Data"), std::string::npos) << report.message;
}

TEST(KeepFileAside, NeverOverwritesAnEarlierKeptFile) {
    TempDataRoot root;
    const fs::path file = root.Save() / "hs";
    root.Write(file, "first");
    EXPECT_EQ(KeepFileAside(file), root.Save() / "hs.damaged");
    root.Write(file, "second");
    EXPECT_EQ(KeepFileAside(file), root.Save() / "hs.damaged-2");
    root.Write(file, "third");
    EXPECT_EQ(KeepFileAside(file, KeepReason::Rejected), root.Save() / "hs.rejected");
    root.Write(file, "fourth");
    EXPECT_EQ(KeepFileAside(file, KeepReason::Rejected), root.Save() / "hs.rejected-2");

    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(TempDataRoot::Read(root.Save() / "hs.damaged"), "first");
    EXPECT_EQ(TempDataRoot::Read(root.Save() / "hs.damaged-2"), "second");
    EXPECT_EQ(TempDataRoot::Read(root.Save() / "hs.rejected"), "third");
    EXPECT_EQ(TempDataRoot::Read(root.Save() / "hs.rejected-2"), "fourth");
    EXPECT_EQ(KeepFileAside(root.Save() / "absent"), std::nullopt);
}

} // namespace
} // namespace vorlane
