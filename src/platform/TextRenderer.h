#pragma once
// Text on the back buffer: fonts by family name, point size and weight, strings of
// Latin-1 characters drawn without a background box, widths and heights measured.
#include "platform/Display.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vorlane {

struct TextExtent {
    int width = 0;
    int height = 0;
};

// No glyph is narrower than a pixel, so no more characters than the screen has
// pixel columns can ever be seen from one text. Longer texts (a name of megabytes
// read from a file) are cut to this many before they are measured or drawn.
inline constexpr size_t kMaxTextChars = 800;

class ITextRenderer {
  public:
    virtual ~ITextRenderer() = default;
    // A font handle; the same arguments give the same handle. Sizes are Windows points
    // at 96 dots per inch: the em is points * 96 / 72 pixels (28 points = 37.3 px).
    // Missing families are replaced by substitutes (FontLocator.h); 0 means no font
    // could be opened at all, and then texts measure 0 x 0 and draw nothing.
    virtual int Font(const std::string& family, int points, bool bold) = 0;
    // The family really used for a handle ("" for 0).
    virtual std::string ResolvedFamily(int font) const = 0;
    // Width of the string (cut to kMaxTextChars) and height of the font's line, in pixels.
    virtual TextExtent Measure(int font, const std::string& latin1) = 0;
    // The string (cut to kMaxTextChars) with its top-left corner at (x, y) in colour 0xRRGGBB.
    virtual void Draw(int font, const std::string& latin1, int x, int y, uint32_t rgb) = 0;
};

// SDL_ttf behind ITextRenderer. Rendered strings are kept as textures, the least
// recently drawn dropped first once the cache is full; the cache empties whenever the
// display finalises or restores its textures.
class TtfTextRenderer final : public ITextRenderer {
  public:
    static constexpr size_t kDefaultCacheEntries = 512;
    // The display must outlive the renderer. Without drawing, texts are measured as
    // always but Draw() does nothing (a blind game: nobody sees them).
    explicit TtfTextRenderer(IDisplay& display, size_t cacheEntries = kDefaultCacheEntries,
                             bool drawing = true);
    ~TtfTextRenderer() override;
    TtfTextRenderer(const TtfTextRenderer&) = delete;
    TtfTextRenderer& operator=(const TtfTextRenderer&) = delete;

    int Font(const std::string& family, int points, bool bold) override;
    std::string ResolvedFamily(int font) const override;
    TextExtent Measure(int font, const std::string& latin1) override;
    void Draw(int font, const std::string& latin1, int x, int y, uint32_t rgb) override;

    size_t CachedTexts() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Latin-1 bytes as UTF-8.
std::string Latin1ToUtf8(std::string_view latin1);

} // namespace vorlane
