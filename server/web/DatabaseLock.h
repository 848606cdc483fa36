#pragma once
// One server per SQLite file: a second one started on the same file would keep its
// own writer, its own check queue and its own idea of the pending replays. The
// server holds an exclusive lock (flock) on a file beside the database, PATH.lock,
// for as long as it runs; the kernel lets go of it when the process ends, however
// it ends, so a crash leaves nothing to clean up.
#include <string>

namespace vorlane::scores {

class DatabaseLock {
  public:
    DatabaseLock() = default;
    ~DatabaseLock();
    DatabaseLock(DatabaseLock&& other) noexcept;
    DatabaseLock& operator=(DatabaseLock&& other) noexcept;

    // Takes the lock for the SQLite file `databasePath`; on failure answers false
    // with one line in `error` (another server holds it, or the file cannot be made).
    bool Take(const std::string& databasePath, std::string& error);

  private:
    int fd_ = -1;
};

} // namespace vorlane::scores
