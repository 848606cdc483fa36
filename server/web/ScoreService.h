#pragma once
// What the score server answers: the game's submission and table addresses, the
// home page, the JSON interface and the health check.
#include <httplib.h>

#include <string>

#include "checks/ReplayVerifier.h"
#include "store/ScoreStore.h"
#include "web/ServerOptions.h"
#include "web/SubmissionLimits.h"
#include "web/SubmissionWriter.h"
#include "web/WebFonts.h"

namespace vorlane::scores {

class ScoreService {
  public:
    // `publicUrl` is where browsers reach the server (for the links it prints).
    // Uploaded replays are stored and handed to `verifier`.
    ScoreService(ScoreStore& store, SubmissionWriter& writer, ReplayVerifier& verifier,
                 const ServerOptions& options, std::string publicUrl);

    void Install(httplib::Server& server);

  private:
    void HandleVersionScript(const httplib::Request& request, httplib::Response& response);
    void HandleSubmission(const httplib::Request& request, httplib::Response& response);
    void HandleTablePage(const httplib::Request& request, httplib::Response& response);
    void HandleApiScores(const httplib::Request& request, httplib::Response& response);
    void HandleApiRank(const httplib::Request& request, httplib::Response& response);
    void HandleReplayUpload(const httplib::Request& request, httplib::Response& response);
    // Fills in the sender and the submission an upload's address names (not the file);
    // answers what is wrong with the address, or nothing.
    std::string ReadReplayClaim(const httplib::Request& request, NewReplay& replay) const;
    // A body of `size` bytes (0: not known) over kMaxReplayBytes: 413, and a Failed
    // record for the row the address names.
    void RefuseOversizedReplay(const httplib::Request& request, httplib::Response& response, uint64_t size);
    void OversizedUploadRefused(const httplib::Request& request, httplib::Response& response);
    void HandleReplayStatus(const httplib::Request& request, httplib::Response& response);
    void HandleReplayFile(const httplib::Request& request, httplib::Response& response);

    ScoreStore& store_;
    SubmissionWriter& writer_;
    ReplayVerifier& verifier_;
    char key_;
    std::string publicUrl_;
    std::string salt_;
    SubmissionRateLimiter limiter_;
    SubmissionRateLimiter replayLimiter_;
    std::vector<WebFont> fonts_;
};

} // namespace vorlane::scores
