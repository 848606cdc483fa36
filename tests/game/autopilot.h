#pragma once
// A driver for whole-game tests: it plays the real headless game as a player would,
// through the keyboard only. It starts a race from the main menu, then every frame
// reads what a player sees (the road ahead in the track map, the car's heading and
// speed, the traffic) and holds the arrow keys: steer for the right-hand lane of the
// road ahead, keep the speed up, lift or brake before a bend it cannot take, keep
// behind a slower car in its lane. Every key it presses is logged by frame, so the
// same run can be replayed by vorlane-play from the script the log makes.
//
//   FormFixture game;
//   Autopilot pilot(game.Game());
//   pilot.StartRaceFromMenu();
//   pilot.DriveUntil([&] { return pilot.Race() && pilot.Race()->Level == 2; }, 20000);
//   std::string script = pilot.Script();   // "50 down Enter\n51 up Enter\n..."
//
// The autopilot must make every Step of the game from its construction on, so that
// its frame numbers are the script's.
#include "play/Headless.h"
#include "sim/Car.h"
#include "sim/Finish.h"
#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/ScrollBackground.h"
#include "sim/Tiles.h"
#include "sim/TrackMap.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace vorlane::test {

// One line of the key log: before the game's frame Frame ran, a key went down or up,
// or text was typed.
struct PilotEvent {
    int Frame = 0;
    enum Kind { Down, Up, Text } What = Down;
    int Key = 0;
    std::string Chars;
};

// The name vorlane-play's scripts give a key.
inline std::string ScriptKeyName(int key) {
    switch (key) {
    case vk::Up:
        return "Up";
    case vk::Down:
        return "Down";
    case vk::Left:
        return "Left";
    case vk::Right:
        return "Right";
    case vk::Space:
        return "Space";
    case vk::Enter:
        return "Enter";
    case vk::Esc:
        return "Esc";
    case vk::Shift:
        return "Shift";
    case vk::Ctrl:
        return "Ctrl";
    case vk::Alt:
        return "Alt";
    case vk::Backspace:
        return "Backspace";
    default:
        break;
    }
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, char(key));
    return "?";
}

// What the driver makes of the road ahead in one frame (kept for tests and logs).
struct PilotView {
    double TargetX = 0;     // world x it steers for
    double WantHeading = 0; // 256ths of a turn
    double WantSpeed = 0;
    bool CarAhead = false;
};

class Autopilot {
  public:
    explicit Autopilot(play::HeadlessGame& game) : game_(game) {}

    play::HeadlessGame& Game() { return game_; }
    TMForm& Form() { return game_.Form(); }
    TRace* Race() { return Form().Race.get(); }
    // Frames stepped so far: the script frame of the next events.
    int Frame() const { return frame_; }
    const std::vector<PilotEvent>& Log() const { return log_; }
    const PilotView& View() const { return view_; }

    // ---- keys as a player presses them, logged ----
    void KeyDown(int key) {
        if (held_.count(key)) return;
        held_.insert(key);
        log_.push_back({frame_, PilotEvent::Down, key, {}});
        if (!Press || !Press(key, true)) game_.KeyDown(key);
    }
    void KeyUp(int key) {
        if (!held_.count(key)) return;
        held_.erase(key);
        log_.push_back({frame_, PilotEvent::Up, key, {}});
        if (!Press || !Press(key, false)) game_.KeyUp(key);
    }
    // Where a key goes instead of the keyboard (a game pad's button or trigger, say):
    // answers whether it took the key. The log still names the key.
    std::function<bool(int key, bool down)> Press;
    void ReleaseAll() {
        const std::set<int> keys = held_;
        for (int k : keys)
            KeyUp(k);
    }
    // Down, one frame, up.
    void Tap(int key) {
        KeyDown(key);
        Step();
        KeyUp(key);
    }
    void TypeText(const std::string& text) {
        log_.push_back({frame_, PilotEvent::Text, 0, text});
        game_.TypeText(text);
    }

    // One frame of the game; in a race the driver first sets its keys.
    void Step() {
        if (Driving()) Drive();
        game_.Step();
        ++frame_;
    }
    void Run(int frames) {
        for (int i = 0; i < frames; ++i)
            Step();
    }
    // Frames until done() holds (checked before each frame) or maxFrames ran; answers
    // whether done() held.
    bool DriveUntil(const std::function<bool()>& done, int maxFrames) {
        for (int i = 0; i < maxFrames; ++i) {
            if (done()) return true;
            if (Form().Terminated) return false;
            Step();
        }
        return done();
    }

    // From the main menu just opened: the intro ends, Enter on "New game", Enter on the
    // car selection's start button. Answers whether the race screen is up.
    bool StartRaceFromMenu() {
        DriveUntil([&] { return false; }, 50);
        Tap(vk::Enter);
        if (!DriveUntil([&] { return Form().Screen.ActiveScreen == ScreenKind::CarSelect; }, 20))
            return false;
        Run(19);
        Tap(vk::Enter);
        return DriveUntil([&] { return Form().Screen.ActiveScreen == ScreenKind::Race; }, 5);
    }

    // Reckless: full throttle into the lamp posts by the road (to lose lives).
    bool Reckless = false;
    // Tuning: how far ahead it steers for, per unit of speed; how far ahead it looks
    // for a bend, and the speed it takes one at.
    double LookPerSpeed = 0.5;
    double BendLook = 300;
    double BendSpeed = 95;
    // When false the driver keeps its hands off the race (the keys stay released).
    bool Enabled = true;
    // Careful: it watches the traffic much further up the road (40 rows, not 14),
    // never drives faster than it could still brake to the pace of the car ahead in its
    // lane (the brakes are weak: from full speed to a car's pace takes some 800
    // pixels), and asks for a pass as soon as a slower car is ahead, however slowly it
    // follows it now. It runs into fewer cars than the plain driver; it is slower.
    bool Careful = false;
    // Nudges for the careful driver: from frame From to frame To (the autopilot's frame
    // numbers) it drives another way than it would. A search that plays the race again
    // and again from the start finds where a nudge keeps the car out of trouble.
    enum class NudgeKind { Slow, Brake, LaneLeft, LaneRight, Hurry };
    struct Nudge {
        int From = 0, To = 0;
        NudgeKind Kind = NudgeKind::Slow;
    };
    std::vector<Nudge> Nudges;
    // The careful driver judges the oncoming lane at the pace it drives now rather
    // than at full speed: it pulls out to pass more often.
    bool EagerPass = false;

    // The vorlane-play script of everything logged so far.
    std::string Script() const {
        std::string s = "# made by the autopilot\n";
        for (const PilotEvent& e : log_) {
            s += std::to_string(e.Frame);
            if (e.What == PilotEvent::Text)
                s += " text " + e.Chars;
            else
                s += (e.What == PilotEvent::Down ? " down " : " up ") + ScriptKeyName(e.Key);
            s += '\n';
        }
        return s;
    }

  private:
    bool Driving() {
        TMForm& form = Form();
        return Enabled && form.Race && form.Race->Player && form.Race->Background &&
               form.Screen.ActiveScreen == ScreenKind::Race && form.Screen.ActiveDialog == DialogKind::None;
    }

    void Hold(int key, bool down) { down ? KeyDown(key) : KeyUp(key); }

    // World position of a screen point (the same rule the car's road test uses).
    double WorldX(const TRace& r, double sx) const {
        return double(r.MapCol) * kTileSize - RoundHalfEven(r.Background->X) + sx;
    }
    double WorldY(const TRace& r, double sy) const {
        return double(r.MapRow) * kTileSize - RoundHalfEven(r.Background->Y) + sy;
    }

    // The road run of map row `row` nearest to world x `x`: its first and last
    // columns. False when no road lies within a few columns.
    static bool RoadRun(const TrackMap& map, int row, double x, int& first, int& last) {
        const int col = int(std::floor(x / kTileSize));
        for (int off = 0; off <= 5; ++off) {
            for (int c : {col + off, col - off}) {
                if (!IsRoadTile(map.At(row, c))) continue;
                first = last = c;
                while (IsRoadTile(map.At(row, first - 1)))
                    --first;
                while (IsRoadTile(map.At(row, last + 1)))
                    ++last;
                return true;
            }
        }
        return false;
    }

    // The right-hand edge of the road near world x in map row `row`, in world x. In
    // the two rows of a lane shift the drawn road runs across the tiles: its edge
    // stands a quarter of a tile out or in from the tiles' edge.
    static bool RightEdge(const TrackMap& map, int row, double x, double& edge) {
        int first = 0, last = 0;
        if (!RoadRun(map, row, x, first, last)) return false;
        const int tile = map.At(row, last);
        double adjust = 0;
        if (tile == 8 || tile == 17) adjust = kTileSize / 4.0;
        if (tile == 12 || tile == 13) adjust = -kTileSize / 4.0;
        edge = double(last + 1) * kTileSize + adjust;
        return true;
    }

  public:
    // Where the car's middle keeps from the road's right-hand edge: in the right-hand
    // lane, just clear of the lamp posts and of the cars going up the lane beside it;
    // or over in the left-hand lane to pass a car it cannot pass on the right.
    static constexpr double kKeepRight = 70;
    static constexpr double kKeepLeft = 222;
    static constexpr double kKeepFinish = 120;
    static constexpr double kPostLine = 16; // the lamp posts of the right-hand lane

  private:
    static constexpr int kAhead = 14;    // rows of road looked at ahead of the car
    static constexpr int kFarAhead = 40; // ... by the careful driver, for the traffic
    int Rows() const { return Careful ? kFarAhead : kAhead; }
    static constexpr double kTurn = 256.0 / (2 * M_PI); // radians to 256ths

    // Whether the car, kept `keep` in from the edge, meets an opponent within
    // `frames` frames (or has one beside it now).
    enum Block { kFree = 0, kSlowerAhead = 1, kOncoming = 2 };
    int LaneBlocked(const TRace& r, const double* line, double keep, double cy, double speed,
                    int frames) const {
        if (!r.Cars) return kFree;
        const TCar& cars = *r.Cars;
        const double myFront = cy - 82, myRear = cy + 82;
        // Up the map, pixels a frame; the careful driver counts with the pace it means
        // to drive at, so that a car it has fallen in behind still asks for a pass.
        const double myV = (Careful && (keep == kKeepRight || !EagerPass) ? 160 : std::max(speed, 0.0)) / 20;
        for (int i = 1; i <= kMaxCars; ++i) {
            if (cars.CarDir[size_t(i)] == kCarRemoved || cars.CarKind[size_t(i)] == 0) continue;
            if (cars.CarExploding[size_t(i)]) continue;
            const TQuad q = cars.CarWorldQuad(i);
            double minX = 1e9, maxX = -1e9, maxY = -1e9, minY = 1e9;
            for (const TPointD& c : q.corners) {
                minX = std::min(minX, c.x), maxX = std::max(maxX, c.x);
                minY = std::min(minY, c.y), maxY = std::max(maxY, c.y);
            }
            if (minY > myRear) continue; // behind
            const int k = int((cy - (minY + maxY) / 2) / kTileSize);
            if (k > Rows()) continue;
            const double mid = line[std::max(k, 0)] + kKeepRight - keep;
            if (maxX < mid - 36 || minX > mid + 36) continue;   // not in that lane
            const double carV = cars.CarSpeed[size_t(i)] * 0.5; // up the map
            const int kind = carV < 0 ? kOncoming : kSlowerAhead;
            const double gap = myFront - maxY;
            if (gap <= 0) return kind; // beside the car
            const double closing = myV - carV;
            if (closing <= 0.2) continue;
            if (gap / closing < frames) return kind;
        }
        return kFree;
    }

    // The careful driver's pace behind the nearest car ahead going up its lane: that
    // car's pace plus what it can still brake away before it comes within a safe
    // distance of the car's rear. Very large when no car is ahead.
    double FollowSpeed(const TRace& r, const double* line, double keep, double cy) const {
        double pace = 1e9;
        if (!r.Cars) return pace;
        const TCar& cars = *r.Cars;
        const double myFront = cy - 82;
        for (int i = 1; i <= kMaxCars; ++i) {
            const uint8_t dir = cars.CarDir[size_t(i)];
            if (dir == kCarRemoved || cars.CarKind[size_t(i)] == 0 || cars.CarExploding[size_t(i)]) continue;
            if (dir != kCarUp && dir != kCarUpLeft && dir != kCarUpRight) continue;
            if (cars.CarSpeed[size_t(i)] <= 0) continue;
            const TQuad q = cars.CarWorldQuad(i);
            double minX = 1e9, maxX = -1e9, maxY = -1e9, minY = 1e9;
            for (const TPointD& c : q.corners) {
                minX = std::min(minX, c.x), maxX = std::max(maxX, c.x);
                minY = std::min(minY, c.y), maxY = std::max(maxY, c.y);
            }
            const double gap = myFront - maxY;
            if (gap < -60) continue; // beside or behind
            const int k = int((cy - (minY + maxY) / 2) / kTileSize);
            if (k > Rows()) continue;
            const double mid = line[std::max(k, 0)] + kKeepRight - keep;
            if (maxX < mid - 60 || minX > mid + 60) continue;
            // Pixels a frame up the map; the brakes take 0.015 of those a frame (0.3
            // of speed), counted at 0.011 for the frames that only coast.
            const double carV = cars.CarSpeed[size_t(i)] * 0.5 * (dir == kCarUp ? 1.0 : 0.8932243);
            const double room = std::max(gap - 70, 0.0);
            const double v = carV + std::sqrt(2 * 0.011 * room) - (gap < 40 ? 0.4 : 0);
            pace = std::min(pace, std::max(v, 0.0) * 20);
        }
        return pace;
    }

  public:
    // Whether a car stands in the line of the car's nose within `reach` pixels: worth
    // a shot. Answers false when not driving.
    bool TargetAhead(double reach) {
        if (!Driving() || !Race()->Cars) return false;
        const TRace& r = *Race();
        const TPlayer& p = *r.Player;
        const TCar& cars = *r.Cars;
        const double cx = WorldX(r, p.CarCenterX), cy = WorldY(r, p.CarCenterY);
        const double dx = std::sin(p.Heading / kTurn), dy = -std::cos(p.Heading / kTurn);
        for (int i = 1; i <= kMaxCars; ++i) {
            if (cars.CarDir[size_t(i)] == kCarRemoved || cars.CarKind[size_t(i)] == 0) continue;
            if (cars.CarExploding[size_t(i)] || cars.CarSpeed[size_t(i)] == 0) continue;
            double mx = 0, my = 0;
            for (const TPointD& c : cars.CarWorldQuad(i).corners)
                mx += c.x / 4, my += c.y / 4;
            const double along = (mx - cx) * dx + (my - cy) * dy;
            const double across = (mx - cx) * dy - (my - cy) * dx;
            if (along > 60 && along < reach && std::fabs(across) < 50) return true;
        }
        return false;
    }

  private:
    void Drive() {
        TRace& r = *Race();
        TPlayer& p = *r.Player;
        if (p.Crashed != 0 || p.TimeOut || (r.Finish && r.Finish->Passed)) {
            ReleaseAll();
            recover_ = 0;
            // Put back on the road after a wreck, the car may stand right beside a
            // lamp post: it first drives off straight before it turns the wheel.
            if (p.Crashed != 0) straightOff_ = true, offFromY_ = 1e18;
            return;
        }
        const double cx = WorldX(r, p.CarCenterX);
        const double cy = WorldY(r, p.CarCenterY);
        const double speed = p.Speed;

        // The road's right-hand edge row by row ahead, each searched near the line of
        // the row before so that it follows this road; then the line to drive along,
        // smoothed over the tiles' steps.
        const int rows = Rows();
        double edge[kFarAhead + 1];
        double x = cx;
        int found = 0;
        double lastEdge = cx + keep_;
        for (int k = 0; k <= rows; ++k) {
            const int row = int(std::floor((cy - k * kTileSize) / kTileSize));
            double e = lastEdge;
            if (RightEdge(r.Map, row, x, e)) ++found;
            edge[k] = e;
            lastEdge = e;
            x = e - keep_;
        }
        double line[kFarAhead + 1];
        for (int k = 0; k <= rows; ++k) {
            const double a = edge[std::max(k - 1, 0)], b = edge[k], c = edge[std::min(k + 1, rows)];
            line[k] = (a + 2 * b + c) / 4 - kKeepRight;
        }

        // Reckless: full throttle along the line of the lamp posts on the right.
        if (Reckless) {
            const double look = 150;
            const double want = std::atan2(line[2] + kKeepRight - kPostLine - cx, look) * kTurn;
            Hold(vk::Down, false);
            Hold(vk::Up, true);
            Hold(vk::Left, p.SteerPos > 2 * want + 1.5);
            Hold(vk::Right, p.SteerPos < 2 * want - 1.5);
            return;
        }

        // Traffic: keep right unless a car ahead is in the way and the left is clear
        // for the pass; with both in the way, slow down behind.
        const int soon = 80;
        // A car coming the other way always sends it back to the right.
        const int rightBlocked = LaneBlocked(r, line, kKeepRight, cy, speed, soon);
        const int leftBlocked = LaneBlocked(r, line, kKeepLeft, cy, speed, soon + 70);
        if (keep_ == kKeepRight) {
            if (rightBlocked != kFree && leftBlocked == kFree) keep_ = kKeepLeft;
        } else if (LaneBlocked(r, line, kKeepRight, cy, speed, soon + 20) == kFree || leftBlocked != kFree) {
            keep_ = kKeepRight;
        }
        const Nudge* nudge = nullptr;
        if (Careful)
            for (const Nudge& n : Nudges)
                if (frame_ >= n.From && frame_ <= n.To) nudge = &n;
        if (nudge && nudge->Kind == NudgeKind::LaneLeft) keep_ = kKeepLeft;
        if (nudge && nudge->Kind == NudgeKind::LaneRight) keep_ = kKeepRight;
        // The level ends at the finish line with the wheel locked where it stands
        // while the car rolls out: near the line it straightens up in the middle of
        // the straight road, clear of the posts on both sides.
        const bool nearFinish = r.Finish && cy - r.Finish->WorldY < 900;
        if (nearFinish) keep_ = kKeepFinish;
        // Behind a slower car: its pace (the cars going up make 3 pixels a frame, speed
        // 60), no slower, or the ones behind run into the car.
        const bool carAhead = LaneBlocked(r, line, keep_, cy, speed, 50) == kSlowerAhead;
        double wantSpeed = carAhead && !Careful ? 60 : 160;
        const double shift = kKeepRight - keep_;

        // The line at a distance ahead, between rows.
        auto lineAt = [&](double dist) {
            const double kf = std::clamp(dist / kTileSize, 0.0, double(kAhead));
            const int k0 = std::min(int(kf), kAhead - 1);
            const double frac = kf - k0;
            return line[k0] * (1 - frac) + line[k0 + 1] * frac + shift;
        };
        // Steer for the line at a distance that grows with speed.
        const double look = 90 + std::max(speed, 0.0) * LookPerSpeed;
        const double target = lineAt(look);
        const double want = std::atan2(target - cx, look) * kTurn;
        // The road's direction further on, against the heading: time to lift.
        double bend = 0;
        for (double d = 0; d <= BendLook; d += 72)
            bend =
                std::max(bend, std::fabs(std::atan2(lineAt(d + 144) - lineAt(d), 144) * kTurn - p.Heading));
        if (bend > 8) wantSpeed = std::min(wantSpeed, BendSpeed);
        if (std::fabs(want - p.Heading) > 12) wantSpeed = std::min(wantSpeed, 80.0);

        // Thrown back off a post or a wall: reverse a little while the wheel turns
        // towards the road (a reversing car steers quickly), then go on.
        if (speed < -50) recover_ = 30;
        if (recover_ > 0) {
            --recover_;
            const double back = std::atan2(lineAt(140) - cx, 140) * kTurn;
            Hold(vk::Up, false);
            Hold(vk::Down, true);
            // Reversing, Left turns the heading clockwise.
            Hold(vk::Left, p.SteerPos < 2 * back - 1.5);
            Hold(vk::Right, p.SteerPos > 2 * back + 1.5);
            view_ = {target, back, -15, carAhead};
            return;
        }

        view_ = {target, want, wantSpeed, carAhead};
        if (straightOff_) {
            if (offFromY_ > 1e17) offFromY_ = cy; // the first frame back on the road
            if (offFromY_ - cy > 160 || speed < -1) straightOff_ = false;
        }
        if (straightOff_) {
            Hold(vk::Left, false);
            Hold(vk::Right, false);
            Hold(vk::Down, false);
            Hold(vk::Up, true);
            return;
        }

        // The wheel: Heading is half of SteerPos, which moves about one step a frame.
        const double steer = 2 * want;
        const double slack = nearFinish ? 0.5 : 1.5;
        Hold(vk::Left, found > 0 && p.SteerPos > steer + slack);
        Hold(vk::Right, found > 0 && p.SteerPos < steer - slack);
        if (Careful) {
            // The pedals, careful: no faster than it can follow the car ahead.
            const double follow = FollowSpeed(r, line, keep_, cy);
            double pace = std::min(wantSpeed, follow);
            if (nudge && nudge->Kind == NudgeKind::Slow) pace = std::min(pace, 40.0);
            if (nudge && nudge->Kind == NudgeKind::Brake) pace = 0;
            if (nudge && nudge->Kind == NudgeKind::Hurry) pace = wantSpeed;
            Hold(vk::Up, speed < pace - 1);
            Hold(vk::Down, speed > pace + 2);
            return;
        }
        // The pedals.
        Hold(vk::Up, speed < wantSpeed);
        Hold(vk::Down, speed > wantSpeed + (carAhead ? 4 : 15));
    }

    double keep_ = kKeepRight;
    int recover_ = 0;
    bool straightOff_ = false; // after a wreck: straight on for a while
    double offFromY_ = 0;      // where the car stood then
    play::HeadlessGame& game_;
    int frame_ = 0;
    std::set<int> held_;
    std::vector<PilotEvent> log_;
    PilotView view_;
};

} // namespace vorlane::test
