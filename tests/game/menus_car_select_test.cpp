// The car selection: the 13-frame cross-fade, wrapping round the six cars, a second
// request during a fade, the arrow keys, and the chosen car kept for the next visit.
#include "menus_fixture.h"

#include "menus/MenuConsts.h"

namespace vorlane {
namespace {

class CarSelect : public test::MenuTest {
  protected:
    void Open() {
        EnterMenuItem(1);
        ASSERT_EQ(Screen().ActiveScreen, ScreenKind::CarSelect);
        ASSERT_EQ(Selected(), 3);
    }
    TGameSprite& A() { return *Menu().CarA; }
    TGameSprite& B() { return *Menu().CarB; }
    bool ShowsCar(const TGameSprite& s, int car) { return Shows(&s, "SG_Car" + std::to_string(car)); }
    // Switch with the dispatcher's item and let the fade run out.
    void SwitchAndWait(int item) {
        Form().ActivateItem(item);
        for (int i = 0; i < 20 && Menu().CarSwitchPhase != 0; ++i)
            game_.RunFrames(1);
        ASSERT_EQ(Menu().CarSwitchPhase, 0);
        game_.RunFrames(1);
    }
};

TEST_F(CarSelect, TheShownCarFadesOutOverThirteenFramesUncoveringTheNextOne) {
    Open();
    EXPECT_TRUE(ShowsCar(A(), 1));
    EXPECT_FALSE(B().Visible);
    Form().ActivateItem(2);
    EXPECT_EQ(Menu().CarSwitchPhase, 1);
    EXPECT_EQ(Menu().NextCar, 2);
    EXPECT_TRUE(B().Visible);
    EXPECT_TRUE(ShowsCar(B(), 2));
    for (int k = 1; k <= 12; ++k) {
        game_.RunFrames(1);
        ASSERT_EQ(Menu().CarSwitchPhase, 1) << k;
        EXPECT_TRUE(A().Blended);
        EXPECT_EQ(A().Alpha, 255 - 20 * k);
        EXPECT_TRUE(ShowsCar(A(), 1));
        EXPECT_EQ(Menu().SelectedCar, 1);
    }
    game_.RunFrames(1); // 255 - 13 * 20 < 0
    EXPECT_EQ(Menu().CarSwitchPhase, 0);
    EXPECT_EQ(Menu().SelectedCar, 2);
    EXPECT_TRUE(ShowsCar(A(), 2));
    game_.RunFrames(1);
    EXPECT_FALSE(A().Blended);
    EXPECT_EQ(A().Alpha, 255);
    EXPECT_TRUE(A().Visible);
    EXPECT_FALSE(B().Visible);
}

TEST_F(CarSelect, SwitchingWrapsRoundTheSixCars) {
    Open();
    struct Case {
        int item; // 1 preceding, 2 following
        int car;  // the car chosen afterwards
    };
    // From car 1: back to 6, on to 1, on to 2, back to 1, back to 6.
    const Case cases[] = {{1, 6}, {2, 1}, {2, 2}, {1, 1}, {1, 6}};
    for (const Case& c : cases) {
        SwitchAndWait(c.item);
        EXPECT_EQ(Menu().SelectedCar, c.car);
        EXPECT_TRUE(ShowsCar(A(), c.car));
    }
}

TEST_F(CarSelect, ASecondRequestDuringTheFadeIsIgnoredButTheArrowsStillMove) {
    Open();
    Screen().SelectedItem = 1;
    game_.Tap(vk::Left); // switches to the preceding car
    ASSERT_EQ(Menu().CarSwitchPhase, 1);
    EXPECT_EQ(Menu().NextCar, 6);
    const int alpha = A().Alpha;
    game_.Tap(vk::Enter);   // item 1 again: ignored, only clicks
    game_.Tap(vk::Left);    // the same through the key
    Form().ActivateItem(2); // and the other way (selects item 2)
    EXPECT_EQ(Menu().NextCar, 6);
    EXPECT_EQ(A().Alpha, alpha - 40); // the fade ran on for two more frames
    game_.Tap(vk::Down);
    EXPECT_EQ(Selected(), 4);
    for (int i = 0; i < 20 && Menu().CarSwitchPhase != 0; ++i)
        game_.RunFrames(1);
    EXPECT_EQ(Menu().SelectedCar, 6);
}

TEST_F(CarSelect, ArrowKeys) {
    Open();
    struct Case {
        int from;
        int key;
        int to;
        bool switches;
    };
    const Case cases[] = {
        {1, vk::Left, 1, true},  {2, vk::Right, 2, true},  {2, vk::Left, 1, false}, {1, vk::Right, 2, false},
        {4, vk::Left, 3, false}, {3, vk::Right, 4, false}, {3, vk::Left, 3, false}, {4, vk::Right, 4, false},
        {3, vk::Up, 1, false},   {4, vk::Up, 2, false},    {1, vk::Down, 3, false}, {2, vk::Down, 4, false},
        {1, vk::Up, 1, false},   {4, vk::Down, 4, false},  {3, vk::Esc, 3, false},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < 20 && Menu().CarSwitchPhase != 0; ++i)
            game_.RunFrames(1);
        game_.RunFrames(1); // the shown car opaque again
        Screen().SelectedItem = c.from;
        const int car = Menu().SelectedCar;
        Press(c.key);
        EXPECT_EQ(Selected(), c.to) << "from " << c.from << " key " << c.key;
        EXPECT_EQ(Menu().CarSwitchPhase == 1, c.switches) << "from " << c.from << " key " << c.key;
        EXPECT_EQ(Screen().ActiveScreen, ScreenKind::CarSelect);
        if (c.switches) {
            EXPECT_NE(Menu().NextCar, car);
        }
    }
}

// A switch asked for on the frame right after a fade ended finds the shown car still
// fully faded and completes at once, without a fade of its own.
TEST_F(CarSelect, ASwitchRightAfterAFadeCompletesAtOnce) {
    Open();
    Form().ActivateItem(2);
    for (int i = 0; i < 20 && Menu().CarSwitchPhase != 0; ++i)
        game_.RunFrames(1);
    ASSERT_EQ(Menu().SelectedCar, 2);
    Form().ActivateItem(2);
    game_.RunFrames(1);
    EXPECT_EQ(Menu().CarSwitchPhase, 0);
    EXPECT_EQ(Menu().SelectedCar, 3);
    // One frame later the next switch fades normally again.
    game_.RunFrames(1);
    Form().ActivateItem(2);
    game_.RunFrames(1);
    EXPECT_EQ(Menu().CarSwitchPhase, 1);
    EXPECT_EQ(A().Alpha, 235);
}

TEST_F(CarSelect, BackAndAgainShowsTheCarChosenLast) {
    Open();
    SwitchAndWait(1);
    SwitchAndWait(1); // car 5
    Form().ActivateItem(4);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::MainMenu);
    EXPECT_EQ(Selected(), 1);
    game_.RunFrames(1);
    Form().ActivateItem(1);
    ASSERT_EQ(Screen().ActiveScreen, ScreenKind::CarSelect);
    EXPECT_EQ(Menu().SelectedCar, 5);
    EXPECT_TRUE(ShowsCar(A(), 5));
    EXPECT_FALSE(B().Visible);
}

} // namespace
} // namespace vorlane
