// Vorlane: the program entry. Builds the main form (which loads everything and opens
// the main menu) and runs the message loop: window events go to the form's handlers,
// and whenever none is waiting the frame timer gets its chance to tick. The loop ends
// once the form has shut down (the exit question answered "Yes").
//
//   vorlane [--server URL]   the game (scores sent to URL, else $VORLANE_SERVER)
//   vorlane --replay FILE    watch a recorded race (Esc leaves, P pauses)
#include "app/ReplayWatch.h"
#include "app/TMForm.h"
#include "persist/ServerAddress.h"
#include "platform/ErrorBox.h"
#include "platform/IdleWait.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    using namespace vorlane;
    TMFormServices services; // the real window, sound, clock and keyboard; data in the working folder
    std::vector<const char*> rest; // the arguments other than --server
    try {
        services.ServerUrl = ResolveServerUrl(FindServerOption(argc, argv), std::getenv);
    } catch (const ServerAddressError& e) {
        std::fprintf(stderr, "vorlane: %s\n", e.what());
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--server") ++i;
        else if (!arg.starts_with("--server=")) rest.push_back(argv[i]);
    }
    if (!rest.empty() && !(rest.size() == 2 && std::strcmp(rest[0], "--replay") == 0)) {
        std::fprintf(stderr, "usage: vorlane [--server URL] [--replay FILE]\n");
        return 2;
    }
    try {
        if (rest.size() == 2) return WatchReplay(rest[1], services.DataRoot);
        TMForm form(std::move(services));
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
