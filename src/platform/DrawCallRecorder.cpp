// Recording the renderer calls of a frame and replaying them bare.
#include "platform/DrawCallRecorder.h"

#include "platform/SdlDisplay.h"
#include "platform/detail/SdlDrawSurface.h"

#include <algorithm>
#include <vector>

namespace vorlane {

using namespace detail;

namespace {

struct Call {
    enum Kind { Copy, Alpha, Rotated } kind;
    SDL_Texture* texture;
    SDL_Rect src;
    SDL_Rect dst;
    SDL_FRect dstF;
    Uint8 alpha;
    double degrees;
    SDL_FPoint centre;
};

} // namespace

struct DrawCallRecorder::Impl {
    SdlDisplay& display;
    SdlDrawSurface& surface;
    bool recording = true;
    std::vector<Call> calls;

    explicit Impl(SdlDisplay& d) : display(d), surface(static_cast<SdlDrawSurface&>(d.Surface())) {}

    SDL_Texture* Resolve(ITexture& t) const {
        auto* own = dynamic_cast<SdlTexture*>(&t);
        return own ? own->Get(surface.Renderer()) : nullptr;
    }
    // Clipped the way the surface clips, so the replay makes the very same calls.
    static bool Clip(const Rect& src, const ITexture& t, SDL_Rect& out) {
        const int l = std::max(src.left, 0), tp = std::max(src.top, 0);
        const int r = std::min(src.right, t.Width()), b = std::min(src.bottom, t.Height());
        out = SDL_Rect{l, tp, r - l, b - tp};
        return r > l && b > tp;
    }
};

DrawCallRecorder::DrawCallRecorder(SdlDisplay& display) : impl_(std::make_unique<Impl>(display)) {}
DrawCallRecorder::~DrawCallRecorder() = default;

int DrawCallRecorder::Width() const {
    return impl_->surface.Width();
}
int DrawCallRecorder::Height() const {
    return impl_->surface.Height();
}

std::unique_ptr<ITexture> DrawCallRecorder::CreateTexture(const RgbaImage& picture) {
    return impl_->surface.CreateTexture(picture);
}

void DrawCallRecorder::Draw(ITexture& texture, const Rect& src, int x, int y) {
    impl_->surface.Draw(texture, src, x, y);
    SDL_Rect from;
    SDL_Texture* t = impl_->Resolve(texture);
    if (!impl_->recording || !t || !Impl::Clip(src, texture, from)) return;
    Call c{Call::Copy, t,   from, SDL_Rect{x + from.x - src.left, y + from.y - src.top, from.w, from.h},
           {},         255, 0,    {}};
    impl_->calls.push_back(c);
}

void DrawCallRecorder::DrawAlpha(ITexture& texture, const Rect& src, const Rect& dst, int alpha) {
    impl_->surface.DrawAlpha(texture, src, dst, alpha);
    SDL_Rect from;
    SDL_Texture* t = impl_->Resolve(texture);
    if (!impl_->recording || !t || alpha <= 0 || dst.Empty() || src.Empty() ||
        !Impl::Clip(src, texture, from))
        return;
    const double sx = double(dst.Width()) / src.Width(), sy = double(dst.Height()) / src.Height();
    SDL_FRect to{float(dst.left + (from.x - src.left) * sx), float(dst.top + (from.y - src.top) * sy),
                 float(from.w * sx), float(from.h * sy)};
    impl_->calls.push_back(Call{Call::Alpha, t, from, {}, to, Uint8(std::min(alpha, 255)), 0, {}});
}

void DrawCallRecorder::DrawRotated(ITexture& texture, const Rect& src, double x, double y, int width,
                                   int height, double pivotX, double pivotY, double degrees) {
    impl_->surface.DrawRotated(texture, src, x, y, width, height, pivotX, pivotY, degrees);
    SDL_Rect from;
    SDL_Texture* t = impl_->Resolve(texture);
    if (!impl_->recording || !t || width <= 0 || height <= 0 || !Impl::Clip(src, texture, from)) return;
    SDL_FRect to{float(x - pivotX), float(y - pivotY), float(width), float(height)};
    impl_->calls.push_back(
        Call{Call::Rotated, t, from, {}, to, 255, degrees, SDL_FPoint{float(pivotX), float(pivotY)}});
}

void DrawCallRecorder::SetRecording(bool on) {
    impl_->recording = on;
}
void DrawCallRecorder::ClearRecord() {
    impl_->calls.clear();
}
size_t DrawCallRecorder::Recorded() const {
    return impl_->calls.size();
}

size_t DrawCallRecorder::RecordedRotated() const {
    size_t n = 0;
    for (const Call& c : impl_->calls)
        n += c.kind == Call::Rotated;
    return n;
}

size_t DrawCallRecorder::RecordedBlended() const {
    size_t n = 0;
    for (const Call& c : impl_->calls)
        n += c.kind == Call::Alpha;
    return n;
}

void DrawCallRecorder::ReplayBare() const {
    SDL_Renderer* r = impl_->surface.Renderer();
    if (!r) return;
    for (const Call& c : impl_->calls) {
        switch (c.kind) {
        case Call::Copy:
            SDL_RenderCopy(r, c.texture, &c.src, &c.dst);
            break;
        case Call::Alpha:
            SDL_SetTextureAlphaMod(c.texture, c.alpha);
            SDL_RenderCopyF(r, c.texture, &c.src, &c.dstF);
            SDL_SetTextureAlphaMod(c.texture, 255);
            break;
        case Call::Rotated:
            SDL_RenderCopyExF(r, c.texture, &c.src, &c.dstF, c.degrees, &c.centre, SDL_FLIP_NONE);
            break;
        }
    }
}

} // namespace vorlane
