#include "server/ScoresProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "persist/OnlineScore.h"

#ifndef VORLANE_SCORES_EXE
#error "VORLANE_SCORES_EXE must name the vorlane-scores program"
#endif

namespace vorlane::scores::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::string UniqueName() {
    static int next = 0;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "vorlane_scores_" + std::to_string(getpid()) + "_" + std::to_string(++next);
    if (info) name += std::string("_") + info->name();
    for (char& c : name)
        if (c == '/') c = '_';
    return name;
}

} // namespace

TestDatabase::TestDatabase() {
    if (const char* url = std::getenv("VORLANE_TEST_DB_URL"); url && *url) {
        url_ = url;
        if (!IsSqlite()) {
            // A shared server database: start from no tables at all.
            const std::string command =
                "PGOPTIONS='-c client_min_messages=warning' psql -q -v ON_ERROR_STOP=1 '" + url_ +
                "' -c 'DROP TABLE IF EXISTS replays, scores, settings, schema_migrations, rank_counts, "
                "period_counts, "
                "rank_levels, period_spans, period_horizon CASCADE' >/dev/null";
            if (std::system(command.c_str()) != 0) ADD_FAILURE() << "cannot empty the test database " << url_;
            return;
        }
    }
    folder_ = std::filesystem::temp_directory_path() / UniqueName();
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    sqlitePath_ = folder_ / "scores.db";
    url_ = "sqlite:" + sqlitePath_.string();
}

TestDatabase::~TestDatabase() {
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
}

ScoresProcess::ScoresProcess(const std::vector<std::string>& args) {
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        std::vector<char*> argv;
        // VORLANE_TEST_SCORES_EXE runs the tests against another build of the program.
        const char* other = std::getenv("VORLANE_TEST_SCORES_EXE");
        std::string program = other && *other ? other : VORLANE_SCORES_EXE;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (std::string& arg : copies)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    stdoutFd_ = out[0];
    stderrFd_ = err[0];
    fcntl(stderrFd_, F_SETFL, O_NONBLOCK);
}

ScoresProcess::~ScoresProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    // The program has ended: its end of the pipe is closed and the reader sees the end.
    if (stdoutReader_.joinable()) stdoutReader_.join();
    if (stdoutFd_ >= 0) close(stdoutFd_);
    if (stderrFd_ >= 0) close(stderrFd_);
}

std::unique_ptr<ScoresProcess> ScoresProcess::StartOn(const TestDatabase& db,
                                                      const std::vector<std::string>& extra) {
    std::vector<std::string> args{"--listen", "127.0.0.1:0", "--db", db.Url()};
    args.insert(args.end(), extra.begin(), extra.end());
    auto process = std::make_unique<ScoresProcess>(args);
    if (!process->WaitUntilListening()) {
        ADD_FAILURE() << "vorlane-scores did not start: " << process->FirstLine() << " / "
                      << process->Stderr();
        return nullptr;
    }
    return process;
}

bool ScoresProcess::WaitUntilListening(std::chrono::milliseconds timeout) {
    const auto giveUp = Clock::now() + timeout;
    while (firstLine_.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now()).count();
        if (left <= 0) return false;
        pollfd entry{stdoutFd_, POLLIN, 0};
        if (poll(&entry, 1, static_cast<int>(left)) <= 0) continue;
        char c;
        if (read(stdoutFd_, &c, 1) != 1) return false;
        firstLine_ += c;
    }
    const std::string prefix = "listening on http://127.0.0.1:";
    if (!firstLine_.starts_with(prefix)) return false;
    port_ = std::stoi(firstLine_.substr(prefix.size()));
    if (!stdoutReader_.joinable()) {
        stdoutReader_ = std::thread([this] {
            char buffer[4096];
            for (;;) {
                const ssize_t got = read(stdoutFd_, buffer, sizeof buffer);
                if (got <= 0) return;
                std::lock_guard lock(stdoutMutex_);
                stdoutText_.append(buffer, static_cast<size_t>(got));
            }
        });
    }
    return port_ > 0;
}

void ScoresProcess::Signal(int signalNumber) {
    if (pid_ > 0) kill(pid_, signalNumber);
}

int ScoresProcess::WaitForExit(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) return -1;
    const auto giveUp = Clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (Clock::now() >= giveUp) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            pid_ = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ScoresProcess::Stdout() {
    std::lock_guard lock(stdoutMutex_);
    return stdoutText_;
}

std::string ScoresProcess::Stderr() {
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(stderrFd_, buffer, sizeof buffer);
        if (got <= 0) break;
        stderrText_.append(buffer, static_cast<size_t>(got));
    }
    return stderrText_;
}

httplib::Client ScoresProcess::Client(const std::string& fromAddress) const {
    httplib::Client client("127.0.0.1", port_);
    client.set_connection_timeout(std::chrono::seconds(5));
    client.set_read_timeout(std::chrono::seconds(15));
    if (!fromAddress.empty()) client.set_interface(fromAddress);
    return client;
}

std::string SubmissionPath(const std::string& name, int score, const std::string& country) {
    return std::string(kSubmissionPath) + EncodeSubmission(BuildSubmissionText(name, score, country));
}

std::string SubmissionPathForText(std::string text) {
    while (text.size() % 5 != 0)
        text += '0';
    return std::string(kSubmissionPath) + EncodeSubmission(text);
}

std::vector<RankedScore> AllRows(ScoreStore& store, const ScoreFilter& filter) {
    std::vector<RankedScore> rows;
    for (;;) {
        std::vector<RankedScore> page = store.Page(filter, static_cast<int64_t>(rows.size()), 1000);
        if (page.empty()) return rows;
        rows.insert(rows.end(), page.begin(), page.end());
    }
}

} // namespace vorlane::scores::testing
