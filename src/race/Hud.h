#pragma once
// The head-up display on the race panel: its texts and the small reckonings behind
// the panel sprites, kept apart so they can be checked without a running race.
#include <string>

namespace vorlane {

// The notice over the road from the finish line until the next level: its two lines
// in the outlined style of the race's messages, centred on the road's middle above
// the car.
inline constexpr const char* kFinishNotice = "FINISH!";
inline constexpr const char* kTimeBonusNotice = "TIME BONUS";
inline constexpr int kFinishNoticeStyle = 5;
inline constexpr int kTimeBonusNoticeStyle = 5;
inline constexpr int kFinishNoticeX = 305;
inline constexpr int kFinishNoticeY = 160;
inline constexpr int kTimeBonusNoticeY = 212;

// "mm : ss" of the time left, each part with a leading "0" below 10; below zero reads "00 : 00".
std::string TimeText(int timeLeftMs);
// Lives as shown: a negative count (only for a moment, at a crash) shows "0".
std::string LivesText(int lives);
// Pattern of the energy gauge: 3 - energy for energy 0..3 (full shows 0), else 3.
int EnergyGaugePattern(int energy);
// Top of the progress marker on the panel's track bar for a marker of the given
// height: at the bottom of the bar at the start of a level, never above y 15.
double ProgressMarkerY(int markerHeight, int trackLength, int mapRow);
// Speedometer needle angle: speed * 1.15 - 28 rounded, not below -28, one less while
// the engine shifts gear.
int NeedleAngle(double speed, bool shifting);

} // namespace vorlane
