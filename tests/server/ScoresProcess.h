#pragma once
// The real vorlane-scores program, started for one test on 127.0.0.1 with a port
// of its own choosing, and the database it uses: a fresh SQLite file per test, or
// the database VORLANE_TEST_DB_URL names (emptied before each test), so that the
// same tests run against every kind of store.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "store/ScoreStore.h"

namespace vorlane::scores::testing {

class TestDatabase {
  public:
    TestDatabase();  // a fresh, empty database
    ~TestDatabase(); // removes the SQLite file
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const std::string& Url() const { return url_; }
    bool IsSqlite() const { return url_.starts_with("sqlite:"); }
    std::filesystem::path SqlitePath() const { return sqlitePath_; }

    // Opens the store directly, to put rows in past the server's checks or to look
    // at what it holds.
    std::unique_ptr<ScoreStore> Open() const { return OpenScoreStore(url_); }

  private:
    std::string url_;
    std::filesystem::path folder_;
    std::filesystem::path sqlitePath_;
};

class ScoresProcess {
  public:
    // Starts the program with these arguments (none added) and does not wait.
    explicit ScoresProcess(const std::vector<std::string>& args);
    ~ScoresProcess(); // kills it when it still runs
    ScoresProcess(const ScoresProcess&) = delete;
    ScoresProcess& operator=(const ScoresProcess&) = delete;

    // Starts it on 127.0.0.1 with a free port and `db`, plus `extra`, and waits for
    // the "listening on" line.
    static std::unique_ptr<ScoresProcess> StartOn(const TestDatabase& db,
                                                  const std::vector<std::string>& extra = {});

    // Reads the first line of standard output; true when it announced its address.
    // From then on the rest of its standard output (the access log) is read as it
    // comes, so that the server never waits for a full pipe.
    bool WaitUntilListening(std::chrono::milliseconds timeout = std::chrono::seconds(15));

    // Sends a signal; WaitForExit answers the exit status, or -1 when it did not end
    // in time (it is killed then) or ended by a signal.
    void Signal(int signalNumber);
    int WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(15));

    const std::string& FirstLine() const { return firstLine_; }
    std::string Stderr(); // what it wrote to standard error so far
    std::string Stdout(); // what it wrote to standard output after the first line, so far
    int Port() const { return port_; }
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // A client of this server; `fromAddress` picks the loopback address it sends from.
    httplib::Client Client(const std::string& fromAddress = "") const;

  private:
    int pid_ = -1;
    int stdoutFd_ = -1;
    int stderrFd_ = -1;
    int port_ = 0;
    std::string firstLine_;
    std::string stderrText_;
    std::mutex stdoutMutex_;
    std::string stdoutText_;
    std::thread stdoutReader_;
};

// The path of a game's submission for these values, as the game sends it.
std::string SubmissionPath(const std::string& name, int score, const std::string& country = "_______");
// The same for any submission text (padded here to a multiple of 5).
std::string SubmissionPathForText(std::string text);

// Every row of the table, best first (through the store, no server needed).
std::vector<RankedScore> AllRows(ScoreStore& store, const ScoreFilter& filter = {});

} // namespace vorlane::scores::testing
