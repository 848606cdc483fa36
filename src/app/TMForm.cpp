// The main form's life: building it (StartUp: seed, archives, high scores,
// options, the check, the screen mode, the main menu) and the orderly end
// (ShutDown: options, high scores, the link file).
#include "app/TMForm.h"

#include "app/ControlsSetup.h"
#include "app/Dialogs.h"
#include "app/EntryReplayWatch.h"
#include "menus/Screens.h"
#include "persist/Controls.h"
#include "persist/GamePaths.h"
#include "persist/WebLinks.h"
#include "platform/GamePads.h"
#include "sim/RaceState.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace vorlane {

namespace {

// The key table of the input component: arrows, H, P, Y, N, Esc, Space, Enter, Z, X,
// C, V, B and the digits.
void SetUpInput(TInputDevice& input) {
    input.Assigns = GameKeyAssigns();
    input.ActiveOnly = true;
    input.KeyboardEnabled = true;
    input.Initialize();
}

void Report(const FileReport& report) {
    // The game goes on whatever happened to its small files; a damaged, rejected or
    // unwritable file is worth a line on the console for whoever looks.
    if (report.status != FileStatus::Ok && report.status != FileStatus::Missing)
        std::fprintf(stderr, "vorlane: %s\n", report.message.c_str());
}

} // namespace

TMForm::TMForm(TMFormServices services)
    : TGame(std::move(services)), entryReplay_(std::make_unique<TEntryReplayWatch>(*this)) {
    Recording.Enabled = services_.RecordRaces;
    BindDisplay();
    try {
        SetUpInput(*Input);
        FrameTimer->SetInterval(0);
        FrameTimer->ActiveOnly = true;
        FrameTimer->OnTimer = [this](int lag) { Tick(lag); };
        StartUp();
        FrameTimer->Loaded();
    } catch (...) {
        // No destructor runs for a form that failed to build: the display must not
        // call back into its half-built lists while it closes.
        UnbindDisplay();
        throw;
    }
}

TMForm::~TMForm() {
    FrameTimer->Stop();
    entryReplay_.reset(); // the player's keyboard back before the race goes
    // The sprites go before the pictures they show; the race's plain references with them.
    Race.reset();
    UnbindDisplay();
}

void TMForm::UnbindDisplay() {
    if (displayListener_) Display().RemoveListener(*displayListener_);
    displayListener_.reset();
    SpriteEngine.SetSurface(nullptr);
}

// The image lists and the sprite engine keep textures on the display: they follow
// its initialise, finalise and restore notifications.
void TMForm::BindDisplay() {
    auto initialised = [this](IDrawSurface& s) {
        MenuImages.DisplayInitialised(s);
        RaceImages.DisplayInitialised(s);
        SpriteEngine.SetSurface(&s);
    };
    auto finalised = [this]() {
        SpriteEngine.SetSurface(nullptr);
        MenuImages.DisplayFinalised();
        RaceImages.DisplayFinalised();
    };
    auto restored = [this](IDrawSurface& s) {
        MenuImages.DisplayRestored(s);
        RaceImages.DisplayRestored(s);
        SpriteEngine.SetSurface(&s);
    };
    displayListener_ = std::make_unique<FunctionDisplayListener>(initialised, finalised, restored);
    Display().AddListener(*displayListener_);
    if (Display().CanDraw()) initialised(Display().Surface());
}

void TMForm::StartUp() {
    // The random generator: from the clock in the real game, a fixed seed headless.
    // The game's own millisecond clock starts with the window, so at this point it
    // stands at nearly the same small count every run; the time of day varies.
    if (services_.SeedFromClock)
        Random.Seed(uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count()));
    else
        Random.Seed(services_.Seed);
    // The pictures and the sounds. Without the first archive the data is not there at
    // all: say where it was looked for, and how to name the folder that holds it.
    const std::filesystem::path firstArchive = DataPath("Data\\Res\\Res1.gfx");
    std::error_code ec;
    if (!std::filesystem::exists(firstArchive, ec))
        throw EngineError("The game's data is not there: no " +
                          std::filesystem::absolute(firstArchive, ec).lexically_normal().generic_string() +
                          ". Start the game in the folder that holds its Data folder, or name that folder "
                          "with --data DIR.");
    MenuImages.LoadArchive(firstArchive.string());
    RaceImages.LoadArchive(DataPath("Data\\Res\\Res2.gfx").string());
    Sounds->LoadArchive(DataPath("Data\\Res\\Sounds.sfx").string());
    // High scores, options, and the table checked against the options' value.
    Report(HighScores.LoadHighScores(SaveRoot));
    Report(OptionsFile.LoadOptions());
    FileReport checked = HighScores.ResetUnlessCheckMatches(OptionsFile.StoredCheck);
    if (!HighScores.RejectedKeptAs().empty())
        checked.message += Recording.KeepWithRejectedTable(*this, HighScores.RejectedKeptAs());
    Report(checked);
    Recording.Reconcile(*this);
    if (services_.FullScreenOverride) {
        fileFullScreen_ = Options().FullScreenMode;
        Options().FullScreenMode = *services_.FullScreenOverride;
    }
    // The controls file (written with the game's own controls on the first start).
    ApplyControlsFile();
    // Screen mode (and the refresh rate).
    ApplyDisplayMode();
    // The main menu with its fade-in intro and the menu song.
    Screen.ActiveScreen = ScreenKind::None;
    OpenMainMenu(*this, 1, ItemNo(MainMenuItem::Race), true);
}

void TMForm::ApplyControlsFile() {
    const ControlsRead read =
        LoadControls(SaveRoot, [](const std::string& name) { return PadInputByName(name).has_value(); });
    AppliedControls applied = ApplyControls(read.bindings, &PadInputByName);
    Input->Assigns = applied.keyTable;
    PlatformServices->Pads().Translator().SetBindings(std::move(applied.pad));
    chooseKeys_ = std::move(applied.chooseKeys);
    for (const std::string& problem : read.problems)
        std::fprintf(stderr, "vorlane: controls: %s\n", problem.c_str());
    for (const std::string& problem : applied.problems)
        std::fprintf(stderr, "vorlane: controls: %s\n", problem.c_str());
}

void TMForm::ShutDown() {
    Recording.Finish(*this);
    SpriteEngine.SweepDead();
    // A mode given for this run only is not saved; one the player switched to is.
    if (services_.FullScreenOverride && Options().FullScreenMode == *services_.FullScreenOverride)
        Options().FullScreenMode = fileFullScreen_;
    Report(OptionsFile.SaveOptions(HighScores.HighScoreCheck()));
    Report(HighScores.SaveHighScores(SaveRoot));
    GoToLink(PlatformServices->Shell(), DataRoot);
    Terminated = true;
}

bool TMForm::CloseRequested() {
    // The window never closes by itself: in a race the player is asked whether to
    // leave the race, elsewhere whether to leave the game. With a dialog open the
    // request changes nothing (OpenDialog ignores a second dialog).
    if (Screen.ActiveDialog == DialogKind::None)
        OpenDialog(*this,
                   Screen.ActiveScreen == ScreenKind::Race ? DialogKind::LeaveRace : DialogKind::LeaveGame);
    return false;
}

} // namespace vorlane
