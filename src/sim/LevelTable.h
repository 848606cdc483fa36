#pragma once
// What each level asks of the player: the length of its road, its time limit, and how
// many bonuses and opponent cars it lays. The first six levels grow longer; from
// level 8 on the time shrinks by ten seconds a level down to one minute.

namespace vorlane {

struct LevelParams {
    int Level = 1;
    int TrackLength = 0; // rows of road
    int TimeLimitMs = 0; // the level's starting TimeLeft
    int BonusCount = 0;  // bonus slots (at most 400)
    int CarCount = 0;    // opponent cars (at most 200)
};

// The parameters of level n, for any level number; a number below 1 counts as level 1.
LevelParams LevelParameters(int n);

} // namespace vorlane
