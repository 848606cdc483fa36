// Image items and the image list: pattern cutting, the colour key, the three ways the
// game draws a pattern, and loading an archive into the list.
#include "engine/Images.h"

#include "engine/ArchiveReader.h"
#include "engine/MessageText.h"

#include <algorithm>
#include <new>
#include <optional>

namespace vorlane {

std::string LowerName(const std::string& name) {
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return lower;
}

// ---------------------------------------------------------------- TImageItem

TImageItem::TImageItem(ImageItemData&& data)
    : Name(std::move(data.name)), PatternWidth(data.patternWidth), PatternHeight(data.patternHeight),
      SkipWidth(data.skipWidth), SkipHeight(data.skipHeight), Transparent(data.transparent),
      TransparentColor(data.transparentColor), SystemMemory(data.systemMemory),
      Picture(std::move(data.picture)), HasPicture(data.hasPicture && !Picture.Empty()) {}

int TImageItem::FrameWidth() const {
    return PatternWidth > 0 ? PatternWidth : Picture.width;
}
int TImageItem::FrameHeight() const {
    return PatternHeight > 0 ? PatternHeight : Picture.height;
}

namespace {

// Columns and rows of the cut; zero when the pattern does not fit at all.
struct Grid {
    int64_t columns = 0, rows = 0, pitchX = 0, pitchY = 0;
    bool whole = false; // one pattern, the whole picture
};

} // namespace

static Grid CutGrid(const TImageItem& item) {
    Grid g;
    if (!item.HasPicture || item.Picture.Empty()) return g;
    const int64_t fw = item.FrameWidth(), fh = item.FrameHeight();
    if (fw == item.Picture.width && fh == item.Picture.height) {
        g.columns = g.rows = 1;
        g.whole = true;
        return g;
    }
    g.pitchX = fw + int64_t(item.SkipWidth);
    g.pitchY = fh + int64_t(item.SkipHeight);
    if (g.pitchX <= 0 || g.pitchY <= 0) return g; // gaps that swallow the pattern: nothing to cut
    g.columns = std::max<int64_t>(0, (item.Picture.width + int64_t(item.SkipWidth)) / g.pitchX);
    g.rows = std::max<int64_t>(0, (item.Picture.height + int64_t(item.SkipHeight)) / g.pitchY);
    if (g.columns == 0 || g.rows == 0) g.columns = g.rows = 0;
    return g;
}

int TImageItem::PatternTotal() const {
    Grid g = CutGrid(*this);
    return int(std::min<int64_t>(g.columns * g.rows, INT32_MAX));
}

Rect TImageItem::PatternRect(int n) const {
    Grid g = CutGrid(*this);
    if (n < 0 || n >= g.columns * g.rows) return {};
    if (g.whole) return {0, 0, Picture.width, Picture.height};
    const int64_t left = (n % g.columns) * g.pitchX, top = (n / g.columns) * g.pitchY;
    return {int(left), int(top), int(left + FrameWidth()), int(top + FrameHeight())};
}

namespace {

// The colour key as the picture's 0xRRGGBB; nothing when no key applies. Only a plain
// colour (no system colour, no "none") can be a key.
std::optional<uint32_t> PictureKey(const TImageItem& item) {
    if (!item.Transparent || (item.TransparentColor & 0xFF000000u) != 0) return std::nullopt;
    const uint32_t c = item.TransparentColor; // 0x00BBGGRR
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

} // namespace

RgbaImage TImageItem::KeyedPicture() const {
    RgbaImage keyed = Picture;
    if (const auto key = PictureKey(*this)) KeyPixels(keyed.pixels.data(), keyed.pixels.size(), *key);
    return keyed;
}

void TImageItem::Prepare(IDrawSurface& surface) {
    Unprepare();
    if (!HasPicture || Picture.Empty()) return;
    // Keyed as the texture is filled: no keyed copy of the picture is made.
    const auto key = PictureKey(*this);
    texture_ = key ? surface.CreateKeyedTexture(Picture, *key) : surface.CreateTexture(Picture);
    if (texture_) surface_ = &surface;
}

void TImageItem::Unprepare() {
    texture_.reset();
    surface_ = nullptr;
}

void TImageItem::SetTransparentColor(uint32_t c) {
    TransparentColor = c;
    if (surface_) Prepare(*surface_);
}

void TImageItem::SetTransparent(bool transparent) {
    Transparent = transparent;
    if (surface_) Prepare(*surface_);
}

void TImageItem::DrawPattern(IDrawSurface& s, int x, int y, int n) {
    if (!Prepared()) return;
    // No rectangle for a pattern number outside the picture.
    const Rect src = PatternRect(n);
    if (src.Empty()) return;
    s.Draw(*texture_, src, x, y);
}

void TImageItem::DrawPatternAlpha(IDrawSurface& s, const Rect& dst, int n, int alpha) {
    if (!Prepared() || alpha <= 0 || dst.Empty()) return;
    const Rect src = PatternRect(n);
    if (src.Empty()) return;
    s.DrawAlpha(*texture_, src, dst, std::min(alpha, 255));
}

void TImageItem::DrawPatternRotated(IDrawSurface& s, int x, int y, int width, int height, int n,
                                    double pivotX, double pivotY, int angle) {
    if (!Prepared() || width <= 0 || height <= 0) return;
    const Rect src = PatternRect(n);
    if (src.Empty()) return;
    // 256ths of a turn, clockwise; the table of 256 steps means only angle mod 256 counts.
    const int step = ((angle % 256) + 256) % 256;
    const double degrees = step * 360.0 / 256.0;
    s.DrawRotated(*texture_, src, x, y, width, height, pivotX * width, pivotY * height, degrees);
}

// ---------------------------------------------------------------- TImageCollection

void TImageCollection::LoadArchive(const std::string& path) {
    std::vector<uint8_t> bytes = ReadWholeFile(path);
    LoadFromBytes(bytes, path);
}

void TImageCollection::LoadFromBytes(const std::vector<uint8_t>& bytes, const std::string& nameForMessages) {
    ImageArchiveData archive;
    try {
        archive = ReadImageArchiveData(bytes);
    } catch (const EngineError& e) {
        throw EngineError(MessageWithFile(nameForMessages, e.what()));
    } catch (const std::bad_alloc&) {
        throw EngineError(MessageWithFile(nameForMessages, "Out of memory"));
    }

    std::vector<std::unique_ptr<TImageItem>> items;
    std::unordered_map<std::string, size_t> index;
    items.reserve(archive.items.size());
    for (ImageItemData& data : archive.items) {
        items.push_back(std::make_unique<TImageItem>(std::move(data)));
        index[LowerName(items.back()->Name)] = items.size() - 1; // a later item of the same name wins
    }
    items_ = std::move(items);
    index_ = std::move(index);
    colorTable_ = archive.colorTable;
    source_ = nameForMessages;
    if (surface_)
        for (auto& item : items_)
            item->Prepare(*surface_);
}

TImageItem* TImageCollection::Find(const std::string& name) noexcept {
    try {
        auto it = index_.find(LowerName(name));
        return it == index_.end() ? nullptr : items_[it->second].get();
    } catch (...) {
        return nullptr;
    }
}

TImageItem& TImageCollection::FindImage(const std::string& name) {
    TImageItem* item = Find(name);
    if (!item) {
        // The game has two archives: the message says which one was asked.
        throw EngineError("Image '" + ExcerptForMessage(name) + "' not found in " +
                          (source_.empty() ? std::string("an empty image list") : source_));
    }
    return *item;
}

TImageItem& TImageCollection::Item(size_t i) {
    if (i >= items_.size()) throw EngineError("Image index " + std::to_string(i) + " out of range");
    return *items_[i];
}

void TImageCollection::DisplayInitialised(IDrawSurface& s) {
    surface_ = &s;
    for (auto& item : items_)
        item->Prepare(s);
}

void TImageCollection::DisplayFinalised() {
    for (auto& item : items_)
        item->Unprepare();
    surface_ = nullptr;
}

void TImageCollection::DisplayRestored(IDrawSurface& s) {
    DisplayInitialised(s);
}

} // namespace vorlane
