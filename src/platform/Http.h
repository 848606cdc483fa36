#pragma once
// Blocking HTTP requests whose answer is thrown away: the online high-score
// submission's GET and the upload of the race's replay by POST. Served by libcurl in the platform layer;
// tests may fake it.
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
    // POSTs body (its type in the request's headers); the same answer as Get. A client
    // that cannot post answers false.
    virtual bool Post(const HttpRequest& request, const std::string& body) {
        (void)request;
        (void)body;
        return false;
    }
};

} // namespace vorlane
