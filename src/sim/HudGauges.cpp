#include "sim/HudGauges.h"

#include <cmath>

namespace vorlane {

int EnergyGaugePattern(int energy) {
    return energy >= 0 && energy <= 3 ? 3 - energy : 3;
}

double ProgressMarkerY(int markerHeight, int trackLength, int mapRow) {
    const double h = markerHeight;
    const double y = (216 - h) - (201 - h) / double(trackLength - 60) * double(1490 - mapRow);
    return y < 15 ? 15 : y;
}

int NeedleAngle(double speed, bool shifting) {
    int v = int(std::nearbyint(speed * 1.15 - 28));
    if (v < -28) v = -28;
    if (shifting) v -= 1;
    return v;
}

} // namespace vorlane
