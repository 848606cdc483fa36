// The game's window: an 800 x 600 logical drawing area on an SDL renderer, windowed
// or desktop full screen with letterboxing, with the display notifications that let
// the image lists and the text renderer keep their textures.
#include "platform/SdlDisplay.h"

#include "platform/detail/SdlDrawSurface.h"
#include "platform/detail/SdlHandles.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace vorlane {

using namespace detail;

namespace {

struct Placement {
    int x = 0, y = 0, w = 0, h = 0;
};

} // namespace

struct SdlDisplay::Impl {
    DisplayOptions options;
    SdlSubsystem video{SDL_INIT_VIDEO};
    WindowPtr window;
    RendererPtr renderer;
    CursorPtr hand;
    SdlDrawSurface surface;
    bool vsync = false;
    bool fullScreen = false;
    bool lost = false;
    std::optional<Placement> remembered;
    int pointerCount = 0;
    std::vector<IDisplayListener*> listeners;

    explicit Impl(const DisplayOptions& o) : options(o), surface(o.width, o.height) {}

    template <class Fn>
    void Notify(Fn fn) {
        // A copy, so that a listener may add or remove listeners while being told.
        std::vector<IDisplayListener*> copy = listeners;
        for (IDisplayListener* l : copy)
            if (std::find(listeners.begin(), listeners.end(), l) != listeners.end()) fn(*l);
    }

    void CreateRenderer() {
        SDL_Renderer* made = nullptr;
        if (!options.software) {
            Uint32 flags = SDL_RENDERER_ACCELERATED | (options.vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
            made = SDL_CreateRenderer(window.get(), -1, flags);
        }
        if (!made) made = SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE);
        if (!made) throw EngineError(SdlFailure("Cannot start the display"));
        renderer.reset(made);
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(made, &info);
        // The software renderer reports the vsync flag it was asked for but never waits.
        vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) && !(info.flags & SDL_RENDERER_SOFTWARE);
        // Letterboxed scaling of the 800 x 600 picture in full screen; mouse events
        // arrive in logical pixels too.
        SDL_RenderSetLogicalSize(made, options.width, options.height);
        surface.Bind(made);
        lost = false;
    }

    void DestroyRenderer() {
        surface.Bind(nullptr); // textures of this renderer go inert before it frees them
        renderer.reset();
    }

    void ApplyPointer() { SDL_ShowCursor(pointerCount >= 0 ? SDL_ENABLE : SDL_DISABLE); }
};

SdlDisplay::SdlDisplay(const DisplayOptions& options) : impl_(std::make_unique<Impl>(options)) {
    if (!impl_->video.Ok()) throw EngineError(SdlFailure("Cannot start the video system"));
    // Nearest-pixel scaling: tiles share one texture, and smoothing would bleed the
    // neighbouring pattern into their edges.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    Uint32 flags = options.hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN;
    SDL_Window* window = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          options.width, options.height, flags);
    if (!window) throw EngineError(SdlFailure("Cannot open the window"));
    impl_->window.reset(window);
    impl_->CreateRenderer();
    // The hand pointer over the drawing area; systems without pointers give none.
    impl_->hand.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND));
    if (impl_->hand) SDL_SetCursor(impl_->hand.get());
    impl_->ApplyPointer();
}

SdlDisplay::~SdlDisplay() {
    impl_->Notify([](IDisplayListener& l) { l.Finalised(); });
    impl_->DestroyRenderer();
    if (impl_->hand) SDL_SetCursor(SDL_GetDefaultCursor());
}

IDrawSurface& SdlDisplay::Surface() { return impl_->surface; }

bool SdlDisplay::CanDraw() const { return impl_->renderer && !impl_->lost; }

void SdlDisplay::AddListener(IDisplayListener& listener) {
    auto& ls = impl_->listeners;
    if (std::find(ls.begin(), ls.end(), &listener) == ls.end()) ls.push_back(&listener);
}

void SdlDisplay::RemoveListener(IDisplayListener& listener) {
    auto& ls = impl_->listeners;
    ls.erase(std::remove(ls.begin(), ls.end(), &listener), ls.end());
}

void SdlDisplay::EnterFullScreen() {
    if (impl_->fullScreen) return;
    SDL_Window* w = impl_->window.get();
    Placement p;
    SDL_GetWindowPosition(w, &p.x, &p.y);
    SDL_GetWindowSize(w, &p.w, &p.h);
    if (SDL_SetWindowFullscreen(w, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return; // stays a window
    impl_->remembered = p;
    impl_->fullScreen = true;
}

void SdlDisplay::EnterWindow() {
    SDL_Window* w = impl_->window.get();
    if (impl_->fullScreen) {
        SDL_SetWindowFullscreen(w, 0);
        impl_->fullScreen = false;
    }
    if (impl_->remembered) {
        const Placement p = *impl_->remembered;
        impl_->remembered.reset(); // restored once, then forgotten
        SDL_SetWindowSize(w, p.w, p.h);
        SDL_SetWindowPosition(w, p.x, p.y);
    }
}

bool SdlDisplay::IsFullScreen() const { return impl_->fullScreen; }

int SdlDisplay::RefreshRate() const {
    SDL_DisplayMode mode{};
    int index = SDL_GetWindowDisplayIndex(impl_->window.get());
    if (index < 0 || SDL_GetCurrentDisplayMode(index, &mode) != 0) return 60;
    // Devices that only know "the default rate" answer 0 or 1.
    return mode.refresh_rate <= 1 ? 60 : mode.refresh_rate;
}

bool SdlDisplay::VsyncActive() const { return impl_->vsync; }

void SdlDisplay::Clear() {
    if (!CanDraw()) return;
    SDL_SetRenderDrawColor(impl_->renderer.get(), 0, 0, 0, 255);
    SDL_RenderClear(impl_->renderer.get());
}

void SdlDisplay::Flip() {
    if (CanDraw()) SDL_RenderPresent(impl_->renderer.get());
}

void SdlDisplay::ShowPointer() {
    impl_->pointerCount = std::max(impl_->pointerCount, 1);
    impl_->ApplyPointer();
}

void SdlDisplay::HidePointer() {
    impl_->pointerCount = std::min(impl_->pointerCount, -1);
    impl_->ApplyPointer();
}

int SdlDisplay::PointerCount() const { return impl_->pointerCount; }

bool SdlDisplay::PointerVisible() const { return impl_->pointerCount >= 0; }

RgbaImage SdlDisplay::ReadPixels() {
    if (!CanDraw()) return {};
    SDL_Renderer* r = impl_->renderer.get();
    int outW = 0, outH = 0;
    if (SDL_GetRendererOutputSize(r, &outW, &outH) != 0 || outW <= 0 || outH <= 0) return {};
    // The drawing area in output pixels: the logical viewport times the scale.
    SDL_Rect viewport;
    float sx = 1, sy = 1;
    SDL_RenderGetViewport(r, &viewport);
    SDL_RenderGetScale(r, &sx, &sy);
    int w = std::clamp(int(std::lround(viewport.w * sx)), 1, outW);
    int h = std::clamp(int(std::lround(viewport.h * sy)), 1, outH);
    // The buffer holds the whole output, so no rounding of the viewport can overrun it.
    std::vector<uint32_t> buffer(size_t(outW) * size_t(outH));
    if (SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, buffer.data(), outW * 4) != 0) return {};
    RgbaImage image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.At(x, y) = buffer[size_t(y) * size_t(outW) + size_t(x)] | 0xFF000000u;
    return image;
}

uint32_t SdlDisplay::WindowId() const { return SDL_GetWindowID(impl_->window.get()); }

bool SdlDisplay::HasKeyboardFocus() const { return SDL_GetKeyboardFocus() == impl_->window.get(); }

std::string SdlDisplay::RendererName() const {
    SDL_RendererInfo info{};
    if (!impl_->renderer || SDL_GetRendererInfo(impl_->renderer.get(), &info) != 0) return {};
    return info.name ? info.name : "";
}

void SdlDisplay::HandleTargetsReset() {
    if (!CanDraw()) return;
    impl_->Notify([this](IDisplayListener& l) { l.Restored(impl_->surface); });
}

void SdlDisplay::HandleDeviceReset() {
    impl_->lost = true;
    impl_->Notify([](IDisplayListener& l) { l.Finalised(); });
    // A fresh renderer: the old one's textures are gone for good.
    impl_->DestroyRenderer();
    try {
        impl_->CreateRenderer();
    } catch (const EngineError&) {
        return; // stays lost: frames draw nothing until the next reset brings it back
    }
    impl_->Notify([this](IDisplayListener& l) { l.Initialised(impl_->surface); });
}

void SdlDisplay::WindowPosition(int& x, int& y) const { SDL_GetWindowPosition(impl_->window.get(), &x, &y); }

void SdlDisplay::MoveWindow(int x, int y) { SDL_SetWindowPosition(impl_->window.get(), x, y); }

} // namespace vorlane
