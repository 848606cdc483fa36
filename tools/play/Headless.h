#pragma once
// The real game run headless: the same TMForm on SDL's dummy drivers, with a clock,
// a keyboard, a shell and an HTTP client that the caller drives and watches, so that
// the same inputs give the same frames every time. Used by vorlane-play and by the
// tests' FormFixture.
#include "app/HeadlessServices.h"
#include "app/TMForm.h"
#include "platform/GamePads.h"
#include "platform/KeyCodes.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vorlane::play {

// Time moves only when told to.
class ManualClock final : public IClock {
  public:
    uint32_t Milliseconds() override { return now_; }
    void Set(uint32_t ms) { now_ = ms; }
    void Advance(uint32_t ms) { now_ += ms; }

  private:
    uint32_t now_ = 1000;
};

// Held keys as the script or the test says; the window has the focus unless told.
class ScriptKeySource final : public IKeySource {
  public:
    bool Foreground = true;
    bool IsForeground() override { return Foreground; }
    void Snapshot(uint8_t keys[256]) override { std::memcpy(keys, held_, sizeof held_); }
    void SetDown(int vk, bool down) {
        if (vk > 0 && vk < 256) held_[vk] = down ? 0x80 : 0;
    }
    bool IsDown(int vk) const { return vk > 0 && vk < 256 && (held_[vk] & 0x80) != 0; }

  private:
    uint8_t held_[256] = {};
};

// Remembers what the game asked the system to open.
class RecordingShell final : public IShell {
  public:
    std::vector<std::string> Opened;
    void Open(const std::string& target) override { Opened.push_back(target); }
};

// Remembers the requests; hands them on to another client when given one, otherwise
// answers as failed (no network in a headless run unless asked for).
class RecordingHttp final : public IHttpClient {
  public:
    std::vector<HttpRequest> Requests;
    IHttpClient* Forward = nullptr;
    bool Get(const HttpRequest& request) override {
        Requests.push_back(request);
        return Forward ? Forward->Get(request) : false;
    }
    // The POSTs, each with its body.
    std::vector<std::pair<HttpRequest, std::string>> Posts;
    bool Post(const HttpRequest& request, const std::string& body) override {
        Posts.emplace_back(request, body);
        return Forward ? Forward->Post(request, body) : false;
    }
};

struct HeadlessOptions {
    std::filesystem::path DataRoot = "."; // holds Data/
    std::filesystem::path SaveRoot;       // holds Data/Save; empty: the data root, as in the build tree
    uint32_t Seed = 1;
    int Rate = 85;                                     // simulated frames per second and refresh rate
    std::string ServerUrl = online::kDefaultServerUrl; // links and submissions go here
    std::optional<bool> FullScreenOverride;            // as the command line's --fullscreen / --window
    bool RecordRaces = true; // races recorded into the data folder's Replays, as in the game
    bool Blind = false;      // no window, no drawing, no sound (as the replay check plays)
};

class HeadlessGame {
  public:
    // Builds the game (its start-up runs inside); throws EngineError as the game does.
    explicit HeadlessGame(const HeadlessOptions& options) : rate_(options.Rate > 0 ? options.Rate : 85) {
        vorlane::UseHeadlessDrivers(); // an existing setting wins
        TMFormServices services =
            HeadlessServices(options.DataRoot, options.Seed, rate_, {&Clock, &Keys, &Shell, &Http});
        if (!options.SaveRoot.empty()) services.SaveRoot = options.SaveRoot;
        services.FullScreenOverride = options.FullScreenOverride;
        services.ServerUrl = options.ServerUrl;
        services.RecordRaces = options.RecordRaces;
        services.Platform.blind = options.Blind;
        services.OnEffect = [this](const std::string& name) { FrameEffects.push_back(name); };
        start_ = Clock.Milliseconds();
        form_ = std::make_unique<TMForm>(std::move(services));
        // The scripted pointer starts known, at the frame's top-left corner, so every
        // "mouse X Y" elsewhere is a move. A window's pointer starts unknown instead.
        form_->Keys.MouseKnown = true;
    }

    // The form holds on to the clock, keys, shell and HTTP client below: no copies.
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    TMForm& Form() { return *form_; }

    ManualClock Clock;
    ScriptKeySource Keys;
    RecordingShell Shell;
    RecordingHttp Http;
    // The effects played since the last frame began (events before it included).
    std::vector<std::string> FrameEffects;

    int Rate() const { return rate_; }
    int TicksRun() const { return ticks_; }

    // One frame on the rate's schedule: the clock stands at round(k * 1000 / rate)
    // after the k-th, so the timer measures the rate and the move counts average
    // 1000 / rate ms. Answers whether the game ran a frame (it does not while its
    // window is in the background).
    bool Step() {
        ++steps_;
        Clock.Set(start_ + uint32_t(std::lround(double(steps_) * 1000.0 / rate_)));
        return Tick();
    }
    // One frame whose move count is lagMs.
    bool StepWithLag(int lagMs) {
        ++steps_;
        Clock.Advance(uint32_t(lagMs > 0 ? lagMs : 1));
        start_ = Clock.Milliseconds() - uint32_t(std::lround(double(steps_) * 1000.0 / rate_));
        return Tick();
    }
    // The effects list is for one frame: the caller clears it when it has read it.
    void ClearFrameEffects() { FrameEffects.clear(); }

    // Key events as a real keyboard gives them: the key, and for the keys that type,
    // the character (Enter 13, Backspace 8, Esc 27; letters, digits and the space
    // unless Alt or Ctrl is held; capitals with Shift).
    void KeyDown(int vk) {
        Keys.SetDown(vk, true);
        if (vk == vk::Alt) altHeld_ = true;
        InputEvent e;
        e.kind = EventKind::KeyDown;
        e.key = vk;
        e.alt = altHeld_;
        e.shift = Keys.IsDown(vk::Shift);
        e.ctrl = Keys.IsDown(vk::Ctrl);
        form_->HandleEvent(e);
        if (const char c = TypedChar(vk, e.alt, e.shift, e.ctrl)) TypeChar(c);
    }
    void KeyUp(int vk) {
        Keys.SetDown(vk, false);
        if (vk == vk::Alt) altHeld_ = false;
        InputEvent e;
        e.kind = EventKind::KeyUp;
        e.key = vk;
        e.alt = altHeld_;
        form_->HandleEvent(e);
    }
    void TypeChar(char c) {
        InputEvent e;
        e.kind = EventKind::Char;
        e.ch = c;
        form_->HandleEvent(e);
    }
    void TypeText(const std::string& text) {
        for (char c : text)
            TypeChar(c);
    }
    void MouseMove(int x, int y) {
        InputEvent e;
        e.kind = EventKind::MouseMove;
        e.x = x;
        e.y = y;
        form_->HandleEvent(e);
    }
    void Click() { Mouse(EventKind::Click); }
    // A double click is a click and then the double-click event.
    void DoubleClick() {
        Mouse(EventKind::Click);
        Mouse(EventKind::DoubleClick);
    }
    void CloseRequest() { Simple(EventKind::CloseRequest); }
    void Focus(bool on) {
        Keys.Foreground = on;
        Simple(on ? EventKind::Activate : EventKind::Deactivate);
    }

    // The virtual game pad: plugged in by its first button or axis, read by the
    // game at the start of the next frame through the same mapping as a real pad.
    GamePads& Pads() { return form_->PlatformServices->Pads(); }
    void PadConnect() { Pads().ConnectVirtual(); }
    void PadButton(int button, bool down) {
        Pads().ConnectVirtual();
        Pads().SetVirtualButton(vorlane::PadButton(button), down);
    }
    void PadAxis(int axis, int value) {
        Pads().ConnectVirtual();
        Pads().SetVirtualAxis(vorlane::PadAxis(axis), value);
    }
    // Pulled out: the event a real pad's removal gives, when it was plugged in.
    void PadRemove() {
        if (Pads().DisconnectVirtual()) Simple(EventKind::PadLost);
    }

    static char TypedChar(int vk, bool alt, bool shift, bool ctrl) {
        switch (vk) {
        case vk::Enter:
            return alt ? 0 : 13;
        case vk::Backspace:
            return alt ? 0 : 8;
        case vk::Esc:
            return 27;
        default:
            break;
        }
        if (alt || ctrl) return 0;
        if (vk >= 'A' && vk <= 'Z') return char(shift ? vk : vk - 'A' + 'a');
        if (vk >= '0' && vk <= '9') return char(vk);
        if (vk == vk::Space) return ' ';
        return 0;
    }

  private:
    bool Tick() {
        const bool ran = form_->FrameTimer->Idle();
        if (ran) ++ticks_;
        return ran;
    }
    void Mouse(EventKind kind) {
        InputEvent e;
        e.kind = kind;
        e.x = form_->Keys.MouseX;
        e.y = form_->Keys.MouseY;
        e.button = 1;
        form_->HandleEvent(e);
    }
    void Simple(EventKind kind) {
        InputEvent e;
        e.kind = kind;
        form_->HandleEvent(e);
    }

    int rate_;
    uint32_t start_ = 0;
    int steps_ = 0;
    int ticks_ = 0;
    bool altHeld_ = false;
    std::unique_ptr<TMForm> form_;
};

} // namespace vorlane::play
