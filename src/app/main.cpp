// Vorlane: the program entry. Builds the main form (which loads everything and opens
// the main menu) and runs the message loop: window events go to the form's handlers,
// and whenever none is waiting the frame timer gets its chance to tick. The loop ends
// once the form has shut down (the exit question answered "Yes").
#include "app/TMForm.h"
#include "platform/ErrorBox.h"
#include "platform/IdleWait.h"

#include <exception>

int main(int, char**) {
    using namespace vorlane;
    try {
        TMForm form; // the real window, sound, clock and keyboard; data in the working folder
        while (!form.Terminated) {
            InputEvent event;
            while (!form.Terminated && form.PlatformServices->Events().Poll(event)) form.HandleEvent(event);
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
