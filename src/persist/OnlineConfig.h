#pragma once
// Where the game's web links and online high scores go. The one place to change
// when the score server moves.

namespace vorlane::online {

// Host of the game's web site and of its online high-score table.
inline constexpr const char* kServerHost = "scores.vorlane.invalid";

// The one capital letter that marks a score sent by this program.
inline constexpr char kSubmissionKey = 'K';

// The submission blocks the game while it runs, so it may not wait long.
inline constexpr long kConnectTimeoutMs = 3000;
inline constexpr long kTotalTimeoutMs = 10000;

} // namespace vorlane::online
