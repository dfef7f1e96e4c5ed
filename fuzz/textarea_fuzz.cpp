// The text-area model under any sequence of line, text and selection operations, against a
// plain list of lines with a caret and an anchor: text, counts, lines, caret and selection
// after every step.

#include "convert/errors.h"
#include "fuzz_support.h"

#include <algorithm>
#include <vector>

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

struct Model {
    std::vector<std::u16string> lines{std::u16string()};
    TextPos caret;
    TextPos anchor;

    int LineCount() const { return static_cast<int>(lines.size()); }
    int Count() const { return LineCount() - (lines.back().empty() ? 1 : 0); }
    std::u16string Text() const { return Join(lines, u"\r\n"); }

    TextPos Clamp(TextPos p) const {
        p.line = std::clamp(p.line, 0, LineCount() - 1);
        p.column = std::clamp(p.column, 0, static_cast<int>(lines[p.line].size()));
        return p;
    }
    void Select(TextPos a, TextPos c) {
        anchor = Clamp(a);
        caret = Clamp(c);
    }
    std::pair<TextPos, TextPos> Ordered() const {
        const bool caretFirst =
            caret.line != anchor.line ? caret.line < anchor.line : caret.column < anchor.column;
        return caretFirst ? std::pair(caret, anchor) : std::pair(anchor, caret);
    }
    std::u16string SelText() const {
        const auto [from, to] = Ordered();
        std::vector<std::u16string> parts;
        for (int i = from.line; i <= to.line; ++i) {
            const std::u16string& l = lines[i];
            const int b = i == from.line ? from.column : 0;
            const int e = i == to.line ? to.column : static_cast<int>(l.size());
            parts.push_back(Mid(l, b, e - b));
        }
        return Join(parts, u"\r\n");
    }
    void SetSelText(const std::u16string& t) {
        const auto [from, to] = Ordered();
        const std::u16string prefix = lines[from.line].substr(0, from.column);
        const std::u16string suffix = Mid(lines[to.line], to.column);
        const std::vector<std::u16string> inserted = Lines(t);
        const std::vector<std::u16string> replacement = Lines(prefix + t + suffix);
        lines.erase(lines.begin() + from.line, lines.begin() + to.line + 1);
        lines.insert(lines.begin() + from.line, replacement.begin(), replacement.end());
        const int line = from.line + static_cast<int>(inserted.size()) - 1;
        const int column = inserted.size() == 1 ? from.column + static_cast<int>(t.size())
                                                : static_cast<int>(inserted.back().size());
        Select({line, column}, {line, column});
    }
};

std::u16string NoBreaks(std::u16string s) {
    std::erase_if(
        s, [](char16_t c) { return c == u'\r' || c == u'\n' || c == u'\u2029' || c == u'\u2028'; });
    return s;
}

void Compare(const TextArea& memo, const Model& m, const char* step) {
    Check(memo.Text() == m.Text(), step, memo.Text() + u"\n<> " + m.Text());
    Check(memo.LineCount() == m.LineCount() && memo.Count() == m.Count(), step);
    Check(memo.Caret() == m.caret && memo.Anchor() == m.anchor, step);
    Check(memo.SelText() == m.SelText(), step, memo.SelText());
    for (int i = 0; i <= m.LineCount(); ++i)
        Check(memo.Get(i) == (i < m.LineCount() ? m.lines[i] : std::u16string()), step);
    Check(memo.Get(-1) == m.lines[m.caret.line], step);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    TextArea memo;
    Model m;
    try {
        for (int step = 0; step < 64 && in.Left() > 0; ++step) {
            const std::uint8_t op = in.Byte();
            // Indexes one past either end are edges too.
            const int index = static_cast<int>(in.Byte() % 12) - 1;
            const int column = in.Byte() % 40;
            Bytes arg = in.Take(in.Byte() % 32);
            const std::u16string s = arg.Text();
            switch (op % 8) {
            case 0:
                memo.SetText(s);
                if (s != m.Text()) {
                    m.lines = Lines(s);
                    m.Select({0, 0}, {0, 0});
                }
                Compare(memo, m, "SetText");
                break;
            case 1:
                memo.Put(index, NoBreaks(s));
                if (index < m.LineCount()) {
                    const int line = index == -1 ? m.caret.line : index;
                    m.lines[line] = NoBreaks(s);
                    m.Select({line, static_cast<int>(m.lines[line].size())},
                             {line, static_cast<int>(m.lines[line].size())});
                }
                Compare(memo, m, "Put");
                break;
            case 2:
                memo.Delete(index);
                if (index >= 0 && index < m.LineCount()) {
                    const bool last = index == m.LineCount() - 1;
                    if (!last || !m.lines[index].empty()) {
                        if (last)
                            m.lines[index].clear();
                        else
                            m.lines.erase(m.lines.begin() + index);
                        m.Select({index, 0}, {index, 0});
                    }
                }
                Compare(memo, m, "Delete");
                break;
            case 3: {
                const std::u16string line = NoBreaks(s);
                memo.Add(line);
                if (m.lines.back().empty()) {
                    m.lines.back() = line;
                    m.lines.emplace_back();
                } else {
                    m.lines.push_back(line);
                    if (line.empty())
                        m.lines.emplace_back();
                }
                const TextPos end{m.LineCount() - 1, static_cast<int>(m.lines.back().size())};
                m.Select(end, end);
                Check(memo.Count() == m.Count(), "Add makes one more counted line");
                Compare(memo, m, "Add");
                break;
            }
            case 4:
            case 5:
                memo.SetSelection({index, column}, {static_cast<int>(op >> 4) - 1, column / 2});
                m.Select({index, column}, {static_cast<int>(op >> 4) - 1, column / 2});
                Compare(memo, m, "SetSelection");
                break;
            default:
                memo.SetSelText(s);
                m.SetSelText(s);
                Compare(memo, m, "SetSelText");
                break;
            }
        }
    } catch (const Exception& e) {
        Fail("no text-area operation raises on texts of this size", e.message());
    }
    return 0;
}
