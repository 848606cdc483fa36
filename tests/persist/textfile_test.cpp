#include "persist/TextFile.h"

#include <gtest/gtest.h>

#include "persist/GamePaths.h"
#include "persist/TempDir.h"

#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A save file that is a symbolic link (the table kept in a folder of its own, say)
// stays one: the file it leads to gets the new contents, through a chain of links and
// a relative link alike, and nothing is left beside either.
TEST(WriteFileAtomically, SavesThroughASymbolicLinkToTheFileItLeadsTo) {
    TempDataRoot root;
    const fs::path elsewhere = root.Path() / "elsewhere";
    const fs::path kept = elsewhere / "table";
    root.Write(kept, "old table");
    struct Case {
        const char* name;
        std::function<void(const fs::path& link)> make;
    };
    const Case cases[] = {
        {"absolute link", [&](const fs::path& link) { fs::create_symlink(kept, link); }},
        {"relative link", [&](const fs::path& link) { fs::create_symlink("../../elsewhere/table", link); }},
        {"link to a link",
         [&](const fs::path& link) {
             fs::create_symlink(kept, elsewhere / "second");
             fs::create_symlink(elsewhere / "second", link);
         }},
    };
    for (const Case& c : cases) {
        const fs::path link = root.Save() / "hs";
        fs::create_directories(root.Save());
        fs::remove(link);
        fs::remove(elsewhere / "second");
        c.make(link);
        const std::string contents = std::string("new table, ") + c.name;
        const FileReport report = WriteFileAtomically(link, contents);
        EXPECT_TRUE(report.Ok()) << c.name << ": " << report.message;
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link))) << c.name << ": the link became a plain file";
        EXPECT_EQ(TempDataRoot::Read(kept), contents) << c.name;
        EXPECT_EQ(TempDataRoot::Read(link), contents) << c.name;
        EXPECT_FALSE(fs::exists(root.Save() / "hs.tmp")) << c.name;
        EXPECT_FALSE(fs::exists(elsewhere / "table.tmp")) << c.name;
    }
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

// Only a regular file of at most the limit is read; anything else is refused with the
// reason and without reading it: a folder, a device that never ends, a file larger
// than the limit (judged by its size: a sparse 100 MB file is never read).
TEST(ReadFileWithin, RefusesUnreadWhatIsNotARegularFileOfItsSize) {
    TempDataRoot root;
    const fs::path small = root.Path() / "small", exact = root.Path() / "exact", big = root.Path() / "big";
    root.Write(small, "abc");
    root.Write(exact, std::string(64, 'x'));
    root.Write(big, "");
    fs::resize_file(big, 100u * 1024 * 1024);
    fs::create_directories(root.Path() / "folder");
    struct Case {
        fs::path file;
        std::optional<std::string> contents;
        const char* problem;
    };
    const Case cases[] = {
        {small, "abc", ""},
        {exact, std::string(64, 'x'), ""},
        {big, std::nullopt, "it is 104857600 bytes long, more than the 64 bytes"},
        {root.Path() / "folder", std::nullopt, "it is a folder, not a file"},
        {"/dev/zero", std::nullopt, "it is a device, not a file"},
        {root.Path() / "absent", std::nullopt, "there is no such file"},
    };
    for (const Case& c : cases) {
        const BoundedFileRead read = ReadFileWithin(c.file, 64);
        EXPECT_EQ(read.contents, c.contents) << c.file;
        EXPECT_EQ(read.problem.substr(0, std::string(c.problem).size()), c.problem) << c.file;
        EXPECT_EQ(ReadWholeFile(c.file, 64), c.contents) << c.file;
    }
    root.Write(exact, std::string(65, 'x'));
    EXPECT_EQ(ReadWholeFile(exact, 64), std::nullopt);
}

// A pipe nobody writes to is refused at once instead of holding the reader for ever
// (the read runs in a child process, so that a reader that waits fails the test
// instead of hanging it).
TEST(ReadFileWithin, NeverWaitsOnAPipe) {
    TempDataRoot root;
    const fs::path pipe = root.Path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const BoundedFileRead read = ReadFileWithin(pipe, 1024);
        ::_exit(!read.contents && read.problem == "it is a pipe, not a file" ? 0 : 1);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            FAIL() << "reading the pipe still waits after 10 s";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the pipe was not refused as a pipe";
}

} // namespace
} // namespace vorlane
