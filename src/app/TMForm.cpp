// The main form's life: building it (StartUp: seed, archives, high scores,
// options, the check, the screen mode, the main menu) and the orderly end
// (ShutDown: options, high scores, the link file).
#include "app/TMForm.h"

#include "app/Dialogs.h"
#include "menus/Screens.h"
#include "persist/GamePaths.h"
#include "persist/WebLinks.h"
#include "race/RaceState.h"

#include <chrono>
#include <cstdio>

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

TMForm::TMForm(TMFormServices services) : TGame(std::move(services)) {
    BindDisplay();
    try {
        SetUpInput(*MInput);
        MTimer->SetInterval(0);
        MTimer->ActiveOnly = true;
        MTimer->OnTimer = [this](int lag) {
            PollPad();
            RunFrame(lag);
        };
        StartUp();
        MTimer->Loaded();
    } catch (...) {
        // No destructor runs for a form that failed to build: the display must not
        // call back into its half-built lists while it closes.
        UnbindDisplay();
        throw;
    }
}

TMForm::~TMForm() {
    MTimer->Stop();
    // The sprites go before the pictures they show; the race's plain references with them.
    Race.reset();
    UnbindDisplay();
}

void TMForm::UnbindDisplay() {
    if (displayListener_) MDisplay().RemoveListener(*displayListener_);
    displayListener_.reset();
    MSpriteEngine.SetSurface(nullptr);
}

// The image lists and the sprite engine keep textures on the display: they follow
// its initialise, finalise and restore notifications.
void TMForm::BindDisplay() {
    auto initialised = [this](IDrawSurface& s) {
        MImageList1.DisplayInitialised(s);
        MImageList2.DisplayInitialised(s);
        MSpriteEngine.SetSurface(&s);
    };
    auto finalised = [this]() {
        MSpriteEngine.SetSurface(nullptr);
        MImageList1.DisplayFinalised();
        MImageList2.DisplayFinalised();
    };
    auto restored = [this](IDrawSurface& s) {
        MImageList1.DisplayRestored(s);
        MImageList2.DisplayRestored(s);
        MSpriteEngine.SetSurface(&s);
    };
    displayListener_ = std::make_unique<FunctionDisplayListener>(initialised, finalised, restored);
    MDisplay().AddListener(*displayListener_);
    if (MDisplay().CanDraw()) initialised(MDisplay().Surface());
}

void TMForm::StartUp() {
    // 1. The random generator: from the clock in the real game, a fixed seed headless.
    //    The game's own millisecond clock starts with the window, so at this point it
    //    stands at nearly the same small count every run; the time of day varies.
    if (services_.SeedFromClock)
        Random.Seed(uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count()));
    else
        Random.Seed(services_.Seed);
    // 2. (The refresh rate is asked of the display itself.)
    // 3. The pictures and the sounds.
    MImageList1.LoadArchive(DataPath("Data\\Res\\Res1.gfx").string());
    MImageList2.LoadArchive(DataPath("Data\\Res\\Res2.gfx").string());
    MSoundList->LoadArchive(DataPath("Data\\Res\\Sounds.sfx").string());
    // 4.-6. High scores, options, and the table checked against the options' value.
    Report(HighScores.LoadHighScores(DataRoot));
    Report(OptionsFile.LoadOptions());
    Report(HighScores.ResetUnlessCheckMatches(OptionsFile.StoredCheck));
    // 7. Screen mode (and the refresh rate).
    ApplyDisplayMode();
    // 8. The main menu with its fade-in intro and the menu song.
    Screen.ActiveScreen = 0;
    OpenMainMenu(*this, 1, 1, true);
}

void TMForm::ShutDown() {
    MSpriteEngine.SweepDead();
    Report(OptionsFile.SaveOptions(HighScores.HighScoreCheck()));
    Report(HighScores.SaveHighScores(DataRoot));
    GoToLink(MPlatform->Shell(), DataRoot);
    Terminated = true;
}

bool TMForm::CloseRequested() {
    // The window never closes by itself: in a race the player is asked whether to
    // leave the race, elsewhere whether to leave the game. With a dialog open the
    // request changes nothing (OpenDialog ignores a second dialog).
    if (Screen.ActiveDialog == 0) OpenDialog(*this, Screen.ActiveScreen == 6 ? 2 : 1);
    return false;
}

} // namespace vorlane
