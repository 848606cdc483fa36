// The window's start scale from the desktop's size, where the frame lies in a window
// of any size, and which frame pixel a window point shows.
#include "platform/FrameScaling.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

constexpr int W = 800, H = 600;

TEST(FrameScalingTest, StartScaleIsTheLargestWholeScaleWithinNineTenthsOfTheDesktop) {
    struct Case {
        int width, height, scale;
    };
    const Case cases[] = {
        {1920, 1080, 1},                  // 1200 rows would not fit in 972
        {1920, 1040, 1},                  // a 1080p desktop less a task bar
        {2560, 1440, 2},                  // 1200 rows fit in 1296
        {2560, 1400, 2},                  // less a task bar: 1260 still holds 1200
        {3840, 2160, 3},                  // 1800 rows fit in 1944; 2400 columns in 3456
        {3840, 2100, 3}, {5120, 2880, 4}, // 2400 rows fit in 2592
        {3440, 1440, 2},                  // wide: the height decides
        {1280, 2400, 1},                  // tall: the width decides (1600 > 1152)
        {1778, 1334, 2},                  // just fits: 1600 <= 1600.2 and 1200 <= 1200.6
        {1777, 1334, 1},                  // 1600 > 1599.3
        {1778, 1333, 1},                  // 1200 > 1199.7
        {1366, 768, 1},  {800, 600, 1},   // not even 1 fits in nine tenths: still 1
        {0, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StartScale(c.width, c.height, W, H), c.scale) << c.width << "x" << c.height;
}

TEST(FrameScalingTest, TheFrameIsCentredAtAWholeScaleOrFilledWhenSmooth) {
    struct Case {
        int width, height;
        FrameScaling scaling;
        PixelRect rect;
    };
    const auto Crisp = FrameScaling::Crisp, Smooth = FrameScaling::Smooth;
    const Case cases[] = {
        {800, 600, Crisp, {0, 0, 800, 600}},
        {1600, 1200, Crisp, {0, 0, 1600, 1200}},
        {2400, 1800, Crisp, {0, 0, 2400, 1800}},
        {1920, 1080, Crisp, {560, 240, 800, 600}},   // full screen on 1080p: 1x with bars
        {2560, 1440, Crisp, {480, 120, 1600, 1200}}, // 1440p: 2x with bars
        {3840, 2160, Crisp, {720, 180, 2400, 1800}}, // 4K: 3x with bars
        {1700, 1301, Crisp, {50, 50, 1600, 1200}},   // an odd pixel left over goes right/below
        {3000, 1250, Crisp, {700, 25, 1600, 1200}},  // the height decides
        {640, 480, Crisp, {0, 0, 640, 480}},         // smaller than the frame: shrunk to fit
        {1000, 500, Crisp, {167, 0, 666, 500}},
        {2560, 1440, Smooth, {320, 0, 1920, 1440}},
        {1600, 1300, Smooth, {0, 50, 1600, 1200}},
        {1000, 1000, Smooth, {0, 125, 1000, 750}},
        {0, 600, Crisp, {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FrameRectInOutput(c.width, c.height, W, H, c.scaling), c.rect)
            << c.width << "x" << c.height << (c.scaling == Smooth ? " smooth" : " crisp");
}

TEST(FrameScalingTest, WindowPointsMapToTheFramePixelTheyShow) {
    struct Case {
        int x, y;
        double pixelsPerPoint;
        PixelRect rect;
        std::optional<FramePoint> frame;
    };
    const PixelRect twice{480, 120, 1600, 1200}; // 2x full screen on 2560 x 1440
    const PixelRect smooth{320, 0, 1920, 1440};  // 2.4x filled
    const Case cases[] = {
        {480, 120, 1, twice, FramePoint{0, 0}},
        {481, 121, 1, twice, FramePoint{0, 0}},
        {482, 121, 1, twice, FramePoint{1, 0}},
        {2079, 1319, 1, twice, FramePoint{799, 599}},
        {1281, 1207, 1, twice, FramePoint{400, 543}},
        {479, 500, 1, twice, std::nullopt},   // the bar on the left
        {2080, 500, 1, twice, std::nullopt},  // the bar on the right
        {1000, 119, 1, twice, std::nullopt},  // the bar above
        {1000, 1320, 1, twice, std::nullopt}, // the bar below
        {-1, -1, 1, twice, std::nullopt},
        // A high-density display: a 1280 x 720 point window of 2560 x 1440 pixels.
        {240, 60, 2, twice, FramePoint{0, 0}},
        {640, 360, 2, twice, FramePoint{400, 300}},
        {1039, 659, 2, twice, FramePoint{799, 599}},
        {1040, 360, 2, twice, std::nullopt},
        {320, 0, 1, smooth, FramePoint{0, 0}},
        {2239, 1439, 1, smooth, FramePoint{799, 599}},
        {1280, 720, 1, smooth, FramePoint{400, 300}},
        {319, 720, 1, smooth, std::nullopt},
        {5, 5, 1, PixelRect{}, std::nullopt}, // no frame shown yet
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowPointToFrame(c.x, c.y, c.pixelsPerPoint, c.rect, W, H), c.frame)
            << "(" << c.x << "," << c.y << ") at " << c.pixelsPerPoint << " pixels a point";
}

TEST(FrameScalingTest, EveryWindowPixelOfAWholeScaleMapsBackToItsFramePixel) {
    for (int scale = 1; scale <= 4; ++scale) {
        const int outW = W * scale + 37, outH = H * scale + 12; // bars on all sides
        const PixelRect rect = FrameRectInOutput(outW, outH, W, H, FrameScaling::Crisp);
        ASSERT_EQ(rect.w, W * scale);
        int wrong = 0;
        for (int y = 0; y < outH; ++y)
            for (int x = 0; x < outW; ++x) {
                const auto at = WindowPointToFrame(x, y, 1.0, rect, W, H);
                const bool onFrame = x >= rect.x && x < rect.x + rect.w && y >= rect.y && y < rect.y + rect.h;
                const std::optional<FramePoint> want =
                    onFrame ? std::optional(FramePoint{(x - rect.x) / scale, (y - rect.y) / scale})
                            : std::nullopt;
                if (at != want) ++wrong;
            }
        EXPECT_EQ(wrong, 0) << "scale " << scale;
    }
}

} // namespace
} // namespace vorlane
