#pragma once
// Helpers for the sprite tests: a surface that records every pattern drawn on it, an
// image item cut into square patterns, and a sprite that logs its steps.
#include "engine/Images.h"
#include "engine/Sprites.h"

#include <memory>
#include <string>
#include <vector>

namespace vorlane::testing {

class RecordingSurface : public IDrawSurface {
  public:
    struct Texture : ITexture {
        int w, h;
        Texture(int width, int height) : w(width), h(height) {}
        int Width() const override { return w; }
        int Height() const override { return h; }
    };
    struct Call {
        const ITexture* texture;
        Rect src;
        int x, y;
    };

    RecordingSurface(int width = 800, int height = 600) : w(width), h(height) {}
    int Width() const override { return w; }
    int Height() const override { return h; }
    std::unique_ptr<ITexture> CreateTexture(const RgbaImage& picture) override {
        return std::make_unique<Texture>(picture.width, picture.height);
    }
    void Draw(ITexture& texture, const Rect& src, int x, int y) override {
        draws.push_back(Call{&texture, src, x, y});
    }
    void DrawAlpha(ITexture&, const Rect&, const Rect&, int) override {}
    void DrawRotated(ITexture&, const Rect&, double, double, int, int, double, double, double) override {}

    int w, h;
    std::vector<Call> draws;
};

// A picture of count patterns of size x size side by side, prepared on the surface.
inline std::unique_ptr<TImageItem> StripImage(IDrawSurface& surface, int size, int count) {
    auto item = std::make_unique<TImageItem>();
    item->Picture = RgbaImage(size * count, size, 0xFFFFFFFFu);
    item->HasPicture = true;
    item->PatternWidth = size;
    item->PatternHeight = size;
    item->Prepare(surface);
    return item;
}

// A plain sprite that writes its name into a shared log when drawn or moved.
class LogSprite : public TSprite {
  public:
    LogSprite(TSprite* parent, std::string name, std::vector<std::string>& log, double x = 0, double y = 0,
              int w = 10, int h = 10)
        : TSprite(parent), Name(std::move(name)), log_(log) {
        X = x;
        Y = y;
        Width = w;
        Height = h;
    }
    ~LogSprite() override { log_.push_back("~" + Name); }
    void DrawStep() override { log_.push_back(Name); }
    void MoveStep(int moveCount) override { log_.push_back(Name + ":" + std::to_string(moveCount)); }

    std::string Name;

  private:
    std::vector<std::string>& log_;
};

} // namespace vorlane::testing
