// vorlane-scores: the online high-score server of the game.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <mutex>
#include <thread>

#include "checks/IsolatedCheck.h"
#include "checks/ReplayClaimer.h"
#include "checks/ReplayDataDir.h"
#include "checks/ReplayVerifier.h"
#include "checks/ResimulatingChecker.h"
#include "store/ScoreStore.h"
#include "web/AccessLog.h"
#include "web/DatabaseLock.h"
#include "web/GuardedServer.h"
#include "web/ScoreService.h"
#include "web/ServerOptions.h"
#include "web/SubmissionWriter.h"

namespace {

int Refuse(const std::string& message) {
    std::cerr << "vorlane-scores: " << message << std::endl;
    return 2;
}

// A checking process (--checker): replays taken from the database, checked, judged,
// until SIGINT or SIGTERM; the checks running then end first. Each verdict it writes
// is a line on standard error.
int RunChecker(vorlane::scores::ScoreStore& store, const vorlane::scores::ServerOptions& options,
               const std::vector<std::string>& checkProgram, const sigset_t& stopSignals) {
    using namespace vorlane::scores;
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    const std::string name = std::string(host) + ":" + std::to_string(getpid());
    ClaimLimits limits;
    limits.workers = static_cast<size_t>(options.checkers);
    limits.lease = std::chrono::seconds(options.replayLeaseSeconds);
    std::mutex reportLock;
    ReplayClaimer claimer(store, InProgram(checkProgram), name, limits,
                          [&reportLock](const std::string& line) {
                              std::lock_guard lock(reportLock);
                              std::cerr << "vorlane-scores: " << line << std::endl;
                          });
    std::printf("checking replays as %s\n", name.c_str());
    std::fflush(stdout);
    int signalNumber = 0;
    sigwait(&stopSignals, &signalNumber);
    claimer.Stop();
    return 0;
}

std::string UrlHost(const std::string& host) {
    return host.find(':') == std::string::npos ? host : "[" + host + "]";
}

} // namespace

// The checking process the server starts for each uploaded replay (not for people):
// vorlane-scores --check-replay DATA_DIR, the replay on standard input.
constexpr const char* kCheckReplayMode = "--check-replay";

int main(int argc, char** argv) {
    using namespace vorlane::scores;
    if (argc == 3 && std::string(argv[1]) == kCheckReplayMode)
        return AnswerCheckOfStandardInput(ReplayCheckerOfTheGame(), argv[2]);
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::printf("%s\n%s", kServerUsage, kServerHelp);
            return 0;
        }
    }
    for (const std::string& arg : args) {
        if (arg == "--version") {
            std::printf("vorlane-scores %s\n", VORLANE_VERSION);
            return 0;
        }
    }
    const ServerOptionsParse parse = ParseServerOptions(args);
    if (!parse.ok) return Refuse(parse.error + " (" + kServerUsage + ")");
    const ServerOptions& options = parse.options;
    if (options.checkerOnly && !options.dbUrl.starts_with("postgres"))
        return Refuse("--checker needs a PostgreSQL database (--db postgresql://...): with SQLite the server "
                      "checks its replays itself");
    if (options.checkerOnly && options.checkers < 1) return Refuse("--checker needs --checkers 1 or more");

    // SIGINT and SIGTERM are taken by one thread below; every other thread
    // inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    // The port first: a server refused for a port in use leaves no trace (no new
    // database file, no lock, no migration). A checking process listens on none.
    GuardedServer server;
    const int port = options.checkerOnly ? 0 : server.Bind(options.host, options.port);
    if (port < 0)
        return Refuse("cannot listen on " + UrlHost(options.host) + ":" + std::to_string(options.port));
    DatabaseLock lock;
    if (options.dbUrl.starts_with("sqlite:") && options.dbUrl.size() > 7) {
        std::string error;
        if (!lock.Take(options.dbUrl.substr(7), error)) return Refuse(error);
    }
    std::unique_ptr<ScoreStore> store;
    try {
        store = OpenScoreStore(options.dbUrl, options.store);
        store->SetReplayQuota(options.replayQuota);
    } catch (const StoreError& error) {
        return Refuse(error.what());
    }

    // Replays are played through with the game's own data (VORLANE_DATA_DIR or the
    // folder this build made), each in a fresh process of this program (see
    // kCheckReplayMode): it shares nothing with the server, whose other threads go on.
    const std::filesystem::path dataDir = ReplayDataDir([](const char* name) { return std::getenv(name); });
    const std::vector<std::string> checkProgram{"/proc/self/exe", kCheckReplayMode, dataDir.string()};
    if (options.checkerOnly) return RunChecker(*store, options, checkProgram, stopSignals);

    auto writer = std::make_unique<SubmissionWriter>(*store);
    VerifierLimits verifierLimits;
    verifierLimits.workers = static_cast<size_t>(options.checkers);
    auto verifier = std::make_unique<ReplayVerifier>(*store, InProgram(checkProgram), verifierLimits);
    // Replays left pending by the last run go first, before any upload is taken (and
    // only once the port is ours: a second server refused here checks nothing).
    verifier->TakeUpPendingReplays();
    const std::string listenUrl = "http://" + UrlHost(options.host) + ":" + std::to_string(port);

    ScoreService service(*store, *writer, *verifier, options,
                         options.publicUrl.empty() ? listenUrl : options.publicUrl);
    service.Install(server);
    server.SetTrustedProxies(options.trustedProxies, options.forwardedHeader);
    auto accessLog =
        std::make_unique<AccessLog>(options.accessLog, std::chrono::seconds(options.refusalSummarySeconds));
    server.SetAccessLog(accessLog.get());

    std::thread([&server, stopSignals] {
        int signalNumber = 0;
        sigwait(&stopSignals, &signalNumber);
        // A stop asked for before the listening loop has begun would be lost (the
        // loop would then run on): wait for the loop first.
        while (!server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        server.stop();
    }).detach();

    if (!GameReplaysResimulated())
        std::cerr << "vorlane-scores: replays are only checked for form: this build has no re-simulation"
                  << std::endl;
    std::printf("listening on %s\n", listenUrl.c_str());
    std::fflush(stdout);

    // Returns once stopped, after the requests in flight have been answered.
    const bool listened = server.listen_after_bind();
    server.SetAccessLog(nullptr);
    accessLog.reset();
    verifier->Stop();
    verifier.reset();
    writer->Stop();
    writer.reset();
    store.reset();
    if (!listened) {
        std::cerr << "vorlane-scores: the listening socket failed" << std::endl;
        return 1;
    }
    return 0;
}
