#include "web/AccessLog.h"

#include <ctime>

namespace vorlane::scores {
namespace {

constexpr size_t kMaxPendingBytes = 1 << 20;
constexpr size_t kMaxShownTarget = 512;

constexpr const char* RefusalName(Refusal reason) {
    switch (reason) {
    case Refusal::Busy:
        return "server busy";
    case Refusal::PerAddressCap:
        return "per-address connection cap";
    case Refusal::WaitingRoomFull:
        return "too many idle connections";
    case Refusal::HeadTimeout:
        return "request too slow";
    case Refusal::MalformedRequest:
        return "malformed request";
    }
    return "other";
}

// Printable ASCII stays, anything else (spaces, control bytes, UTF-8) becomes %XX.
void AppendShown(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7f) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
}

std::string UtcTime(std::chrono::system_clock::time_point time) {
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(millis / 1000);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                  static_cast<int>(millis % 1000));
    return text;
}

} // namespace

std::string PathWithoutValues(std::string_view target) {
    std::string shown;
    const size_t question = target.find('?');
    AppendShown(shown, target.substr(0, question));
    if (question != std::string_view::npos) {
        std::string_view query = target.substr(question + 1);
        char separator = '?';
        while (!query.empty()) {
            const size_t amp = query.find('&');
            const std::string_view pair = query.substr(0, amp);
            const std::string_view name = pair.substr(0, pair.find('='));
            if (!name.empty()) {
                shown += separator;
                separator = '&';
                AppendShown(shown, name);
            }
            if (amp == std::string_view::npos) break;
            query.remove_prefix(amp + 1);
        }
    }
    if (shown.size() > kMaxShownTarget) {
        shown.resize(kMaxShownTarget);
        shown += "...";
    }
    return shown;
}

std::string AccessLine(const AccessEntry& entry) {
    std::string line = UtcTime(entry.time);
    line += ' ';
    AppendShown(line, entry.client.empty() ? "-" : entry.client);
    line += ' ';
    AppendShown(line, entry.method.empty() ? "-" : entry.method.substr(0, 16));
    line += ' ';
    line += entry.target.empty() ? "-" : PathWithoutValues(entry.target);
    char tail[64];
    std::snprintf(tail, sizeof tail, " %d %zu %.2fms\n", entry.status, entry.bytes, entry.milliseconds);
    line += tail;
    return line;
}

AccessLog::AccessLog(bool requestLines, std::chrono::seconds summaryInterval, FILE* out)
    : requestLines_(requestLines), summaryInterval_(summaryInterval), out_(out) {
    thread_ = std::thread([this] { Run(); });
}

AccessLog::~AccessLog() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void AccessLog::Request(const AccessEntry& entry) {
    if (!requestLines_) return;
    const std::string line = AccessLine(entry);
    std::lock_guard lock(mutex_);
    if (pending_.size() + line.size() > kMaxPendingBytes) {
        ++dropped_;
        return;
    }
    pending_ += line;
}

void AccessLog::Refused(Refusal reason) {
    refused_[static_cast<size_t>(reason)].fetch_add(1, std::memory_order_relaxed);
}

void AccessLog::Run() {
    using Clock = std::chrono::steady_clock;
    auto nextSummary = Clock::now() + summaryInterval_;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait_for(lock, std::chrono::milliseconds(200), [this] { return stopping_; });
        std::string lines;
        lines.swap(pending_);
        const bool stopping = stopping_;
        lock.unlock();
        if (!lines.empty()) {
            std::fwrite(lines.data(), 1, lines.size(), out_);
            std::fflush(out_);
        }
        if (stopping || Clock::now() >= nextSummary) {
            WriteSummary();
            nextSummary = Clock::now() + summaryInterval_;
        }
        lock.lock();
        if (stopping && pending_.empty()) return;
    }
}

void AccessLog::WriteSummary() {
    std::string parts;
    uint64_t total = 0;
    for (size_t i = 0; i < kRefusalKinds; ++i) {
        const uint64_t count = refused_[i].exchange(0, std::memory_order_relaxed);
        if (count == 0) continue;
        total += count;
        parts += ", " + std::to_string(count) + " " + RefusalName(static_cast<Refusal>(i));
    }
    uint64_t dropped = 0;
    {
        std::lock_guard lock(mutex_);
        std::swap(dropped, dropped_);
    }
    std::string line;
    if (total > 0)
        line = UtcTime(std::chrono::system_clock::now()) + " refused " + std::to_string(total) + " in " +
               std::to_string(summaryInterval_.count()) + " s: " + parts.substr(2);
    if (dropped > 0)
        line += (line.empty() ? UtcTime(std::chrono::system_clock::now()) + " " : "; ") +
                std::to_string(dropped) + " access lines dropped (output too slow)";
    if (line.empty()) return;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out_);
    std::fflush(out_);
}

} // namespace vorlane::scores
