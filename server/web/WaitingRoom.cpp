#include "web/WaitingRoom.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace vorlane::scores {

WaitingRoom::WaitingRoom(size_t capacity, std::function<void(Connection)> ready,
                         std::function<void(const Connection&)> closed)
    : capacity_(capacity), ready_(std::move(ready)), closed_(std::move(closed)) {
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (epoll_ < 0 || wake_ < 0) throw std::runtime_error("cannot create the connection waiting room");
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = wake_;
    epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &event);
    thread_ = std::thread([this] { Run(); });
}

WaitingRoom::~WaitingRoom() {
    Stop();
    close(wake_);
    close(epoll_);
}

bool WaitingRoom::Add(Connection connection, Clock::time_point deadline) {
    std::lock_guard lock(mutex_);
    if (stopped_ || waiting_.size() >= capacity_) return false;
    const int fd = connection.fd;
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP;
    event.data.fd = fd;
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0) return false;
    waiting_.emplace(fd, Waiting{std::move(connection), deadline});
    return true;
}

void WaitingRoom::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (stopped_) return;
        stopped_ = true;
    }
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wake_, &one, sizeof one);
    thread_.join();
    for (auto& [fd, waiting] : waiting_) {
        closed_(waiting.connection);
        shutdown(fd, SHUT_RDWR);
        close(fd);
    }
    waiting_.clear();
}

void WaitingRoom::Run() {
    std::vector<epoll_event> events(256);
    for (;;) {
        const int count = epoll_wait(epoll_, events.data(), static_cast<int>(events.size()), 100);
        std::vector<Connection> readyConnections;
        {
            std::lock_guard lock(mutex_);
            if (stopped_) return;
            for (int i = 0; i < count; ++i) {
                const int fd = events[static_cast<size_t>(i)].data.fd;
                const auto it = waiting_.find(fd);
                if (it == waiting_.end()) continue; // the wake-up
                epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
                readyConnections.push_back(std::move(it->second.connection));
                waiting_.erase(it);
            }
            const Clock::time_point now = Clock::now();
            if (now >= nextSweep_) {
                CloseExpired(now);
                nextSweep_ = now + std::chrono::milliseconds(100);
            }
        }
        for (Connection& connection : readyConnections)
            ready_(std::move(connection));
    }
}

void WaitingRoom::CloseExpired(Clock::time_point now) {
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (it->second.deadline > now) {
            ++it;
            continue;
        }
        const int fd = it->first;
        epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
        closed_(it->second.connection);
        shutdown(fd, SHUT_RDWR);
        close(fd);
        it = waiting_.erase(it);
    }
}

} // namespace vorlane::scores
