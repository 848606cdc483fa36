// The store of skid and blood marks: a fixed set of 100 slots reused in place.
#include "sim/Player.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(PlayerMarks, FullStoreLaysNothingUntilMarksScrollOff) {
    TMarkStore m;
    m.Clear();
    int blood = 0;
    for (int i = 1; i <= 100; ++i)
        EXPECT_EQ(m.Lay(100, 10 + i, 3, blood), i);
    EXPECT_EQ(m.ActiveCount(), 100);
    EXPECT_EQ(m.Lay(200, 200, 0, blood), 0);
    EXPECT_EQ(m.LastMark, 100);
    // The world scrolls down: marks that pass the bottom are freed, the first slot first.
    m.Scroll(0, 600 - 11 + 0.5);
    m.DropOffScreen();
    EXPECT_EQ(m.ActiveCount(), 0);
    m.Clear();
    for (int i = 1; i <= 100; ++i)
        m.Lay(100, 500 + i, 0, blood);
    m.Scroll(0, 95); // slots whose y passed 600 go; 505 + 95 = 600 stays
    m.DropOffScreen();
    EXPECT_EQ(m.ActiveCount(), 5);
    EXPECT_EQ(m.Lay(50, 60, 7, blood), 6);
    EXPECT_EQ(m.MarkAngle[6], 7);
    EXPECT_EQ(m.MarkX[6], 50);
    EXPECT_EQ(m.LastMark, 6);
}

TEST(PlayerMarks, DropsOnlyOutsideThePlayArea) {
    struct Case {
        double x, y;
        bool kept;
    };
    for (const Case& c :
         {Case{0, 0, true}, Case{700, 600, true}, Case{-0.1, 10, false}, Case{700.1, 10, false},
          Case{10, -14, true}, Case{10, -14.1, false}, Case{10, 600.1, false}}) {
        TMarkStore m;
        int blood = 0;
        m.Lay(c.x, c.y, 0, blood);
        m.DropOffScreen();
        EXPECT_EQ(m.ActiveCount(), c.kept ? 1 : 0) << c.x << "," << c.y;
    }
}

TEST(PlayerMarks, AfterARunOverTwentyHiddenThenThirtyBloodMarks) {
    TMarkStore m;
    m.Clear();
    int blood = 50;
    int hidden = 0, shownBlood = 0;
    for (int i = 1; i <= 60; ++i) {
        const int slot = m.Lay(10, 10, 0, blood);
        ASSERT_EQ(slot, i);
        if (m.MarkBlood[size_t(slot)] && !m.MarkShown[size_t(slot)]) ++hidden;
        if (m.MarkBlood[size_t(slot)] && m.MarkShown[size_t(slot)]) ++shownBlood;
        if (i <= 20)
            EXPECT_FALSE(m.MarkShown[size_t(slot)]) << i;
        else if (i <= 50)
            EXPECT_TRUE(m.MarkShown[size_t(slot)] && m.MarkBlood[size_t(slot)]) << i;
        else
            EXPECT_TRUE(m.MarkShown[size_t(slot)] && !m.MarkBlood[size_t(slot)]) << i;
    }
    EXPECT_EQ(hidden, 20);
    EXPECT_EQ(shownBlood, 30);
    EXPECT_EQ(blood, 0);
}

} // namespace
} // namespace vorlane
