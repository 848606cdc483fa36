#pragma once
// Where the game's web links and online high scores go by default, and the fixed
// parts of a submission. The address itself can be changed at start-up (see
// persist/ServerAddress.h).

namespace vorlane::online {

// The score server when neither the command line nor the environment names one:
// a `vorlane-scores` started beside the game on the same machine.
inline constexpr const char* kDefaultServerUrl = "http://127.0.0.1:8080";

// The environment variable that names the score server when the command line does not.
inline constexpr const char* kServerEnvVariable = "VORLANE_SERVER";

// The submission blocks the game while it runs, so it may not wait long.
inline constexpr long kConnectTimeoutMs = 3000;
inline constexpr long kTotalTimeoutMs = 10000;

} // namespace vorlane::online
