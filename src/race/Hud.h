#pragma once
// The head-up display's texts on the race panel (the gauges are the race's own:
// sim/HudGauges.h), kept apart so they can be checked without a running race.
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

} // namespace vorlane
