// The high-score screen: the local table of the ten best, clear, view online, back.
#include "core/Game.h"
#include "menus/ItemSelection.h"
#include "menus/MenuBackdrop.h"
#include "menus/MenuButton.h"
#include "menus/MenuConsts.h"
#include "menus/Screens.h"
#include "persist/ReplayShelf.h"
#include "sim/Helpers.h"

#include <algorithm>
#include <string>

namespace vorlane {

namespace {

constexpr int kCaptionSlot = 16;
constexpr int kTableSlot = 17;

// The table's frame, whole inside the screen: 516 x 401 from (274, 185).
constexpr int kTableX = 274;
constexpr int kTableY = 185;
// Entry i's name is centred on (530, NameY(i)); its score ends at x 766 (numbers line
// up by their last digit under the column head), centred 4 pixels above the name.
constexpr int kNameX = 530;
constexpr int kScoreRight = 766;
constexpr int NameY(int rank) {
    return 206 + 36 * rank;
}

// A row of the table reaches from 18 pixels above its name's centre to 18 below,
// across the table's frame.
constexpr int kRowLeft = 286;
constexpr int kRowRight = 778;
int RowTop(int rank) {
    return NameY(rank) - 18;
}

bool SameTable(const THighScoreEntries& a, const THighScoreEntries& b) {
    return std::equal(a.begin(), a.end(), b.begin(), [](const THighScore& x, const THighScore& y) {
        return x.Name == y.Name && x.Score == y.Score;
    });
}

// Which entries have their race on the shelf: looked up again whenever the table is
// not the one last looked at (a new entry, the table cleared, the screen opened).
// The row picked keeps its place while it has a replay; otherwise the best entry that
// has one is picked.
void LookUpReplays(TGame& form) {
    THighScoreReplays& r = form.Menu.Replays;
    const THighScoreEntries& table = form.HighScores.Entries();
    if (r.Looked && SameTable(r.LookedAt, table)) return;
    const TReplayShelf shelf(form.SaveRoot);
    for (int rank = 1; rank <= THighScoreTable::kSize; ++rank)
        r.Kept[size_t(rank - 1)] = shelf.EntryReplay(table, rank).has_value();
    r.LookedAt = table;
    r.Looked = true;
    if (r.Rank >= 1 && r.Rank <= THighScoreTable::kSize && r.Kept[size_t(r.Rank - 1)]) return;
    const auto first = std::find(r.Kept.begin(), r.Kept.end(), true);
    r.Rank = first == r.Kept.end() ? 0 : int(first - r.Kept.begin()) + 1;
}

// Moving the pointer onto a row of the table picks that row.
void FollowPointer(TGame& form) {
    THighScoreReplays& r = form.Menu.Replays;
    const int x = form.Keys.MouseX, y = form.Keys.MouseY;
    if (x == r.PointerX && y == r.PointerY) return;
    r.PointerX = x;
    r.PointerY = y;
    if (x < kRowLeft || x > kRowRight) return;
    for (int rank = 1; rank <= THighScoreTable::kSize; ++rank)
        if (y >= RowTop(rank) && y < RowTop(rank) + 36) r.Rank = rank;
}

void DrawReplayLine(TGame& form) {
    const std::string text = HighScoreReplayLine(form);
    form.UseFont(kReplayLineStyle);
    int y = kReplayLineY;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        form.DrawText(text.substr(start, end - start), kReplayLineX, y, true, true);
        y += kReplayLinePitch;
        start = end + 1;
    }
}

} // namespace

// Names (style 2) and scores (style 17), rows 36 pixels apart. A name wider than its
// column sticks out on both sides. Names are the table's bytes, drawn as Latin-1.
void DrawHighScoreTable(TGame& form) {
    for (int i = 1; i <= THighScoreTable::kSize; ++i) {
        const THighScore& entry = form.HighScores.Entry(i);
        form.UseFont(2);
        form.DrawText(entry.Name, kNameX, NameY(i), true, true);
        form.UseFont(17);
        const std::string score = std::to_string(entry.Score);
        form.DrawText(score, kScoreRight - form.MeasureText(score), NameY(i) - 4, false, true);
    }
}

std::string PlaceText(int rank) {
    const char* suffix = rank == 1 ? "ST" : rank == 2 ? "ND" : rank == 3 ? "RD" : "TH";
    return std::to_string(rank) + suffix + " PLACE";
}

std::string HighScoreReplayLine(const TGame& form) {
    const THighScoreReplays& r = form.Menu.Replays;
    if (r.NoticeMs > 0) return r.Notice;
    if (r.Rank < 1 || r.Rank > THighScoreTable::kSize || !r.Kept[size_t(r.Rank - 1)]) return "";
    return "PRESS R TO WATCH\nTHE RACE IN " + PlaceText(r.Rank);
}

void ShowHighScoreNotice(TGame& form, const std::string& notice) {
    form.Menu.Replays.Notice = notice;
    form.Menu.Replays.NoticeMs = 3000;
}

void OpenHighScores(TGame& form) {
    TScreenState& s = form.Screen;
    TSprite* engine = &form.SpriteEngine;
    s.ActiveScreen = ScreenKind::HighScores;
    s.FirstItem = 1;
    s.LastItem = 3;
    s.SelectedItem = ItemNo(HighScoresItem::Back);
    CreateMenuBackground(form);
    s.Buttons[kCaptionSlot] = engine->Add<TGameSprite>(form.SpriteHost, 1, "HSCaption", 364, 102, 3);
    s.Buttons[kTableSlot] = engine->Add<TGameSprite>(form.SpriteHost, 1, "HSTable", kTableX, kTableY, 3);
    for (int i = 1; i <= 3; ++i) {
        const auto& def = menu::kHighScoreButtons[i - 1];
        const std::string image(def.Image);
        auto* b = engine->Add<TMenuButton>(form, 1, image, image, 0, 1, def.X, def.Y);
        b->SetZ(4);
        s.Buttons[i] = b;
    }
    THighScoreReplays& replays = form.Menu.Replays;
    replays.Looked = false; // the shelf may have changed since the screen was last open
    replays.NoticeMs = 0;
    // Only a pointer moved onto a row picks it, not one resting there when the screen opens.
    replays.PointerX = form.Keys.MouseX;
    replays.PointerY = form.Keys.MouseY;
}

void CloseHighScores(TGame& form) {
    TScreenState& s = form.Screen;
    s.ActiveScreen = ScreenKind::None;
    KillMenuBackground(form);
    KillButtons(form);
    for (int slot : {kCaptionSlot, kTableSlot}) {
        if (auto* picture = static_cast<TGameSprite*>(s.Buttons[slot])) picture->KillOnce();
        s.Buttons[slot] = nullptr;
    }
}

void UpdateHighScores(TGame& form, int lagCount) {
    TScreenState& s = form.Screen;
    UpdateHighlight(form);
    if (form.Keys.UpPressed) StepDown(s.SelectedItem, s.FirstItem, 1);
    if (form.Keys.DownPressed) StepUp(s.SelectedItem, s.LastItem, 1);
    if (form.Keys.EscPressed) form.ActivateItem(ItemNo(HighScoresItem::Back));
    if (s.ActiveScreen != ScreenKind::HighScores)
        return; // back to the main menu: this screen's sprites are gone
    form.SpriteEngine.MoveAll(lagCount);
    DrawHighScoreTable(form);
    LookUpReplays(form);
    FollowPointer(form);
    if (!TryCountDown(form.Menu.Replays.NoticeMs, 0, form.Stats.FrameMs)) form.Menu.Replays.NoticeMs = 0;
    DrawReplayLine(form);
}

} // namespace vorlane
