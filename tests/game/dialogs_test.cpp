// The dialog windows on a whole headless game: the timed messages at two frame
// rates, one dialog at a time, the screen's selection kept under a dialog, the
// questions' keys, pause, the name entry with its send box and cursor, and the
// sending of a result that may fail.
#include "FormFixture.h"

#include "app/Dialogs.h"
#include "menus/BlinkingCursor.h"
#include "menus/MenuButton.h"
#include "menus/Screens.h"
#include "persist/OnlineScore.h"
#include "race/Race.h"
#include "sim/RaceState.h"

#include <gmock/gmock.h>

#include <stdexcept>

namespace vorlane {
namespace {

using test::FormFixture;

FormFixture::Options AtRate(int rate) {
    FormFixture::Options o;
    o.Rate = rate;
    return o;
}

class Dialogs : public ::testing::Test {
  protected:
    explicit Dialogs(int rate = 85) : game_(AtRate(rate)) {}

    TMForm& Form() { return game_.Form(); }
    TScreenState& Screen() { return Form().Screen; }
    DialogKind Dialog() { return Screen().ActiveDialog; }

    // The main menu with its intro over.
    void MenuReady() {
        game_.RunFrames(46);
        ASSERT_EQ(Screen().MenuIntro, 0);
    }
    // A race whose level banner is open.
    void RaceWithBanner() {
        MenuReady();
        CloseMainMenu(Form());
        StartRace(Form());
        ASSERT_EQ(Dialog(), DialogKind::LevelBanner);
    }
    // A race running, the banner gone.
    void Racing() {
        RaceWithBanner();
        for (int i = 0; i < 400 && Dialog() == DialogKind::LevelBanner; ++i)
            game_.RunFrames(1);
        ASSERT_EQ(Dialog(), DialogKind::None);
    }
    // The name entry after leaving a race with this total through the question.
    void NameEntryWithScore(int score) {
        Racing();
        Form().Race->Score = score;
        game_.Tap(vk::Esc);
        ASSERT_EQ(Dialog(), DialogKind::LeaveRace);
        game_.Tap(vk::Letter('y'));
        ASSERT_EQ(Dialog(), DialogKind::NameEntry);
    }
    void ClickAt(int x, int y) {
        game_.MouseMove(x, y);
        game_.Click();
    }
    int SendBoxPattern() { return Form().Dialog.SendBox->FramePos >= 0.5 ? 1 : 0; }

    FormFixture game_;
};

// ---- timed messages ----

struct TimedCase {
    int rate;
    DialogKind dialog;
    int frameMs;
    int closingFrame; // the frame on which fewer than FrameMs milliseconds are left
};

class TimedDialogs : public Dialogs, public ::testing::WithParamInterface<TimedCase> {
  protected:
    TimedDialogs() : Dialogs(GetParam().rate) {}
};

TEST_P(TimedDialogs, CloseOnTheFrameOnWhichLessThanAFrameIsLeft) {
    const TimedCase c = GetParam();
    if (c.dialog == DialogKind::LevelBanner) {
        RaceWithBanner();
    } else {
        Racing();
        OpenDialog(Form(), c.dialog);
    }
    ASSERT_EQ(Form().Stats.FrameMs, c.frameMs);
    const int timeLeft = Form().Race->TimeLeft;
    game_.RunFrames(c.closingFrame - 1);
    EXPECT_EQ(Dialog(), c.dialog);
    EXPECT_LT(Form().Dialog.DialogTimer, 2 * c.frameMs);
    EXPECT_EQ(Form().Race->TimeLeft, timeLeft) << "the race's clock stands still under a dialog";
    game_.RunFrames(1);
    EXPECT_NE(Dialog(), c.dialog);
}

INSTANTIATE_TEST_SUITE_P(TwoRates, TimedDialogs,
                         ::testing::Values(TimedCase{85, DialogKind::LevelBanner, 11, 182},
                                           TimedCase{60, DialogKind::LevelBanner, 16, 126},
                                           TimedCase{85, DialogKind::TimeOver, 11, 273},
                                           TimedCase{60, DialogKind::TimeOver, 16, 188},
                                           TimedCase{85, DialogKind::GameOver, 11, 273},
                                           TimedCase{60, DialogKind::GameOver, 16, 188}));

TEST_F(Dialogs, TimeOverStartsTheSameLevelAgainWithItsBanner) {
    Racing();
    const int level = Form().Race->Level;
    OpenDialog(Form(), DialogKind::TimeOver);
    game_.RunFrames(273);
    EXPECT_EQ(Dialog(), DialogKind::LevelBanner);
    EXPECT_EQ(Form().Race->Level, level);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::Race);
}

TEST_F(Dialogs, GameOverLeadsToTheNameEntryOnlyForAQualifyingTotal) {
    for (int score : {500, 501}) {
        SCOPED_TRACE(score);
        FormFixture game;
        game.RunFrames(46);
        TMForm& f = game.Form();
        CloseMainMenu(f);
        StartRace(f);
        game.RunFrames(182);
        f.Race->Score = score;
        OpenDialog(f, DialogKind::GameOver);
        game.RunFrames(273);
        if (score > 500) { // the default table's last entry is 500; a tie does not qualify
            EXPECT_EQ(f.Screen.ActiveDialog, DialogKind::NameEntry);
            EXPECT_TRUE(f.Race != nullptr);
        } else {
            EXPECT_EQ(f.Screen.ActiveDialog, DialogKind::None);
            EXPECT_EQ(f.Screen.ActiveScreen, ScreenKind::MainMenu);
            EXPECT_EQ(f.Screen.SelectedItem, 1);
            EXPECT_EQ(f.Race, nullptr);
        }
    }
}

TEST_F(Dialogs, RunningOutOfTimeGivesTimeOverThenGameOverWithTheLastLife) {
    Racing();
    TRace& r = *Form().Race;
    r.Lives = 2;
    r.TimeLeft = 100;
    for (int i = 0; i < 50 && Dialog() == DialogKind::None; ++i)
        game_.RunFrames(1);
    ASSERT_EQ(Dialog(), DialogKind::TimeOver);
    EXPECT_EQ(r.Lives, 1);
    game_.RunFrames(273);
    ASSERT_EQ(Dialog(), DialogKind::LevelBanner) << "the same level again, with its banner";
    EXPECT_EQ(r.Level, 1);
    EXPECT_EQ(r.TimeLeft, 54000);
    game_.RunFrames(182);
    ASSERT_EQ(Dialog(), DialogKind::None);

    r.TimeLeft = 100;
    for (int i = 0; i < 50 && Dialog() == DialogKind::None; ++i)
        game_.RunFrames(1);
    ASSERT_EQ(Dialog(), DialogKind::GameOver);
    game_.RunFrames(273);
    EXPECT_EQ(Dialog(), DialogKind::None);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::MainMenu) << "a total of 0 earns no place: the main menu";
    EXPECT_EQ(Form().Race, nullptr);
}

// ---- one dialog at a time ----

TEST_F(Dialogs, ASecondDialogIsIgnored) {
    RaceWithBanner();
    game_.RunFrames(10);
    const int timer = Form().Dialog.DialogTimer;
    const int saved = Form().Dialog.SavedFirstItem;
    game_.Tap(vk::Letter('p'));
    OpenDialog(Form(), DialogKind::Pause);
    OpenDialog(Form(), DialogKind::LeaveGame);
    EXPECT_EQ(Dialog(), DialogKind::LevelBanner);
    EXPECT_EQ(Form().Dialog.DialogTimer, timer - Form().Stats.FrameMs) << "one frame ran, nothing restarted";
    EXPECT_EQ(Form().Dialog.SavedFirstItem, saved);
    EXPECT_EQ(Form().Dialog.DialogWindow, nullptr);
}

TEST_F(Dialogs, ClosingTwiceOnlyRestoresTheSelectionAgain) {
    MenuReady();
    OpenDialog(Form(), DialogKind::LeaveGame);
    CloseDialog(Form());
    Screen().SelectedItem = 4;
    CloseDialog(Form());
    EXPECT_EQ(Dialog(), DialogKind::None);
    EXPECT_EQ(Screen().SelectedItem, 1);
    EXPECT_EQ(Screen().FirstItem, 1);
    EXPECT_EQ(Screen().LastItem, 6);
}

// ---- questions ----

// The middle of a sprite's picture across the screen.
double MiddleX(const TImageSprite* sprite) {
    return sprite->X + sprite->Width / 2.0;
}

TEST_F(Dialogs, TheQuestionsOverTheMenusStandInTheMiddleAndTheRacesOverTheRoad) {
    struct Case {
        DialogKind Dialog;
        double Middle; // of the window, its caption and the pair of buttons
    };
    for (const Case c : {Case{DialogKind::LeaveGame, 400}, Case{DialogKind::ClearHighScores, 400},
                         Case{DialogKind::LeaveRace, 348}}) {
        SCOPED_TRACE(int(c.Dialog));
        FormFixture game;
        game.RunFrames(46);
        TMForm& f = game.Form();
        if (c.Dialog == DialogKind::ClearHighScores) {
            CloseMainMenu(f);
            OpenHighScores(f);
        }
        if (c.Dialog == DialogKind::LeaveRace) {
            CloseMainMenu(f);
            StartRace(f);
            CloseDialog(f); // the level banner
        }
        OpenDialog(f, c.Dialog);
        ASSERT_EQ(f.Screen.ActiveDialog, c.Dialog);
        const auto* yes = dynamic_cast<const TImageSprite*>(f.Screen.Buttons[11]);
        const auto* no = dynamic_cast<const TImageSprite*>(f.Screen.Buttons[12]);
        ASSERT_TRUE(yes && no);
        EXPECT_NEAR(MiddleX(f.Dialog.DialogWindow), c.Middle, 1);
        EXPECT_NEAR(MiddleX(f.Dialog.DialogCaption), c.Middle, 1);
        EXPECT_NEAR((yes->X + no->X + no->Width) / 2.0, c.Middle, 6);
        // The mouse finds the buttons where they are drawn.
        game.MouseMove(int(yes->X) + 20, int(yes->Y) + 20);
        EXPECT_EQ(f.Screen.SelectedItem, 11);
    }
}

TEST_F(Dialogs, AQuestionKeepsTheScreensSelectionAndGivesItBack) {
    MenuReady();
    CloseMainMenu(Form());
    OpenHighScores(Form());
    game_.Tap(vk::Up);
    ASSERT_EQ(Screen().SelectedItem, 2);
    Form().ActivateItem(1);
    ASSERT_EQ(Dialog(), DialogKind::ClearHighScores);
    EXPECT_EQ(Screen().FirstItem, 11);
    EXPECT_EQ(Screen().LastItem, 12);
    EXPECT_EQ(Screen().SelectedItem, 12);
    ASSERT_NE(Screen().Buttons[11], nullptr);
    ASSERT_NE(Screen().Buttons[12], nullptr);
    game_.RunFrames(1);
    auto* no = static_cast<TMenuButton*>(Screen().Buttons[12]);
    EXPECT_TRUE(no->Highlighted);
    EXPECT_EQ(no->Z(), 15) << "only the exit question raises its buttons";
    game_.Tap(vk::Letter('n'));
    EXPECT_EQ(Dialog(), DialogKind::None);
    EXPECT_EQ(Screen().SelectedItem, 1);
    EXPECT_EQ(Screen().FirstItem, 1);
    EXPECT_EQ(Screen().LastItem, 3);
    EXPECT_EQ(Screen().Buttons[11], nullptr);
    EXPECT_EQ(Screen().Buttons[12], nullptr);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::HighScores);
}

struct QuestionCase {
    const char* name;
    std::vector<int> keys; // tapped in order, one frame each
    bool cleared;          // "Yes" was the answer
};

class ClearQuestion : public Dialogs, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(ClearQuestion, AnswersByKeys) {
    MenuReady();
    Form().HighScores.InsertScore("Ann", 9000);
    CloseMainMenu(Form());
    OpenHighScores(Form());
    Form().ActivateItem(1);
    ASSERT_EQ(Dialog(), DialogKind::ClearHighScores);
    for (int key : GetParam().keys)
        game_.Tap(key);
    EXPECT_EQ(Dialog(), DialogKind::None);
    EXPECT_EQ(Form().HighScores.Entry(1).Name, GetParam().cleared ? "ANONYMOUS" : "Ann");
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ClearQuestion,
    ::testing::Values(QuestionCase{"EnterAtOnceSaysNo", {vk::Enter}, false},
                      QuestionCase{"LeftThenEnterSaysYes", {vk::Left, vk::Enter}, true},
                      QuestionCase{"RightFromNoStaysOnNo", {vk::Right, vk::Enter}, false},
                      QuestionCase{"LeftRightEnterSaysNo", {vk::Left, vk::Right, vk::Enter}, false},
                      QuestionCase{"YSaysYes", {vk::Letter('y')}, true},
                      QuestionCase{"NSaysNo", {vk::Letter('n')}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Dialogs, KeysAfterTheAnswerInTheSameFrameLeaveTheScreenBeneathAlone) {
    MenuReady();
    Form().HighScores.InsertScore("Ann", 9000);
    CloseMainMenu(Form());
    OpenHighScores(Form());
    Form().ActivateItem(1);
    ASSERT_EQ(Dialog(), DialogKind::ClearHighScores);
    game_.RunFrames(1);
    // Y and N go down for the same frame: Y answers, and N must not reach the
    // high-score screen as the question's item 12.
    for (int key : {vk::Letter('y'), vk::Letter('n')})
        game_.Down(key);
    game_.RunFrames(1);
    for (int key : {vk::Letter('y'), vk::Letter('n')})
        game_.Up(key);
    EXPECT_EQ(Dialog(), DialogKind::None);
    EXPECT_EQ(Form().HighScores.Entry(1).Name, "ANONYMOUS") << "Y answered yes";
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::HighScores);
    EXPECT_EQ(Screen().SelectedItem, 1) << "the screen's own selection, given back";
    EXPECT_EQ(Screen().FirstItem, 1);
    EXPECT_EQ(Screen().LastItem, 3);
}

TEST_F(Dialogs, TheExitQuestionRaisesTheHighlightedButton) {
    MenuReady();
    game_.Tap(vk::Esc);
    ASSERT_EQ(Dialog(), DialogKind::LeaveGame);
    game_.RunFrames(1); // the highlight follows the selection on the dialog's frames
    auto* yes = static_cast<TMenuButton*>(Screen().Buttons[11]);
    auto* no = static_cast<TMenuButton*>(Screen().Buttons[12]);
    EXPECT_EQ(no->Z(), 17);
    EXPECT_EQ(yes->Z(), 15);
    game_.Tap(vk::Left);
    game_.RunFrames(1);
    EXPECT_EQ(yes->Z(), 17);
    EXPECT_EQ(no->Z(), 15);
    game_.Tap(vk::Enter);
    EXPECT_TRUE(Form().Terminated);
}

// ---- pause ----

TEST_F(Dialogs, PauseHoldsTheRaceUntilPOrEsc) {
    for (int closer : {vk::Letter('p'), vk::Esc}) {
        SCOPED_TRACE(closer);
        FormFixture game;
        game.RunFrames(46);
        TMForm& f = game.Form();
        CloseMainMenu(f);
        StartRace(f);
        game.RunFrames(182);
        ASSERT_EQ(f.Screen.ActiveDialog, DialogKind::None);
        game.Tap(vk::Letter('p'));
        ASSERT_EQ(f.Screen.ActiveDialog, DialogKind::Pause);
        const int timeLeft = f.Race->TimeLeft;
        game.RunFrames(100);
        EXPECT_EQ(f.Screen.ActiveDialog, DialogKind::Pause) << "the press that opened it does not close it";
        EXPECT_EQ(f.Race->TimeLeft, timeLeft);
        game.ClearEffects();
        game.Tap(closer);
        EXPECT_EQ(f.Screen.ActiveDialog, DialogKind::None);
        EXPECT_THAT(game.Effects(), ::testing::Contains("Neutral"))
            << "the standing car's engine sounds again";
        game.RunFrames(2);
        EXPECT_EQ(f.Screen.ActiveDialog, DialogKind::None) << "Esc does not also ask to leave the race";
        EXPECT_LT(f.Race->TimeLeft, timeLeft);
    }
}

TEST_F(Dialogs, ThePointerShowsForTheRacesQuestionAndNameEntryOnly) {
    Racing();
    IDisplay& display = Form().Display();
    EXPECT_FALSE(display.PointerVisible());
    game_.Tap(vk::Esc);
    ASSERT_EQ(Dialog(), DialogKind::LeaveRace);
    EXPECT_TRUE(display.PointerVisible());
    game_.Tap(vk::Letter('n'));
    EXPECT_FALSE(display.PointerVisible());
    game_.Tap(vk::Letter('p'));
    ASSERT_EQ(Dialog(), DialogKind::Pause);
    EXPECT_FALSE(display.PointerVisible());
    game_.RunFrames(1); // P let go for a frame: the next press is a new one
    game_.Tap(vk::Letter('p'));
    ASSERT_EQ(Dialog(), DialogKind::None);
    Form().Race->Score = 6000;
    game_.Tap(vk::Esc);
    ASSERT_EQ(Dialog(), DialogKind::LeaveRace);
    game_.Tap(vk::Letter('y'));
    ASSERT_EQ(Dialog(), DialogKind::NameEntry);
    EXPECT_TRUE(display.PointerVisible());
    game_.Down(vk::Enter);
    ASSERT_EQ(Dialog(), DialogKind::SendingResults);
    EXPECT_FALSE(display.PointerVisible());
    game_.RunFrames(2);
    game_.Up(vk::Enter);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::HighScores);
    EXPECT_TRUE(display.PointerVisible());
}

// ---- name entry ----

TEST_F(Dialogs, NameEntryStoresTheTotalAtItsRankAndShowsTheTable) {
    NameEntryWithScore(4200);
    game_.Type("Ann");
    ClickAt(170, 380); // untick: no sending
    EXPECT_EQ(SendBoxPattern(), 0);
    game_.Tap(vk::Enter);
    EXPECT_EQ(Dialog(), DialogKind::None);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::HighScores);
    EXPECT_EQ(Form().Race, nullptr);
    EXPECT_TRUE(game_.Game().Http.Requests.empty());
    const THighScoreTable& t = Form().HighScores;
    EXPECT_EQ(t.Entry(2).Score, 4500);
    EXPECT_EQ(t.Entry(3).Name, "Ann");
    EXPECT_EQ(t.Entry(3).Score, 4200);
    EXPECT_EQ(t.Entry(4).Score, 4000);
    EXPECT_EQ(t.Entry(10).Score, 1000);
}

TEST_F(Dialogs, TheSendBoxTogglesOnlyOnAClickInsideIt) {
    NameEntryWithScore(6000);
    EXPECT_EQ(SendBoxPattern(), 1) << "ticked at first";
    struct Click {
        int x, y;
        int pattern;
    };
    // Edges count as inside.
    for (Click c : {Click{161, 369, 0}, Click{215, 414, 1}, Click{216, 380, 1}, Click{160, 380, 1},
                    Click{190, 415, 1}, Click{190, 368, 1}, Click{188, 390, 0}}) {
        ClickAt(c.x, c.y);
        EXPECT_EQ(SendBoxPattern(), c.pattern) << c.x << "," << c.y;
        EXPECT_EQ(Dialog(), DialogKind::NameEntry);
    }
    game_.Type("Bo");
    ClickAt(188, 390); // typed letters first: still a click
    EXPECT_EQ(SendBoxPattern(), 1);
    EXPECT_EQ(Dialog(), DialogKind::NameEntry);
}

TEST_F(Dialogs, TheCursorFollowsTheCentredNameAndBlinks) {
    NameEntryWithScore(6000);
    TBlinkingCursor* cursor = Form().Dialog.Cursor;
    ASSERT_NE(cursor, nullptr);
    game_.RunFrames(1);
    EXPECT_TRUE(cursor->Visible) << "shows on its first move";
    EXPECT_DOUBLE_EQ(cursor->X, 348);
    EXPECT_EQ(cursor->Y, 360);
    game_.Type("Wim");
    game_.RunFrames(1);
    EXPECT_DOUBLE_EQ(cursor->X, Form().MeasureTextIn("Wim", 10) / 2.0 + 348);
    EXPECT_GT(cursor->X, 348);
    // It first showed in the frame that opened the name entry; two more have run.
    game_.RunFrames(88); // 90 countdowns of 11 ms since: not yet a second
    EXPECT_TRUE(cursor->Visible);
    game_.RunFrames(1);
    EXPECT_FALSE(cursor->Visible);
}

TEST_F(Dialogs, TheNameIsKeptAndTheBoxTickedAgainForTheNextEntry) {
    NameEntryWithScore(6000);
    game_.Type("Eve");
    ClickAt(188, 390);
    game_.Tap(vk::Enter);
    ASSERT_EQ(Screen().ActiveScreen, ScreenKind::HighScores);

    // A second race, left at once with a total that still qualifies.
    CloseHighScores(Form());
    StartRace(Form());
    for (int i = 0; i < 400 && Dialog() == DialogKind::LevelBanner; ++i)
        game_.RunFrames(1);
    Form().Race->Score = 5500;
    game_.Tap(vk::Esc);
    game_.Tap(vk::Letter('y'));
    ASSERT_EQ(Dialog(), DialogKind::NameEntry);
    EXPECT_EQ(Form().Dialog.PlayerName, "Eve");
    EXPECT_EQ(SendBoxPattern(), 1);
    game_.Tap(vk::Backspace);
    EXPECT_EQ(Form().Dialog.PlayerName, "Ev");
}

// ---- sending results ----

class FakeServer final : public IHttpClient {
  public:
    enum class Answer { Ok, Refused, Throws } answer = Answer::Ok;
    int calls = 0;
    bool Get(const HttpRequest&) override {
        ++calls;
        if (answer == Answer::Throws) throw std::runtime_error("connection reset");
        return answer == Answer::Ok;
    }
};

class SendingResults : public Dialogs, public ::testing::WithParamInterface<FakeServer::Answer> {};

TEST_P(SendingResults, SubmitsOnceOnTheSecondFrameAndGoesOnToTheTable) {
    FakeServer server;
    server.answer = GetParam();
    game_.Game().Http.Forward = &server;
    NameEntryWithScore(4200);
    Form().Options().Country = "Norway";
    game_.Type("Ann");
    game_.Down(vk::Enter); // opens the sending message before the next frame
    ASSERT_EQ(Dialog(), DialogKind::SendingResults);
    game_.RunFrames(1);
    game_.Up(vk::Enter);
    EXPECT_EQ(Dialog(), DialogKind::SendingResults) << "the message is shown for one frame first";
    EXPECT_TRUE(game_.Game().Http.Requests.empty());
    game_.RunFrames(1);
    ASSERT_EQ(game_.Game().Http.Requests.size(), 1u);
    const std::string encoded = EncodeSubmission(BuildSubmissionText("Ann", 4200, "Norway"));
    const std::string& url = game_.Game().Http.Requests[0].url;
    EXPECT_EQ(url.substr(url.size() - encoded.size()), encoded);
    EXPECT_EQ(Dialog(), DialogKind::None);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::HighScores);
    EXPECT_EQ(Form().Race, nullptr);
    EXPECT_EQ(Form().HighScores.Entry(3).Name, "Ann");
    game_.RunFrames(20);
    EXPECT_EQ(server.calls, 1);
    EXPECT_EQ(Screen().ActiveScreen, ScreenKind::HighScores);
}

INSTANTIATE_TEST_SUITE_P(ServerAnswers, SendingResults,
                         ::testing::Values(FakeServer::Answer::Ok, FakeServer::Answer::Refused,
                                           FakeServer::Answer::Throws));

} // namespace
} // namespace vorlane
