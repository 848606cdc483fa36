// Vorlane: the program entry. Reads the command line, builds the main form (which
// loads everything and opens the main menu) and runs the message loop: window events
// go to the form's handlers, and whenever none is waiting the frame timer gets its
// chance to tick. The loop ends once the form has shut down (the exit question
// answered "Yes").
#include "app/TMForm.h"
#include "platform/CommandLine.h"
#include "platform/ErrorBox.h"
#include "platform/IdleWait.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#ifndef VORLANE_VERSION
#define VORLANE_VERSION "0"
#endif

int main(int argc, char** argv) {
    using namespace vorlane;
    const LaunchOptions launch = ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    switch (launch.action) {
    case LaunchAction::ShowHelp: std::fputs(UsageText().c_str(), stdout); return 0;
    case LaunchAction::ShowVersion: std::puts("vorlane " VORLANE_VERSION); return 0;
    case LaunchAction::BadUsage:
        std::fprintf(stderr, "vorlane: %s\n%s", launch.problem.c_str(), UsageText().c_str());
        return 2;
    case LaunchAction::Run: break;
    }
    try {
        TMFormServices services; // the real window, sound, clock and keyboard
        if (!launch.dataDir.empty()) services.DataRoot = launch.dataDir;
        services.FullScreenOverride = launch.fullScreen;
        DisplayOptions& display = services.Platform.display;
        display.scale = launch.scale;
        display.scaling = launch.smooth ? FrameScaling::Smooth : FrameScaling::Crisp;
        // For tests: the frame written out whenever it changes, to compare with the window.
        if (const char* dump = std::getenv("VORLANE_FRAME_DUMP")) display.frameDumpFile = dump;
        // launch.serverUrl is read but not used yet: the score server's address is built in.
        TMForm form(services);
        while (!form.Terminated) {
            InputEvent event;
            while (!form.Terminated && form.MPlatform->Events().Poll(event)) form.HandleEvent(event);
            if (form.Terminated) break;
            if (form.MTimer->Idle())
                form.MPlatform->WaitForNextFrame(); // paces to the refresh rate when vsync is off
            else
                WaitForEventOrTimeout(10); // in the background: the game stands still
        }
        return 0;
    } catch (const std::exception& e) {
        ShowErrorBox("Vorlane", e.what());
        return 1;
    }
}
