// Nothing a player had is ever deleted by the game: a table that fails its check,
// a huge file, a huge line or junk after the last line is moved aside, never read
// whole, and reported in a short message naming the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <optional>

#include "persist/GameOptions.h"
#include "persist/HighScores.h"
#include "persist/TempDir.h"
#include "persist/TextFile.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using testing::TempDataRoot;

std::string HsText(const std::vector<std::pair<std::string, int32_t>>& entries) {
    std::string out;
    for (const auto& [name, score] : entries)
        out += name + "\r\n" + std::to_string(score) + "\r\n";
    return out;
}

// A player's real table, topped by ALICE.
const std::string kAliceTable = HsText({{"ALICE", 90000},
                                        {"BOB", 8000},
                                        {"CAROL", 7000},
                                        {"DAVE", 6000},
                                        {"EVE", 5000},
                                        {"FRANK", 4000},
                                        {"GRACE", 3000},
                                        {"HEIDI", 2000},
                                        {"IVAN", 1000},
                                        {"JUDY", 500}});
const std::string kAliceEdited = "ALICE\r\n99999" + kAliceTable.substr(12);
const std::string kDefaultTable = HsText({{"ANONYMOUS", 5000},
                                          {"ANONYMOUS", 4500},
                                          {"ANONYMOUS", 4000},
                                          {"ANONYMOUS", 3500},
                                          {"ANONYMOUS", 3000},
                                          {"ANONYMOUS", 2500},
                                          {"ANONYMOUS", 2000},
                                          {"ANONYMOUS", 1500},
                                          {"ANONYMOUS", 1000},
                                          {"ANONYMOUS", 500}});

std::string OptionsWithCheck(const std::string& check) {
    return "0\r\n1\r\n1\r\nLV\r\n" + check + "\r\n";
}

std::string CheckOf(const std::string& hsText) {
    TempDataRoot root;
    root.Write(root.Save() / "hs", hsText);
    THighScoreTable table;
    EXPECT_TRUE(table.LoadHighScores(root.Path()).Ok());
    return table.HighScoreCheck();
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    if (!fs::exists(folder)) return names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A message without the test folder's long name in it, for its length.
std::string WithoutRoot(std::string message, const TempDataRoot& root) {
    const std::string folder = root.Path().generic_string();
    for (size_t at; (at = message.find(folder)) != std::string::npos;)
        message.erase(at, folder.size());
    return message;
}

// The start-up and the shut-down of one run, as the game does them.
struct GameRun {
    explicit GameRun(const fs::path& root) : root(root), options(root) {
        table.LoadHighScores(root);
        options.LoadOptions();
        check = table.ResetUnlessCheckMatches(options.StoredCheck);
    }
    void ShutDown() {
        options.SaveOptions(table.HighScoreCheck());
        saved = table.SaveHighScores(root);
    }
    fs::path root;
    THighScoreTable table;
    TOptionsFile options;
    FileReport check;
    FileReport saved;
};

TEST(StartUpCheck, ATableThatFailsItsCheckIsKeptAsideAndReported) {
    struct Case {
        const char* what;
        std::optional<std::string> hs, options;
        FileStatus status;
        std::vector<std::string> filesAfterOneRun;
        std::optional<std::string> rejected; // what hs.rejected holds
    };
    const Case cases[] = {
        {"a fresh game: nothing to keep aside, nothing to say",
         std::nullopt,
         std::nullopt,
         FileStatus::Ok,
         {"hs", "options"},
         std::nullopt},
        {"a real table without its options file",
         kAliceTable,
         std::nullopt,
         FileStatus::Rejected,
         {"hs", "hs.rejected", "options"},
         kAliceTable},
        {"a real table with a damaged options file",
         kAliceTable,
         "x\r\n",
         FileStatus::Rejected,
         {"hs", "hs.rejected", "options", "options.damaged"},
         kAliceTable},
        {"a score edited by hand",
         kAliceEdited,
         OptionsWithCheck(CheckOf(kAliceTable)),
         FileStatus::Rejected,
         {"hs", "hs.rejected", "options"},
         kAliceEdited},
        {"the default table without options loses nothing",
         kDefaultTable,
         std::nullopt,
         FileStatus::Ok,
         {"hs", "options"},
         std::nullopt},
        {"no table but options of a real one: nothing to keep",
         std::nullopt,
         OptionsWithCheck(CheckOf(kAliceTable)),
         FileStatus::Ok,
         {"hs", "options"},
         std::nullopt},
        {"a damaged table is kept as damaged only",
         "junk\r\n",
         std::nullopt,
         FileStatus::Ok,
         {"hs", "hs.damaged", "options"},
         std::nullopt},
        {"a table that passes its check",
         kAliceTable,
         OptionsWithCheck(CheckOf(kAliceTable)),
         FileStatus::Ok,
         {"hs", "options"},
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDataRoot root;
        if (c.hs) root.Write(root.Save() / "hs", *c.hs);
        if (c.options) root.Write(root.Save() / "options", *c.options);

        GameRun run(root.Path());
        EXPECT_EQ(run.check.status, c.status) << run.check.message;
        if (c.status == FileStatus::Rejected) {
            EXPECT_NE(run.check.message.find("Data/Save/hs.rejected"), std::string::npos)
                << run.check.message;
            EXPECT_EQ(run.table.Entry(1).Name, "ANONYMOUS") << "the game shows and uses the default table";
        } else {
            EXPECT_EQ(run.check.message, "");
        }
        run.ShutDown();
        EXPECT_TRUE(run.saved.Ok()) << run.saved.message;
        EXPECT_EQ(FilesIn(root.Save()), c.filesAfterOneRun);
        if (c.rejected) {
            EXPECT_EQ(TempDataRoot::Read(root.Save() / "hs.rejected"), *c.rejected);
        }

        // The next run finds a table and options that agree: nothing more is kept aside.
        GameRun next(root.Path());
        EXPECT_TRUE(next.check.Ok()) << next.check.message;
        EXPECT_EQ(FilesIn(root.Save()), c.filesAfterOneRun);
    }
}

TEST(StartUpCheck, AnOlderRejectedTableIsNeverOverwritten) {
    TempDataRoot root;
    root.Write(root.Save() / "hs.rejected", "older");
    root.Write(root.Save() / "hs", kAliceTable);
    GameRun run(root.Path());
    EXPECT_EQ(run.check.status, FileStatus::Rejected);
    EXPECT_NE(run.check.message.find("hs.rejected-2"), std::string::npos) << run.check.message;
    EXPECT_EQ(TempDataRoot::Read(root.Save() / "hs.rejected"), "older");
    EXPECT_EQ(TempDataRoot::Read(root.Save() / "hs.rejected-2"), kAliceTable);
}

TEST(StartUpCheck, ARejectedTableThatCannotBeMovedIsNotOverwritten) {
    TempDataRoot root;
    // Every name a kept table could take is taken already.
    root.Write(root.Save() / "hs.rejected", "");
    for (int n = 2; n <= 1000; ++n)
        root.Write(root.Save() / ("hs.rejected-" + std::to_string(n)), "");
    root.Write(root.Save() / "hs", kAliceTable);

    GameRun run(root.Path());
    EXPECT_EQ(run.check.status, FileStatus::Rejected);
    EXPECT_NE(run.check.message.find("could not be moved aside"), std::string::npos) << run.check.message;
    EXPECT_EQ(run.table.Entry(1).Name, "ANONYMOUS");
    run.ShutDown();
    EXPECT_EQ(run.saved.status, FileStatus::Failed);
    EXPECT_EQ(TempDataRoot::Read(root.Save() / "hs"), kAliceTable);
}

// One of the game's two save files, with what a good copy of it holds.
struct SaveFile {
    const char* name;
    std::string good;
    std::function<FileReport(const fs::path& root)> load;
};

std::vector<SaveFile> BothSaveFiles() {
    return {
        {"hs", kAliceTable, [](const fs::path& root) { return THighScoreTable().LoadHighScores(root); }},
        {"options", OptionsWithCheck("chk"),
         [](const fs::path& root) { return TOptionsFile(root).LoadOptions(); }},
    };
}

TEST(SaveFileBounds, HugeFilesHugeLinesAndTrailingJunkAreDamagedAndKeptAside) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& file, const std::string& good)> make;
        const char* problem; // part of the message
    };
    const Case cases[] = {
        {"100 MB of zeros (never read)",
         [](const fs::path& file, const std::string&) {
             std::ofstream(file, std::ios::binary).put('1');
             fs::resize_file(file, 100u << 20);
         },
         "is 104857600 bytes long"},
        {"a good file with a long tail of junk",
         [](const fs::path& file, const std::string& good) {
             TempDataRoot::Write(file, good + std::string(70'000, 'j'));
         },
         "bytes long"},
        {"a first line of 2000 bytes",
         [](const fs::path& file, const std::string& good) {
             TempDataRoot::Write(file, std::string(2000, '1') + good.substr(good.find('\r')));
         },
         "line 1 is 2000 bytes long"},
        {"one line too many",
         [](const fs::path& file, const std::string& good) { TempDataRoot::Write(file, good + "junk\r\n"); },
         "more than the"},
        {"an empty line after the last",
         [](const fs::path& file, const std::string& good) { TempDataRoot::Write(file, good + "\r\n"); },
         "more than the"},
    };
    for (const SaveFile& save : BothSaveFiles()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(save.name) + ": " + c.what);
            TempDataRoot root;
            const fs::path file = root.Save() / save.name;
            fs::create_directories(root.Save());
            c.make(file, save.good);
            const uintmax_t size = fs::file_size(file);

            const FileReport report = save.load(root.Path());
            EXPECT_EQ(report.status, FileStatus::Damaged);
            EXPECT_NE(report.message.find(c.problem), std::string::npos) << report.message;
            EXPECT_NE(report.message.find(std::string(save.name) + ".damaged"), std::string::npos)
                << report.message;
            EXPECT_LT(WithoutRoot(report.message, root).size(), 200u) << report.message;
            EXPECT_FALSE(fs::exists(file));
            EXPECT_EQ(fs::file_size(root.Save() / (std::string(save.name) + ".damaged")), size)
                << "kept whole";
        }
        // The bounds leave a good file alone, with the longest line it may have.
        TempDataRoot root;
        std::string good = save.good;
        good.replace(0, good.find('\r'), std::string(kMaxSaveLineBytes - 1, ' ') + "1");
        TempDataRoot::Write(root.Save() / save.name, good);
        const FileReport report = save.load(root.Path());
        EXPECT_TRUE(report.Ok()) << save.name << ": " << report.message;
    }
}

TEST(SaveFileMessages, ABadLineIsQuotedShortWithEveryByteShown) {
    struct Case {
        const char* what;
        std::string line;
        std::string quoted;
    };
    const Case cases[] = {
        {"a garbage byte and a control byte", "abc\x01\xFF", "\"abc\\x01\\xFF\" is not a number"},
        {"a long line", std::string(1000, 'x'),
         std::string(1, '"') + std::string(60, 'x') + "...\" is not a number"},
    };
    for (const SaveFile& save : BothSaveFiles()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(save.name) + ": " + c.what);
            TempDataRoot root;
            // The first number of each file is its second line (hs) or first line (options).
            std::vector<std::string> lines = SplitLines(save.good);
            const size_t numberLine = std::string(save.name) == "hs" ? 1 : 0;
            lines[numberLine] = c.line;
            TempDataRoot::Write(root.Save() / save.name, JoinLines(lines));

            const FileReport report = save.load(root.Path());
            EXPECT_EQ(report.status, FileStatus::Damaged);
            EXPECT_NE(report.message.find("line " + std::to_string(numberLine + 1) + " " + c.quoted),
                      std::string::npos)
                << report.message;
            EXPECT_LT(WithoutRoot(report.message, root).size(), 200u) << report.message;
        }
    }
}

} // namespace
} // namespace vorlane
