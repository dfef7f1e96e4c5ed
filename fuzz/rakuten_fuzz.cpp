// The card statement converter on any pasted text, caret and selection: checked against a
// plain model of the line edits it promises, then run a second time on its own result.

#include "convert/errors.h"
#include "convert/rakuten.h"
#include "fuzz_support.h"

#include <vector>

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

const QString kMarker = QStringLiteral("支払方法");

bool IsMarker(const QString& line) {
    // The marker is four characters; with no surrogate among them they are four code units.
    return line.startsWith(kMarker);
}

// A data line in the spreadsheet's columns: the second tab becomes three (with one tab, it
// moves behind two new ones at the start; with none, three go to the start), then every
// " 円" goes.
QString Rewritten(QString s) {
    const qsizetype first = s.indexOf(u'\t');
    const qsizetype second = first < 0 ? -1 : s.indexOf(u'\t', first + 1);
    if (second >= 0) {
        s.insert(second, QStringLiteral("\t\t"));
    } else if (first >= 0) {
        s.remove(first, 1);
        s.prepend(QStringLiteral("\t\t"));
        s.insert(first, u'\t');
    } else {
        s.prepend(QStringLiteral("\t\t\t"));
    }
    return s.replace(QStringLiteral(" 円"), QString());
}

struct Line {
    QString text;
    bool rewritten = false;
};

// The converter's promise on a vector of lines: backwards, each marker takes itself and the
// two lines after it, stopping at a line rewritten in this run; the line above (if any) is
// rewritten. Deleting the last line only empties it, as in the text area.
void Model(const QString& input, QString& text, QStringList& rows) {
    std::vector<Line> lines;
    for (const QString& l : Lines(input))
        lines.push_back(Line{l, false});
    const auto count = [&] {
        return static_cast<int>(lines.size()) - (lines.back().text.isEmpty() ? 1 : 0);
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
    QStringList joined;
    for (const Line& l : lines) {
        joined.append(l.text);
        if (l.rewritten)
            rows.append(l.text);
    }
    text = joined.join(QStringLiteral("\r\n"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    TextArea memo = Memo(in);
    const QString before = memo.Text();
    Check(MemoLines(memo) == CountedLines(before), "the model reads the lines it was given");

    KeepingClipboard clip;
    try {
        ConvertRakuten(memo, clip);
    } catch (const Exception& e) {
        Fail("the card converter raises nothing on any text", e.message());
    }
    Check(clip.texts.size() == 1, "one clipboard write per run");

    QString expectedText;
    QStringList expectedRows;
    Model(before, expectedText, expectedRows);
    Check(memo.Text() == expectedText, "text area as promised",
          before + QStringLiteral("\n=> ") + memo.Text());
    Check(Rows(clip.texts.back()) == expectedRows, "clipboard holds the rewritten lines",
          clip.texts.back());

    // Run again on the result. With no marker left it must change nothing; a rewritten line
    // that still begins with the marker (it had two tabs) is a marker for the next run.
    bool markerLeft = false;
    for (const QString& l : MemoLines(memo))
        markerLeft = markerLeft || IsMarker(l);
    const QString once = memo.Text();
    KeepingClipboard again;
    ConvertRakuten(memo, again);
    if (!markerLeft) {
        Check(memo.Text() == once, "a second run changes nothing", once);
        Check(again.texts.back().isEmpty(), "a second run finds no entry");
    }
    return 0;
}
