#pragma once
// The score server's address, chosen once at start-up: the command line's
// `--server URL` first, then the environment variable VORLANE_SERVER, then the
// server on this machine (http://127.0.0.1:8080). The web-site item, the online
// table item and the score submission all use it.
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vorlane {

// A server address the game cannot use; the message names where it came from.
class ServerAddressError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Looks an environment variable up: nullptr when it is not set (std::getenv fits).
using EnvironmentLookup = std::function<const char*(const char*)>;

// The address in use, without a trailing "/": "http://host[:port][/prefix]".
// An empty environment variable counts as not set. Throws ServerAddressError for
// an address that is not http:// or https:// followed by a host.
std::string ResolveServerUrl(const std::optional<std::string>& commandLineValue,
                             const EnvironmentLookup& getEnv);

// The value of `--server URL` or `--server=URL` among the program's arguments, the
// last one when given more than once. Throws ServerAddressError for a `--server`
// without a value.
std::optional<std::string> FindServerOption(int argc, const char* const* argv);

// Checks and tidies one address (the trailing "/" removed); `source` names where it
// came from in the message.
std::string NormaliseServerUrl(std::string_view url, std::string_view source);

} // namespace vorlane
