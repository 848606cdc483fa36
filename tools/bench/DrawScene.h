#pragma once
// A race-like scene for the drawing benchmark and the demo: an image archive made
// with the engine's writer (tiles, cars, two full-screen backgrounds), and a sprite
// tree of a chip grid with plain, rotated and blended sprites over it.
#include "engine/ArchiveWriter.h"
#include "engine/Images.h"
#include "engine/Sprites.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace vorlane::bench {

inline uint32_t Argb(int a, int r, int g, int b) {
    return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

// 64 tiles of 72x72 in an 8x8 sheet: asphalt shades with lane marks, verges, kerbs.
inline RgbaImage TileSheet() {
    RgbaImage sheet(8 * 72, 8 * 72);
    for (int n = 0; n < 64; ++n) {
        const int ox = (n % 8) * 72, oy = (n / 8) * 72;
        const bool verge = n % 5 == 4;
        for (int y = 0; y < 72; ++y)
            for (int x = 0; x < 72; ++x) {
                const int grain = ((x * 7 + y * 13 + n * 5) % 11) - 5;
                uint32_t c = verge ? Argb(255, 40 + grain, 120 + grain * 2, 45)
                                   : Argb(255, 58 + grain, 60 + grain, 66 + grain);
                if (!verge && x >= 34 && x < 38 && (y % 36) < 20) c = Argb(255, 235, 235, 225); // lane mark
                if (verge && x < 6)
                    c = ((y / 9) % 2) ? Argb(255, 220, 30, 30) : Argb(255, 240, 240, 240); // kerb
                sheet.At(ox + x, oy + y) = c;
            }
    }
    return sheet;
}

// A car seen from above with soft alpha edges; `hue` picks the body colour.
inline RgbaImage CarPicture(int w, int h, int hue) {
    RgbaImage car(w, h, 0);
    const int r = 60 + (hue * 70) % 190, g = 40 + (hue * 110) % 200, b = 50 + (hue * 150) % 200;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Distance to a rounded rectangle body.
            const double dx = std::max(0.0, std::abs(x + 0.5 - w / 2.0) - (w / 2.0 - 10));
            const double dy = std::max(0.0, std::abs(y + 0.5 - h / 2.0) - (h / 2.0 - 10));
            const double d = std::sqrt(dx * dx + dy * dy) - 8;
            if (d > 1) continue;
            const int a = d < 0 ? 255 : int(255 * (1 - d));
            uint32_t c = Argb(a, r, g, b);
            const bool windscreen = y > h * 0.22 && y < h * 0.36 && std::abs(x - w / 2) < w / 2 - 9;
            const bool rear = y > h * 0.74 && y < h * 0.82 && std::abs(x - w / 2) < w / 2 - 11;
            if (windscreen || rear) c = Argb(a, 30, 40, 60);
            if (y < 6 && std::abs(std::abs(x - w / 2) - w / 3) < 4) c = Argb(a, 255, 250, 200); // lights
            car.At(x, y) = c;
        }
    return car;
}

inline RgbaImage Backdrop(int seed) {
    RgbaImage bg(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            bg.At(x, y) = Argb(255, (x * 3 + seed) % 256, (y * 5 + seed * 7) % 256, ((x ^ y) + seed) % 256);
    return bg;
}

// About 4 MB: the two backdrops as 24-bit DIBs, the tile sheet as a 32-bit one, cars
// as PNGs.
inline std::vector<uint8_t> SceneArchive() {
    std::vector<ImageRecord> items;
    ImageRecord tiles;
    tiles.name = "Tiles";
    tiles.patternWidth = tiles.patternHeight = 72;
    tiles.transparent = false;
    tiles.picture = EncodeDibPicture(TileSheet(), 32);
    items.push_back(tiles);
    for (int i = 1; i <= 6; ++i) {
        ImageRecord car;
        car.name = "Car" + std::to_string(i);
        car.transparent = false;
        car.picture = EncodePngPicture(CarPicture(60 + i * 2, 140 + i * 3, i));
        items.push_back(car);
    }
    for (int i = 1; i <= 2; ++i) {
        ImageRecord bg;
        bg.name = "Backdrop" + std::to_string(i);
        bg.transparent = false;
        bg.picture = EncodeDibPicture(Backdrop(i * 40), 24);
        items.push_back(bg);
    }
    return WriteImageArchive("SceneImages", items);
}

// A sprite drawn turned about its centre by Angle (256ths of a turn).
class TurningSprite : public TImageSprite {
  public:
    using TImageSprite::TImageSprite;
    int Angle = 0;
    int Spin = 0; // 256ths per move
    void DrawStep() override {
        if (!Image() || !Engine() || !Engine()->Surface()) return;
        Image()->DrawPatternRotated(*Engine()->Surface(), RoundPos(ScreenX() + Width / 2.0),
                                    RoundPos(ScreenY() + Height / 2.0), Width, Height, 0, 0.5, 0.5, Angle);
    }
    void MoveStep(int moveCount) override { Angle = (Angle + Spin * moveCount) & 255; }
};

// A sprite drawn blended with Alpha.
class FadingSprite : public TImageSprite {
  public:
    using TImageSprite::TImageSprite;
    int Alpha = 128;
    void DrawStep() override {
        if (!Image() || !Engine() || !Engine()->Surface()) return;
        const int x = RoundPos(ScreenX()), y = RoundPos(ScreenY());
        Image()->DrawPatternAlpha(*Engine()->Surface(), Rect{x, y, x + Width, y + Height}, 0, Alpha);
    }
};

// The chip grid (13 x 10 chips fall on the 800 x 600 surface) and 60 sprites: 30
// plain, 20 rotated, 10 blended.
struct Scene {
    TBackgroundSprite* track = nullptr;
    std::vector<TurningSprite*> turning;

    Scene(TSpriteEngine& engine, TImageCollection& images) {
        track = engine.Add<TBackgroundSprite>();
        track->SetImage(&images.FindImage("Tiles"));
        track->SetMapSize(20, 40);
        for (int r = 0; r < 40; ++r)
            for (int c = 0; c < 20; ++c)
                track->SetChip(c, r, (c == 2 || c == 10) ? 4 + 5 * (r % 3) : (c * 3 + r) % 60);
        track->X = -30;
        track->Y = -1200;
        track->SetZ(0);
        for (int i = 0; i < 60; ++i) {
            TImageItem& car = images.FindImage("Car" + std::to_string(1 + i % 6));
            TImageSprite* s;
            if (i < 30) {
                s = engine.Add<TImageSprite>();
            } else if (i < 50) {
                auto* t = engine.Add<TurningSprite>();
                t->Angle = i * 13;
                t->Spin = (i % 2) ? 1 : -1;
                turning.push_back(t);
                s = t;
            } else {
                auto* f = engine.Add<FadingSprite>();
                f->Alpha = 60 + i * 3;
                s = f;
            }
            s->SetImage(&car);
            s->X = (i * 97) % 740 - 20;
            s->Y = (i * 53) % 520 - 40;
            s->SetZ(1 + i % 3);
        }
    }
};

} // namespace vorlane::bench
