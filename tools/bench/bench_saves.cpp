// The cost of a save file that is far too large: a high-score file of 100 MB is
// judged damaged by its size and moved aside, never read. Each run puts the same
// file back in place (outside the timing) and loads the table.
#include "persist/HighScores.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void BM_RejectHundredMegabyteSaveFile(benchmark::State& state) {
    const fs::path root = fs::temp_directory_path() / ("vorlane_bench_saves_" + std::to_string(::getpid()));
    const fs::path save = root / "Data" / "Save";
    fs::create_directories(save);
    {
        // Real bytes on the disk, not a sparse file: a name line of junk and more.
        std::ofstream out(save / "hs", std::ios::binary);
        const std::string block(1 << 20, 'J');
        for (int i = 0; i < 100; ++i)
            out.write(block.data(), std::streamsize(block.size()));
    }
    vorlane::THighScoreTable table;
    for (auto _ : state) {
        const vorlane::FileReport report = table.LoadHighScores(root);
        benchmark::DoNotOptimize(report.status);
        state.PauseTiming();
        if (report.status != vorlane::FileStatus::Damaged) {
            state.SkipWithError(report.message.c_str());
            break;
        }
        fs::rename(save / "hs.damaged", save / "hs");
        state.ResumeTiming();
    }
    state.counters["file_MB"] = double(fs::file_size(save / "hs")) / (1 << 20);
    fs::remove_all(root);
}
BENCHMARK(BM_RejectHundredMegabyteSaveFile)->Unit(benchmark::kMicrosecond)->Iterations(200);

} // namespace
