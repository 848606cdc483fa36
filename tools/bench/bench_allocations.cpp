// Heap allocations of a race frame, drawn and blind (no drawing, as the replay check
// plays), counted by this program's operator new: the counters give allocations a
// frame over the frames run. Printed, never asserted.
//
// Runs the real game headless on the generated data: $VORLANE_DATA_DIR, else the
// working folder, must hold Data/Res and Data/Music.
#include "app/TMForm.h"
#include "bench/CountingNew.h"
#include "menus/Screens.h"
#include "play/GameFolder.h"
#include "play/Headless.h"
#include "race/Race.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>

namespace {

using namespace vorlane;
namespace fs = std::filesystem;

fs::path DataRoot() {
    const char* env = std::getenv("VORLANE_DATA_DIR");
    const fs::path root = fs::absolute(fs::path(env && *env ? env : "."));
    if (!fs::exists(root / "Data" / "Res" / "Res2.gfx"))
        throw std::runtime_error("no generated data in " + (root / "Data").string() +
                                 " (set VORLANE_DATA_DIR)");
    return root;
}

// Level 1 with Up held, past the banner and up to speed; range(0): 1 drawn, 0 blind.
void BM_RaceFrameAllocations(benchmark::State& state) {
    play::TempGameFolder folder(DataRoot());
    play::HeadlessOptions o;
    o.DataRoot = folder.Root();
    o.Seed = 7;
    o.Blind = state.range(0) == 0;
    o.RecordRaces = false;
    play::HeadlessGame game(o);
    for (int i = 0; i < 46; ++i)
        game.Step();
    CloseMainMenu(game.Form());
    StartRace(game.Form());
    game.KeyDown(vk::Up);
    for (int i = 0; i < 300; ++i)
        game.Step();
    long frames = 0;
    const long before = vorlane::counting::NewCalls.load();
    for (auto _ : state) {
        game.Step();
        ++frames;
    }
    state.counters["allocs/frame"] = double(vorlane::counting::NewCalls.load() - before) / double(frames);
    state.SetLabel(o.Blind ? "blind" : "drawn");
}
BENCHMARK(BM_RaceFrameAllocations)->Arg(1)->Arg(0)->Iterations(3000)->Unit(benchmark::kMicrosecond);

} // namespace
