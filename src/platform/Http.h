#pragma once
// One blocking HTTP GET whose answer is thrown away: all the online high-score
// submission needs. Served by libcurl in the platform layer; tests may fake it.
#include <string>
#include <vector>

namespace vorlane {

struct HttpRequest {
    std::string url;                  // "http://host/path?query"
    std::vector<std::string> headers; // "Name: value" lines sent as they stand
    long connectTimeoutMs = 3000;
    long totalTimeoutMs = 10000;
};

class IHttpClient {
public:
    virtual ~IHttpClient() = default;
    // True when the server answered with a 2xx status within the time allowed.
    virtual bool Get(const HttpRequest& request) = 0;
};

} // namespace vorlane
