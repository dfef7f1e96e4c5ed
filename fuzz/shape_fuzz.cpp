// A kind's rules section and a statement together: whatever the rules say, they make a shape
// or say what is wrong with them; a shape finds its entries and makes one row of five (with a
// remark six) one-line fields for each; a shape learnt from any lines of the text reads back
// from the rules it writes. libFuzzer's time-out is the check that nothing hangs.

#include "convert/shape.h"
#include "fuzz_support.h"

#include <algorithm>

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

// The section's lines "key=value", as the settings file gives them.
std::vector<RuleKey> Section(std::u16string_view text) {
    std::vector<RuleKey> keys;
    for (const std::u16string& line : Lines(text)) {
        const std::size_t eq = line.find(u'=');
        if (eq != std::u16string::npos)
            keys.push_back({line.substr(0, eq), line.substr(eq + 1)});
    }
    return keys;
}

void CheckRows(const Shape& shape, TextArea& memo) {
    StatementLines lines(memo);
    const std::size_t entries = FindEntries(shape, lines).size() / shape.lines.size();
    KeepingClipboard clip;
    const int rows = ConvertWithShape(shape, memo, clip, LocalDate{2024, 1, 31});
    Check(static_cast<std::size_t>(rows) == entries, "one row an entry");
    const std::u16string text = clip.texts.empty() ? std::u16string() : clip.texts.back();
    Check(Rows(text).size() == entries, "every row is one line", text);
    const std::size_t fields = shape.remark.empty() ? 5 : 6;
    for (const std::u16string& row : Rows(text))
        Check(static_cast<std::size_t>(std::count(row.begin(), row.end(), u'\t')) + 1 == fields,
              "a row has its fields", row);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const std::size_t sectionSize = in.Byte() * 4;
    Bytes section = in.Take(sectionSize);
    const int first = in.Byte() % 16;
    const int last = first + in.Byte() % 8;
    TextArea memo(in.Text());
    try {
        const Shape shape = ParseShapeRules(Section(section.Text()));
        Check(ParseShapeRules(ShapeRules(shape)) == shape, "rules read back as written");
        TextArea copy = memo;
        CheckRows(shape, copy);
    } catch (const EShapeRules& e) {
        Check(!e.message().empty(), "broken rules say what is wrong");
    }
    StatementLines lines(memo);
    const Learnt learnt = LearnShape(lines, first, last);
    if (learnt.problem == LearnProblem::None) {
        Check(ParseShapeRules(ShapeRules(learnt.shape)) == learnt.shape,
              "a learnt shape reads back from its rules");
        Check(learnt.entries >= 0, "entries are counted");
        CheckRows(learnt.shape, memo);
    }
    return 0;
}
