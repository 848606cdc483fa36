#include "checks/IsolatedCheck.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>

#include "checks/RaceFingerprint.h"
#include "replay/ReplayFile.h"

namespace vorlane::scores {
namespace {

// The answer on the pipe: fixed fields, then the message (cut to kMaxMessage bytes),
// then the name entry's name and country (kReplayMaxNameLength bytes each at most).
struct WireAnswer {
    int32_t kind;
    int64_t finalScore;
    int64_t level;
    int64_t lives;
    uint32_t frames;
    uint32_t seed;
    uint32_t recordedSeed;
    uint8_t hasRecordedSeed;
    char raceFingerprint[16]; // RaceFingerprint's digits; all 0 for none
    uint8_t hasNameEntry;
    uint8_t nameLength;
    uint8_t countryLength;
    uint32_t messageLength;
};
static_assert(kReplayMaxNameLength <= 255, "a name's length goes in one byte");
constexpr size_t kMaxMessage = 400;
constexpr size_t kMaxAnswer = sizeof(WireAnswer) + kMaxMessage + 2 * kReplayMaxNameLength;

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The CPU limit of a checking process: SIGXCPU at the soft limit ends it (default
// action); SIGKILL a second later. Async-signal-safe (used between fork and exec).
void LimitCpu(std::chrono::seconds cpuLimit) {
    const rlim_t seconds = static_cast<rlim_t>(cpuLimit.count());
    const rlimit cpu{seconds, seconds + 1};
    setrlimit(RLIMIT_CPU, &cpu);
    signal(SIGXCPU, SIG_DFL);
}

// Runs the check and writes its answer to fd; whether the answer went out whole.
bool CheckAndAnswer(int fd, const ReplayChecker& checker, const std::vector<uint8_t>& bytes,
                    const std::filesystem::path& dataDir) {
    ReplayCheckResult result;
    try {
        result = checker(bytes, dataDir);
        if (!result.recordedSeed) result.recordedSeed = RecordedSeedOf(bytes);
        if (result.raceFingerprint.empty()) result.raceFingerprint = RaceFingerprint(bytes);
        if (!result.nameEntry) result.nameEntry = NameEntryOf(bytes);
    } catch (const std::exception& e) {
        result.kind = ReplayCheckKind::Crashed;
        result.message = e.what();
    } catch (...) {
        result.kind = ReplayCheckKind::Crashed;
        result.message = "unknown exception";
    }
    const std::string message = result.message.substr(0, kMaxMessage);
    WireAnswer answer{static_cast<int32_t>(result.kind),
                      result.finalScore,
                      result.level,
                      result.lives,
                      result.frames,
                      result.seed,
                      result.recordedSeed.value_or(0),
                      static_cast<uint8_t>(result.recordedSeed ? 1 : 0),
                      {},
                      static_cast<uint8_t>(result.nameEntry ? 1 : 0),
                      0,
                      0,
                      static_cast<uint32_t>(message.size())};
    result.raceFingerprint.copy(answer.raceFingerprint, sizeof answer.raceFingerprint);
    std::string entered;
    if (result.nameEntry) {
        const std::string name = result.nameEntry->name.substr(0, kReplayMaxNameLength);
        const std::string country = result.nameEntry->country.substr(0, kReplayMaxNameLength);
        answer.nameLength = static_cast<uint8_t>(name.size());
        answer.countryLength = static_cast<uint8_t>(country.size());
        entered = name + country;
    }
    return WriteAll(fd, &answer, sizeof answer) && WriteAll(fd, message.data(), message.size()) &&
           WriteAll(fd, entered.data(), entered.size());
}

[[noreturn]] void RunChild(int fd, const ReplayChecker& checker, const std::vector<uint8_t>& bytes,
                           const std::filesystem::path& dataDir, std::chrono::seconds cpuLimit) {
    // The server's sockets and database files are not the child's business: with a
    // client's socket held open here its connection would outlive the answer.
    if (fd > 3) close_range(3, static_cast<unsigned>(fd) - 1, 0);
    close_range(static_cast<unsigned>(fd) + 1, ~0u, 0);
    LimitCpu(cpuLimit);
    _exit(CheckAndAnswer(fd, checker, bytes, dataDir) ? 0 : 3);
}

ReplayCheckResult Failure(ReplayCheckKind kind, std::string message) {
    ReplayCheckResult result;
    result.kind = kind;
    result.message = std::move(message);
    return result;
}

// Reads the child's answer until it closes the pipe or the deadline passes.
bool ReadAnswer(int fd, std::string& received, std::chrono::steady_clock::time_point deadline) {
    char buffer[1024];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return true; // closed
        if (received.size() < kMaxAnswer) received.append(buffer, static_cast<size_t>(n));
    }
}

} // namespace

namespace {

// Waits for the answer of a checking process that writes it to fd (closed here), within
// a wall-clock bound of a few times its CPU limit (a process that sleeps or waits uses
// no CPU), then reaps the process.
ReplayCheckResult CollectAnswer(pid_t child, int fd, std::chrono::seconds cpuLimit) {
    const auto deadline = std::chrono::steady_clock::now() + cpuLimit * 4 + std::chrono::seconds(2);
    std::string received;
    const bool answered = ReadAnswer(fd, received, deadline);
    close(fd);
    if (!answered) kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!answered) return Failure(ReplayCheckKind::TimeLimit, "no answer in time");
    if (WIFSIGNALED(status)) {
        const int signalNumber = WTERMSIG(status);
        if (signalNumber == SIGXCPU || signalNumber == SIGKILL)
            return Failure(ReplayCheckKind::TimeLimit, "CPU time");
        return Failure(ReplayCheckKind::Crashed, std::string("the check died of ") + strsignal(signalNumber));
    }
    WireAnswer answer{};
    if (received.size() < sizeof answer) return Failure(ReplayCheckKind::Crashed, "the check gave no answer");
    std::memcpy(&answer, received.data(), sizeof answer);
    if (answer.kind < 0 || answer.kind > static_cast<int32_t>(ReplayCheckKind::Crashed) ||
        answer.messageLength > kMaxMessage ||
        received.size() < sizeof answer + answer.messageLength + answer.nameLength + answer.countryLength)
        return Failure(ReplayCheckKind::Crashed, "the check's answer is garbled");
    ReplayCheckResult result;
    result.kind = static_cast<ReplayCheckKind>(answer.kind);
    result.finalScore = answer.finalScore;
    result.level = answer.level;
    result.lives = answer.lives;
    result.frames = answer.frames;
    result.seed = answer.seed;
    if (answer.hasRecordedSeed) result.recordedSeed = answer.recordedSeed;
    if (answer.raceFingerprint[0] != 0)
        result.raceFingerprint.assign(answer.raceFingerprint, sizeof answer.raceFingerprint);
    result.message = received.substr(sizeof answer, answer.messageLength);
    if (answer.hasNameEntry) {
        const size_t at = sizeof answer + answer.messageLength;
        result.nameEntry =
            ReplayCheckResult::NameEntry{received.substr(at, answer.nameLength),
                                         received.substr(at + answer.nameLength, answer.countryLength)};
    }
    return result;
}

} // namespace

ReplayCheckResult RunCheckIsolated(const ReplayChecker& checker, const std::vector<uint8_t>& bytes,
                                   const std::filesystem::path& dataDir, std::chrono::seconds cpuLimit) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return Failure(ReplayCheckKind::Crashed, "cannot make a pipe");
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return Failure(ReplayCheckKind::Crashed, "cannot start a checking process");
    }
    if (child == 0) {
        close(fds[0]);
        RunChild(fds[1], checker, bytes, dataDir, cpuLimit);
    }
    close(fds[1]);
    return CollectAnswer(child, fds[0], cpuLimit);
}

ReplayCheckResult RunCheckInProgram(const std::vector<std::string>& program,
                                    const std::vector<uint8_t>& bytes, std::chrono::seconds cpuLimit) {
    if (program.empty()) return Failure(ReplayCheckKind::Crashed, "no checking program");
    // The replay waits in an anonymous file that becomes the program's standard input,
    // so that nothing blocks on a pipe whichever side is slow.
    const int input = memfd_create("vorlane-replay", MFD_CLOEXEC);
    if (input < 0) return Failure(ReplayCheckKind::Crashed, "cannot hold the replay for the check");
    if (!WriteAll(input, bytes.data(), bytes.size()) || lseek(input, 0, SEEK_SET) != 0) {
        close(input);
        return Failure(ReplayCheckKind::Crashed, "cannot hold the replay for the check");
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        close(input);
        return Failure(ReplayCheckKind::Crashed, "cannot make a pipe");
    }
    // Everything the child needs is made before the fork: between fork and exec it only
    // makes system calls, so no lock another thread held at the fork can stop it.
    std::vector<char*> argv;
    for (const std::string& arg : program)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    sigset_t none;
    sigemptyset(&none);
    const pid_t child = fork();
    if (child < 0) {
        close(input);
        close(fds[0]);
        close(fds[1]);
        return Failure(ReplayCheckKind::Crashed, "cannot start a checking process");
    }
    if (child == 0) {
        if (dup2(input, 0) < 0 || dup2(fds[1], 1) < 0) _exit(126);
        close_range(3, ~0u, 0);
        LimitCpu(cpuLimit);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(input);
    close(fds[1]);
    return CollectAnswer(child, fds[0], cpuLimit);
}

IsolatedReplayCheck InForkedChild(ReplayChecker checker, std::filesystem::path dataDir) {
    return [checker = std::move(checker), dataDir = std::move(dataDir)](const std::vector<uint8_t>& bytes,
                                                                        std::chrono::seconds cpuLimit) {
        return RunCheckIsolated(checker, bytes, dataDir, cpuLimit);
    };
}

IsolatedReplayCheck InProgram(std::vector<std::string> program) {
    return [program = std::move(program)](const std::vector<uint8_t>& bytes, std::chrono::seconds cpuLimit) {
        return RunCheckInProgram(program, bytes, cpuLimit);
    };
}

int AnswerCheckOfStandardInput(const ReplayChecker& checker, const std::filesystem::path& dataDir) {
    std::vector<uint8_t> bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(0, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return 2;
        if (n == 0) break;
        if (bytes.size() + static_cast<size_t>(n) > kMaxCheckedReplayBytes) return 2;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    // The answer keeps standard output to itself: whatever else the game prints goes to
    // the error output.
    const int answer = dup(1);
    if (answer < 0 || dup2(2, 1) < 0) return 2;
    return CheckAndAnswer(answer, checker, bytes, dataDir) ? 0 : 3;
}

} // namespace vorlane::scores
