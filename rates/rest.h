#pragma once

// The configured exchange-rate query: a client (base URL, parameters, time-outs), a request
// (resource, headers) and a response holder (status, decoded body, parsed JSON), plus the
// pure pieces they are built from: URL composition, parameter encoding and body decoding.

#include "rates/json.h"
#include "rates/transport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace kasorel {

struct RESTParameter {
    QString name;
    QString value;
    friend bool operator==(const RESTParameter&, const RESTParameter&) = default;
};
using RESTParameterList = QList<RESTParameter>;

// A parameter name for the query string, from its UTF-8 bytes: letters, digits, "-", "."
// and "_" stay; every other byte becomes "%" and two upper-case hex digits ("*" -> "%2A",
// space -> "%20").
QString EncodeParameterName(const QString& name);

// A parameter value for the query string, from its UTF-8 bytes: letters, digits, "*", "-",
// "." and "_" stay, a space becomes "+", every other byte "%XX" ("+" -> "%2B", "~" ->
// "%7E", "%" -> "%25").
QString EncodeParameterValue(const QString& value);

// The parameters sent: first's entries in order, then second's; an entry whose name equals
// one already collected, ignoring letter case, replaces that one in its place.
RESTParameterList CollectParameters(const RESTParameterList& first,
                                    const RESTParameterList& second);

// baseUrl, then "/" and resource (no "/" when the base ends in "/" or the resource starts
// with "/", "?" or "#"; nothing for an empty resource), then each parameter as separator,
// encoded name, "=", encoded value; the separator is "?" while the URL has none, "&" after.
// An empty value still gives "name=".
QString ComposeUrl(const QString& baseUrl, const QString& resource,
                   const RESTParameterList& parameters);

// The charset parameter of a Content-Type header value, unquoted, as written ("" when
// there is none). "application/json; charset=\"ISO-8859-1\"" gives "ISO-8859-1".
QByteArray CharsetOf(const QByteArray& contentType);

// body decoded in the charset contentType names, or in fallback when it names none or one
// that is not known. Undecodable bytes become U+FFFD; a leading byte-order mark is dropped.
QString DecodeBody(const QByteArray& body, const QByteArray& contentType,
                   const QByteArray& fallback = "utf-8");

class RESTClient {
public:
    static constexpr const char* kDefaultBaseURL = "http://api.exchangeratesapi.io/v1";
    static constexpr const char* kUserAgent = "Kasorel/1.0";

    // Base URL kDefaultBaseURL; parameters "Endpoint" = "latest" and "access_key" = a
    // placeholder replaced before every request; 30000 ms to connect and to wait for data.
    RESTClient();

    const QString& BaseURL() const { return baseURL_; }
    void SetBaseURL(const QString& url) { baseURL_ = url; }

    const RESTParameterList& Params() const { return params_; }
    // Removes every entry named name (ignoring letter case) and appends name = value.
    void SetParameter(const QString& name, const QString& value);

    QByteArray UserAgent() const { return kUserAgent; }
    QByteArray FallbackCharset() const { return "utf-8"; }
    int ConnectTimeout() const { return kConnectTimeoutMs; }
    int ReadTimeout() const { return readTimeoutMs_; }
    void SetReadTimeout(int ms) { readTimeoutMs_ = ms; }

    HttpTransport& Transport() { return transport_; }

private:
    QString baseURL_;
    RESTParameterList params_;
    static constexpr int kConnectTimeoutMs = 30000;
    int readTimeoutMs_ = 30000;
    HttpTransport transport_;
};

class RESTResponse {
public:
    // Before any request: status 0, empty content, "application/json", "UTF-8".
    long StatusCode() const { return status_; }
    const QString& Content() const { return content_; }
    const QString& ContentType() const { return contentType_; }
    const QString& ContentEncoding() const { return contentEncoding_; }

    // The content parsed as JSON, parsed on the first call after each answer and kept until
    // the next; nullptr when the content is empty or not valid JSON. The value belongs to
    // the response: callers borrow it.
    const json::Value* JSONValue() const;

    // Replaces everything with a new answer.
    void SetAnswer(long status, const QString& contentType, const QString& contentEncoding,
                   const QString& content);

private:
    long status_ = 0;
    QString content_;
    QString contentType_ = QStringLiteral("application/json");
    QString contentEncoding_ = QStringLiteral("UTF-8");
    mutable bool parsed_ = false;
    mutable std::optional<json::Value> value_;
};

class RESTRequest {
public:
    static constexpr const char* kAccept = "application/json, text/plain; q=0.9, text/html;q=0.8,";
    static constexpr const char* kAcceptCharset = "utf-8, *;q=0.8";

    // Resource "latest", no parameters of its own, GET, answers kept in response.
    RESTRequest(RESTClient& client, RESTResponse& response);

    RESTClient& Client() const { return client_; }
    RESTResponse& Response() const { return response_; }

    // The URL as it goes on the wire: base URL, resource, client and request parameters.
    QString FullURL() const;

    // Sends the GET and stores the answer (any status) in the response. Raises
    // ERESTException when there is no answer at all and, after storing it, for a status of
    // 500 or above.
    void Execute();

private:
    RESTClient& client_;
    RESTResponse& response_;
    QString resource_ = QStringLiteral("latest");
    RESTParameterList params_;
};

} // namespace kasorel
