#pragma once
// Sending a finished race's result to the online high-score table: one HTTP GET
// whose query carries the result in the game's base-32 encoding. The answer is
// not used, and a failure of any kind is ignored: the game simply goes on.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Http.h"

namespace vorlane {

// The 32 characters of the encoding: capital letters without I, O and Z, then 1-9.
inline constexpr std::string_view kSubmissionAlphabet = "ABCDEFGHJKLMNPQRSTUVWXY123456789";
inline constexpr std::string_view kSubmissionPath = "/cgi/version.pl?hs&prg=Vorlane&inf=";

// "type=0|name=<name>|score=<score>|key=<key>|p=|add=<country>|z=", padded with
// "0" to a multiple of 5 characters. Name and country go in as bytes; no country
// goes as kNoCountry.
std::string BuildSubmissionText(std::string_view playerName, int32_t score, std::string_view country);

// Base 32 over the text's bits, most significant first, 5 bits a character; zero
// bits go in front when the bit count is not a multiple of 5. "type=" gives
// "QT61A3K7".
std::string EncodeSubmission(std::string_view text);

// The way back, for the score server. Refuses a character outside the alphabet, a
// length that no text encodes to (the leading bits would make up a whole
// character) and leading bits that are not zero; `error` then says which.
struct SubmissionDecoding {
    bool ok = false;
    std::string text;  // the submission text, when ok
    std::string error; // one line, when not ok
};
SubmissionDecoding DecodeSubmission(std::string_view encoded);

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
