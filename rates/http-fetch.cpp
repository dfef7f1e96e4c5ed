#include "rates/http.h"

#include "convert/unicode.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <emscripten.h>
#include <memory>

// The browser's fetch. A page cannot set User-Agent or Accept-Charset (the browser sends its
// own), nor see the moment a connection is made: the answer's head must come within the
// connect and read time-outs together, and then every piece of the body within the read
// time-out of the last. Cookies go only where the browser sends them for a cross-origin
// request without credentials, which a service answering with "*" for any origin accepts.

// clang-format off
// The answer as four 32-bit numbers (status, or -1 for none; the sizes of the content type,
// the body and the reason) followed by those bytes, in UTF-8 but for the body.
EM_ASYNC_JS(char*, kasorel_fetch,
            (const char* url, const char* accept, int connectMs, int readMs, int maxBytes), {
    const controller = new AbortController();
    let reason = "";
    let timer = 0;
    const arm = ms => {
        clearTimeout(timer);
        timer = setTimeout(() => {
            reason = "Operation timed out after " + ms + " milliseconds";
            controller.abort();
        }, ms);
    };
    let status = -1;
    let type = "";
    let body = new Uint8Array(0);
    try {
        arm(connectMs + readMs);
        const response = await fetch(UTF8ToString(url), {
            headers : {"Accept" : UTF8ToString(accept)},
            redirect : "follow",
            cache : "no-store",
            signal : controller.signal,
        });
        const chunks = [];
        let size = 0;
        if (response.body) {
            const reader = response.body.getReader();
            for (;;) {
                arm(readMs);
                const piece = await reader.read();
                if (piece.done)
                    break;
                size += piece.value.length;
                if (size > maxBytes) {
                    reason = "Answer body larger than " + maxBytes + " bytes";
                    controller.abort();
                    throw new Error(reason);
                }
                chunks.push(piece.value);
            }
        }
        body = new Uint8Array(size);
        let at = 0;
        for (const chunk of chunks) {
            body.set(chunk, at);
            at += chunk.length;
        }
        status = response.status;
        type = response.headers.get("Content-Type") || "";
    } catch (e) {
        status = -1;
        if (!reason)
            reason = String((e && e.message) || e);
    } finally {
        clearTimeout(timer);
    }
    const encoder = new TextEncoder();
    const typeBytes = encoder.encode(type);
    const reasonBytes = encoder.encode(reason);
    const out = _malloc(16 + typeBytes.length + body.length + reasonBytes.length);
    HEAP32[out >> 2] = status;
    HEAP32[(out >> 2) + 1] = typeBytes.length;
    HEAP32[(out >> 2) + 2] = body.length;
    HEAP32[(out >> 2) + 3] = reasonBytes.length;
    HEAPU8.set(typeBytes, out + 16);
    HEAPU8.set(body, out + 16 + typeBytes.length);
    HEAPU8.set(reasonBytes, out + 16 + typeBytes.length + body.length);
    return out;
});
// clang-format on

namespace kasorel {

const ServiceAccess& ThisPlatformAccess() {
    static constexpr ServiceAccess access{u"https"};
    return access;
}

void InitHttpTransport() {}

namespace {

std::string acceptOf(const std::vector<std::string>& headers) {
    for (const std::string& header : headers) {
        if (AsciiLowerCase(header).starts_with("accept:"))
            return std::string(TrimAsciiSpace(std::string_view(header).substr(7)));
    }
    return "*/*";
}

} // namespace

struct HttpTransport::Session {};

HttpTransport::HttpTransport() : session_(std::make_unique<Session>()) {}

HttpTransport::~HttpTransport() = default;

HttpAnswer HttpTransport::Get(const HttpGet& get) {
    const std::unique_ptr<char, decltype(&std::free)> answer(
        kasorel_fetch(get.url.c_str(), acceptOf(get.headers).c_str(), get.connectTimeoutMs,
                      get.readTimeoutMs, static_cast<int>(kMaxBodyBytes)),
        &std::free);
    std::int32_t head[4] = {};
    std::memcpy(head, answer.get(), sizeof head);
    const char* bytes = answer.get() + sizeof head;
    const std::string type(bytes, static_cast<std::size_t>(head[1]));
    const std::string body(bytes + head[1], static_cast<std::size_t>(head[2]));
    if (head[0] < 0)
        throw ERESTException(FromUtf8(
            std::string_view(bytes + head[1] + head[2], static_cast<std::size_t>(head[3]))));
    return HttpAnswer{head[0], type, body};
}

} // namespace kasorel
