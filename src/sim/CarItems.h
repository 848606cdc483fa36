#pragma once
// What a bonus gives the player car, and the weapon the car carries. A weapon keeps
// the number of its item (the headless player's dump writes it as WeaponKind).
#include <cstdint>

namespace vorlane {

enum class CarItem : uint8_t {
    None = 0,
    ExtraLife = 1,
    Nitro = 2,
    MachineGun = 3,
    RocketLauncher = 4,
};

// The weapon's stages: lowered (1) through the raising pictures to raised and ready
// to fire (6); the stage numbers the weapon's pictures ("GunAnim_1".."GunAnim_6").
constexpr int kWeaponLowered = 1;
constexpr int kWeaponRaised = 6;

} // namespace vorlane
