// The card statement converter on any pasted text, caret and selection: checked against a
// plain model of the line edits it promises, then run a second time on its own result.

#include "convert/errors.h"
#include "convert/rakuten.h"
#include "fuzz_support.h"

#include <vector>

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

constexpr std::u16string_view kMarker = u"支払方法";

bool IsMarker(std::u16string_view line) {
    // The marker is four characters; with no surrogate among them they are four code units.
    return line.starts_with(kMarker);
}

// A data line in the spreadsheet's columns: the second tab becomes three (with one tab, it
// moves behind two new ones at the start; with none, three go to the start), then every
// " 円" goes.
std::u16string Rewritten(std::u16string s) {
    constexpr auto npos = std::u16string::npos;
    const std::size_t first = s.find(u'\t');
    const std::size_t second = first == npos ? npos : s.find(u'\t', first + 1);
    if (second != npos) {
        s.insert(second, u"\t\t");
    } else if (first != npos) {
        s.erase(first, 1);
        s.insert(0, u"\t\t");
        s.insert(first, 1, u'\t');
    } else {
        s.insert(0, u"\t\t\t");
    }
    // Left to right, the scan going on behind each removal: what closes up is not searched.
    for (std::size_t at = s.find(u" 円"); at != npos; at = s.find(u" 円", at))
        s.erase(at, 2);
    return s;
}

struct Line {
    std::u16string text;
    bool rewritten = false;
};

// The converter's promise on a vector of lines: backwards, each marker takes itself and the
// two lines after it, stopping at a line rewritten in this run; the line above (if any) is
// rewritten. Deleting the last line only empties it, as in the text area.
void Model(const std::u16string& input, std::u16string& text, std::vector<std::u16string>& rows) {
    std::vector<Line> lines;
    for (const std::u16string& l : Lines(input))
        lines.push_back(Line{l, false});
    const auto count = [&] {
        return static_cast<int>(lines.size()) - (lines.back().text.empty() ? 1 : 0);
    };
    const auto erase = [&](int i) {
        if (i + 1 < static_cast<int>(lines.size()))
            lines.erase(lines.begin() + i);
        else if (i + 1 == static_cast<int>(lines.size()))
            lines.back() = Line{};
    };
    for (int i = count() - 1; i >= 0; --i) {
        if (!IsMarker(lines[i].text))
            continue;
        for (int k = 0; k < 3; ++k) {
            if (i < static_cast<int>(lines.size()) && lines[i].rewritten)
                break;
            erase(i);
        }
        if (i == 0)
            continue;
        lines[i - 1] = Line{Rewritten(lines[i - 1].text), true};
    }
    std::vector<std::u16string> joined;
    for (const Line& l : lines) {
        joined.push_back(l.text);
        if (l.rewritten)
            rows.push_back(l.text);
    }
    text = Join(joined, u"\r\n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    TextArea memo = Memo(in);
    const std::u16string before = memo.Text();
    Check(MemoLines(memo) == CountedLines(before), "the model reads the lines it was given");

    KeepingClipboard clip;
    try {
        ConvertRakuten(memo, clip);
    } catch (const Exception& e) {
        Fail("the card converter raises nothing on any text", e.message());
    }
    Check(clip.texts.size() == 1, "one clipboard write per run");

    std::u16string expectedText;
    std::vector<std::u16string> expectedRows;
    Model(before, expectedText, expectedRows);
    Check(memo.Text() == expectedText, "text area as promised", before + u"\n=> " + memo.Text());
    Check(Rows(clip.texts.back()) == expectedRows, "clipboard holds the rewritten lines",
          clip.texts.back());

    // Run again on the result. With no marker left it must change nothing; a rewritten line
    // that still begins with the marker (it had two tabs) is a marker for the next run.
    bool markerLeft = false;
    for (const std::u16string& l : MemoLines(memo))
        markerLeft = markerLeft || IsMarker(l);
    const std::u16string once = memo.Text();
    KeepingClipboard again;
    ConvertRakuten(memo, again);
    if (!markerLeft) {
        Check(memo.Text() == once, "a second run changes nothing", once);
        Check(again.texts.back().empty(), "a second run finds no entry");
    }
    return 0;
}
