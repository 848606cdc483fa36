#pragma once
// Internal to the platform layer: owning handles for SDL objects and the SDL
// subsystem reference. Only platform .cpp files include this header; the headers the
// engine and the game see never mention SDL.
#include <SDL.h>

#include <memory>
#include <string>

namespace vorlane::detail {

struct WindowDeleter {
    void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct RendererDeleter {
    void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
struct TextureDeleter {
    void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
struct CursorDeleter {
    void operator()(SDL_Cursor* c) const { SDL_FreeCursor(c); }
};

using WindowPtr = std::unique_ptr<SDL_Window, WindowDeleter>;
using RendererPtr = std::unique_ptr<SDL_Renderer, RendererDeleter>;
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;
using CursorPtr = std::unique_ptr<SDL_Cursor, CursorDeleter>;
using TexturePtr = std::unique_ptr<SDL_Texture, TextureDeleter>;

// "what: SDL's last error".
inline std::string SdlFailure(const std::string& what) {
    return what + ": " + SDL_GetError();
}

// One reference on SDL subsystems (SDL counts them), released on destruction.
class SdlSubsystem {
  public:
    explicit SdlSubsystem(Uint32 flags) : flags_(flags) {
        // Ctrl+C and kill must end the game, not arrive as a close request that the game
        // turns into a question.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        ok_ = SDL_InitSubSystem(flags) == 0;
    }
    ~SdlSubsystem() {
        if (ok_) SDL_QuitSubSystem(flags_);
    }
    SdlSubsystem(const SdlSubsystem&) = delete;
    SdlSubsystem& operator=(const SdlSubsystem&) = delete;
    bool Ok() const { return ok_; }

  private:
    Uint32 flags_;
    bool ok_ = false;
};

} // namespace vorlane::detail
