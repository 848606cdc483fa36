// The platform put together headless, as the headless player builds it.
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <chrono>

namespace vorlane {
namespace {

struct StillClock : IClock {
    uint32_t Milliseconds() override { return 1000; }
};

TEST(PlatformTest, HeadlessWithAnInjectedClockNeverSleeps) {
    StillClock clock;
    PlatformOptions options;
    options.display.hidden = true;
    options.clock = &clock;
    Platform platform(options);
    EXPECT_EQ(&platform.Clock(), &clock);
    EXPECT_TRUE(platform.Display().CanDraw());
    EXPECT_EQ(platform.Display().Surface().Width(), 800);
    EXPECT_EQ(platform.Display().Surface().Height(), 600);
    EXPECT_TRUE(platform.Audio().Ready());
    EXPECT_NE(platform.Text().Font("Beast Impacted", 16, false), 0);

    // The clock stands still, so a pacer that slept on it would wait for ever.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i) {
        platform.Display().Clear();
        platform.Display().Flip();
        platform.WaitForNextFrame();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    InputEvent e;
    while (platform.Events().Poll(e)) {
    }
}

} // namespace
} // namespace vorlane
