#include "persist/ServerAddress.h"

#include "persist/OnlineConfig.h"

namespace vorlane {

std::string NormaliseServerUrl(std::string_view url, std::string_view source) {
    auto fail = [&](const char* why) -> std::string {
        throw ServerAddressError(std::string(source) + ": \"" + std::string(url) + "\" " + why +
                                 " (want http://HOST[:PORT], e.g. " + online::kDefaultServerUrl + ")");
    };
    std::string_view rest;
    if (url.starts_with("http://"))
        rest = url.substr(7);
    else if (url.starts_with("https://"))
        rest = url.substr(8);
    else
        return fail("is not an http:// or https:// address");
    for (char c : url)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F)
            return fail("contains a space or a control character");
    if (rest.find_first_of("?#") != std::string_view::npos)
        return fail("may not carry a query or a fragment");
    const size_t hostEnd = rest.find('/');
    const std::string_view hostPort = rest.substr(0, hostEnd);
    if (hostPort.empty() || hostPort.front() == ':') return fail("names no host");
    std::string tidy(url);
    while (tidy.size() > url.size() - rest.size() + hostPort.size() && tidy.back() == '/')
        tidy.pop_back();
    return tidy;
}

std::string ResolveServerUrl(const std::optional<std::string>& commandLineValue,
                             const EnvironmentLookup& getEnv) {
    if (commandLineValue) return NormaliseServerUrl(*commandLineValue, "--server");
    const char* fromEnvironment = getEnv ? getEnv(online::kServerEnvVariable) : nullptr;
    if (fromEnvironment && *fromEnvironment)
        return NormaliseServerUrl(fromEnvironment, online::kServerEnvVariable);
    return online::kDefaultServerUrl;
}

std::optional<std::string> FindServerOption(int argc, const char* const* argv) {
    std::optional<std::string> value;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--server") {
            if (i + 1 >= argc)
                throw ServerAddressError("--server wants an address, e.g. " +
                                         std::string(online::kDefaultServerUrl));
            value = argv[++i];
        } else if (arg.starts_with("--server=")) {
            value = std::string(arg.substr(9));
        }
    }
    return value;
}

} // namespace vorlane
