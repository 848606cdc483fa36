#include "web/ScoreService.h"

#include <charconv>
#include <chrono>
#include <iostream>

#include "submission/Submission.h"
#include "web/ByteRange.h"
#include "web/Pages.h"
#include "web/WebText.h"

namespace vorlane::scores {
namespace {

constexpr const char* kPlainText = "text/plain; charset=utf-8";
constexpr int64_t kMaxApiRows = 100;
// A sender waits this long for its commit before it is told to try again.
constexpr auto kCommitWait = std::chrono::seconds(10);

int64_t NowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void Answer(httplib::Response& response, int status, const std::string& text) {
    response.status = status;
    response.set_content(text + "\n", kPlainText);
}

// A request value that is not what the address allows. Carries the one-line reason.
struct BadRequest {
    std::string reason;
};

int64_t WholeParam(const httplib::Request& request, const char* name, int64_t fallback, int64_t low,
                   int64_t high) {
    if (!request.has_param(name)) return fallback;
    const std::string text = request.get_param_value(name);
    int64_t value = 0;
    const char* end = text.data() + text.size();
    // A number past 64 bits is out of range too (from_chars then leaves `value` at 0).
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || ptr != end || value < low || value > high)
        throw BadRequest{std::string(name) + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high)};
    return value;
}

Period PeriodParam(const httplib::Request& request) {
    Period period = Period::All;
    if (request.has_param("period") && !ParsePeriod(request.get_param_value("period"), period))
        throw BadRequest{"period must be day, week, month or all"};
    return period;
}

std::string TextParam(const httplib::Request& request, const char* name) {
    std::string value = request.get_param_value(name);
    if (value.size() > 64) throw BadRequest{std::string(name) + " is longer than 64 bytes"};
    return value;
}

bool VerifiedParam(const httplib::Request& request) {
    return WholeParam(request, "verified", 0, 0, 1) == 1;
}

ScoreFilter FilterOf(const httplib::Request& request, Period period) {
    return ScoreFilter{PeriodStart(period, NowSeconds()), TextParam(request, "country"),
                       VerifiedParam(request)};
}

constexpr const char* kTooManyReplays = "too many replays from this address, try again in a minute";

std::string ReplayTooLargeText() {
    return "a replay may hold " + std::to_string(kMaxReplayBytes / 1024) + " KiB at most";
}

// The body's length as its Content-Length header gives it; 0 when that is missing or
// not a whole number.
uint64_t DeclaredLength(const httplib::Request& request) {
    const std::string text = request.get_header_value("Content-Length");
    uint64_t length = 0;
    const char* end = text.data() + text.size();
    return std::from_chars(text.data(), end, length).ptr == end ? length : 0;
}

// Why the quota turned an upload away (nothing stored).
std::string QuotaRefusalText(ReplayRefusal refusal) {
    if (refusal == ReplayRefusal::RowFull)
        return "this result has had as many replays as it may have, none more is taken for it";
    return "the replays waiting to be checked fill the room kept for them, try again later";
}

// A row that had its replays: 429 (that sender's doing; no use trying again). No room
// for pending files: 503 (the server's state; it frees as the checks go on).
void AnswerQuotaRefusal(httplib::Response& response, ReplayRefusal refusal) {
    const bool rowFull = refusal == ReplayRefusal::RowFull;
    if (!rowFull) response.set_header("Retry-After", "60");
    Answer(response, rowFull ? 429 : 503, "replay not stored: " + QuotaRefusalText(refusal));
}

// "replay 12 not checked: no matching submission".
std::string NotCheckedText(const ReplayRecord& record) {
    return "replay " + std::to_string(record.id) + " not checked: " + record.reason;
}

// The replay id in "/api/replays/ID" or "/api/replays/ID.vrp".
int64_t ReplayIdOf(const httplib::Request& request) {
    int64_t id = 0;
    const std::string text = request.matches[1];
    const char* end = text.data() + text.size();
    if (text.empty() || std::from_chars(text.data(), end, id).ptr != end || id < 1)
        throw BadRequest{"a replay id is a whole number from 1"};
    return id;
}

// Runs a handler and turns its BadRequest into a 400 and a failing database into a 503.
template <class Handler> httplib::Server::Handler Guarded(Handler handler) {
    return [handler](const httplib::Request& request, httplib::Response& response) {
        try {
            handler(request, response);
        } catch (const BadRequest& bad) {
            Answer(response, 400, "bad request: " + bad.reason);
        } catch (const StoreBusy& error) {
            std::cerr << "vorlane-scores: " << error.what() << std::endl;
            response.set_header("Retry-After", "5");
            Answer(response, 503, "every database connection of this server stayed busy, try again later");
        } catch (const StoreError& error) {
            std::cerr << "vorlane-scores: " << error.what() << std::endl;
            Answer(response, 503, "the score table is not available just now, try again later");
        }
    };
}

} // namespace

ScoreService::ScoreService(ScoreStore& store, SubmissionWriter& writer, ReplayVerifier& verifier,
                           const ServerOptions& options, std::string publicUrl)
    : store_(store), writer_(writer), verifier_(verifier), key_(options.key),
      publicUrl_(std::move(publicUrl)), salt_(store.ClientSalt()), limiter_(options.rateLimitPerMinute),
      replayLimiter_(options.rateLimitPerMinute) {
    std::vector<std::string> missing;
    fonts_ = LoadWebFonts(missing);
    for (const std::string& path : missing)
        std::cerr << "vorlane-scores: font " << path
                  << " is not installed; the pages fall back to the browser's" << std::endl;
}

void ScoreService::Install(httplib::Server& server) {
    server.set_default_headers({
        {"Content-Security-Policy",
         "default-src 'none'; style-src 'self'; font-src 'self'; img-src 'self'; form-action "
         "'self'; base-uri 'none'; frame-ancestors 'none'"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        {"X-Frame-Options", "DENY"},
    });

    server.Get("/", [this](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "no-cache");
        response.set_content(RenderHomePage(publicUrl_), "text/html; charset=utf-8");
    });
    server.Get(std::string(kStylesheetPath), [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "public, max-age=3600");
        response.set_content(std::string(Stylesheet()), "text/css; charset=utf-8");
    });
    for (const WebFont& font : fonts_) {
        std::string pattern = std::string(kWebFontsPath);
        for (const char c : font.name)
            pattern += c == '.' ? std::string("\\.") : std::string(1, c);
        server.Get(pattern, [&font](const httplib::Request&, httplib::Response& response) {
            response.set_header("Cache-Control", "public, max-age=604800");
            response.set_content(font.bytes, "font/ttf");
        });
    }
    // Liveness: the process answers. Readiness: it can reach its database too (a
    // proxy sends no traffic to a server that would answer 503 to every page).
    server.Get("/healthz", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        Answer(response, 200, "ok");
    });
    server.Get("/readyz", [this](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        try {
            store_.CheckReachable();
            Answer(response, 200, "ready");
        } catch (const StoreError& error) {
            std::cerr << "vorlane-scores: not ready: " << error.what() << std::endl;
            Answer(response, 503, "not ready: the database cannot be reached");
        }
    });
    server.Get("/cgi/version.pl", Guarded([this](const auto& q, auto& a) { HandleVersionScript(q, a); }));
    server.Get("/api/scores", Guarded([this](const auto& q, auto& a) { HandleApiScores(q, a); }));
    server.Get("/api/rank", Guarded([this](const auto& q, auto& a) { HandleApiRank(q, a); }));
    server.Post("/api/replays", Guarded([this](const auto& q, auto& a) { HandleReplayUpload(q, a); }));
    server.Get(R"(/api/replays/(\d{1,18}))",
               Guarded([this](const auto& q, auto& a) { HandleReplayStatus(q, a); }));
    server.Get(R"(/api/replays/(\d{1,18})\.vrp)",
               Guarded([this](const auto& q, auto& a) { HandleReplayFile(q, a); }));

    server.set_error_handler(httplib::Server::HandlerWithResponse(
        [this](const httplib::Request& request, httplib::Response& response) {
            if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
            if (response.status == 413 && request.method == "POST" && request.path == "/api/replays") {
                OversizedUploadRefused(request, response);
                return httplib::Server::HandlerResponse::Handled;
            }
            Answer(response, response.status, response.status == 404 ? "not found" : "request refused");
            return httplib::Server::HandlerResponse::Handled;
        }));
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr error) {
            try {
                if (error) std::rethrow_exception(error);
            } catch (const std::exception& e) {
                std::cerr << "vorlane-scores: request failed: " << e.what() << std::endl;
            } catch (...) {
                std::cerr << "vorlane-scores: request failed" << std::endl;
            }
            Answer(response, 500, "internal error");
        });
}

// httplib answers 413 before any handler runs and calls this with the address and
// headers read. A body with a declared length is not read: its size is the declared
// one. One sent in chunks may have been taken in (up to the request's limit) before
// httplib refused it: then it is counted.
void ScoreService::OversizedUploadRefused(const httplib::Request& request, httplib::Response& response) {
    const uint64_t size = request.body.empty() ? DeclaredLength(request) : request.body.size();
    // Nothing may escape from here: httplib does not catch what an error handler throws.
    try {
        RefuseOversizedReplay(request, response, size);
    } catch (const std::exception& error) {
        std::cerr << "vorlane-scores: an oversized replay was not recorded: " << error.what() << std::endl;
        Answer(response, 413, ReplayTooLargeText());
    }
}

void ScoreService::HandleVersionScript(const httplib::Request& request, httplib::Response& response) {
    if (request.get_param_value("prg") != "Vorlane") throw BadRequest{"prg must be Vorlane"};
    if (request.has_param("hs")) return HandleSubmission(request, response);
    if (request.has_param("show")) return HandleTablePage(request, response);
    throw BadRequest{"ask for hs (a submission) or show (the table)"};
}

void ScoreService::HandleSubmission(const httplib::Request& request, httplib::Response& response) {
    response.set_header("Cache-Control", "no-store");
    const SubmissionCheck check = ParseEncodedSubmission(request.get_param_value("inf"), key_);
    if (!check.ok) return Answer(response, 400, "bad submission: " + check.error);

    NewScore entry{check.submission.name, check.submission.country, check.submission.score, NowSeconds(),
                   HashClientAddress(salt_, request.remote_addr)};
    if (!limiter_.TryTake(entry.clientHash)) {
        response.set_header("Retry-After", "60");
        return Answer(response, 429, "too many submissions from this address, try again in a minute");
    }
    const InsertOutcome outcome = writer_.Write(std::move(entry), kCommitWait);
    Answer(response, 200,
           outcome == InsertOutcome::Stored ? "OK score stored" : "OK score was stored already");
}

void ScoreService::HandleTablePage(const httplib::Request& request, httplib::Response& response) {
    TableView view;
    view.period = PeriodParam(request);
    view.page = WholeParam(request, "page", 1, 1, 1'000'000);
    view.name = TextParam(request, "name");
    const ScoreFilter filter = FilterOf(request, view.period);
    view.country = filter.country;
    view.since = filter.since;
    view.verifiedOnly = filter.verifiedOnly;

    view.rows = store_.Page(filter, (view.page - 1) * kRowsPerPage, kRowsPerPage + 1);
    view.hasNextPage = static_cast<int64_t>(view.rows.size()) > kRowsPerPage;
    if (view.hasNextPage) view.rows.pop_back();
    if (!view.name.empty()) view.highlighted = store_.BestOf(filter, view.name);

    response.set_header("Cache-Control", "no-cache");
    response.set_content(RenderTablePage(view), "text/html; charset=utf-8");
}

void ScoreService::HandleApiScores(const httplib::Request& request, httplib::Response& response) {
    const ScoreFilter filter = FilterOf(request, PeriodParam(request));
    const int64_t offset = WholeParam(request, "offset", 0, 0, 1'000'000'000);
    const int64_t limit = WholeParam(request, "limit", 50, 1, kMaxApiRows);
    std::string json = "[";
    for (const RankedScore& row : store_.Page(filter, offset, limit)) {
        if (json.size() > 1) json += ",";
        json += "\n{\"rank\":" + std::to_string(row.rank) + ",\"name\":" + JsonText(row.name) +
                ",\"country\":" + JsonText(row.country) + ",\"score\":" + std::to_string(row.score) +
                ",\"time\":\"" + IsoUtcTime(row.submittedAt) +
                "\",\"verified\":" + (row.verified ? "true" : "false") +
                (row.verified ? ",\"replay\":\"" + ReplayFileLink(row.replayId) + "\"" : "") + "}";
    }
    json += "]\n";
    response.set_header("Cache-Control", "no-cache");
    response.set_content(json, "application/json");
}

void ScoreService::HandleApiRank(const httplib::Request& request, httplib::Response& response) {
    if (!request.has_param("score")) throw BadRequest{"score is missing"};
    const Period period = PeriodParam(request);
    const int64_t score = WholeParam(request, "score", 0, 0, kMaxScore);
    const int64_t rank = store_.RankFor(FilterOf(request, period), score);
    response.set_header("Cache-Control", "no-cache");
    response.set_content("{\"rank\":" + std::to_string(rank) + ",\"score\":" + std::to_string(score) +
                             ",\"period\":\"" + std::string(PeriodName(period)) + "\"}\n",
                         "application/json");
}

std::string ScoreService::ReadReplayClaim(const httplib::Request& request, NewReplay& replay) const {
    if (request.get_param_value("prg") != "Vorlane") return "bad request: prg must be Vorlane";
    const SubmissionCheck check = ParseEncodedSubmission(request.get_param_value("inf"), key_);
    if (!check.ok) return "bad submission: " + check.error;
    replay.name = check.submission.name;
    replay.country = check.submission.country;
    replay.score = check.submission.score;
    replay.uploadedAt = NowSeconds();
    replay.clientHash = HashClientAddress(salt_, request.remote_addr);
    return {};
}

void ScoreService::HandleReplayUpload(const httplib::Request& request, httplib::Response& response) {
    response.set_header("Cache-Control", "no-store");
    NewReplay replay;
    if (const std::string bad = ReadReplayClaim(request, replay); !bad.empty())
        return Answer(response, 400, bad);
    if (request.body.size() > kMaxReplayBytes)
        return RefuseOversizedReplay(request, response, request.body.size());
    if (request.body.empty()) return Answer(response, 400, "bad replay: the body is empty");
    replay.bytes.assign(request.body.begin(), request.body.end());

    if (!replayLimiter_.TryTake(replay.clientHash)) {
        response.set_header("Retry-After", "60");
        return Answer(response, 429, kTooManyReplays);
    }
    if (!verifier_.TryReserve()) {
        response.set_header("Retry-After", "30");
        return Answer(response, 503, "too many replays waiting to be checked, try again later");
    }
    ReplayRecord record;
    try {
        record = store_.StoreReplay(replay);
    } catch (...) {
        verifier_.CancelReservation();
        throw;
    }
    if (record.refused != ReplayRefusal::None) {
        verifier_.CancelReservation();
        return AnswerQuotaRefusal(response, record.refused);
    }
    if (record.state != ReplayState::Pending) {
        verifier_.CancelReservation();
        return Answer(response, 200, "OK " + NotCheckedText(record));
    }
    verifier_.Enqueue(
        ReplayJob{record.id, record.claimedScore, std::move(replay.bytes), replay.name, replay.country});
    Answer(response, 200, "OK replay " + std::to_string(record.id) + " queued for checking");
}

// Called with the body unread when httplib turned it away for its declared length,
// and for a body sent in chunks (httplib takes those in up to the request's limit)
// that came larger than a replay may be. The sender hears 413 either way; the row
// its address names keeps the reason, within the sender's replay rate (a stream of
// large bodies is not a stream of records).
void ScoreService::RefuseOversizedReplay(const httplib::Request& request, httplib::Response& response,
                                         uint64_t size) {
    response.set_header("Cache-Control", "no-store");
    const std::string answer = ReplayTooLargeText();
    NewReplay replay;
    if (!ReadReplayClaim(request, replay).empty()) return Answer(response, 413, answer);
    if (!replayLimiter_.TryTake(replay.clientHash)) {
        response.set_header("Retry-After", "60");
        return Answer(response, 413, answer + "; not recorded: " + kTooManyReplays);
    }
    const std::string most = std::to_string(kMaxReplayBytes);
    const std::string refusal = size > 0
                                    ? "replay too large: " + std::to_string(size) + " bytes, at most " + most
                                    : "replay too large: more than " + most + " bytes";
    const ReplayRecord record = store_.StoreRefusedReplay(replay, refusal);
    if (record.refused != ReplayRefusal::None)
        return Answer(response, 413, answer + "; not recorded: " + QuotaRefusalText(record.refused));
    Answer(response, 413, answer + "; " + NotCheckedText(record));
}

void ScoreService::HandleReplayStatus(const httplib::Request& request, httplib::Response& response) {
    const std::optional<ReplayRecord> record = store_.FindReplay(ReplayIdOf(request));
    if (!record) return Answer(response, 404, "no such replay");
    std::string json = "{\"id\":" + std::to_string(record->id) + ",\"state\":\"" +
                       ReplayStateName(record->state) + "\",\"reason\":" + JsonText(record->reason) +
                       ",\"score\":" + std::to_string(record->claimedScore);
    if (record->state == ReplayState::Verified) json += ",\"file\":\"" + ReplayFileLink(record->id) + "\"";
    json += "}\n";
    response.set_header("Cache-Control", "no-cache");
    response.set_content(json, "application/json");
}

void ScoreService::HandleReplayFile(const httplib::Request& request, httplib::Response& response) {
    const int64_t id = ReplayIdOf(request);
    const std::optional<std::vector<uint8_t>> bytes = store_.VerifiedReplayFile(id);
    if (!bytes) return Answer(response, 404, "no verified replay with this id");
    response.set_header("Cache-Control", "public, max-age=86400");
    response.set_header("Content-Disposition",
                        "attachment; filename=\"vorlane-" + std::to_string(id) + ".vrp\"");
    response.set_header("Accept-Ranges", "bytes");
    const std::string size = std::to_string(bytes->size());
    const ByteRangeAnswer range =
        AnswerRange(request.get_header_value(std::string(kRangeHeader).c_str()), bytes->size());
    if (range.kind == ByteRangeAnswer::Kind::Unsatisfiable) {
        response.set_header("Content-Range", "bytes */" + size);
        return Answer(response, 416, "the range is past the end of the file");
    }
    if (range.kind == ByteRangeAnswer::Kind::Part) {
        response.status = 206;
        response.set_header("Content-Range", "bytes " + std::to_string(range.offset) + "-" +
                                                 std::to_string(range.offset + range.length - 1) + "/" +
                                                 size);
        const auto from = bytes->begin() + static_cast<std::ptrdiff_t>(range.offset);
        return response.set_content(std::string(from, from + static_cast<std::ptrdiff_t>(range.length)),
                                    "application/octet-stream");
    }
    response.set_content(std::string(bytes->begin(), bytes->end()), "application/octet-stream");
}

} // namespace vorlane::scores
