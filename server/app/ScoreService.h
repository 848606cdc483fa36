#pragma once
// What the score server answers: the game's submission and table addresses, the
// home page, the JSON interface and the health check.
#include <httplib.h>

#include <string>

#include "app/ServerOptions.h"
#include "app/SubmissionLimits.h"
#include "app/SubmissionWriter.h"
#include "store/ScoreStore.h"

namespace vorlane::scores {

class ScoreService {
public:
    // `publicUrl` is where browsers reach the server (for the links it prints).
    ScoreService(ScoreStore& store, SubmissionWriter& writer, const ServerOptions& options, std::string publicUrl);

    void Install(httplib::Server& server);

private:
    void HandleVersionScript(const httplib::Request& request, httplib::Response& response);
    void HandleSubmission(const httplib::Request& request, httplib::Response& response);
    void HandleTablePage(const httplib::Request& request, httplib::Response& response);
    void HandleApiScores(const httplib::Request& request, httplib::Response& response);
    void HandleApiRank(const httplib::Request& request, httplib::Response& response);

    ScoreStore& store_;
    SubmissionWriter& writer_;
    char key_;
    std::string publicUrl_;
    std::string salt_;
    SubmissionRateLimiter limiter_;
};

} // namespace vorlane::scores
