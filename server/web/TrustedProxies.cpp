#include "web/TrustedProxies.h"

#include <arpa/inet.h>

#include <charconv>
#include <cstring>

namespace vorlane::scores {
namespace {

constexpr std::array<uint8_t, 12> kMappedPrefix = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};

bool IsMapped(const std::array<uint8_t, 16>& bytes) {
    return std::memcmp(bytes.data(), kMappedPrefix.data(), kMappedPrefix.size()) == 0;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// The entries of comma-separated header values, left to right.
std::vector<std::string_view> ListEntries(const std::vector<std::string>& values) {
    std::vector<std::string_view> entries;
    for (const std::string& value : values) {
        std::string_view rest = value;
        for (;;) {
            const size_t comma = rest.find(',');
            entries.push_back(Trimmed(rest.substr(0, comma)));
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
        }
    }
    return entries;
}

// The node of one element of a Forwarded header: `for=192.0.2.1;proto=https` gives
// 192.0.2.1, `for="[2001:db8::1]:4711"` gives 2001:db8::1; empty without a for=.
std::string_view ForwardedFor(std::string_view element) {
    for (;;) {
        const size_t semicolon = element.find(';');
        const std::string_view pair = Trimmed(element.substr(0, semicolon));
        if (pair.size() > 4 &&
            (pair.substr(0, 4) == "for=" || pair.substr(0, 4) == "For=" || pair.substr(0, 4) == "FOR=")) {
            std::string_view node = pair.substr(4);
            if (node.size() >= 2 && node.front() == '"' && node.back() == '"')
                node = node.substr(1, node.size() - 2);
            if (!node.empty() && node.front() == '[') {
                const size_t close = node.find(']');
                return close == std::string_view::npos ? std::string_view() : node.substr(1, close - 1);
            }
            // IPv4 with a port: "192.0.2.1:4711".
            if (const size_t colon = node.find(':');
                colon != std::string_view::npos && node.find(':', colon + 1) == std::string_view::npos)
                node = node.substr(0, colon);
            return node;
        }
        if (semicolon == std::string_view::npos) return {};
        element.remove_prefix(semicolon + 1);
    }
}

} // namespace

std::optional<std::array<uint8_t, 16>> ParseIpAddress(std::string_view text) {
    if (text.empty() || text.size() >= INET6_ADDRSTRLEN) return std::nullopt;
    const std::string copy(text);
    std::array<uint8_t, 16> bytes{};
    in_addr v4{};
    if (inet_pton(AF_INET, copy.c_str(), &v4) == 1) {
        std::memcpy(bytes.data(), kMappedPrefix.data(), kMappedPrefix.size());
        std::memcpy(bytes.data() + 12, &v4, 4);
        return bytes;
    }
    if (inet_pton(AF_INET6, copy.c_str(), bytes.data()) == 1) return bytes;
    return std::nullopt;
}

std::string CanonicalAddress(const std::array<uint8_t, 16>& bytes) {
    char text[INET6_ADDRSTRLEN] = "";
    if (IsMapped(bytes))
        inet_ntop(AF_INET, bytes.data() + 12, text, sizeof text);
    else
        inet_ntop(AF_INET6, bytes.data(), text, sizeof text);
    return text;
}

bool TrustedProxies::Add(std::string_view text) {
    const size_t slash = text.find('/');
    const auto address = ParseIpAddress(text.substr(0, slash));
    if (!address) return false;
    const bool v4 = IsMapped(*address) && text.substr(0, slash).find(':') == std::string_view::npos;
    const int width = v4 ? 32 : 128;
    int bits = width;
    if (slash != std::string_view::npos) {
        const std::string_view digits = text.substr(slash + 1);
        const char* end = digits.data() + digits.size();
        const auto [ptr, error] = std::from_chars(digits.data(), end, bits);
        if (digits.empty() || error != std::errc{} || ptr != end || bits < 0 || bits > width) return false;
    }
    networks_.push_back(Network{*address, bits + (128 - width)});
    return true;
}

bool TrustedProxies::Contains(std::string_view address) const {
    const auto bytes = ParseIpAddress(address);
    if (!bytes) return false;
    for (const Network& network : networks_) {
        const int whole = network.bits / 8;
        const int rest = network.bits % 8;
        if (std::memcmp(bytes->data(), network.bytes.data(), static_cast<size_t>(whole)) != 0) continue;
        if (rest != 0) {
            const auto mask = static_cast<uint8_t>(0xff << (8 - rest));
            if (((*bytes)[static_cast<size_t>(whole)] & mask) !=
                (network.bytes[static_cast<size_t>(whole)] & mask))
                continue;
        }
        return true;
    }
    return false;
}

std::string TrustedProxies::ClientOf(std::string_view peer, const std::vector<std::string>& headerValues,
                                     ForwardedHeader kind) const {
    std::string client(peer);
    if (!Contains(peer)) return client;
    const std::vector<std::string_view> entries = ListEntries(headerValues);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const std::string_view node = kind == ForwardedHeader::Forwarded ? ForwardedFor(*it) : *it;
        const auto address = ParseIpAddress(node);
        if (!address) break; // "unknown", an obfuscated name, garbage: the hop before is all we know
        client = CanonicalAddress(*address);
        if (!Contains(client)) break;
    }
    return client;
}

} // namespace vorlane::scores
