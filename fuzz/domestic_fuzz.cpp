// The domestic dividend converter on any pasted text: rows against a plain model of the
// forward pass, the text area and the clipboard holding the same rows, and nothing made from
// its own output.

#include "convert/domestic.h"
#include "convert/errors.h"
#include "fuzz_support.h"

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

const std::u16string kDate = u"2024/06/30";

std::u16string RowStart(const std::u16string& name) {
    return kDate + u"\t配当国内\t" + name + u"\t\t";
}

std::vector<std::u16string> Model(const std::vector<std::u16string>& lines) {
    std::vector<std::u16string> rows;
    std::u16string open;
    bool isOpen = false;
    for (const std::u16string& line : lines) {
        if (line.starts_with(u"銘柄名")) {
            open = RowStart(Mid(line, 10));
            isOpen = true;
        } else if (line.starts_with(u"入金額")) {
            std::u16string amount = Mid(line, 10);
            const std::size_t n = amount.size();
            const bool pair =
                n >= 2 && IsLowSurrogate(amount[n - 1]) && IsHighSurrogate(amount[n - 2]);
            amount.resize(n - (pair ? 2 : (n > 0 ? 1 : 0)));
            rows.push_back((isOpen ? open : RowStart(std::u16string())) + u'-' + amount);
            isOpen = false;
        }
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    TextArea memo = Memo(in);
    const std::vector<std::u16string> lines = MemoLines(memo);

    KeepingClipboard clip;
    const auto date = [] { return kDate; };
    try {
        ConvertDomesticDividends(memo, clip, date);
    } catch (const Exception& e) {
        Fail("the domestic dividend converter raises nothing on any text", e.message());
    }
    Check(clip.texts.size() == 1, "one clipboard write per run");
    const std::u16string text = clip.texts.back();
    Check(memo.Text() == text, "the text area holds the clipboard's rows", memo.Text());
    Check(Rows(text) == Model(lines), "one row per amount line, as promised", text);

    KeepingClipboard again;
    ConvertDomesticDividends(memo, again, date);
    Check(again.texts.back().empty() && memo.Text().empty(),
          "no row from the converter's own output", text);
    return 0;
}
