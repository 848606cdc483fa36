#include "datagen/preview/Previews.h"

#include "datagen/Families.h"
#include "datagen/common/Canvas.h"
#include "datagen/common/Paint.h"
#include "datagen/common/Picture.h"
#include "datagen/preview/GameText.h"
#include "datagen/race/TrackPreview.h"
#include "engine/Images.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vorlane::datagen {
namespace {

class Screen {
  public:
    Screen(TImageCollection& list1, TImageCollection* list2)
        : canvas_(800, 600), list1_(list1), list2_(list2) {
        SetColour(cr(), Hex(0x000000));
        cairo_paint(cr());
    }
    cairo_t* cr() const { return canvas_.cr(); }

    // Pattern n of an image with its top-left at (x, y), as DrawPattern does.
    void Place(const std::string& name, int pattern, int x, int y, int list = 1) {
        TImageItem* item = Find(name, list);
        if (!item) {
            MarkMissing(name, x, y, 34, 34);
            return;
        }
        Paint(*item, pattern, x, y);
    }
    // Centred on (cx, cy), as the game's CreateCentered places a sprite.
    void PlaceCentred(const std::string& name, int pattern, int cx, int cy, int list) {
        TImageItem* item = Find(name, list);
        if (!item) {
            MarkMissing(name, cx - 17, cy - 17, 34, 34);
            return;
        }
        Paint(*item, pattern, int(cx - item->FrameWidth() / 2.0), int(cy - item->FrameHeight() / 2.0));
    }
    // A whole screen drawn elsewhere (the race), under what follows.
    void Backdrop(const RgbaImage& screen) {
        cairo_surface_t* surface = ImageToSurface(screen);
        cairo_set_source_surface(cr(), surface, 0, 0);
        cairo_paint(cr());
        cairo_surface_destroy(surface);
    }
    void Text(int style, const std::string& text, int x, int y, bool centreX, bool centreY) {
        DrawGameText(cr(), style, text, x, y, centreX, centreY);
    }
    void Save(const std::string& path) const { SavePng(canvas_.ToImage(), path); }

  private:
    TImageItem* Find(const std::string& name, int list) {
        TImageCollection* images = list == 1 ? &list1_ : list2_;
        return images ? images->Find(name) : nullptr;
    }
    void Paint(TImageItem& item, int pattern, int x, int y) {
        const Rect r = item.PatternRect(pattern);
        if (r.Empty()) return;
        cairo_surface_t* surface = ImageToSurface(item.KeyedPicture());
        cairo_save(cr());
        cairo_rectangle(cr(), x, y, r.Width(), r.Height());
        cairo_clip(cr());
        cairo_set_source_surface(cr(), surface, x - r.left, y - r.top);
        cairo_paint(cr());
        cairo_restore(cr());
        cairo_surface_destroy(surface);
    }
    void MarkMissing(const std::string& name, int x, int y, int w, int h) {
        cairo_rectangle(cr(), x + 0.5, y + 0.5, w - 1, h - 1);
        SetColour(cr(), Hex(0xFF00FF));
        cairo_set_line_width(cr(), 1);
        cairo_stroke(cr());
        (void)name;
    }

    Canvas canvas_;
    TImageCollection& list1_;
    TImageCollection* list2_;
};

constexpr int kNormal = 1, kHighlight = 0; // pattern of two-look buttons

void MainMenu(Screen& s) {
    s.Place("MMBG", 0, 0, 0);
    // After the intro, item 1 selected.
    s.Place("MM_1_A", 0, 284, 27);
    s.Place("MM_2_I", 0, 323, 133);
    s.Place("MM_3_I", 0, 229, 239);
    s.Place("MM_4_I", 0, 56, 342);
    s.Place("MM_5_I", 0, 512, 342);
    s.Place("MM_6_I", 0, 282, 498);
}

void MainMenuPlain(Screen& s) {
    // Opened again without the intro, "Options" selected.
    s.Place("MMBG", 0, 0, 0);
    s.Place("MM_1_0", 0, 284, 27);
    s.Place("MM_2_0", 0, 323, 133);
    s.Place("MM_3_0", 0, 229, 239);
    s.Place("MM_4_A", 0, 56, 342);
    s.Place("MM_5_0", 0, 512, 342);
    s.Place("MM_6_0", 0, 282, 498);
}

void CarSelect(Screen& s, int car) {
    s.Place("MMBG", 0, 0, 0);
    s.Place("SG_Bk", 0, 198, 218);
    s.Place("SG_Car" + std::to_string(car), 0, 231, 259);
    s.Place("SG_Left", kNormal, 198, 330);
    s.Place("SG_Right", kHighlight, 568, 328);
    s.Place("SG_Start", kHighlight, 222, 475);
    s.Place("SG_Back", kNormal, 410, 475);
}

void Options(Screen& s, int selected, const std::string& country, bool editing) {
    s.Place("MMBG", 0, 0, 0);
    s.Place("CountryEditBg", 0, 361, 442);
    s.Place("OptFullScreen", 0, 118, 255);
    s.Place("OptMusicOn", 0, 118, 320);
    s.Place("OptSoundOff", 0, 115, 383);
    const int rowsY[4] = {248, 312, 375, 436};
    for (int item = 1; item <= 4; ++item)
        s.Place(item == selected ? "Opt_" + std::to_string(item) : std::string("Null"), 0, 118,
                rowsY[item - 1]);
    s.Place("Opt_Bk", selected == 5 ? kHighlight : kNormal, 345, 513);
    s.Text(15, "OPTIONS", 563, 148, true, true);
    s.Text(13, "Your country:", 116, 447, false, false);
    s.Text(4, country, 380, 450, false, false);
    if (editing) s.Place("Cursor", 0, 380 + MeasureGameText(s.cr(), 4, country).width, 491);
}

void HelpBonuses(Screen& s) {
    s.Place("MMBG", 0, 0, 0);
    s.Place("Help_Prev", kNormal, 537, 512);
    s.Place("Help_Next", kHighlight, 622, 435);
    s.Place("Opt_Bk", kNormal, 345, 513);
    const struct {
        const char* name;
        int x, y;
    } bonuses[] = {{"BonusMGnp", 42, 314}, {"BonusRnp", 42, 362}, {"BonusN", 42, 410},
                   {"BonusL", 42, 458},    {"Bonus10", 282, 314}, {"Bonus20", 282, 362},
                   {"Bonus50", 282, 410},  {"Bonus100", 282, 458}};
    for (const auto& b : bonuses)
        s.PlaceCentred(b.name, 0, b.x, b.y, 2);
    s.Text(15, "HELP", 563, 148, true, true);
    s.Text(19, "BONUSES", 25, 245, false, true);
    const struct {
        const char* text;
        int x, y;
    } labels[] = {{"Gun", 80, 314},       {"Rocket Projector", 80, 362}, {"Nitro", 80, 410},
                  {"Life", 80, 458},      {"10 score", 320, 314},        {"20 score", 320, 362},
                  {"50 score", 320, 410}, {"100 score", 320, 458}};
    for (const auto& l : labels)
        s.Text(21, l.text, l.x, l.y, false, true);
}

void HelpAbout(Screen& s) {
    s.Place("MMBG", 0, 0, 0);
    s.Place("Help_Prev", kNormal, 537, 512);
    s.Place("Help_Next", kNormal, 622, 435);
    s.Place("Opt_Bk", kHighlight, 345, 513);
    s.Place("HelpLogo", 0, 50, 318);
    s.Text(15, "HELP", 563, 148, true, true);
    s.Text(19, "ABOUT", 25, 245, false, true);
    s.Text(21, "  VORLANE", 160, 320, false, true);
    s.Text(20, "(c) Vorlane Games", 160, 360, false, true);
    s.Text(20, "www.vorlane.example", 160, 400, false, true);
}

struct Entry {
    std::string name;
    int score;
};

void HighScores(Screen& s, const std::vector<Entry>& table, bool drawTable, int selected) {
    s.Place("MMBG", 0, 0, 0);
    s.Place("HSCaption", 0, 364, 102);
    s.Place("HSTable", 0, 274, 185);
    s.Place("HS_Clear", selected == 1 ? kHighlight : kNormal, 0, 245);
    s.Place("HS_View", selected == 2 ? kHighlight : kNormal, 0, 335);
    s.Place("HS_Back", selected == 3 ? kHighlight : kNormal, 52, 457);
    if (!drawTable) return;
    for (size_t i = 0; i < table.size(); ++i) {
        const int k = int(i) + 1;
        s.Text(2, table[i].name, 530, 206 + 36 * k, true, true);
        const std::string score = std::to_string(table[i].score);
        s.Text(17, score, 766 - MeasureGameText(s.cr(), 17, score).width, 202 + 36 * k, false, true);
    }
}

// dx: 0 over the race's road, 52 over the menus (the middle of the frame).
void Question(Screen& s, const char* caption, int captionX, int captionY, int selected, int dx) {
    s.Place("Window", 0, 188 + dx, 237);
    s.Place(caption, 0, captionX + dx, captionY);
    s.Place("Yes", selected == 11 ? kHighlight : kNormal, 237 + dx, 296);
    s.Place("No", selected == 12 ? kHighlight : kNormal, 386 + dx, 296);
}

void NameEntry(Screen& s, int score, const std::string& name) {
    s.Place("SendTable", 0, 127, 135);
    s.Place("SendOk", 1, 161, 369);
    s.Text(9, std::to_string(score), 348, 217, true, true);
    s.Text(10, name, 348, 345, true, true);
    s.Place("Cursor2", 0, MeasureGameText(s.cr(), 10, name).width / 2 + 348, 360);
}

std::vector<Entry> DefaultTable() {
    std::vector<Entry> table;
    for (int k = 1; k <= 10; ++k)
        table.push_back({"ANONYMOUS", 5500 - 500 * k});
    return table;
}

} // namespace

void WriteScreenPreviews(const std::string& dir, const std::string& raceArchive) {
    TImageCollection list1;
    list1.LoadFromBytes(WriteImageArchive("MImageList1", BuildMenuImages()), "Res1.gfx");
    TImageCollection list2;
    const bool haveRace = std::filesystem::exists(raceArchive);
    if (haveRace) list2.LoadArchive(raceArchive);
    TImageCollection* race = haveRace ? &list2 : nullptr;
    auto shot = [&](const std::string& file, const auto& draw) {
        Screen s(list1, race);
        draw(s);
        s.Save(dir + "/" + file);
    };
    std::filesystem::create_directories(dir);

    shot("01_main_menu.png", [](Screen& s) { MainMenu(s); });
    shot("02_main_menu_options_selected.png", [](Screen& s) { MainMenuPlain(s); });
    for (int car = 1; car <= 6; ++car)
        shot("03_car_select_" + std::to_string(car) + ".png", [car](Screen& s) { CarSelect(s, car); });
    shot("04_options.png", [](Screen& s) { Options(s, 1, "Canada", false); });
    // The longest country the line takes, in capitals, while editing.
    shot("05_options_country.png", [](Screen& s) { Options(s, 4, "BOSNIA HERZEGOVI", true); });
    shot("06_help_bonuses.png", [](Screen& s) { HelpBonuses(s); });
    shot("07_help_about.png", [](Screen& s) { HelpAbout(s); });
    std::vector<Entry> table = DefaultTable();
    table[0] = {"MAXIMILIAN K", 1234567}; // a full-length name and a long score
    shot("08_high_scores.png", [&](Screen& s) { HighScores(s, table, true, 3); });
    shot("09_dialog_exit_game.png", [](Screen& s) {
        MainMenu(s);
        Question(s, "Win_EG", 295, 248, 12, 52);
    });
    // The race dialogs over a race in progress.
    const RgbaImage raceScreen = race::RenderTrackPreview(7, 2);
    shot("10_dialog_exit_to_menu.png", [&](Screen& s) {
        s.Backdrop(raceScreen);
        Question(s, "Win_ExitToMenu", 276, 248, 11, 0);
    });
    shot("11_dialog_clear_scores.png", [&](Screen& s) {
        HighScores(s, table, true, 1); // the table stays in view under the question
        Question(s, "Win_ClearHS", 268, 237, 12, 52);
    });
    shot("12_dialog_name_entry.png", [&](Screen& s) {
        s.Backdrop(raceScreen);
        NameEntry(s, 48250, "Alexander");
    });
    shot("13_dialog_messages.png", [&](Screen& s) {
        s.Backdrop(raceScreen);
        s.Text(5, "Your time is over,", 348, 217, true, true);
        s.Text(5, "Try again, please!", 348, 267, true, true);
        s.Text(5, "Game Over", 348, 360, true, true);
        s.Text(11, "Sending results...", 348, 440, true, true);
    });
}

} // namespace vorlane::datagen
