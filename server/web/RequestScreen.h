#pragma once
// What the server refuses in a request's head before anything else looks at it:
// the ambiguities request smuggling starts from when a proxy and this server read
// the same bytes differently.
#include <httplib.h>

#include <string>

namespace vorlane::scores {

// Why the head cannot be taken, in one line; empty when it can. Refused: a NUL byte
// in a header's name or value (httplib also decodes %00 in values to one), more than
// one Content-Length with different values, a Content-Length that is not a whole
// number, a Transfer-Encoding other than one "chunked" (what httplib reads), and a
// Content-Length together with Transfer-Encoding.
std::string MalformedHead(const httplib::Request& request);

// Whether the body comes in chunks (Transfer-Encoding: chunked).
bool HasChunkedBody(const httplib::Request& request);

} // namespace vorlane::scores
