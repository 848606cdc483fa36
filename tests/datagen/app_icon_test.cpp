// The desktop icon at every size of the hicolor theme: square PNGs of their size, an
// opaque rounded square with the car in it (red at its centre) and a clear surround,
// written under the theme's folder names.
#include "datagen/icon/AppIcon.h"
#include "engine/Picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace vorlane::datagen {
namespace {

int Alpha(uint32_t argb) {
    return int(argb >> 24);
}
int Red(uint32_t argb) {
    return int((argb >> 16) & 0xFF);
}
int Green(uint32_t argb) {
    return int((argb >> 8) & 0xFF);
}

TEST(AppIcon, EverySizeIsDrawnAtItsSizeWithTheCarInTheMiddle) {
    std::set<std::string> paths;
    for (int size : kAppIconSizes) {
        SCOPED_TRACE(size);
        const RgbaImage icon = DrawAppIcon(size);
        ASSERT_EQ(icon.width, size);
        ASSERT_EQ(icon.height, size);
        // Through the PNG file and back, unchanged.
        const RgbaImage decoded = DecodePng(EncodePng(icon));
        ASSERT_EQ(decoded.pixels, icon.pixels);

        // The red paint of the car fills much of the middle of the icon.
        int red = 0, middle = 0;
        for (int y = size / 4; y < 3 * size / 4; ++y)
            for (int x = size / 4; x < 3 * size / 4; ++x, ++middle) {
                const uint32_t p = icon.At(x, y);
                if (Red(p) > 90 && Red(p) > 2 * Green(p)) ++red;
            }
        EXPECT_GT(red, middle / 10) << "the red car in the middle";
        const int mid = size / 2;
        EXPECT_EQ(Alpha(icon.At(mid, mid)), 255);
        EXPECT_EQ(Alpha(icon.At(size / 8, mid)), 255) << "the road's square is opaque";
        if (size >= 32) {
            EXPECT_EQ(Alpha(icon.At(0, 0)), 0) << "rounded corners, clear surround";
        }

        const std::string path = AppIconPath(size);
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        EXPECT_EQ(path, "Data/Icons/hicolor/" + folder + "/apps/org.vorlane.Vorlane.png");
        paths.insert(path);
    }
    EXPECT_EQ(paths.size(), kAppIconSizes.size());
    EXPECT_EQ(kAppIconSizes.front(), 16);
    EXPECT_EQ(kAppIconSizes.back(), 512);
}

TEST(AppIcon, TheSmallestSizesAreDrawnInWholePixelsWithTheCarUpright) {
    for (int size : {16, 24, 32}) {
        SCOPED_TRACE(size);
        const RgbaImage icon = DrawAppIcon(size);
        ASSERT_EQ(icon.width, size);
        // Crisp: every pixel fully there or fully clear, from a small set of colours, so
        // nothing is smudged between the car and the road.
        std::set<uint32_t> colours;
        for (uint32_t p : icon.pixels) {
            EXPECT_TRUE(Alpha(p) == 0 || Alpha(p) == 255) << std::hex << p;
            if (Alpha(p) == 255) colours.insert(p);
        }
        EXPECT_LE(colours.size(), 12u);
        // The car stands upright in the middle: its paint runs unbroken along most of
        // the icon's height in the columns either side of the centre, while the outer
        // quarters hold none of it.
        for (int x : {size / 2 - 1, size / 2}) {
            int reddest = 0, run = 0;
            for (int y = 0; y < size; ++y) {
                const uint32_t p = icon.At(x, y);
                const bool paint = Red(p) > 90 && Red(p) > 2 * Green(p);
                const bool glass = !paint && Alpha(p) == 255 && int(p & 0xFF) > Red(p); // bluish windows
                run = paint || glass ? run + 1 : 0;
                reddest = std::max(reddest, run);
            }
            EXPECT_GE(reddest, size * 2 / 3) << "column " << x;
        }
        for (int y = 0; y < size; ++y)
            for (int x : {0, 1, size - 2, size - 1})
                EXPECT_FALSE(Red(icon.At(x, y)) > 90 && Red(icon.At(x, y)) > 2 * Green(icon.At(x, y)))
                    << x << "," << y;
    }
}

} // namespace
} // namespace vorlane::datagen
