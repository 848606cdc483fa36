// Building a level's track, next to the floor of merely clearing the map once.
#include "sim/LevelTable.h"
#include "sim/TrackGenerator.h"
#include "sim/TrackMap.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

using namespace vorlane;

void BM_TrackMapMemset(benchmark::State& state) {
    auto map = std::make_unique<TrackMap>();
    for (auto _ : state) {
        std::memset(map->Data(), kEmptyCell, size_t(kMapRows) * kMapCols);
        benchmark::DoNotOptimize(map->Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TrackMapMemset)->Unit(benchmark::kMicrosecond);

// Argument: the level; every iteration builds a new track from the next seed.
void BM_BuildTrack(benchmark::State& state) {
    auto map = std::make_unique<TrackMap>();
    const int length = LevelParameters(int(state.range(0))).TrackLength;
    TRandom rng(12345);
    for (auto _ : state) {
        BuildTrack(*map, rng, length);
        benchmark::DoNotOptimize(map->Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BuildTrack)
    ->Arg(1)
    ->Arg(6)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The passes of a level-6 build on their own (each from the map the passes before
// it left), to show where the time goes.
void BM_TrackPasses(benchmark::State& state) {
    const int pass = int(state.range(0));
    const int length = LevelParameters(6).TrackLength;
    auto before = std::make_unique<TrackMap>();
    auto map = std::make_unique<TrackMap>();
    TRandom rng(12345);
    for (auto _ : state) {
        state.PauseTiming();
        before->Fill(kEmptyCell);
        TRandom r(rng.State());
        rng.Random(2);
        if (pass > 0) trackgen::RoadPass(*before, r, length);
        if (pass > 1) trackgen::DecorationPass(*before, r, length);
        if (pass > 2) trackgen::BlockPass(*before, r, length);
        if (pass > 3) trackgen::SceneryPass(*before, r, length);
        std::memcpy(map->Data(), before->Data(), size_t(kMapRows) * kMapCols);
        state.ResumeTiming();
        switch (pass) {
        case 0:
            trackgen::RoadPass(*map, r, length);
            break;
        case 1:
            trackgen::DecorationPass(*map, r, length);
            break;
        case 2:
            trackgen::BlockPass(*map, r, length);
            break;
        case 3:
            trackgen::SceneryPass(*map, r, length);
            break;
        default:
            trackgen::FillGround(*map);
            break;
        }
        benchmark::DoNotOptimize(map->Data());
    }
}
BENCHMARK(BM_TrackPasses)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

} // namespace
