// Runs number cases through the real primitives, one per line of standard input, and prints
// one line per case, so that two builds (the hardware long double, the soft type) can be
// compared text for text. A case is an operation and its arguments, tab-separated:
//   parse TEXT SEP | str V SEP | digits V | round V | mul V V | div V V | store V
//   yen AMOUNT JPY USD   (the 国外配当 row for AMOUNT at the rate JPY ÷ USD)
// V is "x" and the 20 hex digits of an extended value's bits, "d" and the 16 of a double's,
// or a decimal text read with ".". A value prints as its bits and its FloatToStr text, an
// error as its kind.

#include "convert/errors.h"
#include "convert/foreign.h"
#include "convert/primitives.h"
#include "convert/unicode.h"
#include "rates/query.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

using namespace kasorel;

namespace {

class KeptClipboard : public Clipboard {
public:
    void SetAsText(std::u16string_view t) override { text = t; }
    std::u16string text;
};

template <class To, class From> To BitCast(const From& from) {
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

std::string Hex(std::uint64_t v, int digits) {
    char out[24];
    std::snprintf(out, sizeof out, "%0*llx", digits, static_cast<unsigned long long>(v));
    return out;
}

std::string Show(Extended x) {
    const ExtendedBits b = BitsOf(x);
    return "x" + Hex(b.signExponent, 4) + Hex(b.significand, 16) + " " +
           ToUtf8(FloatToStr(x, u"."));
}

std::string ShowDouble(double d) {
    return "d" + Hex(BitCast<std::uint64_t>(d), 16) + " " + ToUtf8(FloatToStr(d, u"."));
}

Extended Value(const std::string& arg) {
    if (arg.size() == 21 && arg[0] == 'x')
        return ExtendedFromBits(
            {static_cast<std::uint16_t>(std::stoul(arg.substr(1, 4), nullptr, 16)),
             std::stoull(arg.substr(5), nullptr, 16)});
    if (arg.size() == 17 && arg[0] == 'd')
        return BitCast<double>(static_cast<std::uint64_t>(std::stoull(arg.substr(1), nullptr, 16)));
    return StrToFloat(FromUtf8(arg), u".");
}

std::string Kind(const std::function<std::string()>& f) {
    try {
        return f();
    } catch (const EConvertError&) {
        return "EConvertError";
    } catch (const EOverflow&) {
        return "EOverflow";
    } catch (const EZeroDivide&) {
        return "EZeroDivide";
    } catch (const EInvalidOp&) {
        return "EInvalidOp";
    } catch (const ERangeError&) {
        return "ERangeError";
    } catch (const EIntOverflow&) {
        return "EIntOverflow";
    } catch (const EJSONException&) {
        return "EJSONException";
    } catch (const std::exception& e) {
        return std::string("exception ") + e.what();
    }
}

std::string Yen(const std::string& amount, const std::string& jpy, const std::string& usd) {
    const auto number = [](const std::string& text) {
        return json::Value{json::Kind::Number, text, {}, {}};
    };
    json::Value rates{json::Kind::Object, {}, {}, {{"JPY", number(jpy)}, {"USD", number(usd)}}};
    const json::Value answer{json::Kind::Object, {}, {}, {{"rates", rates}}};
    double rate = 0;
    std::string out = Kind([&] {
        rate = ReadRate(answer);
        return ShowDouble(rate);
    });
    if (out[0] != 'd')
        return out;
    out += " | " + Kind([&] { return ToUtf8(ShownRate(rate)); }) + " | ";
    return out + Kind([&] {
               TextArea memo(u"入金額abcdefg" + FromUtf8(amount) + u" USD\r\n");
               KeptClipboard clipboard;
               ConvertForeignDividends(memo, clipboard, rate, [] { return u"D"; });
               return ToUtf8(clipboard.text);
           });
}

std::string Run(const std::vector<std::string>& f) {
    const std::string& op = f[0];
    const auto arg = [&](std::size_t i) { return i < f.size() ? f[i] : std::string(); };
    if (op == "parse")
        return Show(StrToFloat(FromUtf8(arg(1)), FromUtf8(arg(2))));
    if (op == "str")
        return ToUtf8(FloatToStr(Value(arg(1)), FromUtf8(arg(2))));
    if (op == "digits") {
        const Extended x = Value(arg(1));
        if (!IsFinite(x) || x == 0)
            return "none";
        const DecimalDigits d = ScientificDigits(x);
        return d.digits + "e" + std::to_string(d.exponent);
    }
    if (op == "round")
        return std::to_string(Round(Value(arg(1))));
    if (op == "mul")
        return Show(FloatMul(Value(arg(1)), Value(arg(2))));
    if (op == "div")
        return Show(FloatDiv(Value(arg(1)), Value(arg(2))));
    if (op == "store")
        return ShowDouble(StoreDouble(Value(arg(1))));
    if (op == "yen")
        return Yen(arg(1), arg(2), arg(3));
    return "unknown operation";
}

} // namespace

int main() {
#ifdef __EMSCRIPTEN__
    // A program built into one file loads Node's fs module only when it reads a file, which
    // it never does; reading standard input needs it too.
    EM_ASM({
        if (ENVIRONMENT_IS_NODE && !fs)
            fs = require('fs');
    });
#endif
    std::string line;
    while (std::getline(std::cin, line)) {
        std::vector<std::string> fields(1);
        for (char c : line) {
            if (c == '\t')
                fields.emplace_back();
            else
                fields.back() += c;
        }
        std::string out = Kind([&] { return Run(fields); });
        for (char& c : out)
            if (c == '\t' || c == '\r' || c == '\n')
                c = ' ';
        std::cout << out << '\n';
    }
    // A WebAssembly program's stream buffers are not flushed when main returns.
    std::cout.flush();
    return 0;
}
