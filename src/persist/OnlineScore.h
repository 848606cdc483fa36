#pragma once
// Sending a finished race's result to the online high-score table: one HTTP GET
// whose query carries the result in the game's base-32 encoding (see
// wire/SubmissionText.h). The answer is not used, and a failure of any kind is
// ignored: the game simply goes on.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Http.h"
#include "wire/SubmissionText.h"

namespace vorlane {

// The GET request for an encoded result on the score server at serverUrl
// ("http://host[:port]", see persist/ServerAddress.h), with the game's fixed
// request headers and a bounded wait.
HttpRequest BuildSubmissionRequest(std::string_view serverUrl, std::string_view encoded);

// Builds, encodes and sends the result; returns when the request has finished or
// failed. Never throws. Answers whether the server took it, which the game
// ignores: no message, no retry.
bool SubmitScore(IHttpClient& http, std::string_view serverUrl, std::string_view playerName, int32_t score,
                 std::string_view country) noexcept;

// Where the race's replay goes after its result: POST to this path with the same
// encoded result, the replay's bytes as the body.
inline constexpr std::string_view kReplayUploadPath = "/api/replays?prg=Vorlane&inf=";
// A replay larger than this is not sent (five minutes of racing are about 30 KB).
inline constexpr size_t kMaxReplayUploadBytes = 256 * 1024;

// The POST request for an encoded result's replay to the server at serverUrl, within
// totalTimeoutMs.
HttpRequest BuildReplayUploadRequest(std::string_view serverUrl, std::string_view encoded,
                                     long totalTimeoutMs);

// SubmitScore, and when the server took the result, the race's replay after it, both
// within the one time bound of the submission (kTotalTimeoutMs). An empty or too large
// replay is not sent. Never throws; answers whether the result was taken (the upload's
// own success is not reported: it fails silently).
bool SubmitScoreAndReplay(IHttpClient& http, std::string_view serverUrl, std::string_view playerName,
                          int32_t score, std::string_view country, std::string_view replay) noexcept;

} // namespace vorlane
