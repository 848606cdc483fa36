#include "app/ReplayWatch.h"

#include "app/ReplayPace.h"
#include "app/ReplayRun.h"
#include "app/TMForm.h"
#include "persist/TextFile.h"
#include "platform/IdleWait.h"

#include <algorithm>
#include <cstdio>

namespace vorlane {

int WatchReplay(const std::filesystem::path& file, const std::filesystem::path& dataRoot) {
    const std::optional<std::string> contents = ReadWholeFile(file, kMaxReplayFileBytes);
    if (!contents) {
        std::fprintf(stderr, "vorlane: cannot read the replay %s (missing, unreadable or far too large)\n",
                     file.string().c_str());
        return 2;
    }
    std::vector<uint8_t> bytes(contents->begin(), contents->end());

    TReplayKeyboard keys;
    TMFormServices services;
    services.DataRoot = dataRoot;
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
