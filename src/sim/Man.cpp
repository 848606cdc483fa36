#include "sim/Man.h"

#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"
#include "sim/Rocket.h"
#include "sim/ScrollBackground.h"

#include <cmath>

namespace vorlane {

namespace {

// Turn table, indexed by the walking state (Left..Down): left, right, straight, back, and one cell's step.
constexpr std::array<TManTurn, 5> kTurns = {{
    {},
    {ManState::Down, ManState::Up, ManState::Left, ManState::Right, -kTileSize, 0},
    {ManState::Up, ManState::Down, ManState::Right, ManState::Left, kTileSize, 0},
    {ManState::Left, ManState::Right, ManState::Up, ManState::Down, 0, -kTileSize},
    {ManState::Right, ManState::Left, ManState::Down, ManState::Up, 0, kTileSize},
}};

// Re-planning codes by direction (rows Left..Down) for the path tiles 23..29, 58, 60.
constexpr int kPathTiles[9] = {23, 24, 25, 26, 27, 28, 29, 58, 60};
constexpr int kTileCodes[5][9] = {
    {},
    {0, 1, 7, 2, 0, 0, 3, 0, 6}, // walking left
    {0, 1, 7, 0, 3, 2, 0, 6, 0}, // walking right
    {1, 0, 7, 3, 2, 0, 0, 4, 5}, // walking up
    {1, 0, 7, 0, 0, 3, 2, 5, 4}, // walking down
};

// A state's row in the tables above and in the pictures (Lying 0 .. Down 4).
size_t Row(ManState state) {
    return size_t(state);
}

// The walking state `steps` after `first` in the order left, right, up, down.
ManState WalkingFrom(ManState first, int steps) {
    return ManState(uint8_t(int(first) + steps));
}

bool IsPathTile(int tile) {
    return (tile >= 23 && tile <= 29) || tile == 58 || tile == 60;
}

} // namespace

const TManTurn* ManTurnOf(ManState state) {
    if (state < ManState::Left || state > ManState::Down) return nullptr;
    return &kTurns[Row(state)];
}

int ManTileCode(int tile, ManState dir) {
    if (dir < ManState::Left || dir > ManState::Down) return 0;
    for (int k = 0; k < 9; ++k)
        if (kPathTiles[k] == tile) return kTileCodes[Row(dir)][k];
    return 0;
}

void ManCellOf(double x, double y, int& col, int& row) {
    col = WorldToCell(TSprite::RoundPos(x));
    row = WorldToCell(TSprite::RoundPos(y));
}

const char* ManImageName(ManState state, bool woman) {
    static const char* const kMen[5] = {"Man_Laying", "Man_Left", "Man_Right", "Man_Up", "Man_Down"};
    static const char* const kWomen[5] = {"Girl_Laying", "Girl_Left", "Girl_Right", "Girl_Up", "Girl_Down"};
    if (state > ManState::Down) return nullptr;
    return woman ? kWomen[Row(state)] : kMen[Row(state)];
}

TMan::TMan(TSprite* parent, TRaceWorld& world)
    : TGameSprite(parent, world.SpriteHost, 2, "Man_Up", 0, 0, 6), World(world) {
    for (int w = 0; w < 2; ++w)
        for (ManState st : {ManState::Lying, ManState::Left, ManState::Right, ManState::Up, ManState::Down})
            images_[w][Row(st)] = &world.RaceImages().FindImage(ManImageName(st, w == 1));
    LayPedestrians();
}

void LayPedestrianSlots(TPedestrianSlots& slots, const TrackMap& map, int trackLength, TRandom& rng) {
    for (TPedestrian& p : slots) {
        p.Exists = 0;
        p.Woman = 0;
        p.ScareTime = 0;
        p.Visible = 1;
    }
    int j = 1;
    for (int pass = 0; pass < 2; ++pass) {
        const bool left = pass == 0;
        // Where to look for a path tile; a row without a road edge keeps the last one.
        int lo = 1, hi = 0;
        for (int r = kMapRows - trackLength; r <= 1490; ++r) {
            if (r % 5 != 0) continue;
            for (int c = 50; c <= 600; ++c) {
                const int t = map.At(r, c);
                if (left && t == 1) {
                    lo = c - rng.Random(20);
                    hi = c - 1;
                    break;
                }
                if (!left && t == 4 && map.At(r, c + 1) != 1) {
                    lo = c + 1;
                    hi = c + rng.Random(20);
                    break;
                }
            }
            if (j > kMaxPedestrians) continue;
            TPedestrian& p = slots[size_t(j)];
            for (int m = lo; m <= hi; ++m) {
                const int t = map.At(r, m);
                if (!IsPathTile(t)) continue;
                p.Exists = 1;
                p.Woman = rng.Random(2) == 1 ? 1 : 0;
                // In the middle of the path tile (see WalkPedestrian).
                p.X = m * kTileSize + 36;
                p.Y = r * kTileSize + 36;
                switch (t) {
                case 23:
                    p.State = WalkingFrom(ManState::Up, rng.Random(2));
                    break;
                case 24:
                    p.State = WalkingFrom(ManState::Left, rng.Random(2));
                    break;
                case 25:
                    p.State = WalkingFrom(ManState::Left, rng.Random(4));
                    break;
                case 26:
                    p.State = ManState::Right;
                    break;
                case 27:
                    p.State = ManState::Left;
                    break;
                default:
                    p.State = ManState::Up;
                    break; // 28, 29, 58, 60
                }
                p.Planned = p.State;
                p.Speed = uint8_t(3 + rng.Random(3));
                p.Frame = rng.Random(4);
                ManCellOf(p.X, p.Y, p.CellCol, p.CellRow);
                // No cell ahead yet: the first re-plan comes at the first boundary.
                p.TargetCol = p.TargetRow = -1;
                break;
            }
            ++j;
        }
    }
}

void WalkPedestrian(TPedestrian& p, const TrackMap& map, TRandom& rng, double oldFrame) {
    // Lying and gone figures stay where they are.
    const TManTurn* turn = ManTurnOf(p.State);
    if (turn == nullptr) return;
    int col = 0, row = 0;
    ManCellOf(p.X, p.Y, col, row);
    p.CellCol = col;
    p.CellRow = row;
    int stepX = turn->StepX, stepY = turn->StepY;
    if (col == p.TargetCol && row == p.TargetRow) {
        // Just entered the next cell: read its tile and choose the way on.
        p.State = p.Planned;
        switch (ManTileCode(map.At(row, col), p.Planned)) {
        case 0:
            p.Planned = turn->Back;
            break;
        case 1:
            p.Planned = turn->Straight;
            break;
        case 2:
            p.Planned = turn->Left;
            break;
        case 3:
            p.Planned = turn->Right;
            break;
        case 4:
            p.Planned = rng.Random(2) == 1 ? turn->Left : turn->Straight;
            break;
        case 5:
            p.Planned = rng.Random(2) == 0 ? turn->Straight : turn->Right;
            break;
        case 6:
            p.Planned = rng.Random(2) == 1 ? turn->Right : turn->Left;
            break;
        default: {
            const int pick = rng.Random(3);
            p.Planned = pick == 0 ? turn->Left : pick == 1 ? turn->Straight : turn->Right;
            break;
        }
        }
        p.State = p.Planned;
        // The paths run down the middle of their tiles: a walker who turns into a
        // crossing path steps onto its middle line instead of walking along the edge
        // of the tile it entered.
        if (p.State == ManState::Left || p.State == ManState::Right)
            p.Y = row * kTileSize + 36;
        else
            p.X = col * kTileSize + 36;
        const TManTurn* next = ManTurnOf(p.State);
        stepX = next->StepX;
        stepY = next->StepY;
    }
    ManCellOf(p.X + stepX, p.Y + stepY, p.TargetCol, p.TargetRow);

    // A figure steps forward each time its pattern number changes.
    if (int(p.Frame) != int(oldFrame)) {
        const double d = 2.0 * p.Speed;
        switch (p.State) {
        case ManState::Left:
            p.X -= d;
            break;
        case ManState::Right:
            p.X += d;
            break;
        case ManState::Up:
            p.Y -= d;
            break;
        case ManState::Down:
            p.Y += d;
            break;
        default:
            break;
        }
    }
}

void TMan::LayPedestrians() {
    // The scare flag is left as it is: a scare still running at the level's end is
    // ended by the first tick of the next, which gives the walkers in view new speeds.
    LayPedestrianSlots(Slots, World.Race->Map, World.Race->TrackLength, World.Random);
}

void TMan::ScarePedestrians() {
    Scared = 1;
    for (TPedestrian& p : Slots)
        if (p.Exists && p.Visible && p.State != ManState::Lying) {
            p.ScareTime = 1000;
            p.Speed = 8;
        }
}

void TMan::CalmPedestrians() {
    Scared = 0;
    for (TPedestrian& p : Slots)
        if (p.Exists && p.Visible && p.State != ManState::Lying) {
            p.ScareTime = 0;
            p.Speed = uint8_t(3 + World.Random.Random(3));
        }
}

void TMan::FallDown(TPedestrian& p) {
    p.X -= 10;
    p.Y -= 10;
    p.Speed = 0;
    p.State = ManState::Lying;
    p.Frame = 0;
}

void TMan::ShootPedestrian(int i) {
    if (i < 1 || i > kMaxPedestrians) return;
    TPedestrian& p = Slots[size_t(i)];
    if (!p.Exists || ManTurnOf(p.State) == nullptr) return; // only a walker can be shot down
    FallDown(p);
    World.PlayEffect(p.Woman ? "KillW" : "Kill");
    if (TPlayer* player = World.Race->Player) player->AddScore(5);
}

void TMan::TestRunOver(TPedestrian& p) {
    TPlayer* player = World.Race->Player;
    if (player == nullptr) return;
    const int sx = p.ScreenX, sy = p.ScreenY;
    const int points[4][2] = {{sx - 27, sy - 27}, {sx - 4, sy - 27}, {sx - 27, sy - 4}, {sx - 4, sy - 4}};
    bool hit = false;
    for (const auto& pt : points)
        if (dynamic_cast<TPlayer*>(World.SpriteEngine.SpriteAt(pt[0], pt[1])) != nullptr) {
            hit = true;
            break;
        }
    if (!hit) return;
    FallDown(p);
    player->AddScore(5);
    World.PlayEffect(p.Woman ? "KillW" : "Kill");
    player->Bump(0.9);
    // The car leaves a trail of blood (the player car lays the marks).
    if (player->BloodLeft < 1)
        player->BloodLeft = 50;
    else if (player->BloodLeft < 30)
        player->BloodLeft = 30;
}

void TMan::TestRockets(TPedestrian& p) {
    for (TRocket* rocket : World.Race->Rockets) {
        if (rocket == nullptr || !rocket->InFlight) continue;
        if (!PointInQuad(rocket->WorldX, rocket->WorldY, p.X - 4, p.Y - 4, p.X + 30, p.Y - 4, p.X + 30,
                         p.Y + 30, p.X - 4, p.Y + 30))
            continue;
        rocket->RocketExplode();
        if (TPlayer* player = World.Race->Player) player->AddScore(5);
        FallDown(p);
        p.State = ManState::Gone;
        return;
    }
}

void TMan::MoveStep(int) {
    TRace& race = *World.Race;
    const int frameMs = World.Stats().FrameMs;
    const TrackView view = ViewOf(race);
    for (int i = 1; i <= kMaxPedestrians; ++i) {
        TPedestrian& p = Slots[size_t(i)];
        if (!p.Exists || p.State == ManState::Gone) continue;

        // Animation.
        const double old = p.Frame;
        if (frameMs > 0) p.Frame += p.Speed / (1000.0 / frameMs);
        if (p.Frame > 4) p.Frame = 0;

        // Walkers that stray within five tiles of the map's edge leave the level.
        if (p.X <= 360 || p.X >= 46656 || p.Y <= 360 || p.Y >= 107856) p.Exists = 0;

        // The horn's scare ends for everybody once one walker has none left.
        if (Scared) {
            if (p.ScareTime > 0)
                p.ScareTime -= frameMs;
            else
                CalmPedestrians();
        }

        p.ScreenX = RoundPos(p.X - double(view.MapCol) * kTileSize + view.X);
        p.ScreenY = RoundPos(p.Y - double(view.MapRow) * kTileSize + view.Y);
        const int left = p.ScreenX - 27, top = p.ScreenY - 27;
        p.Visible = (left >= -20 && left <= 700 && top >= -20 && top <= 600) ? 1 : 0;

        if (p.Visible) {
            if (p.State != ManState::Lying) TestRunOver(p);
            TestRockets(p);
        }

        WalkPedestrian(p, race.Map, World.Random, old);
    }
}

void TMan::DrawStep() {
    IDrawSurface* surface = Engine() ? Engine()->Surface() : nullptr;
    if (surface == nullptr) return;
    for (int i = 1; i <= kMaxPedestrians; ++i) {
        const TPedestrian& p = Slots[size_t(i)];
        if (!p.Exists || !p.Visible || p.State > ManState::Down) continue;
        TImageItem* item = images_[p.Woman ? 1 : 0][Row(p.State)];
        if (item) item->DrawPattern(*surface, p.ScreenX - 27, p.ScreenY - 27, int(p.Frame));
    }
}

} // namespace vorlane
