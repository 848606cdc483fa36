#include "persist/OnlineScore.h"

#include <algorithm>
#include <chrono>

#include "persist/OnlineConfig.h"

namespace vorlane {

HttpRequest BuildSubmissionRequest(std::string_view serverUrl, std::string_view encoded) {
    HttpRequest request;
    request.url = serverUrl;
    request.url += kSubmissionPath;
    request.url += encoded;
    request.headers = {
        "Accept: text/html, */*",
        "User-Agent: Mozilla/3.0 (compatible; Indy Library)",
        "Content-Type: text/html",
    };
    request.connectTimeoutMs = online::kConnectTimeoutMs;
    request.totalTimeoutMs = online::kTotalTimeoutMs;
    return request;
}

bool SubmitScore(IHttpClient& http, std::string_view serverUrl, std::string_view playerName, int32_t score,
                 std::string_view country) noexcept {
    try {
        const HttpRequest request = BuildSubmissionRequest(
            serverUrl, EncodeSubmission(BuildSubmissionText(playerName, score, country)));
        return http.Get(request);
    } catch (...) {
        // The result was not sent; the game goes on as if it had been.
        return false;
    }
}

HttpRequest BuildReplayUploadRequest(std::string_view serverUrl, std::string_view encoded,
                                     long totalTimeoutMs) {
    HttpRequest request;
    request.url = serverUrl;
    request.url += kReplayUploadPath;
    request.url += encoded;
    request.headers = {
        "User-Agent: Mozilla/3.0 (compatible; Indy Library)", "Content-Type: application/octet-stream",
        "Expect:", // the body goes at once, without waiting for "100 Continue"
    };
    request.totalTimeoutMs = totalTimeoutMs;
    request.connectTimeoutMs = std::min<long>(online::kConnectTimeoutMs, totalTimeoutMs);
    return request;
}

bool SubmitScoreAndReplay(IHttpClient& http, std::string_view serverUrl, std::string_view playerName,
                          int32_t score, std::string_view country, std::string_view replay) noexcept {
    try {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point start = Clock::now();
        const std::string encoded = EncodeSubmission(BuildSubmissionText(playerName, score, country));
        if (!http.Get(BuildSubmissionRequest(serverUrl, encoded))) return false;
        if (replay.empty() || replay.size() > kMaxReplayUploadBytes) return true;
        const long spent =
            long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        const long left = online::kTotalTimeoutMs - spent;
        if (left > 0) http.Post(BuildReplayUploadRequest(serverUrl, encoded, left), std::string(replay));
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace vorlane
