#include "rates/http.h"

#include "convert/unicode.h"

#include <windows.h>

#include <winhttp.h>

#include <algorithm>
#include <optional>

namespace kasorel {

const ServiceAccess& ThisPlatformAccess() {
    static constexpr ServiceAccess access{u"http"};
    return access;
}

void InitHttpTransport() {}

namespace {

std::wstring wideFromUtf8(std::string_view bytes) {
    const std::u16string text = FromUtf8(bytes);
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

std::u16string fromWide(std::wstring_view s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
}

// The reasons a rate query meets most, for a system whose winhttp.dll carries no message
// texts (Wine has none).
std::u16string fallbackMessage(DWORD code) {
    // Wine passes a socket's time-out on as it is.
    constexpr DWORD kSocketTimedOut = 10060;
    switch (code) {
    case ERROR_WINHTTP_TIMEOUT:
    case kSocketTimedOut:
        return u"The operation timed out";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        return u"The server name or address could not be resolved";
    case ERROR_WINHTTP_CANNOT_CONNECT:
        return u"A connection with the server could not be established";
    case ERROR_WINHTTP_CONNECTION_ERROR:
        return u"The connection with the server was reset or terminated";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
        return u"The server response could not be parsed";
    case ERROR_WINHTTP_REDIRECT_FAILED:
        return u"The redirection failed";
    case ERROR_WINHTTP_INVALID_URL:
        return u"The URL is invalid";
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
        return u"The URL does not use a recognized protocol";
    default:
        return u"WinHTTP error " + fromWide(std::to_wstring(code));
    }
}

// The system's text for a WinHTTP (12xxx) or system error code, without its line break.
std::u16string systemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD n = 0;
    if (code >= WINHTTP_ERROR_BASE && code <= WINHTTP_ERROR_LAST)
        n = FormatMessageW(flags | FORMAT_MESSAGE_FROM_HMODULE, GetModuleHandleW(L"winhttp.dll"),
                           code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    else
        n = FormatMessageW(flags, nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string message;
    if (n > 0 && text)
        message = fromWide(std::wstring_view(text, n));
    LocalFree(text);
    while (!message.empty() && (message.back() == u'\r' || message.back() == u'\n' ||
                                message.back() == u' ' || message.back() == u'.'))
        message.pop_back();
    if (message.empty())
        message = fallbackMessage(code);
    return message;
}

[[noreturn]] void fail(DWORD code) {
    throw ERESTException(systemMessage(code));
}

[[noreturn]] void failLast() {
    fail(GetLastError());
}

class Internet {
public:
    Internet() = default;
    explicit Internet(HINTERNET h) : h_(h) {}
    ~Internet() {
        if (h_)
            WinHttpCloseHandle(h_);
    }
    Internet(const Internet&) = delete;
    Internet& operator=(const Internet&) = delete;
    void reset(HINTERNET h) {
        if (h_)
            WinHttpCloseHandle(h_);
        h_ = h;
    }
    HINTERNET get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HINTERNET h_ = nullptr;
};

// A header of the answer as text; nothing when the answer does not have it.
std::optional<std::wstring> queryText(HINTERNET request, DWORD info) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                        &size, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0)
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                             WINHTTP_NO_HEADER_INDEX))
        return std::nullopt;
    value.resize(size / sizeof(wchar_t));
    return value;
}

// Whether the answer's Content-Length is over kMaxBodyBytes, so that nothing of it is read.
// A length that is no number is left to the reading, which counts the bytes anyway.
bool announcesTooMuch(HINTERNET request) {
    const auto length = queryText(request, WINHTTP_QUERY_CONTENT_LENGTH);
    if (!length)
        return false;
    unsigned long long value = 0;
    for (const wchar_t c : *length) {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
        if (value > kMaxBodyBytes)
            return true;
    }
    return false;
}

} // namespace

struct HttpTransport::Session {
    Internet handle;
    std::string userAgent;

    // The session is opened with the first request's user agent; a later request with
    // another one changes it on the open session, whose cookies and connections stay.
    HINTERNET open(const std::string& agent) {
        if (handle) {
            if (agent != userAgent) {
                const std::wstring wideAgent = wideFromUtf8(agent);
                WinHttpSetOption(handle.get(), WINHTTP_OPTION_USER_AGENT,
                                 const_cast<wchar_t*>(wideAgent.c_str()),
                                 static_cast<DWORD>(wideAgent.size()));
                userAgent = agent;
            }
            return handle.get();
        }
        const std::wstring wideAgent = wideFromUtf8(agent);
        // The automatic type follows the user's proxy settings as the system's own
        // programs do; systems before Windows 8.1 (and Wine) know only the default type.
        HINTERNET h = WinHttpOpen(wideAgent.c_str(), WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                  WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
        if (!h)
            h = WinHttpOpen(wideAgent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                            WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
        if (!h)
            failLast();
        handle.reset(h);
        userAgent = agent;
        return h;
    }
};

HttpTransport::HttpTransport() : session_(std::make_unique<Session>()) {}

HttpTransport::~HttpTransport() = default;

HttpAnswer HttpTransport::Get(const HttpGet& get) {
    const HINTERNET session = session_->open(get.userAgent);

    const std::wstring url = wideFromUtf8(get.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts))
        failLast();
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        throw ERESTException(u"Unsupported protocol");
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    // The path and the query string exactly as composed, so that nothing is decoded or
    // encoded again on the way.
    std::wstring object(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
    if (parts.lpszExtraInfo)
        object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty() || object.front() != L'/')
        object.insert(object.begin(), L'/');

    Internet connection(WinHttpConnect(session, host.c_str(), parts.nPort, 0));
    if (!connection)
        failLast();
    const DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                        (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    Internet request(WinHttpOpenRequest(connection.get(), L"GET", object.c_str(), nullptr,
                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!request)
        failLast();

    const int connectMs = std::max(1, get.connectTimeoutMs);
    const int readMs = std::max(1, get.readTimeoutMs);
    if (!WinHttpSetTimeouts(request.get(), connectMs, connectMs, readMs, readMs))
        failLast();
    // Wine waits for the answer's headers by this option alone, not by the receive time-out.
    DWORD headersMs = static_cast<DWORD>(readMs);
    WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headersMs,
                     sizeof headersMs);
    DWORD redirects = 10;
    WinHttpSetOption(request.get(), WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects,
                     sizeof redirects);

    std::wstring headers;
    for (const std::string& line : get.headers) {
        headers += wideFromUtf8(line);
        headers += L"\r\n";
    }
    if (!WinHttpSendRequest(
            request.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
            headers.empty() ? 0 : static_cast<DWORD>(-1L), WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        failLast();
    if (!WinHttpReceiveResponse(request.get(), nullptr))
        failLast();

    HttpAnswer answer;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        failLast();
    answer.status = static_cast<long>(status);
    if (const auto type = queryText(request.get(), WINHTTP_QUERY_CONTENT_TYPE))
        answer.contentType = ToUtf8(fromWide(*type));
    if (announcesTooMuch(request.get()))
        throw ERESTException(u"Maximum file size exceeded");

    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request.get(), &available))
            failLast();
        if (available == 0)
            break;
        if (available > kMaxBodyBytes - answer.body.size())
            throw ERESTException(u"Maximum file size exceeded");
        const size_t start = answer.body.size();
        answer.body.resize(start + available);
        DWORD read = 0;
        if (!WinHttpReadData(request.get(), answer.body.data() + start, available, &read))
            failLast();
        answer.body.resize(start + read);
        if (read == 0)
            break;
    }
    return answer;
}

} // namespace kasorel
