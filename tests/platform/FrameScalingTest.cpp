// The window's size at start from the desktop's, where the frame lies in a window of
// any size and how crisp scaling enlarges it, and which frame pixel a window point shows.
#include "platform/FrameScaling.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

constexpr int W = 800, H = 600;

TEST(FrameScalingTest, TheWindowOpensAtTheLargestHalfStepWithinNineTenthsOfTheUsableDesktop) {
    struct Case {
        int width, height; // the usable desktop
        PixelSize window;
    };
    const Case cases[] = {
        {1366, 768, {800, 600}},    // 691 rows: 1x (1.5x would take 900)
        {1366, 728, {800, 600}},    // less a task bar
        {1920, 1080, {1200, 900}},  // 972 rows: 1.5x (2x would take 1200)
        {1920, 1040, {1200, 900}},  // less a task bar: 936 still holds 900
        {1920, 990, {800, 600}},    // a tall task bar: 891 rows do not hold 900
        {2560, 1440, {1600, 1200}}, // 1296 rows: 2x (2.5x would take 1500)
        {2560, 1400, {1600, 1200}}, // less a task bar: 1260 still holds 1200
        {3840, 2160, {2400, 1800}}, // 1944 rows: 3x (3.5x would take 2100)
        {3840, 2100, {2400, 1800}}, // less a task bar
        {5120, 2880, {3200, 2400}}, // 2592 rows: 4x
        {3440, 1440, {1600, 1200}}, // wide: the height decides
        {1280, 2400, {800, 600}},   // tall: the width decides (1152 columns do not hold 1200)
        {1334, 1000, {1200, 900}},  // just fits: 1200 <= 1200.6 and 900 <= 900
        {1333, 1000, {800, 600}},   // 1200 > 1199.7
        {1334, 999, {800, 600}},    // 900 > 899.1
        {800, 600, {800, 600}},     // not even 1x fits in nine tenths: still 1x
        {0, 0, {800, 600}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StartWindowSize(c.width, c.height, W, H), c.window) << c.width << "x" << c.height;
}

TEST(FrameScalingTest, AScaleAskedForIsLoweredUntilItsWindowFitsTheUsableDesktop) {
    struct Case {
        int requested, width, height, scale;
    };
    const Case cases[] = {
        {2, 1920, 1080, 1},  // 1200 rows on 1080: lowered
        {1, 1920, 1080, 1},  // fits
        {2, 1920, 1040, 1},  // less a task bar
        {2, 2560, 1440, 2},  // fits
        {3, 2560, 1440, 2},  // 1800 rows on 1440: lowered by one
        {2, 2560, 1160, 1},  // a tall task bar
        {3, 3840, 2160, 3},  // fits
        {4, 3840, 2160, 3},  // 2400 rows on 2160
        {16, 3840, 2160, 3}, // far too large: down to the largest that fits
        {2, 1600, 1200, 2},  // exactly the desktop
        {2, 1599, 1200, 1},  // one column short
        {3, 1366, 768, 1},   // never below 1
        {1, 640, 480, 1},    // not even 1x fits: still 1
        {5, 0, 0, 5},        // a desktop of unknown size: as asked
    };
    for (const Case& c : cases)
        EXPECT_EQ(FittingScale(c.requested, c.width, c.height, W, H), c.scale)
            << c.requested << " on " << c.width << "x" << c.height;
}

TEST(FrameScalingTest, TheFrameFillsTheOutputAtItsShapeCentredBetweenBars) {
    struct Case {
        int width, height;
        PixelRect rect;
    };
    const Case cases[] = {
        {800, 600, {0, 0, 800, 600}},
        {1200, 900, {0, 0, 1200, 900}}, // the 1080p window: 1.5x
        {1600, 1200, {0, 0, 1600, 1200}},
        {1920, 1080, {240, 0, 1440, 1080}}, // full screen on 1080p: the
                                            // screen's height
        {1366, 768, {171, 0, 1024, 768}},
        {2560, 1440, {320, 0, 1920, 1440}}, // 1440p: 2.4x
        {3840, 2160, {480, 0, 2880, 2160}}, // 4K: 3.6x
        {1700, 1301, {0, 13, 1700, 1275}},  // narrower than the frame's shape: bars above and below
        {2000, 1300, {133, 0, 1733, 1300}}, // an odd pixel left over goes right
        {640, 480, {0, 0, 640, 480}},       // smaller than the frame: shrunk to fit
        {1000, 500, {167, 0, 666, 500}},
        {1000, 1000, {0, 125, 1000, 750}},
        {0, 600, {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FrameRectInOutput(c.width, c.height, W, H), c.rect) << c.width << "x" << c.height;
}

TEST(FrameScalingTest, CrispScalingEnlargesByTheSmallestWholeStepThatCoversTheFrameRect) {
    struct Case {
        PixelRect rect;
        int prescale;
        bool whole;
    };
    const Case cases[] = {
        {{0, 0, 800, 600}, 1, true},
        {{0, 0, 1200, 900}, 2, false},    // the 1080p window: 2x, filtered down to 1.5x
        {{240, 0, 1440, 1080}, 2, false}, // 1080p full screen: 1.8x
        {{0, 0, 1600, 1200}, 2, true},    // a whole step: repeated pixels, nothing filtered
        {{320, 0, 1920, 1440}, 3, false}, // 1440p full screen: 2.4x
        {{480, 0, 2880, 2160}, 4, false}, // 4K full screen: 3.6x
        {{0, 0, 2400, 1800}, 3, true},    // the 4K window
        {{171, 0, 1024, 768}, 2, false},  // 1366 x 768 full screen: 1.28x
        {{0, 0, 640, 480}, 1, false},     // smaller than the frame
        {{0, 0, 1600, 1201}, 3, false},   // one row more than 2x
        {{0, 0, 1601, 1200}, 3, false},
        {{0, 0, 0, 0}, 1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CrispPrescale(c.rect, W, H), c.prescale) << c.rect.w << "x" << c.rect.h;
        EXPECT_EQ(IsWholeScale(c.rect, W, H), c.whole) << c.rect.w << "x" << c.rect.h;
    }
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
        const PixelRect rect{18, 6, W * scale, H * scale};
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
