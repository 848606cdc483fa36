// The platform put together headless, as the headless player builds it.
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <vector>

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

// A blind platform (the replay check): no window and no sound device are opened, every
// drawing call is taken and dropped, and texts measure exactly as in a seen game, so
// that what the game lays out from them is the same.
TEST(PlatformTest, BlindOpensNoWindowNorSoundAndMeasuresTextsAsASeenOne) {
    StillClock clock;
    PlatformOptions seenOptions;
    seenOptions.display.hidden = true;
    seenOptions.clock = &clock;
    std::vector<TextExtent> seenExtents;
    {
        Platform seen(seenOptions);
        const int font = seen.Text().Font("Beast Impacted", 16, true);
        for (const char* text : {"Score: 1234", "ANONYMOUS", "W"})
            seenExtents.push_back(seen.Text().Measure(font, text));
    }
    ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO | SDL_INIT_AUDIO), 0u) << "the seen platform left SDL running";

    PlatformOptions options = seenOptions;
    options.blind = true;
    Platform blind(options);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "a blind game opened the video system";
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "a blind game opened the audio system";
    EXPECT_FALSE(blind.Audio().Ready());
    EXPECT_TRUE(blind.Display().CanDraw());
    IDrawSurface& surface = blind.Display().Surface();
    EXPECT_EQ(surface.Width(), 800);
    EXPECT_EQ(surface.Height(), 600);

    const int font = blind.Text().Font("Beast Impacted", 16, true);
    size_t i = 0;
    for (const char* text : {"Score: 1234", "ANONYMOUS", "W"}) {
        const TextExtent e = blind.Text().Measure(font, text);
        EXPECT_EQ(e.width, seenExtents[i].width) << text;
        EXPECT_EQ(e.height, seenExtents[i].height) << text;
        ++i;
    }

    // Textures keep their size; nothing drawn shows.
    RgbaImage white(4, 3);
    std::fill(white.pixels.begin(), white.pixels.end(), 0xFFFFFFFFu);
    const std::unique_ptr<ITexture> texture = surface.CreateTexture(white);
    EXPECT_EQ(texture->Width(), 4);
    EXPECT_EQ(texture->Height(), 3);
    EXPECT_THROW(surface.CreateTexture(RgbaImage()), EngineError);
    blind.Display().Clear();
    surface.Draw(*texture, Rect{0, 0, 4, 3}, 10, 10);
    surface.DrawAlpha(*texture, Rect{0, 0, 4, 3}, Rect{0, 0, 40, 30}, 128);
    surface.DrawRotated(*texture, Rect{0, 0, 4, 3}, 100, 100, 4, 3, 2, 1.5, 45);
    blind.Text().Draw(font, "Score", 0, 0, 0xFFFFFF);
    const RgbaImage frame = blind.Display().ReadPixels();
    ASSERT_EQ(frame.width, 800);
    ASSERT_EQ(frame.height, 600);
    EXPECT_TRUE(
        std::all_of(frame.pixels.begin(), frame.pixels.end(), [](uint32_t p) { return p == 0xFF000000u; }));
    blind.Display().Flip();

    // Nobody can type into it: no events, and no key is held.
    InputEvent e;
    EXPECT_FALSE(blind.Events().Poll(e));
    uint8_t keys[256];
    std::fill(std::begin(keys), std::end(keys), uint8_t(0x80));
    blind.Keys().Snapshot(keys);
    EXPECT_TRUE(std::all_of(std::begin(keys), std::end(keys), [](uint8_t k) { return k == 0; }));
    // The pointer's display count works as on a window.
    blind.Display().HidePointer();
    EXPECT_FALSE(blind.Display().PointerVisible());
    blind.Display().ShowPointer();
    EXPECT_TRUE(blind.Display().PointerVisible());
}

} // namespace
} // namespace vorlane
