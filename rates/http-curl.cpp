#include "rates/http.h"

#include "convert/unicode.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <curl/curl.h>

namespace kasorel {

const ServiceAccess& ThisPlatformAccess() {
    static constexpr ServiceAccess access{u"http"};
    return access;
}

void InitHttpTransport() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    // With CURLOPT_NOSIGNAL libcurl no longer guards writes to a closed socket itself.
    std::signal(SIGPIPE, SIG_IGN);
}

namespace {

struct Sink {
    std::string body;
};

size_t writeBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t n = size * count;
    if (n > kMaxBodyBytes - sink->body.size())
        return 0; // refuses the rest: the transfer ends with CURLE_WRITE_ERROR
    sink->body.append(data, n);
    return n;
}

// The read time-out once the body has begun: the time since the last byte arrived.
// libcurl's low-speed check averages over several seconds, so after a few bytes it would wait
// well beyond the time-out; it still covers the wait for the first byte, where nothing has
// been counted yet and the average is exact.
struct ReadClock {
    std::chrono::milliseconds limit;
    curl_off_t lastBytes = 0;
    std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
    bool expired = false;
};

int checkReadClock(void* user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t) {
    auto* clock = static_cast<ReadClock*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (dlnow == 0 || dlnow != clock->lastBytes) {
        clock->lastBytes = dlnow;
        clock->last = now;
        return 0;
    }
    if (now - clock->last >= clock->limit) {
        clock->expired = true;
        return 1;
    }
    return 0;
}

struct HeaderList {
    curl_slist* list = nullptr;
    ~HeaderList() { curl_slist_free_all(list); }
};

} // namespace

struct HttpTransport::Session {
    CURL* handle = curl_easy_init();
    bool cookiesOn = false;
    ~Session() {
        if (handle)
            curl_easy_cleanup(handle);
    }
};

HttpTransport::HttpTransport() : session_(std::make_unique<Session>()) {}

HttpTransport::~HttpTransport() = default;

HttpAnswer HttpTransport::Get(const HttpGet& get) {
    CURL* h = session_->handle;
    if (!h)
        throw ERESTException(u"libcurl could not be initialised");
    // Every option is set anew below, so what an earlier request left on the handle is
    // overwritten. No curl_easy_reset: with the cookie engine on, this libcurl leaks list entries
    // on every reset.

    HeaderList headers;
    for (const std::string& line : get.headers)
        headers.list = curl_slist_append(headers.list, line.c_str());

    Sink sink;
    char error[CURL_ERROR_SIZE] = {};
    ReadClock clock{std::chrono::milliseconds(get.readTimeoutMs)};
    const long lowSpeedSeconds = std::max(1L, (static_cast<long>(get.readTimeoutMs) + 999) / 1000);

    curl_easy_setopt(h, CURLOPT_URL, get.url.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.list);
    curl_easy_setopt(h, CURLOPT_USERAGENT, get.userAgent.c_str());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(get.connectTimeoutMs));
    // No byte for the read time-out ends the transfer: below 1 byte per second for that long.
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, lowSpeedSeconds);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, checkReadClock);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &clock);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    // The distribution's libcurl follows without limit by default, so a loop would never end.
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
    // A redirect must not turn the query into a file read or any other protocol.
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    // Cookie engine on, nothing read from or written to disk; once per handle is enough.
    if (!session_->cookiesOn) {
        curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");
        session_->cookiesOn = true;
    }
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBodyBytes));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error);

    const CURLcode code = curl_easy_perform(h);
    // The buffer, sink, clock and header list die with this call; the handle must not keep
    // them.
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, nullptr);
    if (clock.expired)
        throw ERESTException(u"no data received for " +
                             FromAscii(std::to_string(get.readTimeoutMs)) + u" ms");
    if (code != CURLE_OK)
        throw ERESTException(FromUtf8(TrimAsciiSpace(error[0] ? error : curl_easy_strerror(code))));

    HttpAnswer answer;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &answer.status);
    const char* contentType = nullptr;
    curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &contentType);
    if (contentType)
        answer.contentType = contentType;
    answer.body = std::move(sink.body);
    return answer;
}

} // namespace kasorel
