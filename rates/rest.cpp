#include "rates/rest.h"

#include <QStringDecoder>
#include <QUrl>

namespace kasorel {

QString EncodeParameterName(const QString& name) {
    // Unreserved minus "~"; toPercentEncoding writes upper-case hex digits.
    return QString::fromLatin1(QUrl::toPercentEncoding(name, QByteArray(), "~"));
}

QString EncodeParameterValue(const QString& value) {
    QByteArray encoded = QUrl::toPercentEncoding(value, "*", "~");
    // "%" itself is encoded as "%25", so "%20" can only have come from a space.
    encoded.replace("%20", "+");
    return QString::fromLatin1(encoded);
}

RESTParameterList CollectParameters(const RESTParameterList& first,
                                    const RESTParameterList& second) {
    RESTParameterList out;
    auto collect = [&out](const RESTParameter& p) {
        for (RESTParameter& have : out) {
            if (have.name.compare(p.name, Qt::CaseInsensitive) == 0) {
                have = p;
                return;
            }
        }
        out.append(p);
    };
    for (const RESTParameter& p : first)
        collect(p);
    for (const RESTParameter& p : second)
        collect(p);
    return out;
}

QString ComposeUrl(const QString& baseUrl, const QString& resource,
                   const RESTParameterList& parameters) {
    QString url = baseUrl;
    if (!resource.isEmpty()) {
        const bool joined = url.endsWith(u'/') || resource.startsWith(u'/') ||
                            resource.startsWith(u'?') || resource.startsWith(u'#');
        if (!joined)
            url += u'/';
        url += resource;
    }
    for (const RESTParameter& p : parameters) {
        url += url.contains(u'?') ? u'&' : u'?';
        url += EncodeParameterName(p.name);
        url += u'=';
        url += EncodeParameterValue(p.value);
    }
    return url;
}

QByteArray CharsetOf(const QByteArray& contentType) {
    const QList<QByteArray> parts = contentType.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray part = parts[i].trimmed();
        const qsizetype eq = part.indexOf('=');
        if (eq < 0 || part.left(eq).trimmed().toLower() != "charset")
            continue;
        QByteArray value = part.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return QByteArray();
}

QString DecodeBody(const QByteArray& body, const QByteArray& contentType,
                   const QByteArray& fallback) {
    const QByteArray charset = CharsetOf(contentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    QStringDecoder decoder(fallback.constData());
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder.decode(body);
}

RESTClient::RESTClient()
    : baseURL_(QString::fromLatin1(kDefaultBaseURL)), params_{{QStringLiteral("Endpoint"),
                                                               QStringLiteral("latest")},
                                                              {QStringLiteral("access_key"),
                                                               QStringLiteral("{access_key}")}} {}

void RESTClient::SetParameter(const QString& name, const QString& value) {
    params_.removeIf(
        [&name](const RESTParameter& p) { return p.name.compare(name, Qt::CaseInsensitive) == 0; });
    params_.append({name, value});
}

const json::Value* RESTResponse::JSONValue() const {
    if (!parsed_) {
        value_ = json::Parse(content_);
        parsed_ = true;
    }
    return value_ ? &*value_ : nullptr;
}

void RESTResponse::SetAnswer(long status, const QString& contentType,
                             const QString& contentEncoding, const QString& content) {
    status_ = status;
    contentType_ = contentType;
    contentEncoding_ = contentEncoding;
    content_ = content;
    parsed_ = false;
    value_.reset();
}

RESTRequest::RESTRequest(RESTClient& client, RESTResponse& response)
    : client_(client), response_(response) {}

QString RESTRequest::FullURL() const {
    return ComposeUrl(client_.BaseURL(), resource_, CollectParameters(client_.Params(), params_));
}

void RESTRequest::Execute() {
    HttpGet get;
    get.url = FullURL().toUtf8();
    get.headers = {QByteArray("Accept: ") + kAccept,
                   QByteArray("Accept-Charset: ") + kAcceptCharset};
    get.userAgent = client_.UserAgent();
    get.connectTimeoutMs = client_.ConnectTimeout();
    get.readTimeoutMs = client_.ReadTimeout();

    const HttpAnswer answer = client_.Transport().Get(get);
    QByteArray charset = CharsetOf(answer.contentType);
    if (charset.isEmpty() || !QStringDecoder(charset.constData()).isValid())
        charset = client_.FallbackCharset();
    response_.SetAnswer(answer.status, QString::fromLatin1(answer.contentType),
                        QString::fromLatin1(charset),
                        DecodeBody(answer.body, answer.contentType, client_.FallbackCharset()));
    if (answer.status >= 500)
        throw ERESTException(QStringLiteral("HTTP status %1").arg(answer.status));
}

} // namespace kasorel
