// Records a long race for the replay benchmark: the test autopilot drives the headless
// game (recording as the real game does) until the game is over or the given minutes of
// play have passed, leaves the race, and the race's replay is copied to OUT.
//
//   vorlane_autopilot_replay [--data DIR] [--seed N] MINUTES OUT.vrp
#include "engine/ArchiveReader.h"
#include "game/autopilot.h"
#include "play/GameFolder.h"
#include "replay/ReplayPlayer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    std::string dataDir = VORLANE_BENCH_DATA_DIR;
    uint32_t seed = 7;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc)
            dataDir = argv[++i];
        else if (arg == "--seed" && i + 1 < argc)
            seed = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else
            rest.push_back(arg);
    }
    const double minutes = rest.size() == 2 ? std::atof(rest[0].c_str()) : 0;
    if (minutes <= 0) {
        std::fprintf(stderr, "usage: vorlane_autopilot_replay [--data DIR] [--seed N] MINUTES OUT.vrp\n");
        return 2;
    }
    using namespace vorlane;
    try {
        play::TempGameFolder folder(dataDir);
        play::HeadlessOptions options;
        options.DataRoot = folder.Root();
        options.Seed = seed;
        play::HeadlessGame game(options);
        test::Autopilot pilot(game);
        if (!pilot.StartRaceFromMenu()) {
            std::fprintf(stderr, "vorlane_autopilot_replay: the race did not start\n");
            return 1;
        }
        const int frames = int(minutes * 60 * game.Rate());
        TMForm& form = game.Form();
        pilot.DriveUntil([&] { return form.Screen.ActiveScreen != ScreenKind::Race; }, frames);
        // Still racing: leave the race (Esc, then Y) so that it ends and is written.
        for (int tries = 0; tries < 5 && form.Screen.ActiveScreen == ScreenKind::Race; ++tries) {
            pilot.Tap(vk::Esc);
            pilot.Run(20);
            pilot.Tap('Y');
            pilot.Run(40);
        }
        const std::filesystem::path last = folder.SaveDir() / "Replays" / "last.vrp";
        if (!std::filesystem::exists(last)) {
            std::fprintf(stderr, "vorlane_autopilot_replay: the race left no replay\n");
            return 1;
        }
        std::filesystem::copy_file(last, rest[1], std::filesystem::copy_options::overwrite_existing);
        const Replay replay = ReadReplay(ReadWholeFile(last.string()));
        std::printf("%s: %zu frames recorded, score %d, level %d\n", rest[1].c_str(), replay.Frames.size(),
                    int(replay.Outcome.Result.Score), int(replay.Outcome.Result.Level));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlane_autopilot_replay: %s\n", e.what());
        return 1;
    }
    return 0;
}
