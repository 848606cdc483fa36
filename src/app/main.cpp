// Vorlane: the program entry. Reads the command line, builds the main form (which loads
// everything and opens the main menu) and runs the message loop: window events go to the
// form's handlers, and whenever none is waiting the frame timer gets its chance to tick.
// The loop ends once the form has shut down (the exit question answered "Yes").
// With --replay FILE it shows a recorded race instead (Esc leaves, P pauses).
#include "app/ReplayWatch.h"
#include "app/TMForm.h"
#include "persist/GameFolders.h"
#include "persist/ServerAddress.h"
#include "platform/CommandLine.h"
#include "platform/ErrorBox.h"
#include "platform/ExecutableFolder.h"
#include "platform/IdleWait.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#ifndef VORLANE_VERSION
#define VORLANE_VERSION "0"
#endif

int main(int argc, char** argv) {
    using namespace vorlane;
    const LaunchOptions launch =
        ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    switch (launch.action) {
    case LaunchAction::ShowHelp:
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    case LaunchAction::ShowVersion:
        std::puts("vorlane " VORLANE_VERSION);
        return 0;
    case LaunchAction::BadUsage:
        std::fprintf(stderr, "vorlane: %s\n%s", launch.problem.c_str(), UsageText().c_str());
        return 2;
    case LaunchAction::Run:
        break;
    }
    TMFormServices services; // the real window, sound, clock and keyboard
    try {
        const std::optional<std::string> server =
            launch.serverUrl.empty() ? std::nullopt : std::optional<std::string>(launch.serverUrl);
        services.ServerUrl = ResolveServerUrl(server, std::getenv);
    } catch (const ServerAddressError& e) {
        std::fprintf(stderr, "vorlane: %s\n", e.what());
        return 2;
    }
    try {
        // The data and saves of an install, or the working folder run from the build tree;
        // --data names the folder that holds the game's Data folder (saves included).
        if (!launch.dataDir.empty()) {
            services.DataRoot = launch.dataDir;
        } else {
            const GameFolders folders = LocateGameFolders(ExecutableFolder());
            if (const FileReport saves = PrepareSaveFolder(folders); !saves.Ok())
                std::fprintf(stderr, "vorlane: %s\n", saves.message.c_str());
            services.DataRoot = folders.dataRoot;
            services.SaveRoot = folders.saveRoot;
        }
        services.FullScreenOverride = launch.fullScreen;
        DisplayOptions& display = services.Platform.display;
        display.scale = launch.scale;
        display.scaling = launch.smooth ? FrameScaling::Smooth : FrameScaling::Crisp;
        // For tests: the frame written out whenever it changes, to compare with the window.
        if (const char* dump = std::getenv("VORLANE_FRAME_DUMP")) display.frameDumpFile = dump;
        if (!launch.replayFile.empty())
            return WatchReplay(launch.replayFile, services.DataRoot, services.SaveRoot);
        TMForm form(std::move(services));
        while (!form.Terminated) {
            InputEvent event;
            while (!form.Terminated && form.PlatformServices->Events().Poll(event))
                form.HandleEvent(event);
            if (form.Terminated) break;
            if (form.FrameTimer->Idle())
                form.PlatformServices->WaitForNextFrame(); // paces to the refresh rate when vsync is off
            else
                WaitForEventOrTimeout(10); // in the background: the game stands still
        }
        return 0;
    } catch (const std::exception& e) {
        ShowErrorBox("Vorlane", e.what());
        return 1;
    }
}
