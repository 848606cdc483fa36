#pragma once
// Who sent a request when the server stands behind reverse proxies. Only for a
// connection from a proxy the operator trusts (--trusted-proxy ADDR[/BITS]) is the
// client taken from the forwarding header; anyone else could write any address
// there. The header is read from its right end: the last entry is the one the
// trusted peer added; an entry that is itself a trusted proxy means that proxy
// received the request from the one before it, so the walk goes on leftwards and
// stops at the first address that is not trusted.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::scores {

// Which header the proxies write the client into.
enum class ForwardedHeader { XForwardedFor, Forwarded };

class TrustedProxies {
  public:
    // "ADDR" or "ADDR/BITS", IPv4 or IPv6; false (nothing added) for anything else.
    bool Add(std::string_view text);
    bool Empty() const { return networks_.empty(); }
    bool Contains(std::string_view address) const;

    // The client of a request that came from `peer` with these values of the
    // forwarding header (in the order the headers came): `peer` itself unless it is
    // trusted; else the right-most entry that is not a trusted proxy, or the last
    // address the walk reached when it meets an entry that is not an address.
    std::string ClientOf(std::string_view peer, const std::vector<std::string>& headerValues,
                         ForwardedHeader kind) const;

  private:
    struct Network {
        std::array<uint8_t, 16> bytes{}; // IPv4 as IPv4-mapped IPv6
        int bits = 0;                    // of the 128
    };
    std::vector<Network> networks_;
};

// An IP address written in any form inet_pton takes, as 16 bytes (IPv4 mapped into
// IPv6); nothing when it is not one.
std::optional<std::array<uint8_t, 16>> ParseIpAddress(std::string_view text);

// The address as the server writes it: IPv4 dotted, IPv6 in its shortest form.
std::string CanonicalAddress(const std::array<uint8_t, 16>& bytes);

} // namespace vorlane::scores
