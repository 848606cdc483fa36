// The race: starting a level (the track and its view), one race frame's logic (every
// race sprite's move, the controls, clock, panel and scroll) and its drawing by the
// sprite engine beside the same renderer calls issued bare.
//
// Runs the real game headless on the generated data: $VORLANE_DATA_DIR, else the
// working folder, must hold Data/Res and Data/Music.
#include "app/TMForm.h"
#include "menus/Screens.h"
#include "platform/DrawCallRecorder.h"
#include "platform/SdlDisplay.h"
#include "play/GameFolder.h"
#include "play/Headless.h"
#include "race/Race.h"
#include "sim/Bonus.h"
#include "sim/Car.h"
#include "sim/Finish.h"
#include "sim/Man.h"
#include "sim/Player.h"
#include "sim/RaceSim.h"
#include "sim/RaceState.h"
#include "sim/ScrollBackground.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace {

using namespace vorlane;
namespace fs = std::filesystem;

// The generated data: $VORLANE_DATA_DIR, else the working folder.
fs::path CheckedDataRoot() {
    const char* env = std::getenv("VORLANE_DATA_DIR");
    const fs::path root = fs::absolute(fs::path(env && *env ? env : "."));
    if (!fs::exists(root / "Data" / "Res" / "Res2.gfx"))
        throw std::runtime_error("no generated data in " + (root / "Data").string() +
                                 " (set VORLANE_DATA_DIR)");
    return root;
}

// A game folder of its own (the game writes its options there when it shuts down).
struct BenchFolder : play::TempGameFolder {
    BenchFolder() : TempGameFolder(CheckedDataRoot()) {}
};

// A race on level n with its objects laid, the banner gone and the car driving up the
// road with Up held. Lives and time are plenty, so a long run never ends the race.
struct RaceBench {
    BenchFolder folder;
    std::unique_ptr<play::HeadlessGame> game;
    int level;

    explicit RaceBench(int n) : level(n) {
        play::HeadlessOptions o;
        o.DataRoot = folder.Root();
        o.Seed = 7;
        game = std::make_unique<play::HeadlessGame>(o);
        for (int i = 0; i < 46; ++i)
            game->Step();
        CloseMainMenu(Form());
        StartRace(Form());
        Restart();
        game->KeyDown(vk::Up);
        while (Form().Screen.ActiveDialog != DialogKind::None)
            game->Step();
        for (int i = 0; i < 200; ++i)
            game->Step(); // up to speed
    }
    TMForm& Form() { return game->Form(); }
    TRace& Race() { return *Form().Race; }
    // Level n again from its start, laid as RestartLevel lays it (without the banner).
    void Restart() {
        TRace& r = Race();
        StartLevel(Form(), level);
        r.Background->X = r.Background->Y = 0;
        r.Finish->Passed = 0;
        r.Bonuses->LayBonuses();
        r.Men->LayPedestrians();
        r.Cars->LayCars();
        r.Finish->LayFinish();
        r.Player->Respawn();
        r.Lives = 1000;
        r.TimeLeft = 1000000;
    }
    // Between timed stretches: show what was drawn (the renderer queues its calls
    // until then) and put the car back on the road when it has left the race.
    void Housekeeping() {
        Form().Display().Clear();
        Form().Display().Flip();
        TRace& r = Race();
        r.Lives = 1000;
        r.TimeLeft = 1000000;
        Form().Screen.ActiveDialog = DialogKind::None;
        if (r.MapRow < 1500 - r.TrackLength + 30 || r.Finish->Passed) Restart();
    }
};

void BM_StartLevel(benchmark::State& state) {
    RaceBench b(1);
    const int n = int(state.range(0));
    for (auto _ : state) {
        StartLevel(b.Form(), n);
        benchmark::DoNotOptimize(b.Race().Map.Data());
    }
}
BENCHMARK(BM_StartLevel)
    ->Arg(1)
    ->Arg(6)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_MapMemset(benchmark::State& state) {
    TrackMap map;
    for (auto _ : state) {
        std::memset(map.Data(), 0, size_t(kMapRows) * kMapCols);
        benchmark::DoNotOptimize(map.Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MapMemset)->Unit(benchmark::kMicrosecond);

// One race frame's logic: RaceTick (every race sprite's MoveStep, the controls, the
// clock, the panel sprites, the scroll velocity and the HUD's texts handed to the
// renderer).
void BM_RaceTick(benchmark::State& state) {
    RaceBench b(int(state.range(0)));
    int k = 0;
    for (auto _ : state) {
        RaceTick(b.Form(), 11);
        if (++k % 64 == 0) {
            state.PauseTiming();
            b.Housekeeping();
            state.ResumeTiming();
        }
    }
    state.counters["cars"] = b.Race().CarCount;
    state.counters["bonus_slots"] = b.Race().BonusCount;
}
BENCHMARK(BM_RaceTick)->Arg(1)->Arg(6)->Arg(21)->Unit(benchmark::kMicrosecond);

// The race simulation's step alone (sim/RaceSim.h): RaceTick without reading the keys
// and without the HUD's texts, its effects still played through the game.
void BM_RaceStep(benchmark::State& state) {
    RaceBench b(int(state.range(0)));
    TRaceActions go;
    go.Accelerate = true;
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RaceStep(b.Form().RaceWorld, go, 11));
        if (++k % 64 == 0) {
            state.PauseTiming();
            b.Housekeeping();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_RaceStep)->Arg(1)->Arg(6)->Arg(21)->Unit(benchmark::kMicrosecond);

// The HUD's texts alone (part of RaceTick above).
void BM_DrawHud(benchmark::State& state) {
    RaceBench b(6);
    int k = 0;
    for (auto _ : state) {
        DrawHud(b.Form());
        if (++k % 64 == 0) {
            state.PauseTiming();
            b.Housekeeping();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_DrawHud)->Unit(benchmark::kMicrosecond);

// The race's sprites drawn by the engine (tiles, lamps, pedestrians, bonuses, the car
// with the opponents and marks under it, the panel), cleared and shown.
void BM_RaceDrawEngine(benchmark::State& state) {
    RaceBench b(int(state.range(0)));
    IDisplay& d = b.Form().Display();
    for (auto _ : state) {
        d.Clear();
        b.Form().SpriteEngine.DrawAll();
        d.Flip();
    }
    auto* sdl = dynamic_cast<SdlDisplay*>(&d);
    if (sdl) {
        DrawCallRecorder recorder(*sdl);
        b.Form().SpriteEngine.SetSurface(&recorder);
        b.Form().SpriteEngine.DrawAll();
        b.Form().SpriteEngine.SetSurface(&d.Surface());
        state.counters["draws"] = double(recorder.Recorded());
        state.counters["rotated"] = double(recorder.RecordedRotated());
    }
}
BENCHMARK(BM_RaceDrawEngine)->Arg(6)->Arg(21)->Unit(benchmark::kMicrosecond);

// The floor: the renderer calls of that same frame, recorded once, issued bare.
void BM_RaceDrawBare(benchmark::State& state) {
    RaceBench b(int(state.range(0)));
    IDisplay& d = b.Form().Display();
    auto* sdl = dynamic_cast<SdlDisplay*>(&d);
    if (!sdl) {
        state.SkipWithError("the display is not the SDL display");
        return;
    }
    DrawCallRecorder recorder(*sdl);
    b.Form().SpriteEngine.SetSurface(&recorder);
    d.Clear();
    b.Form().SpriteEngine.DrawAll();
    d.Flip();
    b.Form().SpriteEngine.SetSurface(&d.Surface());
    for (auto _ : state) {
        d.Clear();
        recorder.ReplayBare();
        d.Flip();
    }
    state.counters["draws"] = double(recorder.Recorded());
}
BENCHMARK(BM_RaceDrawBare)->Arg(6)->Arg(21)->Unit(benchmark::kMicrosecond);

} // namespace
