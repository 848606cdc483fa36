// How fast the score server can check replays, and how large they are: each replay
// file given is played through by the game's own blind re-simulation (in this process,
// and as the server's workers do, in the server's checking program), and the figures
// are printed - never asserted.
//
//   vorlane_replay_bench [--data DIR] FILE.vrp...
//
// Speed is frames re-simulated per second of CPU, and that as a multiple of the
// game's real 85 frames a second; size is bytes per minute of play.
#include "app/ReplayRun.h"
#include "checks/IsolatedCheck.h"
#include "checks/ResimulatingChecker.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"

#include <filesystem>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr double kGameFramesPerSecond = 85.0;

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Milliseconds of play the replay stands for: the frames' own time steps.
double PlayedMinutes(const std::vector<uint8_t>& bytes) {
    vorlane::ReplayPlayer player(bytes);
    vorlane::ReplayFrame frame;
    double ms = 0;
    while (player.Next(frame))
        ms += frame.Step.FrameMs;
    return ms / 60000.0;
}

// The replay cut to its first frame: checking it costs the game's start-up and little else.
std::vector<uint8_t> FirstFrameOnly(const std::vector<uint8_t>& bytes) {
    vorlane::Replay replay = vorlane::ReadReplay(bytes);
    replay.Frames.resize(std::min<size_t>(replay.Frames.size(), 1));
    replay.TrailingEvents.clear();
    return vorlane::WriteReplay(replay);
}

} // namespace

int main(int argc, char** argv) {
    std::string dataDir = VORLANE_BENCH_DATA_DIR;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc)
            dataDir = argv[++i];
        else
            files.push_back(arg);
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: vorlane_replay_bench [--data DIR] FILE.vrp...\n");
        return 2;
    }
    std::printf("re-simulation: %s\n",
                vorlane::scores::GameReplaysResimulated() ? "the game's own" : "NOT linked");
    for (const std::string& path : files) {
        const std::vector<uint8_t> bytes = ReadFile(path);
        double minutes = 0;
        try {
            minutes = PlayedMinutes(bytes);
        } catch (const vorlane::ReplayError& e) {
            std::printf("%s: %s\n", path.c_str(), e.what());
            continue;
        }
        // The start-up alone (building the blind game, loading its data): a check of the
        // replay's first frame only.
        const double startCpu = ProcessCpuSeconds();
        vorlane::VerifyReplay(FirstFrameOnly(bytes), dataDir);
        const double startUp = ProcessCpuSeconds() - startCpu;
        // Twice in this process: the first run may also pay for what the system caches.
        double lastCpu = 0;
        uint32_t lastFrames = 0;
        for (int run = 1; run <= 2; ++run) {
            const double cpuStart = ProcessCpuSeconds();
            const auto wallStart = std::chrono::steady_clock::now();
            const vorlane::ReplayVerdict verdict = vorlane::VerifyReplay(bytes, dataDir);
            const double cpu = ProcessCpuSeconds() - cpuStart;
            const double wall =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
            const double framesPerCpuSecond = verdict.Frames / cpu;
            std::printf("%s run %d: %s, score %d, %u frames (%.2f min of play) in %.3f s CPU (%.3f s wall): "
                        "%.0f frames/s = %.0fx real time; a 5-minute game takes %.3f s CPU\n",
                        path.c_str(), run,
                        verdict.Kind == vorlane::ReplayVerdictKind::Ok ? "ok" : verdict.Message.c_str(),
                        verdict.Score, verdict.Frames, minutes, cpu, wall, framesPerCpuSecond,
                        framesPerCpuSecond / kGameFramesPerSecond,
                        5 * 60 * kGameFramesPerSecond / framesPerCpuSecond);
            lastCpu = cpu;
            lastFrames = verdict.Frames;
        }
        // What each frame costs beyond the start-up (in the second run).
        const double perFrame = (lastCpu - startUp) / std::max<uint32_t>(lastFrames, 1);
        const double fiveMinutes = 5 * 60 * kGameFramesPerSecond;
        std::printf(
            "%s: start-up %.3f s CPU, then %.1f us CPU a frame (%.0fx real time without the start-up); "
            "a five-minute game (%.0f frames) takes %.3f s CPU with its start-up\n",
            path.c_str(), startUp, perFrame * 1e6, 1.0 / (perFrame * kGameFramesPerSecond), fiveMinutes,
            startUp + fiveMinutes * perFrame);
        // As the server runs it: its own program started afresh per replay, with its CPU
        // limit (the program lies beside this benchmark).
        const std::filesystem::path server =
            std::filesystem::absolute(argv[0]).parent_path() / "vorlane-scores";
        const auto wallStart = std::chrono::steady_clock::now();
        const vorlane::scores::ReplayCheckResult isolated = vorlane::scores::RunCheckInProgram(
            {server.string(), "--check-replay", dataDir}, bytes, std::chrono::seconds(10));
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        std::printf("%s checked by %s --check-replay: %s, score %lld, %.3f s wall\n", path.c_str(),
                    server.c_str(),
                    isolated.kind == vorlane::scores::ReplayCheckKind::Ok ? "ok" : isolated.message.c_str(),
                    static_cast<long long>(isolated.finalScore), wall);
        std::printf("%s size: %zu bytes, %.0f bytes per minute of play\n", path.c_str(), bytes.size(),
                    minutes > 0 ? bytes.size() / minutes : 0.0);
    }
    return 0;
}
