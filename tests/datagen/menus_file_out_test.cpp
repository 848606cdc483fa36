// Writing the generated files: folders made on the way, files replaced whole, failures
// reported with the file's name.
#include "datagen/common/FileOut.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace vorlane::datagen {
namespace {

namespace fs = std::filesystem;

class FileOut : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("datagen_file_out_" + std::to_string(getpid()));
        fs::remove_all(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

TEST_F(FileOut, MakesFoldersAndReplacesTheWholeFile) {
    const std::string path = (root_ / "Data" / "Res" / "Res1.gfx").string();
    WriteFileAtomic(path, {1, 2, 3, 4, 5});
    WriteFileAtomic(path, {9, 8});
    EXPECT_EQ(ReadWholeFile(path), (std::vector<uint8_t>{9, 8}));
    // Nothing but the file itself is left in its folder.
    int entries = 0;
    for (const auto& e : fs::directory_iterator(root_ / "Data" / "Res")) {
        ++entries;
        EXPECT_EQ(e.path().filename(), "Res1.gfx");
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(FileOut, FailureNamesTheFile) {
    // A regular file where the folder should be.
    WriteFileAtomic((root_ / "Data").string(), {0});
    const std::string path = (root_ / "Data" / "Res1.gfx").string();
    try {
        WriteFileAtomic(path, {1});
        FAIL() << "writing under a regular file succeeded";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("Res1.gfx"), std::string::npos) << e.what();
    }
    EXPECT_THROW(ReadWholeFile((root_ / "missing.gfx").string()), std::runtime_error);
}

} // namespace
} // namespace vorlane::datagen
