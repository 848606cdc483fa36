#pragma once
// The race panel's gauges as the race sets them each frame: the speedometer needle, the
// progress marker, the energy gauge. Kept apart so they can be checked without a race.
namespace vorlane {

// Pattern of the energy gauge: 3 - energy for energy 0..3 (full shows 0), else 3.
int EnergyGaugePattern(int energy);

// Top of the progress marker on the panel's track bar for a marker of the given
// height: at the bottom of the bar at the start of a level, never above y 15.
double ProgressMarkerY(int markerHeight, int trackLength, int mapRow);

// Speedometer needle angle: speed * 1.15 - 28 rounded, not below -28, one less while
// the engine shifts gear.
int NeedleAngle(double speed, bool shifting);

} // namespace vorlane
