// Drawing and measuring text with SDL_ttf; the rendered strings become textures of the
// display's surface and are cached.
#include "platform/TextRenderer.h"

#include "platform/FontLocator.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cctype>
#include <list>
#include <map>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace vorlane {

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size() * 2);
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

struct TtfLibrary {
    bool ok = TTF_Init() == 0;
    ~TtfLibrary() {
        if (ok) TTF_Quit();
    }
};

struct OpenFont {
    TTF_Font* font = nullptr;
    std::string family;
};

// A text in a font (and, for drawn ones, a colour). Looked up by a view of the text,
// so that finding a text already measured or rendered makes no copy of it.
struct TextKey {
    int font = 0;
    uint32_t rgb = 0;
    std::string text;
};
struct TextKeyView {
    int font = 0;
    uint32_t rgb = 0;
    std::string_view text;
};
struct TextKeyHash {
    using is_transparent = void;
    size_t operator()(const TextKeyView& k) const {
        const size_t h = std::hash<std::string_view>{}(k.text);
        return h ^ (size_t(k.font) * 0x9E3779B97F4A7C15ull + (size_t(k.rgb) << 7) + (h << 6) + (h >> 2));
    }
    size_t operator()(const TextKey& k) const { return (*this)(TextKeyView{k.font, k.rgb, k.text}); }
};
struct TextKeyEqual {
    using is_transparent = void;
    static TextKeyView View(const TextKey& k) { return {k.font, k.rgb, k.text}; }
    static TextKeyView View(const TextKeyView& k) { return k; }
    template <class A, class B> bool operator()(const A& a, const B& b) const {
        const TextKeyView x = View(a), y = View(b);
        return x.font == y.font && x.rgb == y.rgb && x.text == y.text;
    }
};

struct CachedText {
    TextKey key;
    std::unique_ptr<ITexture> texture;
};

// The part of a text that can be on the screen at all.
std::string_view Visible(const std::string& latin1) {
    return std::string_view(latin1).substr(0, kMaxTextChars);
}

// Measured texts kept at most; past that the measures start over.
constexpr size_t kMeasuredTexts = 4096;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

} // namespace

struct TtfTextRenderer::Impl : IDisplayListener {
    IDisplay& display;
    size_t capacity;
    bool drawing;
    TtfLibrary ttf;
    FontLocator locator;
    std::vector<OpenFont> fonts; // handle n is fonts[n - 1]
    std::map<std::tuple<std::string, int, bool>, int> handles;
    std::list<CachedText> lru; // most recently drawn first
    std::unordered_map<TextKey, std::list<CachedText>::iterator, TextKeyHash, TextKeyEqual> index;
    // Widths and heights of texts measured before (they do not change with the display).
    std::unordered_map<TextKey, TextExtent, TextKeyHash, TextKeyEqual> measured;

    Impl(IDisplay& d, size_t cap, bool draws)
        : display(d), capacity(std::max<size_t>(cap, 1)), drawing(draws) {
        display.AddListener(*this);
    }
    ~Impl() override {
        display.RemoveListener(*this);
        Clear();
        for (OpenFont& f : fonts)
            TTF_CloseFont(f.font);
    }

    void Initialised(IDrawSurface&) override { Clear(); }
    void Finalised() override { Clear(); }
    void Restored(IDrawSurface&) override { Clear(); }

    void Clear() {
        index.clear();
        lru.clear();
    }

    TTF_Font* Get(int handle) const {
        return handle >= 1 && size_t(handle) <= fonts.size() ? fonts[size_t(handle) - 1].font : nullptr;
    }

    OpenFont Open(const std::string& family, int points, bool bold) {
        if (!ttf.ok) return {};
        const int size = std::max(points, 1);
        auto open = [&](const FontFile& file) -> OpenFont {
            TTF_Font* font = TTF_OpenFontIndexDPI(file.path.c_str(), size, file.index, 96, 96);
            if (!font) return {};
            // A family without a bold face gets SDL_ttf's emboldening.
            if (bold && !file.bold) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
            return {font, file.family};
        };
        for (const std::string& candidate : FontCandidates(family))
            if (auto file = locator.FindFamily(candidate, WantsBoldFace(family, candidate, bold)))
                if (OpenFont f = open(*file); f.font) return f;
        if (auto file = locator.Resolve("", WantsBoldFace(family, "", bold)))
            if (OpenFont f = open(*file); f.font) return f;
        return {};
    }
};

TtfTextRenderer::TtfTextRenderer(IDisplay& display, size_t cacheEntries, bool drawing)
    : impl_(std::make_unique<Impl>(display, cacheEntries, drawing)) {}

TtfTextRenderer::~TtfTextRenderer() = default;

int TtfTextRenderer::Font(const std::string& family, int points, bool bold) {
    auto key = std::make_tuple(Lower(family), points, bold);
    if (auto it = impl_->handles.find(key); it != impl_->handles.end()) return it->second;
    OpenFont f = impl_->Open(family, points, bold);
    int handle = 0;
    if (f.font) {
        impl_->fonts.push_back(f);
        handle = int(impl_->fonts.size());
    }
    impl_->handles.emplace(key, handle); // a failure is not retried every frame
    return handle;
}

std::string TtfTextRenderer::ResolvedFamily(int font) const {
    return impl_->Get(font) ? impl_->fonts[size_t(font) - 1].family : std::string();
}

TextExtent TtfTextRenderer::Measure(int font, const std::string& text) {
    const std::string_view latin1 = Visible(text);
    TTF_Font* f = impl_->Get(font);
    if (!f) return {};
    // A text measured before costs a lookup and nothing else.
    if (auto it = impl_->measured.find(TextKeyView{font, 0, latin1}); it != impl_->measured.end())
        return it->second;
    TextExtent e;
    e.height = TTF_FontHeight(f);
    if (!latin1.empty() && TTF_SizeUTF8(f, Latin1ToUtf8(latin1).c_str(), &e.width, &e.height) != 0)
        e.width = 0;
    if (impl_->measured.size() >= kMeasuredTexts) impl_->measured.clear();
    impl_->measured.emplace(TextKey{font, 0, std::string(latin1)}, e);
    return e;
}

void TtfTextRenderer::Draw(int font, const std::string& text, int x, int y, uint32_t rgb) {
    const std::string_view latin1 = Visible(text);
    TTF_Font* f = impl_->Get(font);
    if (!f || latin1.empty() || !impl_->drawing || !impl_->display.CanDraw()) return;
    // A text drawn before in this colour is drawn from its texture, without a copy
    // of the text, a key or a rendering made.
    const TextKeyView key{font, rgb & 0xFFFFFFu, latin1};
    auto it = impl_->index.find(key);
    if (it != impl_->index.end()) {
        impl_->lru.splice(impl_->lru.begin(), impl_->lru, it->second);
    } else {
        SDL_Color colour{Uint8(rgb >> 16), Uint8(rgb >> 8), Uint8(rgb), 255};
        SDL_Surface* rendered = TTF_RenderUTF8_Blended(f, Latin1ToUtf8(latin1).c_str(), colour);
        if (!rendered) return;
        SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(rendered);
        if (!argb) return;
        RgbaImage picture(argb->w, argb->h);
        SDL_LockSurface(argb);
        for (int row = 0; row < argb->h; ++row) {
            const auto* src = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                                size_t(row) * size_t(argb->pitch));
            std::copy(src, src + argb->w, picture.pixels.begin() + ptrdiff_t(row) * argb->w);
        }
        SDL_UnlockSurface(argb);
        SDL_FreeSurface(argb);
        if (picture.Empty()) return;
        std::unique_ptr<ITexture> texture;
        try {
            texture = impl_->display.Surface().CreateTexture(picture);
        } catch (const EngineError&) {
            return; // a text that cannot be shown is left out, the game goes on
        }
        impl_->lru.push_front(
            CachedText{TextKey{key.font, key.rgb, std::string(latin1)}, std::move(texture)});
        impl_->index[impl_->lru.front().key] = impl_->lru.begin();
        while (impl_->lru.size() > impl_->capacity) {
            impl_->index.erase(impl_->lru.back().key);
            impl_->lru.pop_back();
        }
    }
    ITexture& texture = *impl_->lru.front().texture;
    impl_->display.Surface().Draw(texture, Rect{0, 0, texture.Width(), texture.Height()}, x, y);
}

size_t TtfTextRenderer::CachedTexts() const {
    return impl_->lru.size();
}

} // namespace vorlane
