#pragma once
// The six player cars: one table shared by the race pictures (Car1..Car6 in Res2.gfx,
// seen from above pointing up) and the showroom pictures of the car selection
// (SG_Car1..SG_Car6 in Res1.gfx), so that the car the player picks is the car he drives.
//
// Shape values are fractions of the race picture (x of its width, y of its length from
// the nose), so any drawing of the car at any scale keeps the same proportions.
// PaintTopDownCar (common/CarPainter.h) draws a car from this table.
#include <array>
#include <cstdint>

namespace vorlane::datagen {

struct CarStyle {
    const char* name;      // shown in the car selection
    const char* imageName; // the race picture, "Car1".."Car6"
    int imageWidth;        // race picture size in pixels
    int imageHeight;
    int bodyWidth; // the race's body width of the car (collision), pixels

    // Colours, 0xRRGGBB.
    uint32_t body;      // paint
    uint32_t bodyShade; // paint in shadow (flanks, gradient end)
    uint32_t stripe;    // livery stripes
    uint32_t glass;     // windscreen and windows
    uint32_t trim;      // bumpers, spoiler, vents

    // Shape, fractions of the picture (x of width, y of length from the nose).
    double bodyMarginX;   // empty border left and right of the body (for wheels and shadow)
    double bodyMarginY;   // empty border at nose and tail
    double noseWidth;     // body width at the nose relative to the widest part
    double tailWidth;     // body width at the tail relative to the widest part
    double cornerRadius;  // roundness of the four body corners (fraction of width)
    double windscreenTop; // where the windscreen starts (y)
    double roofTop;       // windscreen ends, roof starts
    double roofBottom;    // roof ends, rear window starts
    double rearWindowBottom;
    double cabinWidth;  // width of the greenhouse relative to the body
    double wheelFront;  // centre of the front wheels (y)
    double wheelRear;   // centre of the rear wheels (y)
    double wheelLength; // wheel length (fraction of the picture length)
    double wheelPeek;   // how far the wheels stand out of the body (fraction of width)

    int stripes;      // 0 none, 1 one broad centre stripe, 2 twin centre stripes, 3 side flashes
    bool spoiler;     // rear wing
    bool bonnetScoop; // air scoop on the bonnet
};

// Cars 1..6, index = car number - 1.
inline const std::array<CarStyle, 6>& PlayerCarStyles() {
    static const std::array<CarStyle, 6> styles = {{
        // A classic red sports coupe: rounded nose, twin white stripes, rear wing.
        {"BLAZE GT", "Car1", 64,   156,  65,   0xD0211C, 0x7A0E0B, 0xF4F1EA, 0x1C2733,
         0x26282C,   0.08,   0.03, 0.86, 0.94, 0.32,     0.33,     0.47,     0.70,
         0.80,       0.78,   0.20, 0.80, 0.14, 0.04,     2,        true,     false},
        // A low blue wedge: sharp narrow nose, long cabin, side flashes.
        {"VORTEX", "Car2", 62,   148,  62,   0x1F63D8, 0x0D2F6E, 0x8FE3FF, 0x15202C,
         0x1E2128, 0.08,   0.03, 0.74, 0.96, 0.22,     0.30,     0.45,     0.70,
         0.79,     0.74,   0.19, 0.81, 0.14, 0.04,     3,        false,    false},
        // A wide graphite muscle car with orange racing stripes and a bonnet scoop.
        {"TITAN V8", "Car3", 82,   156,  70,   0x3A3F47, 0x17191D, 0xFF8A1E, 0x121A22,
         0x0E0F11,   0.07,   0.03, 0.92, 0.96, 0.20,     0.38,     0.51,     0.72,
         0.81,       0.70,   0.19, 0.80, 0.15, 0.05,     2,        true,     true},
        // A short yellow hot hatch with a black centre stripe.
        {"STING",  "Car4", 62,   134,  63,   0xF2C318, 0x9C7406, 0x1A1A1A, 0x17222D,
         0x222222, 0.08,   0.03, 0.90, 0.98, 0.34,     0.28,     0.42,     0.78,
         0.88,     0.82,   0.19, 0.79, 0.15, 0.04,     1,        false,    false},
        // A sleek emerald roadster with white side flashes and a rear wing.
        {"ZEPHYR", "Car5", 68,   154,  60,   0x14A35A, 0x07552E, 0xEFF6F0, 0x13202A,
         0x1B2420, 0.10,   0.03, 0.70, 0.92, 0.30,     0.36,     0.50,     0.68,
         0.77,     0.70,   0.19, 0.81, 0.14, 0.05,     3,        true,     false},
        // A white rally car with a blue and red centre livery.
        {"NOMAD RS", "Car6", 64,   144,  62,   0xECEFF3, 0x9AA3AE, 0x1E4FC8, 0x18232E,
         0x2A2E34,   0.08,   0.03, 0.90, 0.96, 0.30,     0.31,     0.45,     0.72,
         0.82,       0.78,   0.19, 0.80, 0.15, 0.04,     1,        true,     true},
    }};
    return styles;
}

} // namespace vorlane::datagen
