// Vorlane: the program entry. Builds the main form (which loads everything and opens
// the main menu) and runs the message loop: window events go to the form's handlers,
// and whenever none is waiting the frame timer gets its chance to tick. The loop ends
// once the form has shut down (the exit question answered "Yes").
#include "app/TMForm.h"
#include "persist/ServerAddress.h"
#include "platform/ErrorBox.h"
#include "platform/IdleWait.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
    using namespace vorlane;
    TMFormServices services; // the real window, sound, clock and keyboard; data in the working folder
    try {
        services.ServerUrl = ResolveServerUrl(FindServerOption(argc, argv), std::getenv);
    } catch (const ServerAddressError& e) {
        std::fprintf(stderr, "vorlane: %s\n", e.what());
        return 2;
    }
    try {
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
