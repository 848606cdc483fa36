// The game's own track generator, built into the data generator so that the track
// preview lays exactly the tiles the game lays (the generator links no game code).
#include "app/Helpers.cpp"
#include "race/LevelTable.cpp"
#include "race/Tiles.cpp"
#include "race/TrackGenerator.cpp"
#include "race/TrackMap.cpp"
