// The menus' costs on the headless game: from nothing to the first drawn frame of the
// main menu (the archives loaded, the options and table read, the menu built), and
// one frame of the main menu once its intro is over.
//
// The data comes from $VORLANE_DATA_DIR/Data, or the first Data/ found above the
// working folder or the program.
#include "play/GameFolder.h"
#include "play/Headless.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

fs::path FindDataRoot() {
    if (const char* dir = std::getenv("VORLANE_DATA_DIR"); dir && *dir) return dir;
    for (fs::path start : {fs::current_path(), fs::read_symlink("/proc/self/exe").parent_path()})
        for (fs::path p = start; !p.empty(); p = p.parent_path()) {
            if (fs::exists(p / "Data" / "Res" / "Res1.gfx")) return p;
            if (p == p.root_path()) break;
        }
    return ".";
}

// A game folder of our own (saves stay out of the repository).
struct BenchFolder : vorlane::play::TempGameFolder {
    BenchFolder() : TempGameFolder(FindDataRoot()) {}
};

vorlane::play::HeadlessOptions Options(const BenchFolder& folder) {
    vorlane::play::HeadlessOptions o;
    o.DataRoot = folder.Root();
    return o;
}

void BM_StartUpToFirstMenuFrame(benchmark::State& state) {
    BenchFolder folder;
    for (auto _ : state) {
        auto game = std::make_unique<vorlane::play::HeadlessGame>(Options(folder));
        game->Step();
        benchmark::DoNotOptimize(game->Form().Screen.ActiveScreen);
        state.PauseTiming(); // closing the window is not part of starting
        game.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToFirstMenuFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_MainMenuFrame(benchmark::State& state) {
    BenchFolder folder;
    vorlane::play::HeadlessGame game(Options(folder));
    for (int i = 0; i < 60; ++i)
        game.Step(); // past the intro
    for (auto _ : state) {
        game.Step();
        game.ClearFrameEffects();
    }
    state.counters["sprites"] = game.Form().SpriteEngine.AllCount();
}
BENCHMARK(BM_MainMenuFrame)->Unit(benchmark::kMicrosecond);

void BM_HighScoreFrame(benchmark::State& state) {
    // The menu screen with the most text: twenty strings a frame.
    BenchFolder folder;
    vorlane::play::HeadlessGame game(Options(folder));
    for (int i = 0; i < 60; ++i)
        game.Step();
    game.MouseMove(400, 160);
    game.Click();
    for (auto _ : state) {
        game.Step();
        game.ClearFrameEffects();
    }
    state.counters["screen"] = int(game.Form().Screen.ActiveScreen);
}
BENCHMARK(BM_HighScoreFrame)->Unit(benchmark::kMicrosecond);

} // namespace
