#include "engine/Sprites.h"

#include "engine/Images.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace vorlane {

namespace {

int ClampToInt(int64_t v) {
    if (v < INT_MIN) return INT_MIN;
    if (v > INT_MAX) return INT_MAX;
    return int(v);
}

// Room for one more element, growing geometrically, so that the push that follows
// cannot throw and leave the tree half-updated.
template <class V> void MakeRoomForOne(V& v) {
    if (v.size() == v.capacity()) v.reserve(std::max<size_t>(4, v.capacity() * 2));
}

bool Overlaps(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

// ---------------------------------------------------------------------------------
// TSprite

TSprite::TSprite(TSprite* parent) : parent_(parent) {
    if (parent == nullptr) return;
    engine_ = parent->engine_ != nullptr ? parent->engine_ : dynamic_cast<TSpriteEngine*>(parent);

    if (!parent->children_) parent->children_ = std::make_unique<Children>();
    Children& c = *parent->children_;
    try {
        MakeRoomForOne(c.created);
        MakeRoomForOne(c.drawn);
    } catch (...) {
        if (c.created.empty()) parent->children_.reset();
        throw;
    }
    c.created.emplace_back(this);
    parent->InsertDrawn(this);
    if (engine_ != nullptr) ++engine_->allCount_;
}

TSprite::~TSprite() {
    DestroyChildren();
    if (parent_ != nullptr && !detached_) {
        // Still in the parent's lists: a derived constructor threw, or the sprite was
        // deleted by hand. Leave the parent without a dangling entry.
        parent_->Detach(this).release();
    }
    if (engine_ != nullptr) {
        auto& dead = engine_->dead_;
        auto it = std::find(dead.rbegin(), dead.rend(), this);
        if (it != dead.rend()) dead.erase(std::next(it).base());
        --engine_->allCount_;
    }
}

void TSprite::InsertDrawn(TSprite* child) {
    auto& drawn = children_->drawn;
    // First place whose depth is >= the new one: the newest of a depth goes under the
    // older ones of the same depth.
    auto at = std::lower_bound(drawn.begin(), drawn.end(), child->z_,
                               [](const TSprite* s, int32_t z) { return s->z_ < z; });
    drawn.insert(at, child);
}

void TSprite::RemoveDrawn(TSprite* child) {
    auto& drawn = children_->drawn;
    auto it = std::lower_bound(drawn.begin(), drawn.end(), child->z_,
                               [](const TSprite* s, int32_t z) { return s->z_ < z; });
    while (it != drawn.end() && (*it)->z_ == child->z_ && *it != child)
        ++it;
    if (it == drawn.end() || *it != child) it = std::find(drawn.begin(), drawn.end(), child);
    if (it != drawn.end()) drawn.erase(it);
}

std::unique_ptr<TSprite> TSprite::Detach(TSprite* child) {
    std::unique_ptr<TSprite> owned;
    if (!children_) return owned;
    auto& created = children_->created;
    for (auto it = created.end(); it != created.begin();) {
        --it;
        if (it->get() == child) {
            owned = std::move(*it);
            created.erase(it);
            break;
        }
    }
    RemoveDrawn(child);
    child->detached_ = true;
    if (created.empty()) children_.reset();
    return owned;
}

void TSprite::DestroyChildren() {
    while (children_) {
        std::unique_ptr<TSprite> last = Detach(children_->created.back().get());
        last.reset();
    }
}

void TSprite::SetZ(int32_t z) {
    if (z == z_) return;
    if (parent_ != nullptr && !detached_ && parent_->children_) {
        parent_->RemoveDrawn(this);
        z_ = z;
        parent_->InsertDrawn(this); // same length as before the removal: no allocation
    } else {
        z_ = z;
    }
}

void TSprite::Kill() {
    if (engine_ == nullptr || killed_) return;
    engine_->dead_.push_back(this);
    killed_ = true;
}

int TSprite::Count() const {
    return children_ ? int(children_->created.size()) : 0;
}

TSprite* TSprite::Items(int index) const {
    char message[80];
    if (!children_) {
        std::snprintf(message, sizeof message, "Index of the list exceeds the range. (%d)", index);
        throw EngineError(message);
    }
    if (index < 0 || size_t(index) >= children_->created.size()) {
        std::snprintf(message, sizeof message, "List index out of bounds (%d)", index);
        throw EngineError(message);
    }
    return children_->created[size_t(index)].get();
}

double TSprite::ScreenX() const {
    return parent_ != nullptr ? X + parent_->ScreenX() : X;
}

double TSprite::ScreenY() const {
    return parent_ != nullptr ? Y + parent_->ScreenY() : Y;
}

Rect TSprite::GetBounds() const {
    Rect r;
    r.left = RoundPos(ScreenX());
    r.top = RoundPos(ScreenY());
    r.right = ClampToInt(int64_t(r.left) + Width);
    r.bottom = ClampToInt(int64_t(r.top) + Height);
    return r;
}

void TSprite::DrawStep() {}

void TSprite::MoveStep(int) {}

void TSprite::MoveAll(int moveCount) {
    MoveStep(moveCount);
    if (!children_) return;
    // The count is taken once: sprites created during the pass wait for the next one.
    const size_t count = children_->created.size();
    for (size_t i = 0; i < count; ++i) {
        // Sprites are never destroyed during a pass; stop rather than run off the list
        // should someone do it anyway.
        if (!children_ || i >= children_->created.size()) break;
        children_->created[i]->MoveAll(moveCount);
    }
}

void TSprite::DrawTree(const Rect& surfaceRect) {
    if (!Visible) return;
    if (engine_ != nullptr && Overlaps(GetBounds(), surfaceRect)) DrawStep();
    if (!children_) return;
    const size_t count = children_->drawn.size();
    for (size_t i = 0; i < count; ++i) {
        if (!children_ || i >= children_->drawn.size()) break;
        children_->drawn[i]->DrawTree(surfaceRect);
    }
}

TSprite* TSprite::SpriteAt(double x, double y) {
    TSprite* result = nullptr;
    if (!children_) return result;
    const double px = x - X;
    const double py = y - Y;
    for (const auto& child : children_->created)
        child->VisitAt(px, py, result);
    return result;
}

void TSprite::VisitAt(double px, double py, TSprite*& result) {
    if (Visible) {
        const int64_t left = RoundPos(X);
        const int64_t top = RoundPos(Y);
        const int64_t x = RoundPos(px);
        const int64_t y = RoundPos(py);
        // All four edges belong to the sprite.
        const bool hit = left <= x && x <= left + Width && top <= y && y <= top + Height;
        if (hit && (result == nullptr || result->z_ < z_)) result = this;
    }
    if (!children_) return;
    for (const auto& child : children_->created)
        child->VisitAt(px - X, py - Y, result);
}

// ---------------------------------------------------------------------------------
// TImageSprite

void TImageSprite::SetImage(TImageItem* item) {
    image_ = item;
    Width = item != nullptr ? item->FrameWidth() : 0;
    Height = item != nullptr ? item->FrameHeight() : 0;
}

void TImageSprite::DrawStep() {
    if (image_ == nullptr || Engine() == nullptr || Engine()->Surface() == nullptr) return;
    const int frame = ClampToInt(int64_t(RoundPos(FramePos)) + FrameStart);
    const Rect bounds = GetBounds();
    // Centre an image smaller or larger than the sprite on it (C++ division truncates
    // toward zero).
    const int x = ClampToInt(int64_t(bounds.left) + (int64_t(Width) - image_->FrameWidth()) / 2);
    const int y = ClampToInt(int64_t(bounds.top) + (int64_t(Height) - image_->FrameHeight()) / 2);
    image_->DrawPattern(*Engine()->Surface(), x, y, frame);
}

void TImageSprite::MoveStep(int moveCount) {
    FramePos += FrameSpeed * moveCount;
    if (FrameLooped) {
        if (FrameCount > 0) {
            const double count = FrameCount;
            const double q = std::nearbyint(FramePos / count);
            FramePos -= q * count;
            if (FramePos < 0) FramePos += count;
            // A tiny negative remainder plus the count can round up to the count itself.
            if (FramePos >= count) FramePos = 0;
        } else {
            FramePos = 0;
        }
    } else {
        if (FramePos >= FrameCount) {
            FramePos = FrameCount - 1;
            FrameSpeed = 0;
        }
        if (FramePos < 0) {
            FramePos = 0;
            FrameSpeed = 0;
        }
    }
}

// ---------------------------------------------------------------------------------
// TBackgroundSprite

void TBackgroundSprite::SetImage(TImageItem* item) {
    image_ = item;
    if (item != nullptr) {
        Width = ClampToInt(int64_t(item->FrameWidth()) * columns_);
        Height = ClampToInt(int64_t(item->FrameHeight()) * rows_);
    } else {
        Width = 0;
        Height = 0;
    }
}

void TBackgroundSprite::SetMapSize(int32_t columns, int32_t rows) {
    if (columns == columns_ && rows == rows_) return;
    if (columns <= 0 || rows <= 0) {
        std::vector<int32_t>().swap(chips_);
        columns_ = 0;
        rows_ = 0;
        return;
    }
    std::vector<int32_t> fresh(size_t(columns) * size_t(rows), 0);
    chips_.swap(fresh);
    columns_ = columns;
    rows_ = rows;
}

int32_t TBackgroundSprite::GetChip(int32_t c, int32_t r) const {
    if (c < 0 || c >= columns_ || r < 0 || r >= rows_) return -1;
    return chips_[size_t(c) + size_t(r) * size_t(columns_)];
}

void TBackgroundSprite::SetChip(int32_t c, int32_t r, int32_t value) {
    if (c < 0 || c >= columns_ || r < 0 || r >= rows_) return;
    chips_[size_t(c) + size_t(r) * size_t(columns_)] = value;
}

Rect TBackgroundSprite::GetBounds() const {
    if (image_ == nullptr) return Rect{};
    Rect r;
    r.left = RoundPos(ScreenX());
    r.top = RoundPos(ScreenY());
    r.right = ClampToInt(int64_t(r.left) + int64_t(image_->FrameWidth()) * columns_);
    r.bottom = ClampToInt(int64_t(r.top) + int64_t(image_->FrameHeight()) * rows_);
    return r;
}

void TBackgroundSprite::DrawStep() {
    if (image_ == nullptr || columns_ <= 0 || rows_ <= 0) return;
    if (Engine() == nullptr || Engine()->Surface() == nullptr) return;
    const int w = image_->FrameWidth();
    const int h = image_->FrameHeight();
    if (w <= 0 || h <= 0) return; // an image without a picture has no chip size
    IDrawSurface& surface = *Engine()->Surface();
    const Rect& view = Engine()->SurfaceRect();

    // Chip columns and rows that can fall on the surface.
    const int nc = (view.right + w) / w + 1;
    const int nr = (view.bottom + h) / h;

    // Whole chips and the remainder, both keeping the sign of the position.
    const int x = RoundPos(ScreenX());
    const int y = RoundPos(ScreenY());
    const int ox = x % w;
    const int oy = y % h;
    int tx = x / w;
    int ty = y / h;
    int sx = 0;
    int sy = 0;
    if (tx < 0) {
        sx = -tx;
        tx = 0;
    }
    if (ty < 0) {
        sy = -ty;
        ty = 0;
    }

    const int64_t colEnd = std::min<int64_t>(int64_t(tx) + columns_ - sx, nc);
    const int64_t rowEnd = std::min<int64_t>(int64_t(ty) + rows_ - sy, int64_t(nr) + 1);
    for (int64_t i = ty; i < rowEnd; ++i) {
        for (int64_t j = tx; j < colEnd; ++j) {
            const int32_t chip = GetChip(int32_t(j + sx - tx), int32_t(i + sy - ty));
            if (chip >= 0) image_->DrawPattern(surface, int(j * w + ox), int(i * h + oy), chip);
        }
    }
}

// ---------------------------------------------------------------------------------
// TSpriteEngine

TSpriteEngine::TSpriteEngine() : TSprite(nullptr) {}

TSpriteEngine::~TSpriteEngine() {
    // The tree goes first, while the dead list it reports to still exists.
    DestroyChildren();
}

void TSpriteEngine::SetSurface(IDrawSurface* surface) {
    surface_ = surface;
    if (surface != nullptr) {
        surfaceRect_ = Rect{0, 0, surface->Width(), surface->Height()};
    } else {
        surfaceRect_ = Rect{};
    }
    Width = surfaceRect_.right;
    Height = surfaceRect_.bottom;
}

void TSpriteEngine::DrawAll() {
    if (surface_ == nullptr) return;
    DrawTree(surfaceRect_);
}

void TSpriteEngine::SweepDead() {
    while (!dead_.empty()) {
        TSprite* victim = dead_.back();
        TSprite* parent = victim->Parent();
        std::unique_ptr<TSprite> owned = parent != nullptr ? parent->Detach(victim) : nullptr;
        if (owned) {
            owned.reset(); // takes it (and its killed children) off the dead list
        } else {
            // Cannot happen for a sprite of this tree; never loop on it.
            dead_.pop_back();
        }
    }
}

} // namespace vorlane
