#pragma once
// Runs a replay check in a child process of its own, so that a replay built to make
// the game loop for ever, eat memory or crash costs the server nothing but that
// child: the child gets `cpuLimit` seconds of CPU (RLIMIT_CPU; the kernel stops it
// past that), a wall-clock bound of a few times that (it is killed then), and its
// answer comes back over a pipe. Only the forking thread lives on in the child,
// which does nothing but the check and leaves with _exit.
#include <chrono>

#include "replays/ReplayCheck.h"

namespace vorlane::scores {

ReplayCheckResult RunCheckIsolated(const ReplayChecker& checker, const std::vector<uint8_t>& bytes,
                                   const std::filesystem::path& dataDir, std::chrono::seconds cpuLimit);

} // namespace vorlane::scores
