// The online high-score submission's HTTP GET and the replay upload's POST, with libcurl.
#include "platform/CurlHttpClient.h"

#include <curl/curl.h>

#include <memory>

namespace vorlane {

namespace {

size_t Discard(char*, size_t size, size_t count, void*) {
    return size * count;
}

struct EasyDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

} // namespace

CurlHttpClient::CurlHttpClient() {
    global_ = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!global_) return;
    CURLSH* share = curl_share_init();
    if (share) curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    share_ = share;
}

CurlHttpClient::~CurlHttpClient() {
    if (share_) curl_share_cleanup(static_cast<CURLSH*>(share_));
    if (global_) curl_global_cleanup();
}

bool CurlHttpClient::Get(const HttpRequest& request) {
    return Perform(request, nullptr);
}

bool CurlHttpClient::Post(const HttpRequest& request, const std::string& body) {
    return Perform(request, &body);
}

bool CurlHttpClient::Perform(const HttpRequest& request, const std::string* body) {
    if (!global_) return false;
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) return false;
    CURL* c = easy.get();
    std::unique_ptr<curl_slist, ListDeleter> headers;
    for (const std::string& h : request.headers) {
        curl_slist* grown = curl_slist_append(headers.get(), h.c_str());
        if (!grown) return false;
        headers.release();
        headers.reset(grown);
    }
    curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
    if (body) {
        curl_easy_setopt(c, CURLOPT_POST, 1L);
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, body->data());
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body->size()));
    } else {
        curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    }
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L); // no SIGALRM for the name lookup's time limit
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS,
                     request.connectTimeoutMs > 0 ? request.connectTimeoutMs : 0L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, request.totalTimeoutMs > 0 ? request.totalTimeoutMs : 0L);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_COOKIEFILE, ""); // cookies on, none read from disk
    if (share_) curl_easy_setopt(c, CURLOPT_SHARE, static_cast<CURLSH*>(share_));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Discard);
    if (curl_easy_perform(c) != CURLE_OK) return false;
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    return status >= 200 && status < 300;
}

} // namespace vorlane
