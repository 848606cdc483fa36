// Text already measured or drawn costs no heap allocation: the head-up display draws
// the same texts frame after frame (and outlined ones nine times a frame), so the text
// layer keeps their measures and textures and finds them again without copying the
// text, making a key or rendering anything. Allocations are counted by a counting
// operator new (this program's own) and by SDL's memory functions.
#include "bench/CountingNew.h"
#include "platform/SdlDisplay.h"
#include "platform/TextRenderer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

std::atomic<long> g_sdlCalls{0};

SDL_malloc_func g_malloc;
SDL_calloc_func g_calloc;
SDL_realloc_func g_realloc;
SDL_free_func g_free;

void* SDLCALL CountingMalloc(size_t size) {
    ++g_sdlCalls;
    return g_malloc(size);
}
void* SDLCALL CountingCalloc(size_t count, size_t size) {
    ++g_sdlCalls;
    return g_calloc(count, size);
}
void* SDLCALL CountingRealloc(void* p, size_t size) {
    ++g_sdlCalls;
    return g_realloc(p, size);
}

// SDL's allocations counted while it lives (the functions of before do the work).
struct CountSdlAllocations {
    CountSdlAllocations() {
        SDL_GetMemoryFunctions(&g_malloc, &g_calloc, &g_realloc, &g_free);
        SDL_SetMemoryFunctions(CountingMalloc, CountingCalloc, CountingRealloc, g_free);
    }
    ~CountSdlAllocations() { SDL_SetMemoryFunctions(g_malloc, g_calloc, g_realloc, g_free); }
};

} // namespace

namespace vorlane {
namespace {

TEST(TextAllocationTest, TextsMeasuredOrDrawnBeforeCostNoAllocation) {
    DisplayOptions o;
    o.hidden = true;
    o.software = true;
    SdlDisplay display(o);
    TtfTextRenderer text(display);
    const int digits = text.Font("DS Crystal", 22, false);
    const int words = text.Font("Arial", 12, true);
    ASSERT_NE(digits, 0);
    ASSERT_NE(words, 0);
    // A frame of the panel: short and long texts (longer than a string keeps in
    // itself), the outline's nine draws of one text, two colours.
    const std::vector<std::string> texts = {
        "LEVEL 12", "1:07.45", "1234567", "3", "FINISH! TIME BONUS: 1234", std::string(300, 'x')};
    auto frame = [&] {
        for (const std::string& t : texts) {
            const int font = t.size() < 10 ? digits : words;
            const TextExtent e = text.Measure(font, t);
            for (int outline = 0; outline < 8; ++outline)
                text.Draw(font, t, 100 - e.width / 2 + outline % 3, 100, 0x000000);
            text.Draw(font, t, 100 - e.width / 2, 100, 0xFFFFFF);
        }
    };
    frame(); // the first time renders and keeps them
    frame();

    CountSdlAllocations sdl;
    const long newBefore = counting::NewCalls.load(), sdlBefore = g_sdlCalls.load();
    for (int i = 0; i < 50; ++i)
        frame();
    EXPECT_EQ(counting::NewCalls.load() - newBefore, 0)
        << "operator new calls in 50 frames of unchanged texts";
    EXPECT_EQ(g_sdlCalls.load() - sdlBefore, 0) << "SDL allocations in 50 frames of unchanged texts";

    // A text not seen before is rendered (and allocates); then it too is free.
    const std::string changed = "1:07.46";
    text.Draw(digits, changed, 10, 10, 0xFFFFFF);
    const long afterNew = counting::NewCalls.load();
    text.Measure(digits, changed);
    text.Measure(digits, changed);
    text.Draw(digits, changed, 10, 10, 0xFFFFFF);
    EXPECT_EQ(counting::NewCalls.load() - afterNew, 1) << "only the first measure of the new text allocates";
}

} // namespace
} // namespace vorlane
