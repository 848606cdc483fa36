#include "web/ServerOptions.h"

#include <charconv>

#include "wire/SubmissionText.h"

namespace vorlane::scores {
namespace {

bool ParseWhole(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc{} && ptr == end && value >= low && value <= high;
}

// "HOST:PORT", with an IPv6 host in brackets: "[::1]:8080".
bool ParseListen(const std::string& text, std::string& host, int& port) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    std::string hostPart = text.substr(0, colon);
    if (hostPart.front() == '[') {
        if (hostPart.size() < 3 || hostPart.back() != ']') return false;
        hostPart = hostPart.substr(1, hostPart.size() - 2);
    } else if (hostPart.find(':') != std::string::npos) {
        return false;
    }
    int64_t portValue = 0;
    if (!ParseWhole(text.substr(colon + 1), 0, 65535, portValue)) return false;
    host = hostPart;
    port = static_cast<int>(portValue);
    return true;
}

} // namespace

ServerOptionsParse ParseServerOptions(const std::vector<std::string>& args) {
    ServerOptionsParse parse;
    ServerOptions& options = parse.options;
    options.key = kSubmissionKey;
    auto fail = [&](std::string error) {
        parse.error = std::move(error);
        return parse;
    };

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--no-access-log") {
            options.accessLog = false;
            continue;
        }
        if (option == "--checker") {
            options.checkerOnly = true;
            continue;
        }
        if (option != "--listen" && option != "--db" && option != "--key" && option != "--public-url" &&
            option != "--rate-limit" && option != "--trusted-proxy" && option != "--forwarded-header" &&
            option != "--refusal-summary" && option != "--max-uploads-per-row" &&
            option != "--max-pending-bytes" && option != "--db-pool" && option != "--checkers" &&
            option != "--replay-lease")
            return fail("unknown argument \"" + option + "\"");
        if (i + 1 == args.size()) return fail(option + " needs a value");
        const std::string& value = args[++i];
        if (option == "--listen") {
            if (!ParseListen(value, options.host, options.port))
                return fail("--listen needs HOST:PORT with a port from 0 to 65535, not \"" + value + "\"");
        } else if (option == "--db") {
            if (value.empty()) return fail("--db needs a database address");
            options.dbUrl = value;
        } else if (option == "--key") {
            if (value.size() != 1 || value[0] < 'A' || value[0] > 'Z')
                return fail("--key needs one capital letter, not \"" + value + "\"");
            options.key = value[0];
        } else if (option == "--public-url") {
            if (!value.starts_with("http://") && !value.starts_with("https://"))
                return fail("--public-url needs an http:// or https:// address, not \"" + value + "\"");
            options.publicUrl = value;
            while (options.publicUrl.ends_with('/'))
                options.publicUrl.pop_back();
        } else if (option == "--trusted-proxy") {
            if (!options.trustedProxies.Add(value))
                return fail(
                    "--trusted-proxy needs an IPv4 or IPv6 address, with /BITS for a network, not \"" +
                    value + "\"");
        } else if (option == "--forwarded-header") {
            if (value == "x-forwarded-for" || value == "X-Forwarded-For")
                options.forwardedHeader = ForwardedHeader::XForwardedFor;
            else if (value == "forwarded" || value == "Forwarded")
                options.forwardedHeader = ForwardedHeader::Forwarded;
            else
                return fail("--forwarded-header needs x-forwarded-for or forwarded, not \"" + value + "\"");
        } else if (option == "--refusal-summary") {
            if (!ParseWhole(value, 1, 86'400, options.refusalSummarySeconds))
                return fail("--refusal-summary needs a whole number of seconds from 1 to 86400, not \"" +
                            value + "\"");
        } else if (option == "--checkers") {
            if (!ParseWhole(value, 0, 64, options.checkers))
                return fail("--checkers needs a whole number of checks at once from 0 to 64, not \"" + value +
                            "\"");
        } else if (option == "--replay-lease") {
            if (!ParseWhole(value, 1, 86'400, options.replayLeaseSeconds))
                return fail("--replay-lease needs a whole number of seconds from 1 to 86400, not \"" + value +
                            "\"");
        } else if (option == "--db-pool") {
            int64_t connections = 0;
            if (!ParseWhole(value, 2, 1000, connections))
                return fail("--db-pool needs a whole number of connections from 2 to 1000, not \"" + value +
                            "\"");
            options.store.connections = static_cast<size_t>(connections);
        } else if (option == "--max-uploads-per-row") {
            if (!ParseWhole(value, 0, 1'000'000, options.replayQuota.uploadsPerRow))
                return fail("--max-uploads-per-row needs a whole number from 0 to 1000000, not \"" + value +
                            "\"");
        } else if (option == "--max-pending-bytes") {
            if (!ParseWhole(value, 0, int64_t{1} << 50, options.replayQuota.pendingBytes))
                return fail("--max-pending-bytes needs a whole number of bytes from 0 to 2^50, not \"" +
                            value + "\"");
        } else {
            if (!ParseWhole(value, 0, 1'000'000, options.rateLimitPerMinute))
                return fail(
                    "--rate-limit needs a whole number of submissions a minute from 0 to 1000000, not \"" +
                    value + "\"");
        }
    }
    parse.ok = true;
    return parse;
}

} // namespace vorlane::scores
