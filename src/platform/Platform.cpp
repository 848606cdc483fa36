// The platform layer put together for the game.
#include "platform/Platform.h"

#include "platform/BlindDisplay.h"
#include "platform/CurlHttpClient.h"
#include "platform/FramePacer.h"
#include "platform/GamePads.h"
#include "platform/LargePageHeap.h"
#include "platform/PadKeySource.h"
#include "platform/SdlEventPump.h"
#include "platform/SdlInput.h"
#include "platform/SdlShell.h"

#include <SDL.h>

namespace vorlane {

namespace {

// A blind game's event queue: nobody can type into a window that is not there.
class NoEvents final : public IEventSource {
  public:
    bool Poll(InputEvent&) override { return false; }
};

// A blind game without injected keys holds none, and never has the focus.
class NoKeys final : public IKeySource {
  public:
    bool IsForeground() override { return false; }
    void Snapshot(uint8_t keys[256]) override {
        for (int i = 0; i < 256; ++i)
            keys[i] = 0;
    }
};

} // namespace

// The SDL window with the event queue and keyboard that belong to it.
struct Platform::Window {
    SdlDisplay display;
    SdlEventPump events;
    SdlKeySource keys;
    Window(const DisplayOptions& options, GamePads& pads)
        : display(options), events(display, &pads), keys(display) {}
};

// Set up before anything of the platform is made: the loading that follows runs on it.
struct LargePages {
    LargePages() { UseLargePageHeap(); }
};

struct Platform::Owned {
    // Declaration order is construction order; everything that keeps textures or
    // sounds goes before what it lives on is torn down.
    LargePages largePages;
    GamePads pads;
    std::unique_ptr<Window> window;      // a seen game
    std::unique_ptr<BlindDisplay> blind; // a blind one
    NoEvents noEvents;
    NoKeys noKeys;
    IDisplay& display;
    TtfTextRenderer text;
    SdlAudioDevice audio;
    SdlMusicPlayer music;
    SdlClock clock;
    SdlShell shell;
    CurlHttpClient http;
    std::unique_ptr<FramePacer> pacer;
    std::unique_ptr<PadKeySource> padKeys;

    explicit Owned(const PlatformOptions& o)
        : pads(o.realPads && !o.blind), window(o.blind ? nullptr : std::make_unique<Window>(o.display, pads)),
          blind(o.blind ? std::make_unique<BlindDisplay>(o.display.width, o.display.height, 60) : nullptr),
          display(window ? static_cast<IDisplay&>(window->display) : *blind),
          text(display, TtfTextRenderer::kDefaultCacheEntries, !o.blind), audio(WithSound(o.audio, !o.blind)),
          music(audio) {}

    static AudioOptions WithSound(AudioOptions options, bool sound) {
        options.silent = options.silent || !sound;
        return options;
    }
};

Platform::Platform(const PlatformOptions& options)
    : owned_(std::make_unique<Owned>(options)), clock_(options.clock ? options.clock : &owned_->clock),
      keys_(options.keys     ? options.keys
            : owned_->window ? static_cast<IKeySource*>(&owned_->window->keys)
                             : &owned_->noKeys),
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
    if (owned_->window) return owned_->window->events;
    return owned_->noEvents;
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
