#include "datagen/race/TrackPreview.h"

#include "datagen/common/Canvas.h"
#include "datagen/common/Paint.h"
#include "datagen/common/Picture.h"
#include "datagen/race/RaceGeometry.h"
#include "datagen/race/RacePictures.h"
#include "datagen/race/TileSet.h"
#include "engine/Random.h"
#include "sim/LevelTable.h"
#include "sim/TrackGenerator.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

namespace vorlane::datagen::race {
namespace {

// The race pictures by name, each as a cairo surface with its pattern size.
class PictureBook {
  public:
    PictureBook() {
        for (GeneratedPicture& p : DrawRacePictures()) {
            Entry e;
            e.width = p.patternWidth > 0 ? p.patternWidth : p.image.width;
            e.height = p.patternHeight > 0 ? p.patternHeight : p.image.height;
            e.surface = ImageToSurface(p.image);
            entries_[p.name] = e;
        }
    }
    ~PictureBook() {
        for (auto& [name, e] : entries_)
            cairo_surface_destroy(e.surface);
    }
    PictureBook(const PictureBook&) = delete;
    PictureBook& operator=(const PictureBook&) = delete;

    int Width(const std::string& name) const { return Get(name).width; }
    int Height(const std::string& name) const { return Get(name).height; }

    // Pattern n with its top-left corner at (x, y), as the engine's pattern draw.
    void Draw(cairo_t* cr, const std::string& name, int n, double x, double y) const {
        const Entry& e = Get(name);
        cairo_save(cr);
        cairo_rectangle(cr, x, y, e.width, e.height);
        cairo_clip(cr);
        cairo_set_source_surface(cr, e.surface, x, y - double(n) * e.height);
        cairo_paint(cr);
        cairo_restore(cr);
    }

    // Pattern n turned clockwise by angle (256ths of a turn) about the point (pivotX *
    // width, pivotY * height) of the pattern, which lands on (x, y).
    void DrawRotated(cairo_t* cr, const std::string& name, int n, double x, double y, double pivotX,
                     double pivotY, double angle) const {
        const Entry& e = Get(name);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, angle * 2 * M_PI / 256);
        cairo_translate(cr, -pivotX * e.width, -pivotY * e.height);
        Draw(cr, name, n, 0, 0);
        cairo_restore(cr);
    }

  private:
    struct Entry {
        cairo_surface_t* surface = nullptr;
        int width = 0, height = 0;
    };
    const Entry& Get(const std::string& name) const {
        auto it = entries_.find(name);
        if (it == entries_.end()) throw std::runtime_error("track preview: no picture " + name);
        return it->second;
    }
    std::map<std::string, Entry> entries_;
};

// Opponent kinds: x offsets going down and up, as the race lays them.
constexpr int kOffsetDown[5] = {-14, -24, 4, -18, -55};
constexpr int kOffsetUp[5] = {-14, -24, 36, -6, -40};

struct View {
    int mapCol = 0, mapRow = 0;
    double x = 0, y = -30; // the background's offset
    double ScreenX(double worldX) const { return worldX - mapCol * kTile + x; }
    double ScreenY(double worldY) const { return worldY - mapRow * kTile + y; }
};

bool IsLane(int t) {
    return (t >= 1 && t <= 22) || (t >= 33 && t <= 35);
}

// A view on a stretch of road that is not plain straight: the seed picks one of the
// places whose screen shows a shift, split, merge, median or widening.
View ChooseView(const TrackMap& map, int trackLength, uint32_t seed) {
    std::vector<View> candidates;
    for (int row = 1500 - trackLength + 2; row <= kMaxMapRow - 2; row += 3) {
        int sum = 0, count = 0;
        for (int c = 1; c <= kMapCols; ++c)
            if (IsLane(map.At(row + 5, c))) {
                sum += c;
                ++count;
            }
        if (count == 0) continue;
        const int centre = (sum + count / 2) / count;
        View v;
        v.mapRow = row;
        v.mapCol = std::clamp(centre - 4, 0, kMaxMapCol);
        int special = 0;
        for (int r = row + 2; r < row + 7; ++r)
            for (int c = v.mapCol; c < v.mapCol + 9; ++c) {
                const int t = map.At(r, c);
                special += (t >= 5 && t <= 22) || (t >= 33 && t <= 35);
            }
        if (special > 0) candidates.push_back(v);
    }
    if (candidates.empty()) throw std::runtime_error("track preview: the road never leaves the straight");
    TRandom pick(seed ^ 0x5EEDu);
    return candidates[size_t(pick.Random(int(candidates.size())))];
}

// Where the left-most (or right-most) road of a map row has its cross-section origin,
// at world y.
bool RoadOrigin(const TrackMap& map, double worldY, bool rightMost, double& originX) {
    const int row = int(worldY) / kTile;
    const double localY = worldY - row * kTile;
    for (int k = 1; k <= kMapCols; ++k) {
        const int c = rightMost ? kMapCols + 1 - k : k;
        double o;
        if (RoadOriginInTile(map.At(row, c), localY, o)) {
            originX = c * kTile + o;
            return true;
        }
    }
    return false;
}

// The direction the race gives an opponent from the tiles beside its centre.
int LaneDirection(const TrackMap& map, double x, double y, int kind, bool up) {
    const int cx = kCarHalfWidth[size_t(kind + 5)], cy = kCarHalfHeight[size_t(kind + 5)];
    auto tile = [&](double px) {
        return int(map.TileAtWorld(int(std::lround(px)), int(std::lround(y + cy))));
    };
    const int L = tile(x + cx - 72), M = tile(x + cx), R = tile(x + cx + 72);
    int d = up ? 3 : 4;
    if (up) {
        if (L == 15 && M == 14) d = 1;
        if (M == 7 && R == 8) d = 2;
        if (M == 3 && R == 4) d = 3;
    } else {
        if (L == 9 && M == 10) d = 5;
        if (M == 19 && R == 18) d = 6;
        if (M == 2 && L == 1) d = 4;
    }
    return d;
}

void LcdText(cairo_t* cr, const std::string& text, double cx, double cy, double points = 22) {
    // The race's text style 18: the LCD face in green, 22 points at 96 dots per inch,
    // centred both ways on its point (the level line, style 16, is 17 points).
    cairo_select_font_face(cr, "DSEG14 Classic", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, points * 96.0 / 72);
    cairo_text_extents_t e;
    cairo_font_extents_t f;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_font_extents(cr, &f);
    const double h = f.ascent + f.descent;
    cairo_move_to(cr, std::trunc(cx - e.x_advance / 2), std::trunc(cy - h / 2) + f.ascent);
    cairo_set_source_rgb(cr, 42 / 255.0, 1, 0);
    cairo_show_text(cr, text.c_str());
}

} // namespace

RgbaImage RenderTrackPreview(uint32_t seed, int level) {
    const LevelParams params = LevelParameters(level);
    TrackMap map;
    TRandom rng(seed);
    BuildTrack(map, rng, params.TrackLength);
    const PictureBook book;
    const View view = ChooseView(map, params.TrackLength, seed);

    Canvas canvas(800, 600);
    cairo_t* cr = canvas.cr();
    // The background's 13 x 10 chips.
    for (int r = 0; r < kViewRows; ++r)
        for (int c = 0; c < kViewCols; ++c)
            book.Draw(cr, "Tiles", map.At(view.mapRow + r, view.mapCol + c), view.x + c * kTile,
                      view.y + r * kTile);

    // Bonuses: on lanes 2 and 3 of the rows of a straight road, every third row.
    for (int r = view.mapRow; r < view.mapRow + kViewRows; ++r) {
        if (r % 3 != 0) continue;
        for (int c = view.mapCol; c < view.mapCol + kViewCols; ++c)
            if (map.At(r, c) == 1) {
                static const char* kinds[8] = {"Bonus10", "Bonus20", "Bonus50",   "Bonus100",
                                               "BonusL",  "BonusN",  "BonusMGnp", "BonusRnp"};
                const int col = c + 1 + (r / 3) % 2;
                book.Draw(cr, kinds[(r * 5 + seed) % 8], 0, view.ScreenX(col * kTile) + 19,
                          view.ScreenY(r * kTile) + 19);
                break;
            }
    }

    // The finish line across the inner lanes of the top straight, when it is in view.
    const int finishRow = 1550 - params.TrackLength;
    if (finishRow >= view.mapRow && finishRow < view.mapRow + kViewRows) {
        int c1 = 0, c4 = 0;
        for (int c = 1; c <= kMapCols; ++c)
            if (map.At(finishRow, c) == 1 && c1 == 0) c1 = c;
        for (int c = kMapCols; c >= 1; --c)
            if (map.At(finishRow, c) == 4 && c4 == 0) c4 = c;
        for (int c = c1 + 1; c1 > 0 && c < c4; ++c)
            book.Draw(cr, "FinishLine", 0, view.ScreenX(c * kTile), view.ScreenY(finishRow * kTile));
    }

    // Pedestrians on the verges and side roads.
    int walkers = 0;
    for (int r = view.mapRow; r < view.mapRow + kViewRows && walkers < 7; ++r)
        for (int c = view.mapCol; c < view.mapCol + 9 && walkers < 7; ++c) {
            const int t = map.At(r, c);
            if ((t != 23 && t != 24) || (r * 3 + c) % 7 != 0) continue;
            const bool woman = (r + c) % 2 == 1;
            const std::string who = woman ? "Girl_" : "Man_";
            const std::string dir = t == 23 ? ((r % 2) ? "Up" : "Down") : ((c % 2) ? "Left" : "Right");
            const double px = c * kTile + (t == 23 ? 36 : 30), py = r * kTile + (t == 23 ? 30 : 36);
            book.Draw(cr, walkers == 3 ? who + "Laying" : who + dir, (r + c) % 5, view.ScreenX(px) - 27,
                      view.ScreenY(py) - 27);
            ++walkers;
        }

    // Opponent cars, laid like the race lays them: down the second lane of the left-most
    // road, up the third lane of the right-most, turned to follow shifts.
    const double playerLeft = 365, playerTop = 400;
    int carIndex = 0;
    for (int r = view.mapRow - 3; r < view.mapRow + kViewRows; ++r) {
        if (r % 4 != 0) continue;
        const bool up = (r / 4) % 2 == 0;
        const int kind = 1 + int((uint32_t(r) * 7u + seed) % 5u);
        const double cy = kCarHalfHeight[size_t(kind + 5)];
        double origin;
        if (!RoadOrigin(map, r * kTile + cy, up, origin)) continue;
        const double x = origin + (up ? 2 * kTile + kOffsetUp[kind - 1] : kTile + kOffsetDown[kind - 1]);
        const double y = r * kTile;
        const double sx = view.ScreenX(x), sy = view.ScreenY(y);
        const int w = 2 * kCarHalfWidth[size_t(kind + 5)], h = 2 * kCarHalfHeight[size_t(kind + 5)];
        if (sx < playerLeft + 64 && sx + w > playerLeft && sy < playerTop + 156 && sy + h > playerTop)
            continue;
        const int d = LaneDirection(map, x, y, kind, up);
        if (carIndex++ == 2) {
            // One of them wrecked by a rocket.
            book.Draw(cr, "ExplosionBig", 4, sx + w / 2 + 6 - 32, sy + h / 2 + 6 - 32);
        } else {
            book.Draw(cr, "Car" + std::to_string(kind + 6), d - 1, std::round(sx), std::round(sy));
        }
    }

    // The player's car with skid marks behind it, nitro burning and the gun raised.
    const int car = 1 + int(seed % 6);
    const std::string carName = "Car" + std::to_string(car);
    const int W = book.Width(carName), H = book.Height(carName);
    for (int k = 0; k < 6; ++k)
        for (double wx : {playerLeft + 10, playerLeft + W - 10})
            book.DrawRotated(cr, "Handbrake", 0, wx, playerTop + H + 8 + k * 12, 0.5, 0.5, 0);
    const double cx = std::trunc(playerLeft + W / 2.0), cyc = std::trunc(playerTop + H / 2.0);
    book.DrawRotated(cr, "NitroAnim", 1, cx, cyc, (W / 2.0 - 8) / 16, -(H / 2.0 - 8) / 51, 1);
    book.DrawRotated(cr, "NitroAnim", 2, cx, cyc, -(W / 2.0 - 16 - 8) / 16, -(H / 2.0 - 8) / 51, -1);
    book.Draw(cr, carName, 0, playerLeft, playerTop);
    const double weaponPivot[6] = {0.23, 0.2, 0.28, 0.36, 0.25, 0.22};
    const double py = (H / 2.0) / 114 - 0.6 + weaponPivot[car - 1];
    book.DrawRotated(cr, seed % 2 ? "GunAnim_6" : "RocketAnim_6", 0, cx, cyc, 0.5, py, 0);

    // A rocket on its way, turned a little, with its flame.
    const double rx = playerLeft + 70, ry = 210;
    book.DrawRotated(cr, "Rocket", 0, rx + 6, ry + 16, 0.5, 0.5, 8);
    book.DrawRotated(cr, "EngineFire", 1, rx + 6, ry + 16, 0.5, -0.22, 8);

    // Street lamps over everything on the road.
    for (int r = view.mapRow; r < view.mapRow + kViewRows; ++r) {
        if (r % 5 != 0) continue;
        for (int c = view.mapCol; c < view.mapCol + kViewCols; ++c)
            for (const LampPlace& lamp : kLampPlaces)
                if (map.At(r, c) == lamp.tile)
                    book.Draw(cr, lamp.image, 0, std::round(view.ScreenX(c * kTile) + lamp.imageOffsetX),
                              std::round(view.ScreenY(r * kTile)));
    }

    // The panel and what the race draws on it.
    book.Draw(cr, "Panel", 0, hud::kPanelX, 0);
    const double speed = 118;
    book.DrawRotated(cr, "Pointer", 0, hud::kNeedleX + book.Width("Pointer"),
                     hud::kNeedleY + book.Height("Pointer"), 1.04, 0.5, std::round(speed * 1.15 - 28));
    const int markerH = book.Height("SmallCar");
    const double markerY = std::max(15.0, (216.0 - markerH) - (201.0 - markerH) / (params.TrackLength - 60) *
                                                                  (1490 - view.mapRow));
    book.Draw(cr, "SmallCar", 0, hud::kProgressX, markerY);
    book.Draw(cr, "Energy", 1, hud::kEnergyX, hud::kEnergyY);
    book.Draw(cr, seed % 2 ? "BonusM" : "BonusR", 0, hud::kWeaponIconX, hud::kWeaponIconY);
    book.Draw(cr, "BonusNitro", 0, hud::kNitroIconX, hud::kNitroIconY);
    const int timeLeft = std::max(0, params.TimeLimitMs - 37000);
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d : %02d", timeLeft / 60000, (timeLeft / 1000) % 60);
    LcdText(cr, "LEVEL " + std::to_string(level), hud::kLevelTextX, hud::kLevelTextY, 17);
    LcdText(cr, clock, hud::kTimeTextX, hud::kTimeTextY);
    LcdText(cr, std::to_string(1250 + level * 340), hud::kScoreTextX, hud::kScoreTextY);
    LcdText(cr, "3", hud::kLivesTextX, hud::kLivesTextY);
    LcdText(cr, "64", hud::kNitroTextX, hud::kNitroTextY);
    LcdText(cr, "18", hud::kAmmoTextX, hud::kAmmoTextY);
    return canvas.ToImage();
}

void WriteTrackPreview(uint32_t seed, int level, const std::string& pngPath) {
    SavePng(RenderTrackPreview(seed, level), pngPath);
}

} // namespace vorlane::datagen::race
