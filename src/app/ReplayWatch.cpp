#include "app/ReplayWatch.h"

#include "app/ReplayPace.h"
#include "app/ReplayRun.h"
#include "app/TMForm.h"
#include "persist/TextFile.h"
#include "platform/IdleWait.h"

#include <algorithm>
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
    WatchReplayRun(form, *run);
    return 0;
}

void WatchReplayRun(TMForm& form, TReplayRun& run) {
    IClock& clock = form.PlatformServices->Clock();
    TReplayPace pace;
    bool paused = false;
    uint32_t shownAt = clock.Milliseconds();
    for (;;) {
        InputEvent event;
        while (form.PlatformServices->Events().Poll(event)) {
            switch (WatchCommandOf(event)) {
            case ReplayWatchCommand::Leave:
                return;
            case ReplayWatchCommand::Pause:
                paused = !paused;
                pace.Restart();
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
        // One displayed frame: the time since the previous one is what the replay owes.
        const uint32_t now = clock.Milliseconds();
        const int elapsed = int(std::min<uint32_t>(now - shownAt, 60000));
        shownAt = now;
        if (paused)
            form.ShowFrame();
        else if (!pace.ShowFrame(form, run, elapsed, [&run] { return run.Next(); }))
            return;
        form.PlatformServices->WaitForNextFrame(); // paces to the refresh rate when vsync is off
        // Nothing waited for the display (a minimised window): a rest instead of a spin.
        if (clock.Milliseconds() == now) WaitForEventOrTimeout(1);
    }
}

} // namespace vorlane
