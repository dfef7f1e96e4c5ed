#pragma once

// The HTTP transport under the exchange-rate query: one blocking GET through libcurl on the
// calling thread.

#include "convert/errors.h"

#include <QByteArray>
#include <QList>

typedef void CURL;

namespace kasorel {

// The request could not be carried out, or the server answered with a status of 500 or
// above. "REST request failed: <reason>".
class ERESTException : public Exception {
public:
    explicit ERESTException(const QString& reason);
};

// Largest answer body accepted, in bytes. The rates answer is a few kilobytes; anything
// near this is not that answer, and refusing it keeps a hostile server from filling memory.
inline constexpr qsizetype kMaxBodyBytes = 1 << 20;

struct HttpGet {
    QByteArray url;            // sent as is, nothing re-encoded
    QList<QByteArray> headers; // "Name: value", replacing libcurl's own Accept
    QByteArray userAgent;
    int connectTimeoutMs = 30000;
    // Longest wait without a byte: before the first, in whole seconds (at least 1); once the
    // body has begun, to the millisecond, checked about once a second.
    int readTimeoutMs = 30000;
};

struct HttpAnswer {
    long status = 0;
    QByteArray contentType; // of the last answer when redirects were followed; may be empty
    QByteArray body;
};

// Prepares libcurl for the whole program and makes a broken connection an error instead of
// a SIGPIPE that would end the program. Call first thing in main, before any thread starts.
void InitHttpTransport();

// One connection-keeping libcurl handle. Its cookie engine lives in memory for the life of
// the object, so cookies set by one answer go with the next request (and any redirect).
class HttpTransport {
public:
    HttpTransport();
    ~HttpTransport();
    HttpTransport(const HttpTransport&) = delete;
    HttpTransport& operator=(const HttpTransport&) = delete;

    // Sends get and waits for the whole answer. Redirects are followed (at most 10, http and
    // https only). Any status is an answer here. Raises ERESTException with libcurl's reason
    // for no answer at all: name resolution, connection, time-out, a refused redirect, a
    // body over kMaxBodyBytes (chunked or announced by Content-Length).
    HttpAnswer Get(const HttpGet& get);

private:
    CURL* handle_ = nullptr;
    bool cookiesOn_ = false;
};

} // namespace kasorel
