#pragma once

// The configured exchange-rate query: a client (base URL, parameters, time-outs), a request
// (resource, headers) and a response holder (status, decoded body, parsed JSON), plus the
// pure pieces they are built from: URL composition, parameter encoding and body decoding.

#include "rates/http.h"
#include "rates/json.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kasorel {

struct RESTParameter {
    std::u16string name;
    std::u16string value;
    friend bool operator==(const RESTParameter&, const RESTParameter&) = default;
};
using RESTParameterList = std::vector<RESTParameter>;

// A parameter name for the query string, from its UTF-8 bytes: letters, digits, "-", "."
// and "_" stay; every other byte becomes "%" and two upper-case hex digits ("*" -> "%2A",
// space -> "%20").
std::u16string EncodeParameterName(std::u16string_view name);

// A parameter value for the query string, from its UTF-8 bytes: letters, digits, "*", "-",
// "." and "_" stay, a space becomes "+", every other byte "%XX" ("+" -> "%2B", "~" ->
// "%7E", "%" -> "%25").
std::u16string EncodeParameterValue(std::u16string_view value);

// The parameters sent: first's entries in order, then second's; an entry whose name equals
// one already collected, ignoring letter case, replaces that one in its place.
RESTParameterList CollectParameters(const RESTParameterList& first,
                                    const RESTParameterList& second);

// baseUrl, then "/" and resource (no "/" when the base ends in "/" or the resource starts
// with "/", "?" or "#"; nothing for an empty resource), then each parameter as separator,
// encoded name, "=", encoded value; the separator is "?" while the URL has none, "&" after.
// An empty value still gives "name=".
std::u16string ComposeUrl(std::u16string_view baseUrl, std::u16string_view resource,
                          const RESTParameterList& parameters);

// The charset parameter of a Content-Type header value, unquoted, as written ("" when
// there is none). "application/json; charset=\"ISO-8859-1\"" gives "ISO-8859-1".
std::string CharsetOf(std::string_view contentType);

// body decoded in the charset contentType names, or in fallback when it names none or one
// that is not known (UTF-8 when fallback is not known either). Undecodable bytes become
// U+FFFD; a leading byte-order mark is dropped.
std::u16string DecodeBody(std::string_view body, std::string_view contentType,
                          std::string_view fallback = "utf-8");

class RESTClient {
public:
    static constexpr std::u16string_view kServiceHost = u"api.exchangeratesapi.io";
    static constexpr std::string_view kUserAgent = "Kasorel/1.0";

    // Base URL the platform's scheme (ThisPlatformAccess), "://", kServiceHost and "/v1";
    // parameters "Endpoint" = "latest" and "access_key" = a placeholder replaced before every
    // request; 30000 ms to connect and to wait for data.
    RESTClient();

    const std::u16string& BaseURL() const { return baseURL_; }
    void SetBaseURL(std::u16string_view url) { baseURL_ = url; }

    const RESTParameterList& Params() const { return params_; }
    // Removes every entry named name (ignoring letter case) and appends name = value.
    void SetParameter(std::u16string_view name, std::u16string_view value);

    std::string UserAgent() const { return std::string(kUserAgent); }
    std::string FallbackCharset() const { return "utf-8"; }
    int ConnectTimeout() const { return connectTimeoutMs_; }
    void SetConnectTimeout(int ms) { connectTimeoutMs_ = ms; }
    int ReadTimeout() const { return readTimeoutMs_; }
    void SetReadTimeout(int ms) { readTimeoutMs_ = ms; }

    HttpTransport& Transport() { return transport_; }

private:
    std::u16string baseURL_;
    RESTParameterList params_;
    int connectTimeoutMs_ = 30000;
    int readTimeoutMs_ = 30000;
    HttpTransport transport_;
};

class RESTResponse {
public:
    // Before any request: status 0, empty content, "application/json", "UTF-8".
    long StatusCode() const { return status_; }
    const std::u16string& Content() const { return content_; }
    const std::u16string& ContentType() const { return contentType_; }
    const std::u16string& ContentEncoding() const { return contentEncoding_; }

    // The content parsed as JSON, parsed on the first call after each answer and kept until
    // the next; nullptr when the content is empty or not valid JSON. The value belongs to
    // the response: callers borrow it.
    const json::Value* JSONValue() const;

    // Replaces everything with a new answer.
    void SetAnswer(long status, std::u16string contentType, std::u16string contentEncoding,
                   std::u16string content);

private:
    long status_ = 0;
    std::u16string content_;
    std::u16string contentType_ = u"application/json";
    std::u16string contentEncoding_ = u"UTF-8";
    mutable bool parsed_ = false;
    mutable std::optional<json::Value> value_;
};

class RESTRequest {
public:
    static constexpr std::string_view kAccept =
        "application/json, text/plain; q=0.9, text/html;q=0.8,";
    static constexpr std::string_view kAcceptCharset = "utf-8, *;q=0.8";

    // Resource "latest", no parameters of its own, GET, answers kept in response.
    RESTRequest(RESTClient& client, RESTResponse& response);

    RESTClient& Client() const { return client_; }
    RESTResponse& Response() const { return response_; }

    // The URL as it goes on the wire: base URL, resource, client and request parameters.
    std::u16string FullURL() const;

    // Sends the GET and stores the answer (any status) in the response. Raises
    // ERESTException when there is no answer at all and, after storing it, for a status of
    // 500 or above.
    void Execute();

private:
    RESTClient& client_;
    RESTResponse& response_;
    std::u16string resource_ = u"latest";
    RESTParameterList params_;
};

} // namespace kasorel
