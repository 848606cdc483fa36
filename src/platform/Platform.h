#pragma once
// Everything the game reaches the system through, owned in one place by the main form.
// Headless runs set SDL_VIDEODRIVER=dummy, SDL_AUDIODRIVER=dummy and
// SDL_RENDER_DRIVER=software before constructing it, and inject their own clock (and,
// when they like, keys, shell and HTTP client).
#include "engine/AudioDevice.h"
#include "engine/Clock.h"
#include "platform/Display.h"
#include "platform/Events.h"
#include "platform/Http.h"
#include "platform/Music.h"
#include "platform/SdlAudio.h"
#include "platform/SdlDisplay.h"
#include "platform/Shell.h"
#include "platform/TextRenderer.h"

#include <memory>

namespace vorlane {

struct PlatformOptions {
    DisplayOptions display;
    AudioOptions audio;
    IClock* clock = nullptr;     // injected (not owned): frame pacing then never sleeps
    IKeySource* keys = nullptr;  // injected (not owned)
    IShell* shell = nullptr;     // injected (not owned)
    IHttpClient* http = nullptr; // injected (not owned)
    bool realPads = true;        // open the game controllers plugged into the machine
    // No window, no drawing, no sound: the frames run as fast as the game's logic (the
    // replay check). Texts are still measured; keys must be injected, no events come.
    bool blind = false;
};

class FramePacer;
class GamePads;

class Platform {
  public:
    // Throws EngineError when the window cannot be opened; a missing sound device only
    // leaves Audio().Ready() false.
    explicit Platform(const PlatformOptions& options = {});
    ~Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    IDisplay& Display();
    ITextRenderer& Text();
    IAudioDevice& Audio();
    IMusicPlayer& Music();
    IEventSource& Events();
    IKeySource& Keys(); // the keyboard with the game pad's keys added
    GamePads& Pads();
    IClock& Clock();
    IShell& Shell();
    IHttpClient& Http();

    // Call after Flip(): holds the loop to the refresh rate when Flip() does not wait
    // for the vertical blank; returns at once with vsync or an injected clock.
    void WaitForNextFrame();

  private:
    struct Owned;
    struct Window;
    std::unique_ptr<Owned> owned_;
    IClock* clock_;
    IKeySource* keys_;
    IShell* shell_;
    IHttpClient* http_;
};

} // namespace vorlane
