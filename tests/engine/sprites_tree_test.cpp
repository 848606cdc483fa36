// The sprite tree: depth order, moving, culling, the point query, and kill-and-sweep.
#include "engine/Sprites.h"
#include "sprites_fakes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <stdexcept>

namespace vorlane {
namespace {

using namespace vorlane::testing;
using Log = std::vector<std::string>;

class SpriteTreeTest : public ::testing::Test {
  protected:
    SpriteTreeTest() { engine.SetSurface(&surface); }
    LogSprite* Make(const std::string& name, double x = 0, double y = 0, int z = 0,
                    TSprite* parent = nullptr) {
        auto* s = (parent ? parent : &engine)->Add<LogSprite>(name, log, x, y);
        s->SetZ(z);
        return s;
    }
    Log Drawn() {
        log.clear();
        engine.DrawAll();
        return log;
    }

    RecordingSurface surface;
    Log log;
    TSpriteEngine engine;
};

TEST_F(SpriteTreeTest, EqualDepthDrawsTheNewestFirstAndSetZGoesUnderTheOthers) {
    Make("a");
    Make("b");
    Make("c", 0, 0, 5);
    Make("d", 0, 0, -1);
    EXPECT_EQ(Drawn(), (Log{"d", "b", "a", "c"}));

    TSprite* b = engine.Items(1);
    b->SetZ(5); // under c, which already stands at 5
    EXPECT_EQ(Drawn(), (Log{"d", "a", "b", "c"}));

    engine.Items(2)->SetZ(5); // c keeps its depth: nothing moves, not even among equals
    EXPECT_EQ(Drawn(), (Log{"d", "a", "b", "c"}));
    // The creation order is untouched by depth.
    EXPECT_EQ(static_cast<LogSprite*>(engine.Items(1))->Name, "b");
}

TEST_F(SpriteTreeTest, ChildrenAreDrawnOverTheirParentEvenWhenItIsCulled) {
    LogSprite* parent = Make("parent", -500, 0, 10);
    Make("child", 520, 20, -3, parent); // on the surface, though its parent is not
    Make("top", 0, 0, 1);
    EXPECT_EQ(Drawn(), (Log{"top", "child"}));
    parent->X = 0;
    EXPECT_EQ(Drawn(), (Log{"top", "parent", "child"}));
}

TEST_F(SpriteTreeTest, InvisibleParentHidesItsVisibleChildren) {
    LogSprite* parent = Make("parent", 100, 100);
    Make("child", 5, 5, 0, parent);
    parent->Visible = false;
    EXPECT_TRUE(Drawn().empty());
    engine.Visible = false;
    parent->Visible = true;
    EXPECT_TRUE(Drawn().empty());
}

TEST_F(SpriteTreeTest, CullsSpritesThatOnlyTouchTheSurface) {
    struct Case {
        double x, y;
        bool drawn;
    };
    const Case cases[] = {
        {-10, 0, false}, {-9, 0, true},     {790, 0, true},   {800, 0, false},
        {0, -10, false}, {0, 590, true},    {0, 600, false},  {-9.5, 0, false}, // -9.5 rounds to -10
        {-8.5, 0, true}, {799.5, 0, false}, {798.5, 0, true}, {-2000, -2000, false},
    };
    LogSprite* s = Make("s");
    for (const Case& c : cases) {
        s->X = c.x;
        s->Y = c.y;
        EXPECT_EQ(!Drawn().empty(), c.drawn) << "at " << c.x << ", " << c.y;
    }
    s->X = s->Y = 0;
    s->Width = 0; // an empty sprite overlaps nothing
    EXPECT_TRUE(Drawn().empty());
}

TEST_F(SpriteTreeTest, DrawsNothingWithoutASurface) {
    Make("s");
    engine.SetSurface(nullptr);
    EXPECT_TRUE(Drawn().empty());
    EXPECT_EQ(engine.Width, 0);
    engine.SetSurface(&surface);
    EXPECT_EQ(engine.Width, 800);
    EXPECT_EQ(engine.Height, 600);
    EXPECT_EQ(Drawn(), (Log{"s"}));
}

TEST_F(SpriteTreeTest, SpriteAtTakesEdgesHigherDepthAndTheFirstFoundOnTies) {
    LogSprite* a = Make("a", 10, 10);        // covers 10..20, both edges included
    LogSprite* b = Make("b", 15, 15);        // the same depth, created later
    LogSprite* c = Make("c", 18.5, 18.5, 2); // rounds to 18 (halves to even), higher depth
    struct Case {
        double x, y;
        TSprite* expected;
    };
    const Case cases[] = {
        {10, 10, a},         {20, 12, a},       {12, 20, a}, {20.5, 12, a}, // rounds to 20: on the right edge
        {9.5, 10, a},                                                       // rounds to 10: on the left edge
        {8.5, 10, nullptr},                                                 // rounds to 8
        {20.6, 12, nullptr}, {21, 12, nullptr}, {16, 16, a}, // a and b overlap here: the first created wins
        {24, 16, b},         {19, 19, c},       {28, 28, c}, {29, 28, nullptr},
    };
    for (const Case& t : cases) {
        EXPECT_EQ(engine.SpriteAt(t.x, t.y), t.expected) << "at " << t.x << ", " << t.y;
    }
    c->SetZ(0);
    EXPECT_EQ(engine.SpriteAt(19, 19), a);
    a->SetZ(3); // higher and found first: the later ones cannot take its place
    c->SetZ(3);
    EXPECT_EQ(engine.SpriteAt(19, 19), a);
    a->Visible = false;
    EXPECT_EQ(engine.SpriteAt(19, 19), c);
}

TEST_F(SpriteTreeTest, SpriteAtFindsChildrenOfInvisibleParentsButNeverTheInvisible) {
    LogSprite* parent = Make("parent", 100, 100);
    LogSprite* child = Make("child", 50, 0, 0, parent); // at 150, 100 on the surface
    parent->Visible = false;
    EXPECT_EQ(engine.SpriteAt(152, 105), child);
    EXPECT_EQ(engine.SpriteAt(102, 105), nullptr);
    child->Kill(); // killed but not swept: still found
    EXPECT_EQ(engine.SpriteAt(152, 105), child);
}

TEST_F(SpriteTreeTest, MoveAllLeavesSpritesCreatedDuringThePassForTheNextFrame) {
    struct Spawn : public LogSprite {
        Spawn(TSprite* parent, Log& l) : LogSprite(parent, "spawner", l), log(l) {}
        void MoveStep(int moveCount) override {
            LogSprite::MoveStep(moveCount);
            if (!spawned) {
                spawned = true;
                Engine()->Add<LogSprite>("spawn", log);
                Add<LogSprite>("own", log);
            }
        }
        bool spawned = false;
        Log& log;
    };
    Make("first");
    engine.Add<Spawn>(log);
    Make("last");
    log.clear();
    engine.MoveAll(16);
    // The spawner's own child exists before its children are counted, so it moves at
    // once; the new sibling of the engine waits for the next pass.
    EXPECT_EQ(log, (Log{"first:16", "spawner:16", "own:16", "last:16"}));
    log.clear();
    engine.MoveAll(17);
    EXPECT_EQ(log, (Log{"first:17", "spawner:17", "own:17", "last:17", "spawn:17"}));
}

TEST_F(SpriteTreeTest, SweepFreesEachKilledSpriteOnceInReverseKillOrder) {
    LogSprite* a = Make("a");
    LogSprite* b = Make("b");
    LogSprite* c = Make("c");
    b->Kill();
    a->Kill();
    b->Kill(); // a second kill does nothing
    c->Kill();
    EXPECT_TRUE(b->Killed());
    EXPECT_EQ(engine.DeadCount(), 3);
    log.clear();
    engine.SweepDead();
    EXPECT_EQ(log, (Log{"~c", "~a", "~b"}));
    EXPECT_EQ(engine.Count(), 0);
    EXPECT_EQ(engine.AllCount(), 0);
    EXPECT_EQ(engine.DeadCount(), 0);
}

TEST_F(SpriteTreeTest, KilledChildDestroyedWithItsParentLeavesTheDeadList) {
    LogSprite* parent = Make("parent");
    LogSprite* child = Make("child", 0, 0, 0, parent);
    Make("grandchild", 0, 0, 0, child);
    LogSprite* other = Make("other");
    child->Kill();
    other->Kill();
    parent->Kill();
    log.clear();
    engine.SweepDead(); // parent first, taking child (and its child) with it
    EXPECT_EQ(log, (Log{"~parent", "~child", "~grandchild", "~other"}));
    EXPECT_EQ(engine.DeadCount(), 0);
    EXPECT_EQ(engine.AllCount(), 0);
}

TEST_F(SpriteTreeTest, DestroyingASpriteDestroysItsSubtreeLastCreatedFirst) {
    {
        TSpriteEngine local;
        LogSprite* p = local.Add<LogSprite>("p", log);
        p->Add<LogSprite>("p1", log);
        p->Add<LogSprite>("p2", log);
        local.Add<LogSprite>("q", log);
        EXPECT_EQ(local.AllCount(), 4);
        log.clear();
    }
    EXPECT_EQ(log, (Log{"~q", "~p", "~p2", "~p1"}));
}

TEST_F(SpriteTreeTest, ChildByIndexReportsABadIndex) {
    try {
        engine.Items(3);
        FAIL() << "no error without children";
    } catch (const EngineError& e) {
        EXPECT_STREQ(e.what(), "Index of the list exceeds the range. (3)");
    }
    Make("a");
    EXPECT_THROW(engine.Items(1), EngineError);
    EXPECT_THROW(engine.Items(-1), EngineError);
    EXPECT_NO_THROW(engine.Items(0));
}

TEST_F(SpriteTreeTest, ConstructorThatThrowsLeavesNothingBehind) {
    struct Failing : TSprite {
        explicit Failing(TSprite* parent) : TSprite(parent) { throw std::runtime_error("no image"); }
    };
    Make("a");
    EXPECT_THROW(engine.Add<Failing>(), std::runtime_error);
    EXPECT_EQ(engine.Count(), 1);
    EXPECT_EQ(engine.AllCount(), 1);
    EXPECT_EQ(Drawn(), (Log{"a"}));
}

TEST_F(SpriteTreeTest, ScreenPositionAddsTheParents) {
    LogSprite* parent = Make("parent", 100.25, 50);
    LogSprite* child = Make("child", 20, 30.5, 0, parent);
    EXPECT_DOUBLE_EQ(child->ScreenX(), 120.25);
    EXPECT_DOUBLE_EQ(child->ScreenY(), 80.5);
    const Rect r = child->GetBounds();
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 80); // 80.5 rounds to the even 80
    EXPECT_EQ(r.right, 130);
    EXPECT_EQ(child->Engine(), &engine);
    EXPECT_EQ(child->Parent(), parent);
}

} // namespace
} // namespace vorlane

namespace vorlane {
namespace {

// Positions round to the nearest pixel, halves to even, exactly as the maths library's
// nearbyint does; out of range values stop at the ends of int and NaN gives 0.
TEST(SpriteRoundPos, RoundsLikeNearbyintWithHalvesToEven) {
    const double values[] = {0.0,
                             -0.0,
                             0.5,
                             1.5,
                             2.5,
                             -0.5,
                             -1.5,
                             -2.5,
                             0.49999999999999994,
                             1.4999999999999998,
                             365.5,
                             -365.5,
                             123.25,
                             -123.75,
                             8388607.5,
                             1e6 + 0.5,
                             2147483646.5,
                             -2147483647.5,
                             1e-300,
                             -1e-300};
    for (double v : values)
        EXPECT_EQ(TSprite::RoundPos(v), int(std::nearbyint(v))) << v;
    EXPECT_EQ(TSprite::RoundPos(1e300), INT_MAX);
    EXPECT_EQ(TSprite::RoundPos(-1e300), INT_MIN);
    EXPECT_EQ(TSprite::RoundPos(4503599627370496.0), INT_MAX);
    EXPECT_EQ(TSprite::RoundPos(std::nan("")), 0);
}

} // namespace
} // namespace vorlane
