#pragma once
// Runs a replay check in a child process of its own, so that a replay built to make
// the game loop for ever, eat memory or crash costs the server nothing but that
// child: the child gets `cpuLimit` seconds of CPU (RLIMIT_CPU; the kernel stops it
// past that), a wall-clock bound of a few times that (it is killed then), and its
// answer comes back over a pipe. Only the forking thread lives on in the child,
// which does nothing but the check and leaves with _exit.

#include <chrono>
#include <string>

#include "checks/ReplayCheck.h"

namespace vorlane::scores {

ReplayCheckResult RunCheckIsolated(const ReplayChecker& checker, const std::vector<uint8_t>& bytes,
                                   const std::filesystem::path& dataDir, std::chrono::seconds cpuLimit);

// The same bounds, but the check runs in a program started afresh (program[0], with the
// arguments that follow), which reads the replay from its standard input and answers on
// its standard output (AnswerCheckOfStandardInput). A fresh program shares nothing with
// the server: not its memory (the keys and the salt), not its sockets, not a lock
// another of its threads held when the child was made.
ReplayCheckResult RunCheckInProgram(const std::vector<std::string>& program,
                                    const std::vector<uint8_t>& bytes, std::chrono::seconds cpuLimit);

// One replay checked in a process of its own within a CPU limit: what the score
// server's workers run. InForkedChild runs checker in a forked copy of the caller (for
// checkers made in the caller, as the tests make them); InProgram starts the program.
using IsolatedReplayCheck =
    std::function<ReplayCheckResult(const std::vector<uint8_t>& bytes, std::chrono::seconds cpuLimit)>;
IsolatedReplayCheck InForkedChild(ReplayChecker checker, std::filesystem::path dataDir);
IsolatedReplayCheck InProgram(std::vector<std::string> program);

// The largest replay a checking program reads from its standard input.
inline constexpr size_t kMaxCheckedReplayBytes = 1024 * 1024;

// The checking program's side: reads the replay from standard input (at most
// kMaxCheckedReplayBytes), checks it and writes the answer to standard output. Its exit
// status: 0 answered, 2 the input could not be read, 3 the answer could not be written.
int AnswerCheckOfStandardInput(const ReplayChecker& checker, const std::filesystem::path& dataDir);

} // namespace vorlane::scores
