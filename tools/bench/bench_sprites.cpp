// The sprite engine's share of a frame: MoveAll and DrawAll over a crowded tree, with
// a surface that draws nothing, so the figures are the engine's own cost (tree walk,
// animation, culling, pattern lookup).
#include "engine/Images.h"
#include "engine/Sprites.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace vorlane;

class NullSurface : public IDrawSurface {
  public:
    struct Texture : ITexture {
        int Width() const override { return 64; }
        int Height() const override { return 64; }
    };
    int Width() const override { return 800; }
    int Height() const override { return 600; }
    std::unique_ptr<ITexture> CreateTexture(const RgbaImage&) override { return std::make_unique<Texture>(); }
    void Draw(ITexture&, const Rect&, int, int) override { ++draws; }
    void DrawAlpha(ITexture&, const Rect&, const Rect&, int) override {}
    void DrawRotated(ITexture&, const Rect&, double, double, int, int, double, double, double) override {}
    long draws = 0;
};

// A car-like sprite: drifts down the world and wraps around to its top, animating as
// it goes.
class Drifter : public TImageSprite {
  public:
    Drifter(TSprite* parent, TImageItem* image, double x, double y, int z, double top, double span)
        : TImageSprite(parent), top_(top), span_(span) {
        SetImage(image);
        X = x;
        Y = y;
        SetZ(z);
        FrameCount = 8;
        FrameLooped = true;
        FrameSpeed = 0.01;
    }
    void MoveStep(int moveCount) override {
        TImageSprite::MoveStep(moveCount);
        Y += 0.05 * moveCount;
        if (Y > top_ + span_) Y -= span_;
    }

  private:
    double top_, span_;
};

// 2 000 sprites of 32 x 32 spread over a world of worldW x worldH pixels starting at
// (-32, -32); the surface shows 0..800 x 0..600 of it.
void MoveAndDraw(benchmark::State& state, int worldW, int worldH) {
    NullSurface surface;
    TImageItem image;
    image.Picture = RgbaImage(8 * 32, 32, 0xFF808080u);
    image.HasPicture = true;
    image.PatternWidth = 32;
    image.PatternHeight = 32;
    image.Prepare(surface);

    TSpriteEngine engine;
    engine.SetSurface(&surface);
    uint32_t seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % uint32_t(n));
    };
    const int count = 2000;
    for (int i = 0; i < count; ++i) {
        engine.Add<Drifter>(&image, double(next(worldW) - 32), double(next(worldH) - 32), next(20), -32.0,
                            double(worldH));
    }

    for (auto _ : state) {
        engine.DrawAll();
        engine.MoveAll(12);
        engine.SweepDead();
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["drawn/frame"] = benchmark::Counter(double(surface.draws) / double(state.iterations()));
}

void BM_MoveDraw_MostlyOffScreen(benchmark::State& state) {
    MoveAndDraw(state, 4000, 3600);
}
void BM_MoveDraw_OnScreen(benchmark::State& state) {
    MoveAndDraw(state, 800, 600);
}

BENCHMARK(BM_MoveDraw_MostlyOffScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveDraw_OnScreen)->Unit(benchmark::kMicrosecond);

} // namespace
