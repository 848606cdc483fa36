#include "web/DatabaseLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace vorlane::scores {

DatabaseLock::~DatabaseLock() {
    if (fd_ >= 0) close(fd_);
}

DatabaseLock::DatabaseLock(DatabaseLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

DatabaseLock& DatabaseLock::operator=(DatabaseLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool DatabaseLock::Take(const std::string& databasePath, std::string& error) {
    const std::string path = databasePath + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot open the lock file " + path + ": " + std::strerror(errno);
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int reason = errno;
        close(fd);
        error = reason == EWOULDBLOCK
                    ? "another vorlane-scores already serves " + databasePath + " (it holds " + path + ")"
                    : "cannot lock " + path + ": " + std::strerror(reason);
        return false;
    }
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
    return true;
}

} // namespace vorlane::scores
