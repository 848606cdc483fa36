#pragma once
// The pictures of image list 2 (the race), drawn group by group.
#include "datagen/common/Picture.h"

#include <vector>

namespace vorlane::datagen {

// Every picture of image list 2, in the catalogue's order.
std::vector<GeneratedPicture> DrawRacePictures();

namespace race {

// The groups, each appending its pictures.
void DrawCarPictures(std::vector<GeneratedPicture>& out);       // Car1..Car11
void DrawEffectPictures(std::vector<GeneratedPicture>& out);    // explosions, rocket, flames, marks
void DrawPeoplePictures(std::vector<GeneratedPicture>& out);    // Man_*, Girl_*
void DrawPickupPictures(std::vector<GeneratedPicture>& out);    // Bonus10..BonusRnp
void DrawPanelIconPictures(std::vector<GeneratedPicture>& out); // BonusNitro, BonusM, BonusR
void DrawStreetPictures(std::vector<GeneratedPicture>& out);    // Lamp_*, FinishLine
void DrawPanelPictures(std::vector<GeneratedPicture>& out);     // Panel, Pointer, SmallCar, Energy
void DrawWeaponPictures(std::vector<GeneratedPicture>& out);    // GunAnim_*, GunShooting, RocketAnim_*

} // namespace race
} // namespace vorlane::datagen
