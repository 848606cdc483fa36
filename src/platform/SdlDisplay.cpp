// The game's window: the game draws its 800 x 600 frame into a texture of the same
// size, and each flip shows that frame scaled into the window (windowed or desktop
// full screen, as large as fits, centred between black bars), with the display
// notifications that let the image lists and the text renderer keep their textures.
#include "platform/SdlDisplay.h"

#include "platform/FrameDump.h"
#include "platform/GlRendererName.h"
#include "platform/detail/SdlDrawSurface.h"
#include "platform/detail/SdlHandles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace vorlane {

using namespace detail;

namespace {

struct Placement {
    int x = 0, y = 0, w = 0, h = 0;
};

// Whether an accelerated renderer's GL driver draws on the processor all the same.
bool RasterisesInSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name || std::strncmp(info.name, "opengl", 6) != 0)
        return false;
    // The renderer's GL context is the current one.
    using GetString = const unsigned char*(SDLCALL*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!getString) return false;
    constexpr unsigned int kGlRenderer = 0x1F01;
    const auto* name = reinterpret_cast<const char*>(getString(kGlRenderer));
    return name && IsSoftwareGlRenderer(name);
}

// When neither X11 nor Wayland answers, SDL falls back on a driver that draws off
// screen, and the game would run in a window nobody can see. Only a player (or a
// headless run) who names such a driver gets one.
void RequireVisibleDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || SDL_GetHint(SDL_HINT_VIDEODRIVER)) return;
    if (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) return;
    const char* x11 = SDL_getenv("DISPLAY");
    const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
    throw EngineError(std::string("Cannot open the window: no display answered (DISPLAY=") +
                      (x11 ? x11 : "") + ", WAYLAND_DISPLAY=" + (wayland ? wayland : "") + ")");
}

} // namespace

struct SdlDisplay::Impl {
    DisplayOptions options;
    SdlSubsystem video{SDL_INIT_VIDEO};
    WindowPtr window;
    RendererPtr renderer;
    TexturePtr frame; // the render target every drawing call of the game goes to
    // Crisp scaling to a size between whole-number steps: the frame enlarged by
    // repeating pixels, which is then filtered down into the window.
    TexturePtr enlarged;
    int enlargedScale = 0;
    CursorPtr hand;
    SdlDrawSurface surface;
    bool vsync = false;
    bool fullScreen = false;
    bool lost = false;
    std::optional<Placement> remembered;
    int pointerCount = 0;
    std::vector<IDisplayListener*> listeners;
    std::optional<FrameDumpFile> dump;

    explicit Impl(const DisplayOptions& o) : options(o), surface(o.width, o.height) {
        if (!o.frameDumpFile.empty()) dump.emplace(o.frameDumpFile);
    }

    template <class Fn> void Notify(Fn fn) {
        // A copy, so that a listener may add or remove listeners while being told.
        std::vector<IDisplayListener*> copy = listeners;
        for (IDisplayListener* l : copy)
            if (std::find(listeners.begin(), listeners.end(), l) != listeners.end()) fn(*l);
    }

    SDL_Renderer* MakeRenderer(Uint32 flags) {
        SDL_Renderer* made = SDL_CreateRenderer(window.get(), -1, flags);
        SDL_RendererInfo info{};
        // The frame is a render target; a renderer without them is no use here.
        if (made && (SDL_GetRendererInfo(made, &info) != 0 || !(info.flags & SDL_RENDERER_TARGETTEXTURE))) {
            SDL_DestroyRenderer(made);
            made = nullptr;
        }
        return made;
    }

    void CreateRenderer() {
        SDL_Renderer* made = nullptr;
        if (!options.software) {
            made = MakeRenderer(SDL_RENDERER_ACCELERATED | (options.vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
            // A GL driver that rasterises on the processor (Mesa's llvmpipe, say) costs
            // about twice what SDL's own software renderer does for the same frames:
            // then SDL's is taken, unless the player named a render driver.
            if (made && !SDL_GetHint(SDL_HINT_RENDER_DRIVER) && RasterisesInSoftware(made)) {
                SDL_DestroyRenderer(made);
                made = nullptr;
            }
        }
        if (!made) {
            // The software renderer's frames go to the window as they are, not through
            // a GL texture of their own.
            SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
            made = MakeRenderer(SDL_RENDERER_SOFTWARE);
        }
        if (!made) throw EngineError(SdlFailure("Cannot start the display"));
        renderer.reset(made);
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(made, &info);
        // The software renderer reports the vsync flag it was asked for but never waits.
        vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) && !(info.flags & SDL_RENDERER_SOFTWARE);
        SDL_Texture* target = SDL_CreateTexture(made, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                                options.width, options.height);
        if (!target) {
            std::string message = SdlFailure("Cannot make the frame");
            renderer.reset();
            throw EngineError(message);
        }
        frame.reset(target);
        // The frame replaces what is under it when shown, and is scaled by whole pixels
        // or filtered as asked (the game's own pictures always stay unfiltered).
        SDL_SetTextureBlendMode(target, SDL_BLENDMODE_NONE);
        SDL_SetTextureScaleMode(target, options.scaling == FrameScaling::Smooth ? SDL_ScaleModeLinear
                                                                                : SDL_ScaleModeNearest);
        SDL_SetRenderTarget(made, target);
        SDL_SetRenderDrawColor(made, 0, 0, 0, 255);
        SDL_RenderClear(made); // a frame shown before the game drew one is black
        surface.Bind(made);
        lost = false;
    }

    void DestroyRenderer() {
        surface.Bind(nullptr); // textures of this renderer go inert before it frees them
        enlarged.reset();
        enlargedScale = 0;
        frame.reset();
        renderer.reset();
    }

    // The window's size in real pixels. (Asked of the renderer without the frame as
    // its target: with a target set, renderers answer the target's size.)
    bool OutputSize(int& w, int& h) const {
        SDL_Renderer* r = renderer.get();
        if (!r) return false;
        SDL_Texture* target = SDL_GetRenderTarget(r);
        if (target) SDL_SetRenderTarget(r, nullptr);
        const bool ok = SDL_GetRendererOutputSize(r, &w, &h) == 0 && w > 0 && h > 0;
        if (target) SDL_SetRenderTarget(r, target);
        return ok;
    }

    PixelRect FrameRect() const {
        int w = 0, h = 0;
        if (!OutputSize(w, h)) return {};
        return FrameRectInOutput(w, h, options.width, options.height);
    }

    // Real pixels per window point: above 1 on high-density displays.
    double PixelsPerPoint() const {
        int pointsW = 0, pointsH = 0, pixelsW = 0, pixelsH = 0;
        SDL_GetWindowSize(window.get(), &pointsW, &pointsH);
        if (pointsW <= 0 || !OutputSize(pixelsW, pixelsH)) return 1.0;
        return double(pixelsW) / pointsW;
    }

    // The frame enlarged n times, made when first needed at that scale; nothing when the
    // renderer cannot make a texture that large.
    SDL_Texture* Enlarged(int n) {
        if (enlarged && enlargedScale == n) return enlarged.get();
        enlarged.reset();
        enlargedScale = 0;
        SDL_Texture* made =
            SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                              n * options.width, n * options.height);
        if (!made) return nullptr;
        SDL_SetTextureBlendMode(made, SDL_BLENDMODE_NONE);
        SDL_SetTextureScaleMode(made, SDL_ScaleModeLinear);
        enlarged.reset(made);
        enlargedScale = n;
        return made;
    }

    // The frame, scaled into the window, then back to drawing into the frame.
    void Present() {
        SDL_Renderer* r = renderer.get();
        const PixelRect at = FrameRect();
        SDL_Texture* shown = frame.get();
        // Crisp between whole-number steps: enlarged by repeating pixels to at least the
        // window's size, then filtered down, so only the seams between pixels blend.
        // (Without the larger texture, the frame's own pixels are repeated unevenly.)
        if (options.scaling == FrameScaling::Crisp && !IsWholeScale(at, options.width, options.height)) {
            if (SDL_Texture* big = Enlarged(CrispPrescale(at, options.width, options.height))) {
                SDL_SetRenderTarget(r, big);
                SDL_RenderCopy(r, frame.get(), nullptr, nullptr);
                shown = big;
            }
        }
        SDL_SetRenderTarget(r, nullptr);
        SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
        SDL_RenderClear(r);
        const SDL_Rect to{at.x, at.y, at.w, at.h};
        SDL_RenderCopy(r, shown, nullptr, &to);
        SDL_RenderPresent(r);
        SDL_SetRenderTarget(r, frame.get());
    }

    // The window's size at start, in real pixels on a high-density display (whose
    // window sizes count in larger points): the scale asked for, lowered (with a word)
    // when its window would not fit on the desktop, else the largest of the steps of
    // StartWindowSize.
    void SizeWindowForStart() {
        SDL_Window* w = window.get();
        int pointsW = 0, pointsH = 0;
        SDL_GetWindowSize(w, &pointsW, &pointsH);
        const double pixelsPerPoint = PixelsPerPoint();
        SDL_Rect usable{0, 0, 0, 0};
        const int index = std::max(SDL_GetWindowDisplayIndex(w), 0);
        const bool known = SDL_GetDisplayUsableBounds(index, &usable) == 0 && usable.w > 0 && usable.h > 0;
        const int desktopW = known ? int(usable.w * pixelsPerPoint) : 0;
        const int desktopH = known ? int(usable.h * pixelsPerPoint) : 0;
        PixelSize want;
        if (options.scale > 0) {
            const int scale = FittingScale(options.scale, desktopW, desktopH, options.width, options.height);
            if (scale < options.scale)
                std::fprintf(
                    stderr,
                    "vorlane: --scale %d (%d x %d) does not fit the %d x %d desktop; the window opens "
                    "at --scale %d (%d x %d)\n",
                    options.scale, options.scale * options.width, options.scale * options.height, desktopW,
                    desktopH, scale, scale * options.width, scale * options.height);
            want = {scale * options.width, scale * options.height};
        } else {
            if (!known) return; // stays at the frame's size
            want = StartWindowSize(desktopW, desktopH, options.width, options.height);
        }
        const int wantW = int(std::ceil(want.w / pixelsPerPoint));
        const int wantH = int(std::ceil(want.h / pixelsPerPoint));
        if (wantW == pointsW && wantH == pointsH) return;
        SDL_SetWindowSize(w, wantW, wantH);
        SDL_SetWindowPosition(w, SDL_WINDOWPOS_CENTERED_DISPLAY(SDL_GetWindowDisplayIndex(w)),
                              SDL_WINDOWPOS_CENTERED_DISPLAY(SDL_GetWindowDisplayIndex(w)));
    }

    void ApplyPointer() { SDL_ShowCursor(pointerCount >= 0 ? SDL_ENABLE : SDL_DISABLE); }
};

SdlDisplay::SdlDisplay(const DisplayOptions& options) : impl_(std::make_unique<Impl>(options)) {
    if (!impl_->video.Ok()) throw EngineError(SdlFailure("Cannot start the video system"));
    RequireVisibleDriver();
    // Nearest-pixel scaling: tiles share one texture, and smoothing would bleed the
    // neighbouring pattern into their edges.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // Opened hidden and shown once it has its size, so that it appears once, centred.
    const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    SDL_Window* window = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, options.width, options.height, flags);
    if (!window) throw EngineError(SdlFailure("Cannot open the window"));
    impl_->window.reset(window);
    impl_->CreateRenderer();
    impl_->SizeWindowForStart();
    // Smaller than this, nothing on the screens can be read any more.
    SDL_SetWindowMinimumSize(window, options.width / 4, options.height / 4);
    if (!options.hidden) SDL_ShowWindow(window);
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

IDrawSurface& SdlDisplay::Surface() {
    return impl_->surface;
}

bool SdlDisplay::CanDraw() const {
    return impl_->renderer && !impl_->lost;
}

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

bool SdlDisplay::IsFullScreen() const {
    return impl_->fullScreen;
}

int SdlDisplay::RefreshRate() const {
    SDL_DisplayMode mode{};
    int index = SDL_GetWindowDisplayIndex(impl_->window.get());
    if (index < 0 || SDL_GetCurrentDisplayMode(index, &mode) != 0) return 60;
    // Devices that only know "the default rate" answer 0 or 1.
    return mode.refresh_rate <= 1 ? 60 : mode.refresh_rate;
}

bool SdlDisplay::VsyncActive() const {
    return impl_->vsync;
}

void SdlDisplay::Clear() {
    if (!CanDraw()) return;
    SDL_SetRenderDrawColor(impl_->renderer.get(), 0, 0, 0, 255);
    SDL_RenderClear(impl_->renderer.get());
}

void SdlDisplay::Flip() {
    if (!CanDraw()) return;
    impl_->Present();
    if (impl_->dump && !impl_->dump->Offer(ReadPixels())) {
        std::fprintf(stderr, "vorlane: cannot write the frame to %s\n", impl_->options.frameDumpFile.c_str());
        impl_->dump.reset(); // one complaint, not one per frame
    }
}

void SdlDisplay::ShowFrameAgain() {
    if (CanDraw()) impl_->Present();
}

void SdlDisplay::ShowPointer() {
    impl_->pointerCount = std::max(impl_->pointerCount, 1);
    impl_->ApplyPointer();
}

void SdlDisplay::HidePointer() {
    impl_->pointerCount = std::min(impl_->pointerCount, -1);
    impl_->ApplyPointer();
}

int SdlDisplay::PointerCount() const {
    return impl_->pointerCount;
}

bool SdlDisplay::PointerVisible() const {
    return impl_->pointerCount >= 0;
}

RgbaImage SdlDisplay::ReadPixels() {
    if (!CanDraw()) return {};
    // The render target is the frame (except inside Present), so this reads the frame
    // pixel for pixel, whatever the window's size.
    const int w = impl_->options.width, h = impl_->options.height;
    RgbaImage image(w, h);
    if (SDL_RenderReadPixels(impl_->renderer.get(), nullptr, SDL_PIXELFORMAT_ARGB8888, image.pixels.data(),
                             w * 4) != 0)
        return {};
    for (uint32_t& p : image.pixels)
        p |= 0xFF000000u;
    return image;
}

uint32_t SdlDisplay::WindowId() const {
    return SDL_GetWindowID(impl_->window.get());
}

bool SdlDisplay::HasKeyboardFocus() const {
    return SDL_GetKeyboardFocus() == impl_->window.get();
}

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

void SdlDisplay::WindowPosition(int& x, int& y) const {
    SDL_GetWindowPosition(impl_->window.get(), &x, &y);
}

void SdlDisplay::MoveWindow(int x, int y) {
    SDL_SetWindowPosition(impl_->window.get(), x, y);
}

void SdlDisplay::WindowSize(int& width, int& height) const {
    SDL_GetWindowSize(impl_->window.get(), &width, &height);
}

PixelRect SdlDisplay::FrameRect() const {
    return impl_->FrameRect();
}

std::optional<FramePoint> SdlDisplay::WindowToFrame(int x, int y) const {
    if (!impl_->renderer) return std::nullopt;
    return WindowPointToFrame(x, y, impl_->PixelsPerPoint(), impl_->FrameRect(), impl_->options.width,
                              impl_->options.height);
}

} // namespace vorlane
