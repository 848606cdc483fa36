// Image list 1: every picture of the menus and dialogs with its pattern count and size.
#include "datagen/Catalogue.h"

#include <cstring>
#include <strings.h>

namespace vorlane::datagen {

const std::vector<CatalogueEntry>& MenuCatalogue() {
    static const std::vector<CatalogueEntry> entries = {
        // Main menu: background and six buttons in three looks each.
        {1, "MMBG", 1, 800, 600},
        {1, "MM_1_0", 1, 232, 90},
        {1, "MM_1_A", 1, 232, 90},
        {1, "MM_1_I", 1, 232, 90},
        {1, "MM_2_0", 1, 154, 90},
        {1, "MM_2_A", 1, 154, 90},
        {1, "MM_2_I", 1, 154, 90},
        {1, "MM_3_0", 1, 342, 90},
        {1, "MM_3_A", 1, 342, 90},
        {1, "MM_3_I", 1, 342, 90},
        {1, "MM_4_0", 1, 232, 90},
        {1, "MM_4_A", 1, 232, 90},
        {1, "MM_4_I", 1, 232, 90},
        {1, "MM_5_0", 1, 232, 90},
        {1, "MM_5_A", 1, 232, 90},
        {1, "MM_5_I", 1, 232, 90},
        {1, "MM_6_0", 1, 236, 90},
        {1, "MM_6_A", 1, 236, 90},
        {1, "MM_6_I", 1, 236, 90},
        // Car selection.
        {1, "SG_Bk", 1, 404, 240},
        {1, "SG_Car1", 1, 338, 170},
        {1, "SG_Car2", 1, 338, 170},
        {1, "SG_Car3", 1, 338, 170},
        {1, "SG_Car4", 1, 338, 170},
        {1, "SG_Car5", 1, 338, 170},
        {1, "SG_Car6", 1, 338, 170},
        {1, "SG_Left", 2, 34, 64},
        {1, "SG_Right", 2, 34, 64},
        {1, "SG_Start", 2, 170, 60},
        {1, "SG_Back", 2, 170, 60},
        {1, "Null", 1, 1, 1},
        // Options.
        {1, "Opt_1", 1, 545, 64},
        {1, "Opt_2", 1, 282, 62},
        {1, "Opt_3", 1, 282, 62},
        {1, "Opt_4", 1, 681, 84},
        {1, "OptFullScreen", 1, 520, 50},
        {1, "OptWindow", 1, 520, 50},
        {1, "OptMusicOn", 1, 270, 50},
        {1, "OptMusicOff", 1, 270, 50},
        {1, "OptSoundOn", 1, 270, 50},
        {1, "OptSoundOff", 1, 270, 50},
        {1, "CountryEditBg", 1, 368, 52},
        {1, "Cursor", 1, 16, 4},
        {1, "Opt_Bk", 2, 110, 60},
        // Help.
        {1, "Help_Prev", 2, 80, 60},
        {1, "Help_Next", 2, 80, 60},
        {1, "HelpLogo", 1, 100, 100},
        // High scores.
        {1, "HSCaption", 1, 400, 80},
        {1, "HSTable", 1, 516, 401},
        {1, "HS_Clear", 2, 250, 80},
        {1, "HS_View", 2, 250, 80},
        {1, "HS_Back", 2, 250, 80},
        // Dialogs. The captions are centred on the window's centre line x 348.
        {1, "Window", 1, 320, 130},
        {1, "Win_EG", 1, 106, 42},
        {1, "Win_ExitToMenu", 1, 144, 42},
        {1, "Win_ClearHS", 1, 160, 56},
        {1, "Yes", 2, 85, 45},
        {1, "No", 2, 85, 45},
        {1, "SendTable", 1, 442, 305},
        {1, "SendOk", 2, 54, 45},
        {1, "Cursor2", 1, 16, 4},
    };
    return entries;
}

const CatalogueEntry* FindCatalogueEntry(const std::vector<CatalogueEntry>& catalogue, const char* name) {
    for (const CatalogueEntry& e : catalogue)
        if (strcasecmp(e.name, name) == 0) return &e;
    return nullptr;
}

} // namespace vorlane::datagen
