// The platform layer put together for the game.
#include "platform/Platform.h"

#include "platform/CurlHttpClient.h"
#include "platform/FramePacer.h"
#include "platform/GamePads.h"
#include "platform/PadKeySource.h"
#include "platform/SdlEventPump.h"
#include "platform/SdlInput.h"
#include "platform/SdlShell.h"

#include <SDL.h>

namespace vorlane {

struct Platform::Owned {
    // Declaration order is construction order; everything that keeps textures or
    // sounds goes before what it lives on is torn down.
    SdlDisplay display;
    TtfTextRenderer text;
    SdlAudioDevice audio;
    SdlMusicPlayer music;
    GamePads pads;
    SdlEventPump events;
    SdlClock clock;
    SdlKeySource keys;
    SdlShell shell;
    CurlHttpClient http;
    std::unique_ptr<FramePacer> pacer;
    std::unique_ptr<PadKeySource> padKeys;

    explicit Owned(const PlatformOptions& o)
        : display(o.display), text(display), audio(o.audio), music(audio), pads(o.realPads),
          events(display, &pads), keys(display) {}
};

Platform::Platform(const PlatformOptions& options)
    : owned_(std::make_unique<Owned>(options)), clock_(options.clock ? options.clock : &owned_->clock),
      keys_(options.keys ? options.keys : &owned_->keys),
      shell_(options.shell ? options.shell : &owned_->shell),
      http_(options.http ? options.http : &owned_->http) {
    FramePacer::SleepFn sleep;
    if (!options.clock) sleep = [](uint32_t ms) { SDL_Delay(ms); };
    owned_->pacer = std::make_unique<FramePacer>(*clock_, std::move(sleep));
    owned_->padKeys = std::make_unique<PadKeySource>(*keys_, owned_->pads.Translator());
}

Platform::~Platform() = default;

IDisplay& Platform::Display() {
    return owned_->display;
}
SdlDisplay& Platform::SdlWindow() {
    return owned_->display;
}
ITextRenderer& Platform::Text() {
    return owned_->text;
}
IAudioDevice& Platform::Audio() {
    return owned_->audio;
}
IMusicPlayer& Platform::Music() {
    return owned_->music;
}
IEventSource& Platform::Events() {
    return owned_->events;
}
IKeySource& Platform::Keys() {
    return *owned_->padKeys;
}
GamePads& Platform::Pads() {
    return owned_->pads;
}
IClock& Platform::Clock() {
    return *clock_;
}
IShell& Platform::Shell() {
    return *shell_;
}
IHttpClient& Platform::Http() {
    return *http_;
}

void Platform::WaitForNextFrame() {
    owned_->pacer->WaitForNextFrame(owned_->display.RefreshRate(), owned_->display.VsyncActive());
}

} // namespace vorlane
