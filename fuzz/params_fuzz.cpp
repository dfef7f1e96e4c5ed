// Parameter encoding on any key: the composed URL carries "Endpoint" and then the key, in
// query-string characters only, and percent-decoding it gives the key back. The answer's
// character set and body decoding take any header and bytes.

#include "convert/errors.h"
#include "fuzz_support.h"
#include "rates/rest.h"

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
QByteArray Decode(const QString& encoded, bool value) {
    const QByteArray kept = value ? QByteArrayLiteral("*-._") : QByteArrayLiteral("-._");
    QByteArray out;
    const QByteArray e = encoded.toLatin1();
    Check(QString::fromLatin1(e) == encoded, "encoded text is ASCII", encoded);
    for (qsizetype i = 0; i < e.size(); ++i) {
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
            Check(alnum || kept.contains(c), "only kept characters stand unescaped", encoded);
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
        const QByteArray raw = in.Raw();
        const qsizetype cut = raw.indexOf('\n');
        const QByteArray contentType = cut < 0 ? raw : raw.left(cut);
        const QByteArray body = cut < 0 ? QByteArray() : raw.mid(cut + 1);
        CharsetOf(contentType);
        DecodeBody(body, contentType);
        return 0;
    }

    const QString key = in.Text();
    const QByteArray utf8 = key.toUtf8();
    try {
        client.SetParameter(QStringLiteral("access_key"), key);
        const QString url = request.FullURL();
        const QString head = QStringLiteral("http://api.exchangeratesapi.io/v1/latest"
                                            "?Endpoint=latest&access_key=");
        Check(url.startsWith(head), "the URL's fixed part and parameter order", url);
        Check(Decode(url.mid(head.size()), true) == utf8, "the key decodes back", url);
        Check(Decode(EncodeParameterName(key), false) == utf8, "a name decodes back", key);
    } catch (const Exception& e) {
        Fail("composing the URL raises nothing", e.message());
    }
    return 0;
}
