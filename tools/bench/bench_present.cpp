// Showing a finished frame in the window through the software renderer (the slowest way
// the game draws): the frame scaled into windows of the sizes players meet, crisp (whole
// steps repeat pixels; other sizes enlarge, then filter down) or smooth (filtered from the
// frame itself).
#include "platform/SdlDisplay.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace vorlane;

void BM_PresentFrame(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    DisplayOptions o;
    o.hidden = true;
    o.software = true;
    o.scaling = state.range(2) ? FrameScaling::Smooth : FrameScaling::Crisp;
    SdlDisplay display(o);
    SDL_SetWindowSize(SDL_GetWindowFromID(display.WindowId()), int(state.range(0)), int(state.range(1)));
    auto white = display.Surface().CreateTexture(RgbaImage(1, 1, 0xFFFFFFFF));
    int x = 0;
    for (auto _ : state) {
        display.Clear();
        display.Surface().Draw(*white, Rect{0, 0, 1, 1}, x++ % 800, 300);
        display.Flip();
    }
    const PixelRect at = display.FrameRect();
    state.counters["frame_w"] = at.w;
    state.counters["frame_h"] = at.h;
}
// Window width, height, smooth: 1x, the 1080p window (1.5x), 1080p full screen (1.8x, as
// large as the frame shows there), 2x, 1440p full screen (2.4x).
BENCHMARK(BM_PresentFrame)
    ->Args({800, 600, 0})
    ->Args({1200, 900, 0})
    ->Args({1200, 900, 1})
    ->Args({1440, 1080, 0})
    ->Args({1440, 1080, 1})
    ->Args({1600, 1200, 0})
    ->Args({1920, 1440, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace
