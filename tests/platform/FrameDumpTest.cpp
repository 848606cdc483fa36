// The frame written out for tests: PPM bytes, and only when the frame changed.
#include "platform/FrameDump.h"

#include "platform/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace vorlane {
namespace {

TEST(FrameDumpTest, PpmHoldsTheHeaderAndRgbInRowOrder) {
    RgbaImage image(2, 2);
    image.At(0, 0) = 0xFF102030;
    image.At(1, 0) = 0x80405060; // alpha is left out
    image.At(0, 1) = 0xFF000000;
    image.At(1, 1) = 0xFFFFFFFF;
    EXPECT_EQ(PpmBytes(image),
              std::string("P6\n2 2\n255\n\x10\x20\x30\x40\x50\x60\x00\x00\x00\xFF\xFF\xFF", 23));
}

TEST(FrameDumpTest, WritesOnlyFramesThatChanged) {
    const auto dir = std::filesystem::temp_directory_path() / ("vorlane-dump-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "frame.ppm").string();
    FrameDumpFile dump(path);
    RgbaImage frame(3, 1, 0xFF000000);
    ASSERT_TRUE(dump.Offer(frame));
    EXPECT_EQ(ReadFileBytes(path)->size(), 11u + 9u);

    std::filesystem::remove(path);
    ASSERT_TRUE(dump.Offer(frame));
    EXPECT_FALSE(FileExists(path)) << "the same frame again is not written";

    frame.At(1, 0) = 0xFFABCDEF;
    ASSERT_TRUE(dump.Offer(frame));
    const auto bytes = ReadFileBytes(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), PpmBytes(frame));

    // A file that cannot be written says so.
    FrameDumpFile nowhere((dir / "frame.ppm" / "inside-a-file.ppm").string());
    EXPECT_FALSE(nowhere.Offer(frame));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace vorlane
