#pragma once

// The HTTP seam under the exchange-rate query: one blocking GET on the calling thread.
// libcurl on Linux (http-curl.cpp), WinHTTP on Windows (http-winhttp.cpp).

#include "convert/errors.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace kasorel {

// The request could not be carried out, or the server answered with a status of 500 or
// above. "REST request failed: <reason>".
class ERESTException : public Exception {
public:
    explicit ERESTException(std::u16string_view reason);
};

// Largest answer body accepted, in bytes. The rates answer is a few kilobytes; anything
// near this is not that answer, and refusing it keeps a hostile server from filling memory.
inline constexpr std::size_t kMaxBodyBytes = 1 << 20;

struct HttpGet {
    std::string url;                  // sent as is, nothing re-encoded
    std::vector<std::string> headers; // "Name: value", replacing the library's own Accept
    std::string userAgent;
    int connectTimeoutMs = 30000;
    // Longest wait without a byte: before the first, in whole seconds (at least 1); once the
    // body has begun, to the millisecond, checked about once a second.
    int readTimeoutMs = 30000;
};

struct HttpAnswer {
    long status = 0;
    std::string contentType; // of the last answer when redirects were followed; may be empty
    std::string body;
};

// How this platform reaches web services.
struct ServiceAccess {
    // "http" where the program may speak plain HTTP; "https" in a browser page, which may not
    // ask a plain-HTTP service from a page served over HTTPS.
    std::u16string_view scheme;
};
const ServiceAccess& ThisPlatformAccess();

// Prepares the HTTP library for the whole program and makes a broken connection an error
// instead of a signal that would end the program. Call first thing in main, before any
// thread starts.
void InitHttpTransport();

// One connection-keeping session. Its cookies live in memory for the life of the object, so
// cookies set by one answer go with the next request (and any redirect). The system's proxy
// settings apply.
class HttpTransport {
public:
    HttpTransport();
    ~HttpTransport();
    HttpTransport(const HttpTransport&) = delete;
    HttpTransport& operator=(const HttpTransport&) = delete;

    // Sends get and waits for the whole answer. Redirects are followed (at most 10, http and
    // https only). Any status is an answer here. Raises ERESTException with the library's
    // reason for no answer at all: name resolution, connection, time-out, a refused redirect,
    // a body over kMaxBodyBytes (chunked or announced by Content-Length).
    HttpAnswer Get(const HttpGet& get);

private:
    struct Session;
    std::unique_ptr<Session> session_;
};

} // namespace kasorel
