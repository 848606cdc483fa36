#pragma once
// The sprite tree: every button, car, pedestrian, bonus and the scrolling track is a
// sprite under one TSpriteEngine. The engine moves the tree with the frame's move
// count, draws it in depth order onto the display surface, answers which sprite lies
// under a point, and frees the sprites that asked to die.
//
// Ownership
// ---------
// A parent owns its children; the engine owns the whole tree. A sprite is created by
// handing its parent to the constructor, and the idiom is
//
//     auto* car = engine.Add<TCar>(args...);   // same as new TCar(&engine, args...)
//
// The returned pointer is a plain, non-owning handle. Never delete a sprite: call
// Kill() and the engine frees it at the next SweepDead(). Destroying a sprite
// destroys its whole subtree. (Should a derived constructor throw, the half-built
// sprite takes itself out of its parent again, so nothing dangles.)
//
// A sprite created with no parent belongs to nobody and has no engine; whoever made
// it deletes it.
#include "engine/Surface.h"
#include "engine/Types.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace vorlane {

class TImageItem;
class TSpriteEngine;

class TSprite {
  public:
    explicit TSprite(TSprite* parent);
    virtual ~TSprite();
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    // Creates a T with this sprite as its parent; see the header comment.
    template <class T, class... Args> T* Add(Args&&... args) {
        return new T(this, std::forward<Args>(args)...);
    }

    // Position of the top-left corner relative to the parent, size in pixels.
    double X = 0;
    double Y = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    // An invisible sprite and everything below it is not drawn, and SpriteAt never
    // answers the invisible sprite itself (its children may still be found).
    bool Visible = true;

    TSpriteEngine* Engine() const { return engine_; }
    TSprite* Parent() const { return parent_; }
    bool Killed() const { return killed_; }

    // Depth: higher values are drawn later, on top. Changing it puts the sprite under
    // the siblings that already have the new depth.
    int32_t Z() const { return z_; }
    void SetZ(int32_t z);

    // Marks the sprite for freeing at the engine's next SweepDead. Once only; a killed
    // sprite is still moved, drawn and found until it is swept.
    void Kill();

    // Children in creation order. Items throws EngineError for a bad index.
    int Count() const;
    TSprite* Items(int index) const;

    double ScreenX() const;
    double ScreenY() const;
    // The sprite's rectangle on the surface.
    virtual Rect GetBounds() const;

    // Draws this one sprite; nothing for a plain sprite.
    virtual void DrawStep();
    // This one sprite's per-frame work; nothing for a plain sprite.
    virtual void MoveStep(int moveCount);

    // MoveStep on this sprite, then MoveAll on each child that existed when the pass
    // reached this sprite (sprites made during the pass move from the next frame on).
    void MoveAll(int moveCount);

    // The sprite under the point (in this sprite's parent's coordinates; for the
    // engine, surface pixels): edges included, higher Z wins, on equal Z the first found
    // in creation order. nullptr when none.
    TSprite* SpriteAt(double x, double y);

    // Positions become whole pixels by rounding to nearest, halves to even. Values
    // beyond the int range are clamped, NaN gives 0. Inline: the race rounds thousands
    // of positions a frame.
    static int RoundPos(double v) {
        if (std::isnan(v)) return 0;
        // To the nearest whole number, halves to even (the default rounding mode), as
        // nearbyint does, without a call into the maths library: below 2^52 adding 2^52
        // leaves no bits for a fraction, so the sum is rounded and the difference exact;
        // from 2^52 on every double is whole already.
        constexpr double kNoFractionBits = 4503599627370496.0; // 2^52
        const double magnitude = std::fabs(v);
        const double r = magnitude < kNoFractionBits
                             ? std::copysign((magnitude + kNoFractionBits) - kNoFractionBits, v)
                             : v;
        if (r <= double(INT_MIN)) return INT_MIN;
        if (r >= double(INT_MAX)) return INT_MAX;
        return int(r);
    }

  protected:
    // Draw-order pass of DrawAll over this sprite and its subtree.
    void DrawTree(const Rect& surfaceRect);
    // Destroys the children, last created first.
    void DestroyChildren();

  private:
    friend class TSpriteEngine;

    struct Children {
        std::vector<std::unique_ptr<TSprite>> created; // creation order, owning
        std::vector<TSprite*> drawn;                   // ascending Z
    };

    void InsertDrawn(TSprite* child);
    void RemoveDrawn(TSprite* child);
    // Takes child out of both lists and gives back its ownership.
    std::unique_ptr<TSprite> Detach(TSprite* child);
    void VisitAt(double px, double py, TSprite*& result);

    TSpriteEngine* engine_ = nullptr;
    TSprite* parent_ = nullptr;
    std::unique_ptr<Children> children_; // absent while there are no children
    bool killed_ = false;
    bool detached_ = false; // taken out of the parent's lists on the way to destruction
    int32_t z_ = 0;
};

// A sprite that draws one frame of an image item, with a frame animation.
class TImageSprite : public TSprite {
  public:
    explicit TImageSprite(TSprite* parent) : TSprite(parent) {}

    int32_t FrameCount = 0;
    bool FrameLooped = false;
    double FramePos = 0;
    double FrameSpeed = 0;  // frames per unit of move count
    int32_t FrameStart = 0; // added to the frame number when drawing

    TImageItem* Image() const { return image_; }
    // Sets the image; Width and Height become its frame size (0 x 0 for none).
    void SetImage(TImageItem* item);

    // Draws frame round(FramePos) + FrameStart centred on the sprite's rectangle.
    void DrawStep() override;
    // Advances the animation: looped animations wrap into [0, FrameCount), others stop
    // on their last (or first) frame with FrameSpeed 0.
    void MoveStep(int moveCount) override;

  private:
    TImageItem* image_ = nullptr;
};

// A grid of chips, each chip a frame of one image: the scrolling track.
class TBackgroundSprite : public TSprite {
  public:
    explicit TBackgroundSprite(TSprite* parent) : TSprite(parent) {}

    TImageItem* Image() const { return image_; }
    // Sets the image; Width and Height become the chip size times the grid size.
    void SetImage(TImageItem* item);

    int32_t MapColumns() const { return columns_; }
    int32_t MapRows() const { return rows_; }
    // Same size: nothing happens. A value <= 0 in either: no grid. Otherwise a new
    // grid with every chip 0.
    void SetMapSize(int32_t columns, int32_t rows);
    // -1 outside the grid.
    int32_t GetChip(int32_t c, int32_t r) const;
    // Ignored outside the grid. A chip below 0 draws nothing.
    void SetChip(int32_t c, int32_t r, int32_t value);

    Rect GetBounds() const override;
    // Draws the chips that fall on the surface.
    void DrawStep() override;

  private:
    TImageItem* image_ = nullptr;
    int32_t columns_ = 0;
    int32_t rows_ = 0;
    std::vector<int32_t> chips_; // row-major, cell (c, r) at c + r * columns
};

// The root of the sprite tree.
class TSpriteEngine : public TSprite {
  public:
    TSpriteEngine();
    ~TSpriteEngine() override;

    // The surface to draw on (nullptr until the display is initialised). Width and
    // Height become the surface size, SurfaceRect its rectangle.
    void SetSurface(IDrawSurface* surface);
    IDrawSurface* Surface() const { return surface_; }
    const Rect& SurfaceRect() const { return surfaceRect_; }

    // Draws the tree in depth order, culling sprites that do not overlap the surface.
    // Nothing while there is no surface.
    void DrawAll();
    // Frees the killed sprites, the last killed first.
    void SweepDead();

    // Sprites killed and not yet freed.
    int DeadCount() const { return int(dead_.size()); }
    // Every sprite in the tree below the engine.
    int AllCount() const { return allCount_; }

  private:
    friend class TSprite;

    IDrawSurface* surface_ = nullptr;
    Rect surfaceRect_;
    std::vector<TSprite*> dead_; // in the order of their Kill
    int allCount_ = 0;
};

} // namespace vorlane
