#include "app/ReplayWatch.h"

#include "app/ReplayRun.h"
#include "app/TMForm.h"
#include "persist/TextFile.h"
#include "platform/IdleWait.h"

#include <chrono>
#include <cstdio>

namespace vorlane {

ReplayFileRead ReadReplayFile(const std::filesystem::path& file) {
    const BoundedFileRead read = ReadFileWithin(file, kMaxReplayFileBytes);
    if (!read.contents)
        return {std::nullopt, "cannot read the replay " + file.string() + ": " + read.problem};
    return {std::vector<uint8_t>(read.contents->begin(), read.contents->end()), {}};
}

int WatchReplay(const std::filesystem::path& file, const std::filesystem::path& dataRoot,
                const std::filesystem::path& saveRoot) {
    ReplayFileRead read = ReadReplayFile(file);
    if (!read.bytes) {
        std::fprintf(stderr, "vorlane: %s\n", read.problem.c_str());
        return 2;
    }
    std::vector<uint8_t> bytes = std::move(*read.bytes);

    TReplayKeyboard keys;
    TMFormServices services;
    services.DataRoot = dataRoot;
    services.SaveRoot = saveRoot;
    services.RecordRaces = false;
    services.Platform.keys = &keys; // the race reads the replay's keys, never the player's
    TMForm form(std::move(services));
    std::unique_ptr<TReplayRun> run;
    try {
        run = std::make_unique<TReplayRun>(form, keys.Setter(), std::move(bytes));
    } catch (const ReplayError& e) {
        std::fprintf(stderr, "vorlane: %s: %s\n", file.string().c_str(), e.what());
        return 2;
    }

    using Clock = std::chrono::steady_clock;
    Clock::time_point due = Clock::now() + std::chrono::milliseconds(run->NextLag());
    bool paused = false;
    for (;;) {
        InputEvent event;
        while (form.PlatformServices->Events().Poll(event)) {
            switch (WatchCommandOf(event)) {
            case ReplayWatchCommand::Leave:
                return 0;
            case ReplayWatchCommand::Pause:
                paused = !paused;
                due = Clock::now();
                break;
            case ReplayWatchCommand::SwitchMode:
                // The game's own options only for as long as this run lasts: never saved.
                form.Options().FullScreenMode = !form.Options().FullScreenMode;
                form.ApplyDisplayMode();
                break;
            case ReplayWatchCommand::None:
                break;
            }
        }
        const auto now = Clock::now();
        if (paused || now < due) {
            const auto wait = paused ? std::chrono::milliseconds(20)
                                     : std::chrono::duration_cast<std::chrono::milliseconds>(due - now);
            WaitForEventOrTimeout(uint32_t(std::max<long long>(1, wait.count())));
            continue;
        }
        if (!run->Next()) return 0;
        // The next frame comes after its own move count, as it did in the race.
        due += std::chrono::milliseconds(run->NextLag());
        if (due < now - std::chrono::milliseconds(kReplayMostBehindMs)) due = now; // fell behind: no rush
    }
}

} // namespace vorlane
