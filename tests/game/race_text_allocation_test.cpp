// A long race, drawn, against the same race played blind (no drawing, no sound, as the
// replay check plays it), allocation by allocation: every frame whose head-up display
// texts are those of the frame before (and that plays no sound) makes exactly the heap
// allocations of its blind twin, so drawing the panel's text (measures, textures,
// keys) costs none. Allocations are
// counted by this program's operator new.
#include "FormFixture.h"
#include "bench/CountingNew.h"

#include "menus/Screens.h"
#include "race/Race.h"

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>

#include <string_view>
#include <vector>

namespace vorlane {
namespace {

struct FrameCount {
    long allocations = 0;
    size_t texts = 0;   // a digest of the texts drawn (and where)
    size_t effects = 0; // sound effects played
};

// A race of the given length on level 1 with Up held, frame by frame.
std::vector<FrameCount> RaceFrames(bool blind, int frames) {
    test::TempGameFolder folder;
    play::HeadlessOptions o;
    o.DataRoot = folder.Root();
    o.Seed = 5;
    o.Blind = blind;
    o.RecordRaces = false;
    play::HeadlessGame game(o);
    for (int i = 0; i < 46; ++i)
        game.Step();
    CloseMainMenu(game.Form());
    StartRace(game.Form());
    game.KeyDown(vk::Up);
    size_t digest = 0;
    game.Form().OnText = [&digest](const std::string& text, int x, int y) {
        digest = digest * 1000003u ^ std::hash<std::string_view>{}(text) ^ size_t(x) << 20 ^ size_t(y);
    };
    std::vector<FrameCount> counts;
    counts.reserve(size_t(frames));
    for (int i = 0; i < frames; ++i) {
        digest = 0;
        game.ClearFrameEffects();
        const long before = counting::NewCalls.load();
        game.Step();
        counts.push_back({counting::NewCalls.load() - before, digest, game.FrameEffects.size()});
    }
    game.Form().OnText = nullptr;
    return counts;
}

TEST(RaceTextAllocationTest, DrawnFramesWithUnchangedTextsAllocateNoMoreThanBlindOnes) {
    if (!test::GeneratedDataPresent()) GTEST_SKIP() << "no generated data";
    constexpr int kFrames = 85 * 60; // a minute of racing
    const std::vector<FrameCount> drawn = RaceFrames(false, kFrames);
    const std::vector<FrameCount> blind = RaceFrames(true, kFrames);
    int compared = 0, textFree = 0;
    long drawnTotal = 0, blindTotal = 0;
    for (size_t i = 1; i < drawn.size(); ++i) {
        drawnTotal += drawn[i].allocations;
        blindTotal += blind[i].allocations;
        // A new text is rendered (and allocates); an effect played makes a voice (and,
        // the first time, its samples), which the blind game, without sound, does not.
        if (drawn[i].texts != drawn[i - 1].texts || drawn[i].texts == 0 || drawn[i].effects > 0) continue;
        ++compared;
        if (drawn[i].allocations == blind[i].allocations) ++textFree;
        EXPECT_EQ(drawn[i].allocations, blind[i].allocations) << "frame " << i;
    }
    std::printf("%d frames: %.2f allocations a drawn frame, %.2f a blind one; %d of %d drawn frames with "
                "unchanged texts allocate just as their blind twins\n",
                kFrames, double(drawnTotal) / kFrames, double(blindTotal) / kFrames, textFree, compared);
    EXPECT_GT(compared, kFrames / 2) << "most frames show the texts of the frame before";
}

} // namespace
} // namespace vorlane
