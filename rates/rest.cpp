#include "rates/rest.h"

#include "convert/charset.h"
#include "convert/unicode.h"

#include <algorithm>
#include <cctype>

namespace kasorel {

ERESTException::ERESTException(std::u16string_view reason)
    : Exception(u"REST request failed: " + std::u16string(reason)) {}

namespace {

bool isAsciiAlnum(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The unreserved characters of RFC 3986 minus "~", plus what the caller keeps as well; the
// hex digits are upper case.
std::u16string percentEncoded(std::u16string_view text, bool value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::u16string out;
    for (const char b : ToUtf8(text)) {
        const auto c = static_cast<unsigned char>(b);
        if (isAsciiAlnum(c) || c == '-' || c == '.' || c == '_' || (value && c == '*')) {
            out += static_cast<char16_t>(c);
        } else if (value && c == ' ') {
            // "%" itself is encoded as "%25", so a "+" can only have come from a space.
            out += u'+';
        } else {
            out += u'%';
            out += static_cast<char16_t>(kHex[c >> 4]);
            out += static_cast<char16_t>(kHex[c & 15]);
        }
    }
    return out;
}

char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
}

// Parameter names are ASCII in every request this program makes.
bool sameName(std::u16string_view a, std::u16string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char16_t x, char16_t y) { return asciiLower(x) == asciiLower(y); });
}

std::u16string fromLatin1(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (const char b : bytes)
        out += static_cast<char16_t>(static_cast<unsigned char>(b));
    return out;
}

// body in charset, without a leading byte-order mark; nothing for a charset not known.
std::optional<std::u16string> decodedIn(std::string_view body, std::string_view charset) {
    std::optional<std::u16string> text = DecodeCharset(body, charset);
    if (text && !text->empty() && text->front() == u'\uFEFF')
        text->erase(0, 1);
    return text;
}

} // namespace

std::u16string EncodeParameterName(std::u16string_view name) {
    return percentEncoded(name, false);
}

std::u16string EncodeParameterValue(std::u16string_view value) {
    return percentEncoded(value, true);
}

RESTParameterList CollectParameters(const RESTParameterList& first,
                                    const RESTParameterList& second) {
    RESTParameterList out;
    auto collect = [&out](const RESTParameter& p) {
        for (RESTParameter& have : out) {
            if (sameName(have.name, p.name)) {
                have = p;
                return;
            }
        }
        out.push_back(p);
    };
    for (const RESTParameter& p : first)
        collect(p);
    for (const RESTParameter& p : second)
        collect(p);
    return out;
}

std::u16string ComposeUrl(std::u16string_view baseUrl, std::u16string_view resource,
                          const RESTParameterList& parameters) {
    std::u16string url(baseUrl);
    if (!resource.empty()) {
        const bool joined = url.ends_with(u'/') || resource.starts_with(u'/') ||
                            resource.starts_with(u'?') || resource.starts_with(u'#');
        if (!joined)
            url += u'/';
        url += resource;
    }
    for (const RESTParameter& p : parameters) {
        url += url.find(u'?') != std::u16string::npos ? u'&' : u'?';
        url += EncodeParameterName(p.name);
        url += u'=';
        url += EncodeParameterValue(p.value);
    }
    return url;
}

std::string CharsetOf(std::string_view contentType) {
    std::size_t start = contentType.find(';');
    while (start != std::string_view::npos) {
        const std::size_t end = contentType.find(';', start + 1);
        const std::string_view part = TrimAsciiSpace(contentType.substr(
            start + 1, end == std::string_view::npos ? std::string_view::npos : end - start - 1));
        start = end;
        const std::size_t eq = part.find('=');
        if (eq == std::string_view::npos)
            continue;
        std::string name(TrimAsciiSpace(part.substr(0, eq)));
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name != "charset")
            continue;
        std::string_view value = TrimAsciiSpace(part.substr(eq + 1));
        if (value.size() >= 2 && value.starts_with('"') && value.ends_with('"'))
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::string();
}

std::u16string DecodeBody(std::string_view body, std::string_view contentType,
                          std::string_view fallback) {
    const std::string charset = CharsetOf(contentType);
    if (!charset.empty()) {
        if (std::optional<std::u16string> text = decodedIn(body, charset))
            return std::move(*text);
    }
    if (std::optional<std::u16string> text = decodedIn(body, fallback))
        return std::move(*text);
    std::u16string text = FromUtf8(body);
    if (!text.empty() && text.front() == u'\uFEFF')
        text.erase(0, 1);
    return text;
}

RESTClient::RESTClient()
    : baseURL_(std::u16string(ThisPlatformAccess().scheme) + u"://" + std::u16string(kServiceHost) +
               u"/v1"),
      params_{{u"Endpoint", u"latest"}, {u"access_key", u"{access_key}"}} {}

void RESTClient::SetParameter(std::u16string_view name, std::u16string_view value) {
    std::erase_if(params_, [name](const RESTParameter& p) { return sameName(p.name, name); });
    params_.push_back({std::u16string(name), std::u16string(value)});
}

const json::Value* RESTResponse::JSONValue() const {
    if (!parsed_) {
        value_ = json::Parse(content_);
        parsed_ = true;
    }
    return value_ ? &*value_ : nullptr;
}

void RESTResponse::SetAnswer(long status, std::u16string contentType,
                             std::u16string contentEncoding, std::u16string content) {
    status_ = status;
    contentType_ = std::move(contentType);
    contentEncoding_ = std::move(contentEncoding);
    content_ = std::move(content);
    parsed_ = false;
    value_.reset();
}

RESTRequest::RESTRequest(RESTClient& client, RESTResponse& response)
    : client_(client), response_(response) {}

std::u16string RESTRequest::FullURL() const {
    return ComposeUrl(client_.BaseURL(), resource_, CollectParameters(client_.Params(), params_));
}

void RESTRequest::Execute() {
    HttpGet get;
    get.url = ToUtf8(FullURL());
    get.headers = {"Accept: " + std::string(kAccept),
                   "Accept-Charset: " + std::string(kAcceptCharset)};
    get.userAgent = client_.UserAgent();
    get.connectTimeoutMs = client_.ConnectTimeout();
    get.readTimeoutMs = client_.ReadTimeout();

    const HttpAnswer answer = client_.Transport().Get(get);
    std::string charset = CharsetOf(answer.contentType);
    std::optional<std::u16string> content;
    if (!charset.empty())
        content = decodedIn(answer.body, charset);
    if (!content) {
        charset = client_.FallbackCharset();
        content = DecodeBody(answer.body, std::string_view(), charset);
    }
    response_.SetAnswer(answer.status, fromLatin1(answer.contentType), fromLatin1(charset),
                        std::move(*content));
    if (answer.status >= 500)
        throw ERESTException(u"HTTP status " + FromAscii(std::to_string(answer.status)));
}

} // namespace kasorel
