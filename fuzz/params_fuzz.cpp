// Parameter encoding on any key: the composed URL carries "Endpoint" and then the key, in
// query-string characters only, and percent-decoding it gives the key back. The answer's
// character set and body decoding take any header and bytes.

#include "convert/errors.h"
#include "fuzz_support.h"
#include "rates/rest.h"

#include "convert/unicode.h"

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

int Hex(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1; // lower-case hex digits are not written
}

// The bytes an encoded name or value stands for; Fail when it holds anything but the kept
// characters and "%XX" escapes.
std::string Decode(std::u16string_view encoded, bool value) {
    const std::string_view kept = value ? "*-._" : "-._";
    std::string out;
    std::string e;
    for (const char16_t c : encoded) {
        Check(c < 0x80, "encoded text is ASCII", encoded);
        e += static_cast<char>(c);
    }
    for (std::size_t i = 0; i < e.size(); ++i) {
        const char c = e[i];
        if (c == '%') {
            Check(i + 2 < e.size(), "an escape has two digits", encoded);
            const int hi = Hex(e[i + 1]);
            const int lo = Hex(e[i + 2]);
            Check(hi >= 0 && lo >= 0, "an escape has two upper-case hex digits", encoded);
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else if (value && c == '+') {
            out += ' ';
        } else {
            const bool alnum =
                (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
            Check(alnum || kept.find(c) != std::string_view::npos,
                  "only kept characters stand unescaped", encoded);
            out += c;
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static RESTClient client;
    static RESTResponse response;
    static RESTRequest request(client, response);

    Bytes in(data, size);
    const std::uint8_t mode = in.Byte();
    if (mode & 1) {
        const std::string raw = in.Raw();
        const std::size_t cut = raw.find('\n');
        const std::string contentType = cut == std::string::npos ? raw : raw.substr(0, cut);
        const std::string body = cut == std::string::npos ? std::string() : raw.substr(cut + 1);
        CharsetOf(contentType);
        DecodeBody(body, contentType);
        return 0;
    }

    const std::u16string key = in.Text();
    const std::string utf8 = ToUtf8(key);
    try {
        client.SetParameter(u"access_key", key);
        const std::u16string url = request.FullURL();
        const std::u16string_view head = u"http://api.exchangeratesapi.io/v1/latest"
                                         u"?Endpoint=latest&access_key=";
        Check(url.starts_with(head), "the URL's fixed part and parameter order", url);
        Check(Decode(std::u16string_view(url).substr(head.size()), true) == utf8,
              "the key decodes back", url);
        Check(Decode(EncodeParameterName(key), false) == utf8, "a name decodes back", key);
    } catch (const Exception& e) {
        Fail("composing the URL raises nothing", e.message());
    }
    return 0;
}
