// Whole files, atomic replacement, Windows-style paths, PNG files and shell addresses.
#include "platform/Files.h"
#include "platform/PngFile.h"
#include "platform/SdlShell.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vorlane {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
  protected:
    // A folder of its own per test: ctest runs tests side by side.
    FilesTest()
        : root(fs::path(VORLANE_BINARY_DIR) / "platform_files_test" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~FilesTest() override { fs::remove_all(root); }
    std::string P(const std::string& relative) const { return (root / relative).string(); }
    fs::path root;
};

TEST_F(FilesTest, WritingCreatesFoldersAndReplacesTheWholeFile) {
    const std::string path = P("Data\\Save\\options");
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(ReadFileBytes(path).has_value());
    ASSERT_TRUE(WriteFileAtomically(path, std::string("a long first version of the file\n")));
    EXPECT_TRUE(fs::is_regular_file(root / "Data" / "Save" / "options"));
    EXPECT_TRUE(FileExists(path));
    ASSERT_TRUE(WriteFileAtomically(path, std::vector<uint8_t>{'x', 0, 'y'}));
    EXPECT_EQ(*ReadFileBytes(path), (std::vector<uint8_t>{'x', 0, 'y'})) << "no tail of the longer old file";
    ASSERT_TRUE(WriteFileAtomically(path, std::string()));
    EXPECT_TRUE(ReadFileBytes(path)->empty());
    // Only the file itself is left in its folder: no temporary files.
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(root / "Data" / "Save"))
        ++entries;
    EXPECT_EQ(entries, 1);
    EXPECT_FALSE(FileExists(P("Data"))) << "a folder is not a file";
}

TEST_F(FilesTest, AFailedWriteLeavesTheOldFile) {
    const std::string path = P("hs");
    ASSERT_TRUE(WriteFileAtomically(path, std::string("kept")));
    // A folder in the way of the new file: the rename fails.
    const std::string blocked = P("blocked");
    fs::create_directories(fs::path(blocked) / "inside");
    EXPECT_FALSE(WriteFileAtomically(blocked, std::string("x")));
    // A file in the way of a folder.
    EXPECT_FALSE(WriteFileAtomically(P("hs/sub/file"), std::string("x")));
    EXPECT_EQ(*ReadFileBytes(path), (std::vector<uint8_t>{'k', 'e', 'p', 't'}));
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(root))
        ++entries;
    EXPECT_EQ(entries, 2) << "no temporary file left behind";
}

TEST(PathTest, WindowsSeparatorsBecomeNative) {
    EXPECT_EQ(NativePath("Data\\Res\\Res1.gfx"), "Data/Res/Res1.gfx");
    EXPECT_EQ(NativePath("Data/Music/Menu.xm"), "Data/Music/Menu.xm");
    EXPECT_EQ(NativePath("play.url"), "play.url");
}

TEST_F(FilesTest, PngRoundTrip) {
    RgbaImage image(3, 2);
    const uint32_t colours[] = {0xFF102030, 0x80FFFFFF, 0x00000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (size_t i = 0; i < 6; ++i)
        image.pixels[i] = colours[i];
    const std::string path = P("shots/frame.png");
    ASSERT_TRUE(SavePng(image, path));
    auto back = LoadPng(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->width, 3);
    EXPECT_EQ(back->height, 2);
    EXPECT_EQ(back->pixels, image.pixels);
    EXPECT_FALSE(SavePng(RgbaImage(), P("empty.png")));
    ASSERT_TRUE(WriteFileAtomically(P("not.png"), std::string("not a picture")));
    EXPECT_FALSE(LoadPng(P("not.png")).has_value());
}

TEST(ShellTest, AddressesStayAndFilesBecomeFileAddresses) {
    EXPECT_EQ(ShellAddress("http://example.invalid/cgi/version.pl?prg=Vorlane&show&type=0"),
              "http://example.invalid/cgi/version.pl?prg=Vorlane&show&type=0");
    const std::string file = ShellAddress("play.url");
    EXPECT_EQ(file.rfind("file:///", 0), 0u) << file;
    EXPECT_EQ(file.substr(file.size() - 9), "/play.url");
    EXPECT_NE(ShellAddress("a b.url").find("a%20b.url"), std::string::npos);
}

} // namespace
} // namespace vorlane
