#include "convert/charset.h"

#include "convert/unicode.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace kasorel {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// The name iconv is asked for. glibc's SHIFT_JIS maps 0x5C and 0x7E to the yen sign and the
// overline, which breaks every backslash escape of a JSON body; the decoders in browsers and
// in ICU read them as ASCII, which is glibc's CP932.
std::string iconvName(const std::string& lower) {
    if (lower == "shift_jis" || lower == "shift-jis" || lower == "sjis" || lower == "x-sjis" ||
        lower == "ms_kanji" || lower == "csshiftjis")
        return "CP932";
    return lower;
}

class Converter {
public:
    explicit Converter(const std::string& from) : cd_(iconv_open("UTF-16LE", from.c_str())) {}
    ~Converter() {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::u16string decode(std::string_view bytes) {
        std::u16string out;
        out.reserve(bytes.size());
        // iconv's interface takes a non-const input pointer; it never writes through it.
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        std::array<char, 8192> buffer;
        while (true) {
            char* to = buffer.data();
            std::size_t toLeft = buffer.size();
            const std::size_t r = inLeft == 0 ? iconv(cd_, nullptr, nullptr, &to, &toLeft)
                                              : iconv(cd_, &in, &inLeft, &to, &toLeft);
            const int error = r == static_cast<std::size_t>(-1) ? errno : 0;
            out += FromUtf16Bytes(std::string_view(buffer.data(), to - buffer.data()), false);
            if (error == E2BIG)
                continue;
            if (error == EILSEQ) {
                // One undecodable byte, then the decoder starts afresh behind it.
                out += kReplacement;
                ++in;
                --inLeft;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                continue;
            }
            if (error == EINVAL) {
                // A sequence cut off by the end of the bytes.
                out += kReplacement;
                break;
            }
            if (inLeft == 0)
                break;
        }
        return out;
    }

private:
    iconv_t cd_;
};

bool plainName(std::string_view name) {
    // iconv reads "//TRANSLIT" and the like as options, which are not character set names.
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
        if (!ok)
            return false;
    }
    return !name.empty();
}

} // namespace

std::optional<std::u16string> DecodeCharset(std::string_view bytes, std::string_view charset) {
    if (!plainName(charset))
        return std::nullopt;
    const std::string lower = AsciiLowerCase(charset);
    // iconv would skip one byte of a lone surrogate and read the rest out of step.
    if (std::optional<std::u16string> text = DecodeUnicodeBytes(bytes, lower))
        return text;
    Converter converter(iconvName(lower));
    if (!converter.valid())
        return std::nullopt;
    return converter.decode(bytes);
}

std::u16string DecodeSystemLegacy(std::string_view bytes) {
    return FromUtf8(bytes);
}

std::optional<std::string> EncodeSystemLegacy(std::u16string_view text) {
    return ToUtf8(text);
}

} // namespace kasorel
