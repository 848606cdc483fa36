// Drawing through the platform's software renderer: loading and preparing a 4 MB
// image archive, and one race-like frame (130 tiles, 30 plain, 20 rotated and 10
// blended sprites) drawn by the sprite engine beside the same renderer calls issued in
// a bare loop (the floor: what the renderer alone costs).
#include "bench/DrawScene.h"
#include "platform/DrawCallRecorder.h"
#include "platform/Files.h"
#include "platform/SdlDisplay.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

using namespace vorlane;

std::unique_ptr<SdlDisplay> HeadlessDisplay() {
    // Headless unless the caller chose drivers: the figures are the software renderer's.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    DisplayOptions o;
    o.hidden = true;
    o.software = true;
    return std::make_unique<SdlDisplay>(o);
}

std::string ArchivePath() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "vorlane_bench_scene.gfx").string();
        WriteFileAtomically(p, bench::SceneArchive());
        return p;
    }();
    return path;
}

void BM_LoadAndPrepareArchive(benchmark::State& state) {
    auto display = HeadlessDisplay();
    const std::string path = ArchivePath();
    const auto size = std::filesystem::file_size(path);
    for (auto _ : state) {
        TImageCollection images;
        images.LoadArchive(path);
        images.DisplayInitialised(display->Surface());
        benchmark::DoNotOptimize(images.Count());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
    state.counters["archive_MB"] = double(size) / (1024.0 * 1024.0);
}
BENCHMARK(BM_LoadAndPrepareArchive)->Unit(benchmark::kMillisecond);

struct Frame {
    std::unique_ptr<SdlDisplay> display = HeadlessDisplay();
    TImageCollection images;
    TSpriteEngine engine;
    std::unique_ptr<bench::Scene> scene;
    Frame() {
        images.LoadArchive(ArchivePath());
        images.DisplayInitialised(display->Surface());
        scene = std::make_unique<bench::Scene>(engine, images);
    }
};

// The engine's frame: clear, DrawAll over the tree, flip.
void BM_FrameEngine(benchmark::State& state) {
    Frame f;
    f.engine.SetSurface(&f.display->Surface());
    for (auto _ : state) {
        f.display->Clear();
        f.engine.DrawAll();
        f.display->Flip(); // the renderer queues its calls until the frame is shown
    }
    DrawCallRecorder recorder(*f.display);
    f.engine.SetSurface(&recorder);
    f.engine.DrawAll();
    state.counters["draws"] = double(recorder.Recorded());
    state.counters["rotated"] = double(recorder.RecordedRotated());
    state.counters["blended"] = double(recorder.RecordedBlended());
    state.counters["frames_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FrameEngine)->Unit(benchmark::kMicrosecond);

// The floor: the very renderer calls of that frame, recorded once, issued bare.
void BM_FrameBareLoop(benchmark::State& state) {
    Frame f;
    DrawCallRecorder recorder(*f.display);
    f.engine.SetSurface(&recorder);
    f.display->Clear();
    f.engine.DrawAll();
    for (auto _ : state) {
        f.display->Clear();
        recorder.ReplayBare();
        f.display->Flip();
    }
    state.counters["draws"] = double(recorder.Recorded());
    state.counters["frames_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FrameBareLoop)->Unit(benchmark::kMicrosecond);

} // namespace
