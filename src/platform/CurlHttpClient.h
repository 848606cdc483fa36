#pragma once
// IHttpClient over libcurl.
#include "platform/Http.h"

namespace vorlane {

// One blocking GET or POST per call. The request's headers are sent as they stand; redirects
// are followed (up to 5); cookies are kept for the client's life; no proxy unless the
// system sets one. Connection and whole-transfer limits come from the request (0 means
// no limit). Any transport failure or a status outside 200..299 is a failure; the
// answer's body is read to its end and dropped.
class CurlHttpClient final : public IHttpClient {
  public:
    CurlHttpClient();
    ~CurlHttpClient() override;
    CurlHttpClient(const CurlHttpClient&) = delete;
    CurlHttpClient& operator=(const CurlHttpClient&) = delete;

    bool Get(const HttpRequest& request) override;
    bool Post(const HttpRequest& request, const std::string& body) override;

  private:
    bool Perform(const HttpRequest& request, const std::string* body);
    void* share_ = nullptr; // cookies shared between the requests of this client
    bool global_ = false;
};

} // namespace vorlane
