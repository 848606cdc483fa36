// Image list 2: every picture of the race with its pattern count and pattern size.
#include "datagen/Catalogue.h"

namespace vorlane::datagen {

const std::vector<CatalogueEntry>& RaceCatalogue() {
    static const std::vector<CatalogueEntry> entries = {
        // The track: one 72 x 72 pattern per tile number.
        {2, "Tiles", 61, 72, 72},
        // The six player cars, twice the half sizes the race computes their corners from.
        {2, "Car1", 1, 64, 156},
        {2, "Car2", 1, 62, 148},
        {2, "Car3", 1, 82, 156},
        {2, "Car4", 1, 62, 134},
        {2, "Car5", 1, 68, 154},
        {2, "Car6", 1, 64, 144},
        // Opponents: one pattern per direction (up-left, up-right, up, down, down-left, down-right).
        {2, "Car7", 6, 98, 134},
        {2, "Car8", 6, 120, 170},
        {2, "Car9", 6, 34, 58},
        {2, "Car10", 6, 92, 152},
        {2, "Car11", 6, 168, 240},
        // Explosions, rockets, flames and marks.
        {2, "ExplosionBig", 16, 64, 64},
        {2, "Explosion", 10, 64, 64},
        {2, "Rocket", 1, 12, 32},
        {2, "EngineFire", 4, 12, 20},
        {2, "NitroAnim", 4, 16, 51},
        {2, "Handbrake", 1, 10, 14},
        {2, "Blood", 1, 10, 14},
        // Pedestrians: five-step walks each way, and the fallen figures.
        {2, "Man_Up", 5, 54, 54},
        {2, "Man_Down", 5, 54, 54},
        {2, "Man_Left", 5, 54, 54},
        {2, "Man_Right", 5, 54, 54},
        {2, "Girl_Up", 5, 54, 54},
        {2, "Girl_Down", 5, 54, 54},
        {2, "Girl_Left", 5, 54, 54},
        {2, "Girl_Right", 5, 54, 54},
        {2, "Man_Laying", 1, 54, 54},
        {2, "Girl_Laying", 1, 54, 54},
        // Bonuses lying on the road.
        {2, "Bonus10", 1, 34, 34},
        {2, "Bonus20", 1, 34, 34},
        {2, "Bonus50", 1, 34, 34},
        {2, "Bonus100", 1, 34, 34},
        {2, "BonusL", 1, 34, 34},
        {2, "BonusN", 1, 34, 34},
        {2, "BonusMGnp", 1, 34, 34},
        {2, "BonusRnp", 1, 34, 34},
        // Street lamps, their poles at the points the race tests.
        {2, "Lamp_L", 1, 90, 20},
        {2, "Lamp_R", 1, 90, 20},
        {2, "Lamp_RL", 1, 64, 44},
        {2, "Lamp_RR", 1, 80, 48},
        {2, "Lamp_LR", 1, 80, 44},
        {2, "Lamp_LL", 1, 64, 48},
        {2, "FinishLine", 1, 72, 36},
        // The head-up display.
        {2, "Panel", 1, 190, 600},
        {2, "Pointer", 1, 58, 6},
        {2, "SmallCar", 1, 14, 22},
        {2, "Energy", 4, 60, 24},
        {2, "BonusNitro", 1, 30, 30},
        {2, "BonusM", 1, 30, 30},
        {2, "BonusR", 1, 30, 30},
        // The weapon rising out of the roof, and the gun firing.
        {2, "GunAnim_1", 1, 40, 114},
        {2, "GunAnim_2", 1, 40, 114},
        {2, "GunAnim_3", 1, 40, 114},
        {2, "GunAnim_4", 1, 40, 114},
        {2, "GunAnim_5", 1, 40, 114},
        {2, "GunAnim_6", 1, 40, 114},
        {2, "GunShooting", 1, 40, 114},
        {2, "RocketAnim_1", 1, 40, 114},
        {2, "RocketAnim_2", 1, 40, 114},
        {2, "RocketAnim_3", 1, 40, 114},
        {2, "RocketAnim_4", 1, 40, 114},
        {2, "RocketAnim_5", 1, 40, 114},
        {2, "RocketAnim_6", 1, 40, 114},
    };
    return entries;
}

} // namespace vorlane::datagen
