#pragma once
// The image lists: named pictures loaded from an image archive, each cut into equal
// rectangles (patterns: animation frames, tiles, button looks) that the game draws
// one at a time by number.
//
// A picture is always kept in memory; while the display is initialised every item
// also holds a texture of its picture with the colour key applied ("prepared").
#include "engine/Surface.h"
#include "engine/Types.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vorlane {

struct ImageItemData;

class TImageItem {
  public:
    TImageItem() = default;
    explicit TImageItem(ImageItemData&& data);
    TImageItem(TImageItem&&) noexcept = default;
    TImageItem& operator=(TImageItem&&) noexcept = default;

    std::string Name;
    int32_t PatternWidth = 0;  // 0: the whole picture width
    int32_t PatternHeight = 0; // 0: the whole picture height
    int32_t SkipWidth = 0;     // gap between two pattern columns
    int32_t SkipHeight = 0;    // gap between two pattern rows
    bool Transparent = true;
    uint32_t TransparentColor = 0; // the colour key, 0x00BBGGRR
    bool SystemMemory = false;     // storage hint, no effect on drawing
    RgbaImage Picture;
    bool HasPicture = false;

    // PatternWidth when above 0, else the picture's width; likewise the height.
    int FrameWidth() const;
    int FrameHeight() const;
    // Number of patterns the picture cuts into (0 without a picture). The cut depends
    // only on the sizes, so the answer is the same before and after Prepare.
    int PatternTotal() const;
    // Pattern n's rectangle in the picture; an empty rectangle when n is out of range.
    Rect PatternRect(int n) const;
    bool Prepared() const { return texture_ != nullptr; }

    // Makes the texture (colour key applied) on the surface; the item remembers the
    // surface to re-key later. Nothing for an item without a picture.
    void Prepare(IDrawSurface& surface);
    void Unprepare();
    // Changes the colour key (or whether it applies) and re-keys a prepared item.
    void SetTransparentColor(uint32_t c);
    void SetTransparent(bool transparent);

    // The picture as it goes to the display: colour-key pixels made fully transparent
    // when Transparent; a picture's own alpha is kept.
    RgbaImage KeyedPicture() const;

    // Draw calls do nothing when the item is not prepared or n is out of range.
    void DrawPattern(IDrawSurface& s, int x, int y, int n);
    // Scaled into dst and blended; alpha <= 0 draws nothing, 255 and above is opaque.
    void DrawPatternAlpha(IDrawSurface& s, const Rect& dst, int n, int alpha);
    // Scaled to width x height and turned clockwise by angle 256ths of a turn about the
    // point (pivotX * width, pivotY * height) of the scaled pattern, which lands on (x, y).
    void DrawPatternRotated(IDrawSurface& s, int x, int y, int width, int height, int n, double pivotX,
                            double pivotY, int angle);

  private:
    std::unique_ptr<ITexture> texture_;
    IDrawSurface* surface_ = nullptr; // the surface of the texture, while prepared
};

class TImageCollection {
  public:
    // Replaces the items with those of the archive file; prepares them when the
    // display is initialised. On any error the collection stays as it was and the
    // message names the file ("Data/Res/Res1.gfx: Stream read error").
    void LoadArchive(const std::string& path);
    void LoadFromBytes(const std::vector<uint8_t>& bytes, const std::string& nameForMessages);

    // Case-insensitive; of several items with one name the later in the file wins.
    // Throws "Image '%s' not found in <archive>" naming the file last loaded.
    TImageItem& FindImage(const std::string& name);
    TImageItem* Find(const std::string& name) noexcept;

    size_t Count() const { return items_.size(); }
    TImageItem& Item(size_t i); // throws EngineError for a bad index
    // The stored 256-entry colour table (blue, green, red, 0); kept, never used.
    const std::array<uint8_t, 1024>& ColorTable() const { return colorTable_; }

    // Display notifications: initialised prepares every item, finalised unprepares
    // them, restored makes the textures again.
    void DisplayInitialised(IDrawSurface& s);
    void DisplayFinalised();
    void DisplayRestored(IDrawSurface& s);
    bool DisplayReady() const { return surface_ != nullptr; }

  private:
    std::vector<std::unique_ptr<TImageItem>> items_; // stable addresses for the game's references
    std::unordered_map<std::string, size_t> index_;  // lower-cased name -> item
    std::array<uint8_t, 1024> colorTable_{};
    IDrawSurface* surface_ = nullptr;
    std::string source_; // the archive the items came from, for messages
};

// Lower case for name lookups (ASCII letters; other bytes unchanged).
std::string LowerName(const std::string& name);

} // namespace vorlane
