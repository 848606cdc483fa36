// Vorlane: the program entry. Builds the main form (which loads everything and opens
// the main menu) and runs the message loop: window events go to the form's handlers,
// and whenever none is waiting the frame timer gets its chance to tick. The loop ends
// once the form has shut down (the exit question answered "Yes").
//
//   vorlane                  the game
//   vorlane --replay FILE    watch a recorded race (Esc leaves, P pauses)
#include "app/ReplayWatch.h"
#include "app/TMForm.h"
#include "platform/ErrorBox.h"
#include "platform/IdleWait.h"

#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv) {
    using namespace vorlane;
    if (argc > 1 && !(argc == 3 && std::strcmp(argv[1], "--replay") == 0)) {
        std::fprintf(stderr, "usage: vorlane [--replay FILE]\n");
        return 2;
    }
    try {
        if (argc == 3) return WatchReplay(argv[2], TMFormServices{}.DataRoot);
        TMForm form; // the real window, sound, clock and keyboard; data in the working folder
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
