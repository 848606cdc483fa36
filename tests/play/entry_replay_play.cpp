// The race of a high-score entry watched from the high-score screen: R plays it in the
// running game at its recorded pace, Esc or its end return to the screen as it was
// (table, options, name, music, selection), and nothing in the save folder changes;
// an entry whose replay is missing or damaged says so and stays.
#include "game/FormFixture.h"
#include "play/PlayRun.h"
#include "play/ScenarioTables.h"

#include "app/EntryReplayWatch.h"
#include "app/ReplayRun.h"
#include "app/ReplayWatch.h"
#include "menus/Screens.h"
#include "persist/ReplayShelf.h"
#include "replay/ReplayPlayer.h"
#include "sim/RaceState.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace vorlane::playtest {
namespace {

using SaveFiles = std::map<std::string, std::string>;

// Every file below the save folder with its bytes.
SaveFiles ReadSaveFolder(const std::filesystem::path& save) {
    SaveFiles files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(save))
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), save).string()] = ReadText(entry.path());
    return files;
}

test::FormFixture::Options LowTableGame() {
    test::FormFixture::Options options;
    options.BeforeStart = [](const std::filesystem::path& root) { LowTable(root); };
    return options;
}

bool SameTable(const THighScoreTable& a, const THighScoreTable& b) {
    for (int rank = 1; rank <= THighScoreTable::kSize; ++rank)
        if (a.Entry(rank).Name != b.Entry(rank).Name || a.Entry(rank).Score != b.Entry(rank).Score)
            return false;
    return true;
}

// What the high-score screen shows and the player chose, compared before and after.
struct ScreenAsItWas {
    THighScoreTable Table;
    TGameOptions Options;
    std::string PlayerName;
    std::string Music;
    int SelectedItem = 0;
    int SelectedCar = 0;
    std::string Line;

    static ScreenAsItWas Of(TMForm& form) {
        return {form.HighScores,          form.Options(),        form.Dialog.PlayerName,   form.MusicFile(),
                form.Screen.SelectedItem, form.Menu.SelectedCar, HighScoreReplayLine(form)};
    }
    void ExpectSame(TMForm& form, const std::string& when) const {
        SCOPED_TRACE(when);
        EXPECT_EQ(form.Screen.ActiveScreen, ScreenKind::HighScores);
        EXPECT_EQ(form.Screen.ActiveDialog, DialogKind::None);
        EXPECT_FALSE(form.Race);
        EXPECT_FALSE(form.WatchingReplay());
        EXPECT_TRUE(SameTable(form.HighScores, Table));
        EXPECT_EQ(form.Options().SoundOn, Options.SoundOn);
        EXPECT_EQ(form.Options().MusicOn, Options.MusicOn);
        EXPECT_EQ(form.Options().FullScreenMode, Options.FullScreenMode);
        EXPECT_EQ(form.Options().Country, Options.Country);
        EXPECT_EQ(form.Dialog.PlayerName, PlayerName);
        EXPECT_EQ(form.MusicFile(), Music);
        EXPECT_EQ(form.Screen.SelectedItem, SelectedItem);
        EXPECT_EQ(form.Menu.SelectedCar, SelectedCar);
        EXPECT_EQ(HighScoreReplayLine(form), Line);
        EXPECT_TRUE(form.Recording.Enabled);
    }
};

// A short race with the third car, driven a little, left with Esc and "Yes": its total
// tops the low table, the name entry takes "Ace" with the send box unticked, and the
// high-score screen opens with the entry at rank 1. With stallMs, one frame of the
// drive took that long (the machine was busy).
void RaceIntoTheTable(test::FormFixture& game, int stallMs = 0) {
    TMForm& form = game.Form();
    game.RunFrames(50);
    game.Tap(vk::Enter);
    game.RunFrames(20);
    ASSERT_EQ(form.Screen.ActiveScreen, ScreenKind::CarSelect);
    form.Menu.SelectedCar = 3;
    form.ActivateItem(ItemNo(CarSelectItem::Race));
    ASSERT_EQ(form.Screen.ActiveScreen, ScreenKind::Race);
    game.RunFrames(BannerEnd - RaceStart + 2);
    game.Down(vk::Up);
    if (stallMs > 0) {
        game.RunFrames(30);
        game.RunFrames(1, stallMs);
        game.RunFrames(29);
    } else {
        game.RunFrames(60);
    }
    game.Up(vk::Up);
    game.Tap(vk::Esc);
    game.RunFrames(3);
    game.Tap('Y');
    game.RunFrames(3);
    ASSERT_EQ(form.Screen.ActiveDialog, DialogKind::NameEntry);
    game.Type("Ace");
    game.MouseMove(188, 390);
    game.Click(); // unticks the send box
    game.Tap(vk::Enter);
    game.RunFrames(3);
    ASSERT_EQ(form.Screen.ActiveScreen, ScreenKind::HighScores);
    ASSERT_EQ(form.HighScores.Entry(1).Name, "Ace");
}

TEST(EntryReplay, RPlaysTheEntrysRaceToItsEndOrUntilEscAndTheScreenComesBackUntouched) {
    test::FormFixture game(LowTableGame());
    TMForm& form = game.Form();
    RaceIntoTheTable(game);
    const auto save = game.SaveDir();
    const std::string bytes = ReadText(save / "Replays" / "hs01.vrp");
    const Replay recorded = ReadReplay(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    game.RunFrames(2);
    EXPECT_EQ(HighScoreReplayLine(form), "PRESS R TO WATCH\nTHE RACE IN 1ST PLACE");
    // The player changes what a replay sets at its start: they must survive it.
    form.Options().SoundOn = false;
    form.Screen.SelectedItem = ItemNo(HighScoresItem::Clear);
    form.Menu.SelectedCar = 5;
    const ScreenAsItWas before = ScreenAsItWas::Of(form);
    const SaveFiles files = ReadSaveFolder(save);
    ASSERT_TRUE(files.count("Replays/last.vrp"));
    ASSERT_EQ(before.Music, "Data\\Music\\Menu.xm");

    // To its end: the race plays with the recording's car, name and switches, one
    // recorded frame a tick, and shows the recorded total before the screen returns.
    game.Tap('R');
    ASSERT_TRUE(form.WatchingReplay());
    int frames = 1;
    int lastScore = -1;
    bool sawRaceAsRecorded = false;
    while (form.WatchingReplay() && frames < int(recorded.Outcome.Frames) + 100) {
        ASSERT_TRUE(form.Race);
        lastScore = form.Race->Score;
        if (form.Options().SoundOn && form.Menu.SelectedCar == 3 && form.Dialog.PlayerName.empty() &&
            form.MusicFile() == "Data\\Music\\Race.xm" && !form.Recording.Recording())
            sawRaceAsRecorded = true;
        game.RunFrames(1);
        ++frames;
    }
    EXPECT_TRUE(sawRaceAsRecorded);
    EXPECT_FALSE(form.WatchingReplay()) << "still watching after " << frames << " frames";
    EXPECT_NEAR(frames, int(recorded.Outcome.Frames), 3);
    EXPECT_EQ(lastScore, recorded.Outcome.Result.Score);
    before.ExpectSame(form, "after the end");
    game.RunFrames(5);
    before.ExpectSame(form, "five frames later");

    // Midway: Esc leaves at once, and the Esc that left does not go on to the screen
    // (it would lead back to the main menu). P pauses and goes on meanwhile.
    game.Tap('R');
    game.RunFrames(BannerEnd - RaceStart + 10); // the clock runs once the banner is gone
    ASSERT_TRUE(form.WatchingReplay());
    game.Tap('P');
    const int timeLeft = form.Race->TimeLeft;
    game.RunFrames(30);
    EXPECT_EQ(form.Race->TimeLeft, timeLeft) << "paused";
    game.Tap('P');
    game.RunFrames(20);
    ASSERT_TRUE(form.WatchingReplay());
    EXPECT_LT(form.Race->TimeLeft, timeLeft) << "going on";
    game.Tap(vk::Esc);
    before.ExpectSame(form, "after Esc");
    game.RunFrames(5);
    before.ExpectSame(form, "five frames after Esc");

    // Nothing was written: not the last race, not the entries' replays, nothing else.
    EXPECT_EQ(ReadSaveFolder(save), files);
}

TEST(EntryReplay, TheWindowsEventsWhileWatchingAreThePlayersNotTheRaces) {
    test::FormFixture game(LowTableGame());
    TMForm& form = game.Form();
    RaceIntoTheTable(game);
    game.RunFrames(2);
    ASSERT_FALSE(form.Options().FullScreenMode);
    game.Tap('R');
    game.RunFrames(BannerEnd - RaceStart + 10);
    ASSERT_TRUE(form.WatchingReplay());
    const int selectedCar = form.Menu.SelectedCar;
    // Pointing and clicking do nothing to the race; Alt+Enter switches the window and
    // stays the player's choice afterwards.
    game.MouseMove(700, 400);
    game.Click();
    game.Down(vk::Alt);
    game.Tap(vk::Enter);
    game.Up(vk::Alt);
    game.RunFrames(2);
    EXPECT_TRUE(form.WatchingReplay());
    EXPECT_EQ(form.Screen.ActiveDialog, DialogKind::None) << "no pause opened in the race";
    EXPECT_EQ(form.Menu.SelectedCar, selectedCar);
    EXPECT_TRUE(form.Options().FullScreenMode);
    EXPECT_TRUE(form.Display().IsFullScreen());
    // The window's close button leaves the playback and asks, as on the screen.
    game.Game().CloseRequest();
    EXPECT_FALSE(form.WatchingReplay());
    EXPECT_EQ(form.Screen.ActiveScreen, ScreenKind::HighScores);
    EXPECT_EQ(form.Screen.ActiveDialog, DialogKind::LeaveGame);
    EXPECT_TRUE(form.Options().FullScreenMode);
    EXPECT_TRUE(form.Display().IsFullScreen());
    EXPECT_EQ(form.Keys.MouseX, 700);
    EXPECT_EQ(form.Keys.MouseY, 400);
    EXPECT_TRUE(form.Display().PointerVisible());
    // "No", and the game ends in the middle of the next playback (the fixture goes).
    form.ActivateItem(ItemNo(DialogItem::No));
    ASSERT_EQ(form.Screen.ActiveDialog, DialogKind::None);
    game.Tap('R');
    game.RunFrames(10);
    EXPECT_TRUE(form.WatchingReplay());
}

// A display that waits for its vertical blank at every flip, refreshing hz times a
// second: showing a frame moves the game's clock on to the next blank, and a pass of
// the frame loop that shows nothing takes no time at all.
class VsyncDisplay {
  public:
    VsyncDisplay(play::HeadlessGame& game, int hz)
        : game_(game), hz_(hz), origin_(game.Clock.Milliseconds()) {
        game_.Form().OnFrameDrawn = [this] {
            const uint32_t since = game_.Clock.Milliseconds() - origin_;
            blank_ = std::max(blank_ + 1, (long long)since * hz_ / 1000 + 1);
            game_.Clock.Set(origin_ + uint32_t(std::llround(double(blank_) * 1000.0 / hz_)));
        };
    }
    ~VsyncDisplay() { game_.Form().OnFrameDrawn = nullptr; }
    VsyncDisplay(const VsyncDisplay&) = delete;
    VsyncDisplay& operator=(const VsyncDisplay&) = delete;
    int Period() const { return (1000 + hz_ - 1) / hz_; }

  private:
    play::HeadlessGame& game_;
    int hz_;
    uint32_t origin_;
    long long blank_ = 0;
};

// The race's own time: the move counts of all its recorded frames.
long long RecordedMs(const Replay& replay) {
    long long ms = 0;
    for (const ReplayFrame& f : replay.Frames)
        ms += f.Step.LagCount;
    return ms;
}

TEST(EntryReplay, AWatchedRaceKeepsItsRecordedPaceOnAnyDisplayAndALongFrameTakesOnlyItsOwnTime) {
    // Played at 85 Hz with one frame of 600 ms (the machine stalled).
    test::FormFixture game(LowTableGame());
    TMForm& form = game.Form();
    RaceIntoTheTable(game, 600);
    const std::string bytes = ReadText(game.SaveDir() / "Replays" / "hs01.vrp");
    const std::vector<uint8_t> file(bytes.begin(), bytes.end());
    const Replay recorded = ReadReplay(file);
    ASSERT_TRUE(std::any_of(recorded.Frames.begin(), recorded.Frames.end(),
                            [](const ReplayFrame& f) { return f.Step.LagCount == 600; }));
    const long long recordedMs = RecordedMs(recorded);
    game.RunFrames(2);

    // Watched from the table and with --replay, on displays slower and faster than the
    // race was played: the watch lasts as long as the race did (it ends on the first
    // displayed frame at or after the race's own end) and ends as the race did.
    enum class Watcher { Table, Window };
    struct Case {
        Watcher By;
        int Hz;
    };
    for (const Case c : {Case{Watcher::Table, 60}, Case{Watcher::Table, 144}, Case{Watcher::Window, 60},
                         Case{Watcher::Window, 30}}) {
        SCOPED_TRACE(std::string(c.By == Watcher::Table ? "the table" : "--replay") + " at " +
                     std::to_string(c.Hz) + " Hz");
        if (c.By == Watcher::Table) {
            // R starts the watch at once; the frame loop's ticks go on from now.
            VsyncDisplay display(game.Game(), c.Hz);
            const uint32_t start = game.Game().Clock.Milliseconds();
            game.Down('R');
            game.Up('R');
            ASSERT_TRUE(form.WatchingReplay());
            int lastScore = -1;
            for (int pass = 0; pass < 100000 && form.WatchingReplay(); ++pass) {
                form.FrameTimer->Idle();
                if (form.WatchingReplay() && form.Race) lastScore = form.Race->Score;
            }
            const long long took = game.Game().Clock.Milliseconds() - start;
            EXPECT_FALSE(form.WatchingReplay()) << "the watch stood still after " << took << " ms";
            EXPECT_GE(took, recordedMs);
            EXPECT_LE(took, recordedMs + display.Period());
            EXPECT_EQ(lastScore, recorded.Outcome.Result.Score);
            EXPECT_EQ(form.Screen.ActiveScreen, ScreenKind::HighScores);
        } else {
            test::FormFixture window;
            play::HeadlessGame& watcher = window.Game();
            TReplayRun run(
                window.Form(), [&watcher](int key, bool down) { watcher.Keys.SetDown(key, down); }, file);
            VsyncDisplay display(watcher, c.Hz);
            const uint32_t start = watcher.Clock.Milliseconds();
            WatchReplayRun(window.Form(), run);
            const long long took = watcher.Clock.Milliseconds() - start;
            EXPECT_GE(took, recordedMs);
            EXPECT_LE(took, recordedMs + display.Period());
            const ReplayVerdict verdict = run.Verdict();
            EXPECT_EQ(verdict.Kind, ReplayVerdictKind::Ok) << verdict.Message;
            EXPECT_EQ(verdict.Frames, recorded.Outcome.Frames);
        }
    }
}

TEST(EntryReplay, AMissingOrDamagedReplaySaysSoAndTheScreenStays) {
    test::FormFixture::Options options;
    options.BeforeStart = [](const std::filesystem::path& root) {
        LowTable(root);
        THighScoreTable table;
        table.LoadHighScores(root);
        // Rank 1 has a file that is its own (the shelf's check matches) but no replay;
        // rank 2 has a real-looking one whose file goes missing; the rest have none.
        TReplayShelf shelf(root);
        ASSERT_TRUE(shelf.FileEntry(table.Entries(), 1, "not a replay at all").Ok());
        ASSERT_TRUE(shelf.FileEntry(table.Entries(), 2, "another file").Ok());
    };
    test::FormFixture game(options);
    TMForm& form = game.Form();
    game.RunFrames(46);
    // The pointer rests over row 5 as the screen opens: the best entry with a replay is
    // picked all the same, until the pointer moves.
    game.MouseMove(600, 220 + 36 * 5);
    form.ActivateItem(ItemNo(MainMenuItem::HighScores));
    game.RunFrames(2);
    ASSERT_EQ(form.Screen.ActiveScreen, ScreenKind::HighScores);
    EXPECT_EQ(form.Menu.Replays.Rank, 1);
    std::filesystem::remove(game.SaveDir() / "Replays" / TReplayShelf::EntryFileName(2));

    // After the notice the line is gone: that row has nothing to play.
    struct Case {
        int Row;
        std::string LineBefore;
        std::string Notice;
    };
    const Case cases[] = {
        {1, "PRESS R TO WATCH\nTHE RACE IN 1ST PLACE", "THE RACE IN 1ST PLACE\nIS DAMAGED"},
        {2, "PRESS R TO WATCH\nTHE RACE IN 2ND PLACE", "NO RACE KEPT\nFOR 2ND PLACE"},
        {7, "", "NO RACE KEPT\nFOR 7TH PLACE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Row);
        // The pointer picks the row (names are centred at y 220 + 36 * rank).
        game.MouseMove(600, 220 + 36 * c.Row);
        game.RunFrames(1);
        EXPECT_EQ(form.Menu.Replays.Rank, c.Row);
        EXPECT_EQ(HighScoreReplayLine(form), c.LineBefore);
        game.Tap('R');
        EXPECT_FALSE(form.WatchingReplay());
        EXPECT_EQ(form.Screen.ActiveScreen, ScreenKind::HighScores);
        EXPECT_EQ(form.Screen.SelectedItem, ItemNo(HighScoresItem::Back));
        EXPECT_EQ(HighScoreReplayLine(form), c.Notice);
        game.RunFrames(4 * 85);
        EXPECT_EQ(HighScoreReplayLine(form), "") << "the notice goes after three seconds";
    }
}

TEST(EntryReplay, TheLinesStandUnderTheBackButtonClearOfTheButtonsAndTheTable) {
    test::FormFixture game(LowTableGame());
    TMForm& form = game.Form();
    RaceIntoTheTable(game);
    const auto* back = dynamic_cast<TImageSprite*>(form.Screen.Buttons[size_t(ItemNo(HighScoresItem::Back))]);
    ASSERT_TRUE(back);
    // The widest texts the screen draws there: the hint for the last row and the
    // notices.
    form.Menu.Replays.Rank = 10;
    form.Menu.Replays.Kept[9] = true;
    const std::string hint = HighScoreReplayLine(form);
    ASSERT_EQ(hint, "PRESS R TO WATCH\nTHE RACE IN 10TH PLACE");
    for (const std::string& text : {hint, std::string("THE RACE IN 10TH PLACE\nIS DAMAGED"),
                                    std::string("NO RACE KEPT\nFOR 10TH PLACE")}) {
        const std::string lines[] = {text.substr(0, text.find('\n')), text.substr(text.find('\n') + 1)};
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(lines[i]);
            const int width = form.MeasureTextIn(lines[i], kReplayLineStyle);
            const int height = form.MeasureTextHeight(lines[i]);
            const int y = kReplayLineY + i * kReplayLinePitch;
            EXPECT_GE(kReplayLineX - width / 2, 8);
            // Well clear of the table's frame, not touching it.
            EXPECT_LE(kReplayLineX + width / 2, 274 - 16) << "the table's frame";
            EXPECT_GT(y - height / 2, int(back->Y) + back->Height) << "the back button";
            EXPECT_LT(y + height / 2, 600);
        }
    }
}

// The light pixels of the names' colour in the band under the back button.
int LinePixels(const RgbaImage& image) {
    int n = 0;
    for (int y = 548; y < 578; ++y)
        for (int x = 0; x < 274; ++x) {
            const uint32_t rgb = Rgb(image, x, y);
            n += (rgb >> 16 & 0xFF) > 200 && (rgb >> 8 & 0xFF) > 190 && (rgb & 0xFF) > 190 ? 1 : 0;
        }
    return n;
}

TEST(EntryReplayPlay, TheLineIsDrawnOnlyWhenThePickedEntryHasARaceAndRShowsTheRace) {
    const int q = BannerEnd + 10;
    const int r = q + 30;
    const std::string script = At(50, "press Enter") + At(RaceStart, "press Enter") + At(q, "press Esc") +
                               At(q + 5, "press Y") + At(q + 10, "text Zed") + At(q + 12, "mouse 188 390") +
                               At(q + 13, "click") + At(q + 20, "press Enter") + At(r, "press R");
    auto run = PlayScript(script, Options().Frames(r + 40).Before(LowTable).Shot(q + 25).Shot(r + 30));
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_EQ(run.Frame(q + 25).Int("ActiveScreen"), 4);
    EXPECT_GT(LinePixels(run.Shot(q + 25)), 150) << "the line under the back button";
    // Watching: the race on the screen, its head-up panel at the right.
    const Json& watching = run.Frame(r + 30);
    EXPECT_EQ(watching.Int("ActiveScreen"), 6);
    EXPECT_EQ(watching.Int("ActiveDialog"), 6) << "its level banner";
    EXPECT_EQ(watching.Str("PlayerName"), "") << "the name the race began with";
    EXPECT_EQ(watching["highscores"][0].Str("name"), "Zed");

    // A table without replays: no line.
    auto plain = PlayScript(At(50, "press Down") + At(52, "press Enter"), Options().Frames(60).Shot(58));
    ASSERT_EQ(plain.ExitCode, 0) << plain.Errors;
    ASSERT_EQ(plain.Frame(58).Int("ActiveScreen"), 4);
    EXPECT_LT(LinePixels(plain.Shot(58)), 10);
}

} // namespace
} // namespace vorlane::playtest
