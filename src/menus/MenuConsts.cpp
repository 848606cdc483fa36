#include "menus/MenuConsts.h"

namespace vorlane::menu {

const std::array<TMainMenuButton, 6> kMainMenuButtons{{
    {"MM_1_0", "MM_1_A", "MM_1_I", 284, 27},  // new game
    {"MM_2_0", "MM_2_A", "MM_2_I", 323, 133}, // high scores
    {"MM_3_0", "MM_3_A", "MM_3_I", 229, 239}, // web site
    {"MM_4_0", "MM_4_A", "MM_4_I", 56, 342},  // options
    {"MM_5_0", "MM_5_A", "MM_5_I", 512, 342}, // help
    {"MM_6_0", "MM_6_A", "MM_6_I", 282, 498}, // exit
}};

const std::array<std::string_view, 6> kCarPictures{"SG_Car1", "SG_Car2", "SG_Car3",
                                                   "SG_Car4", "SG_Car5", "SG_Car6"};

const std::array<TPlainButton, 4> kCarSelectButtons{{
    {"SG_Left", 198, 330},
    {"SG_Right", 568, 328},
    {"SG_Start", 222, 475},
    {"SG_Back", 410, 475},
}};

const std::array<TOptionRow, 4> kOptionRows{{
    {248, "Opt_1", 545, 64}, // screen mode
    {312, "Opt_2", 282, 62}, // music
    {375, "Opt_3", 282, 62}, // sound effects
    {436, "Opt_4", 681, 84}, // country
}};

const std::array<TPlainButton, 3> kHighScoreButtons{{
    {"HS_Clear", 0, 245},
    {"HS_View", 0, 335},
    {"HS_Back", 52, 457},
}};

const std::array<TPlainButton, 3> kHelpButtons{{
    {"Help_Prev", 537, 512},
    {"Help_Next", 622, 435},
    {"Opt_Bk", 345, 513},
}};

const std::array<THelpBonus, 8> kHelpBonuses{{
    {"BonusMGnp", 42, 314, "Gun", 80},
    {"BonusRnp", 42, 362, "Rocket Projector", 80},
    {"BonusN", 42, 410, "Nitro", 80},
    {"BonusL", 42, 458, "Life", 80},
    {"Bonus10", 282, 314, "10 score", 320},
    {"Bonus20", 282, 362, "20 score", 320},
    {"Bonus50", 282, 410, "50 score", 320},
    {"Bonus100", 282, 458, "100 score", 320},
}};

const std::array<std::string_view, 5> kHelpPageTitles{"GAME OVERVIEW", "BONUSES", "CONTROLS", "CONTROLS",
                                                      "ABOUT"};

const std::array<std::string_view, 9> kHelpOverview{
    " The game \"Vorlane\" presents a breathtaking variety of",
    "races. You drive a racing car and your task is to finish first. Thirst",
    "for speed and danger makes the game more captivating.",
    " You are to take a new route full of obstacles in a limited period",
    "of time at each level. The obstacles reduce the speed, skid your car",
    "or cause a car crash. The opponents' cars will stand in your way.",
    "You can pick up such bonuses as scores, life, nitro, rocket projector",
    "and a gun.",
    " Are you up for the challenge?",
};

const std::array<std::string_view, 5> kHelpMenuKeys{
    "Use the cursor keys or mouse to move the menu cursor up and down.",
    "Press the \"Enter\" key or any mouse button to enter menu options.",
    "Press the \"Left Arrow\", \"Right Arrow\", \"Enter\" keys or any mouse",
    "button to change a menu option.",
    "Press \"Esc\" to back from the submenu to Main Menu.",
};

const std::array<std::string_view, 8> kHelpRaceKeys{
    "Use the keys \"Arrow Left\" and \"Arrow Right\" to move the car rightwards",
    "or leftwards. Use the keys \"Arrow Up\" and \"Arrow Down\" to speed up",
    "and reduce the speed of the car. Use \"Space\" for handbrake.",
    "Press the keys \"Z\" or \"Ctrl\" to fire the gun or rocket projector.",
    "Press the keys \"X\" or \"Shift\" to use the nitro superengine.",
    "Press \"H\" key for horn. Use \"P\" to pause or resume the game.",
    "Use \"Escape\" key to quit the game to Main Menu.",
    "Use \"Alt\"+\"Enter\" keys to change window/full screen modes.",
};

const std::string_view kAboutPublisher = "(c) 2024 Vorlane Games";

} // namespace vorlane::menu
