#include "persist/OnlineScore.h"

#include <algorithm>
#include <chrono>

#include "persist/OnlineConfig.h"

namespace vorlane {

std::string BuildSubmissionText(std::string_view playerName, int32_t score, std::string_view country)
{
    std::string text = "type=0";
    text += "|name=";
    text += playerName;
    text += "|score=";
    text += std::to_string(score);
    text += "|key=";
    text += online::kSubmissionKey;
    text += "|p=";
    text += "|add=";
    text += country;
    text += "|z=";
    while (text.size() % 5 != 0) text += '0';
    return text;
}

std::string EncodeSubmission(std::string_view text)
{
    const size_t dataBits = text.size() * 8;
    const size_t leadingZeros = (5 - dataBits % 5) % 5;
    const size_t totalBits = leadingZeros + dataBits;
    auto bitAt = [&](size_t i) -> unsigned {
        if (i < leadingZeros) return 0;
        i -= leadingZeros;
        return (static_cast<unsigned char>(text[i / 8]) >> (7 - i % 8)) & 1u;
    };

    std::string encoded;
    encoded.reserve(totalBits / 5);
    for (size_t group = 0; group < totalBits; group += 5) {
        unsigned v = 0;
        for (size_t b = 0; b < 5; ++b) v = (v << 1) | bitAt(group + b);
        encoded += kSubmissionAlphabet[v];
    }
    return encoded;
}

HttpRequest BuildSubmissionRequest(std::string_view encoded)
{
    HttpRequest request;
    request.url = std::string("http://") + online::kServerHost;
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

bool SubmitScore(IHttpClient& http, std::string_view playerName, int32_t score, std::string_view country) noexcept
{
    try {
        const HttpRequest request = BuildSubmissionRequest(EncodeSubmission(BuildSubmissionText(playerName, score, country)));
        return http.Get(request);
    } catch (...) {
        // The result was not sent; the game goes on as if it had been.
        return false;
    }
}

HttpRequest BuildReplayUploadRequest(std::string_view encoded, long totalTimeoutMs)
{
    HttpRequest request;
    request.url = std::string("http://") + online::kServerHost;
    request.url += kReplayUploadPath;
    request.url += encoded;
    request.headers = {
        "User-Agent: Mozilla/3.0 (compatible; Indy Library)",
        "Content-Type: application/octet-stream",
        "Expect:", // the body goes at once, without waiting for "100 Continue"
    };
    request.totalTimeoutMs = totalTimeoutMs;
    request.connectTimeoutMs = std::min<long>(online::kConnectTimeoutMs, totalTimeoutMs);
    return request;
}

bool SubmitScoreAndReplay(IHttpClient& http, std::string_view playerName, int32_t score, std::string_view country,
                          std::string_view replay) noexcept
{
    try {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point start = Clock::now();
        const std::string encoded = EncodeSubmission(BuildSubmissionText(playerName, score, country));
        if (!http.Get(BuildSubmissionRequest(encoded))) return false;
        if (replay.empty() || replay.size() > kMaxReplayUploadBytes) return true;
        const long spent = long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        const long left = online::kTotalTimeoutMs - spent;
        if (left > 0) http.Post(BuildReplayUploadRequest(encoded, left), std::string(replay));
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace vorlane
