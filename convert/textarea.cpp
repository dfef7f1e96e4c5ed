#include "convert/textarea.h"

#include "convert/primitives.h"

#include <algorithm>

namespace kasorel {

namespace {
constexpr std::u16string_view kLineBreak = u"\r\n";
}

TextArea::TextArea(std::u16string_view text) {
    assign(SplitLines(text));
}

namespace {

// U+2028 too: the widget shows text after a line separator on a line of its own.
bool isLineBreak(char16_t c) {
    return c == u'\r' || c == u'\n' || c == u'\u2029' || c == u'\u2028';
}

} // namespace

std::vector<std::u16string> TextArea::SplitLines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    const std::size_t n = text.size();
    std::size_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (!isLineBreak(c))
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

TextPos TextArea::PositionIn(std::u16string_view text, std::ptrdiff_t position) {
    const std::ptrdiff_t end =
        std::clamp<std::ptrdiff_t>(position, 0, static_cast<std::ptrdiff_t>(text.size()));
    int line = 0;
    std::ptrdiff_t start = 0;
    for (std::ptrdiff_t i = 0; i < end; ++i) {
        const char16_t c = text[static_cast<std::size_t>(i)];
        if (!isLineBreak(c))
            continue;
        if (c == u'\r' && static_cast<std::size_t>(i) + 1 < text.size() &&
            text[static_cast<std::size_t>(i) + 1] == u'\n') {
            if (i + 1 == end)
                return {line, RangeCheck(i - start)};
            ++i;
        }
        line = CheckedAdd(line, 1);
        start = i + 1;
    }
    return {line, RangeCheck(end - start)};
}

void TextArea::assign(std::vector<std::u16string> lines) {
    front_ = std::move(lines);
    back_.clear();
    if (front_.empty())
        front_.emplace_back();
}

int TextArea::LineCount() const {
    return RangeCheck(front_.size() + back_.size());
}

std::u16string& TextArea::at(int i) {
    const auto f = static_cast<int>(front_.size());
    return i < f ? front_[i] : back_[back_.size() - 1 - (i - f)];
}

const std::u16string& TextArea::at(int i) const {
    const auto f = static_cast<int>(front_.size());
    return i < f ? front_[i] : back_[back_.size() - 1 - (i - f)];
}

void TextArea::moveGapTo(int i) {
    while (static_cast<int>(front_.size()) > i) {
        back_.push_back(std::move(front_.back()));
        front_.pop_back();
    }
    while (static_cast<int>(front_.size()) < i) {
        front_.push_back(std::move(back_.back()));
        back_.pop_back();
    }
}

int TextArea::Count() const {
    const int lines = LineCount();
    return at(lines - 1).empty() ? lines - 1 : lines;
}

std::u16string TextArea::Get(int i) const {
    if (i == -1)
        i = caret_.line;
    if (i < 0 || i >= LineCount())
        return std::u16string();
    return at(i);
}

void TextArea::Put(int i, std::u16string_view s) {
    if (i == -1)
        i = caret_.line;
    if (i < 0 || i >= LineCount())
        return;
    at(i) = s;
    SetCaret({i, Length(s)});
}

void TextArea::Put(int i, std::u16string&& s) {
    if (i == -1)
        i = caret_.line;
    if (i < 0 || i >= LineCount())
        return;
    at(i) = std::move(s);
    SetCaret({i, Length(at(i))});
}

void TextArea::Delete(int i) {
    const int lines = LineCount();
    if (i < 0 || i >= lines)
        return;
    if (i == lines - 1) {
        // The last line keeps the break in front of it; only its text goes.
        if (at(i).empty())
            return;
        at(i).clear();
    } else {
        moveGapTo(i);
        back_.pop_back();
    }
    SetCaret({i, 0});
}

void TextArea::Add(std::u16string_view s) {
    const int last = LineCount() - 1;
    if (at(last).empty()) {
        at(last) = s;
        back_.emplace_front();
    } else {
        // An empty s still has to become a counted line, so the text ends with two breaks.
        back_.emplace_front(s);
        if (s.empty())
            back_.emplace_front();
    }
    SetCaret(lastPos());
}

std::u16string TextArea::Text() const {
    const int lines = LineCount();
    std::size_t size = 2 * (static_cast<std::size_t>(lines) - 1);
    for (const std::u16string& line : front_)
        size += line.size();
    for (const std::u16string& line : back_)
        size += line.size();
    std::u16string text;
    text.reserve(size);
    for (int i = 0; i < lines; ++i) {
        if (i > 0)
            text += kLineBreak;
        text += at(i);
    }
    return text;
}

bool TextArea::textEquals(std::u16string_view t) const {
    // Line by line against t, so that a large text is not joined only to be compared.
    std::size_t pos = 0;
    const int lines = LineCount();
    for (int i = 0; i < lines; ++i) {
        if (i > 0) {
            if (t.substr(pos, 2) != kLineBreak)
                return false;
            pos += 2;
        }
        const std::u16string& line = at(i);
        if (t.size() - pos < line.size() || t.substr(pos, line.size()) != line)
            return false;
        pos += line.size();
    }
    return pos == t.size();
}

void TextArea::SetText(std::u16string_view t) {
    if (textEquals(t))
        return;
    assign(SplitLines(t));
    SetCaret({0, 0});
}

std::u16string TextArea::SelText() const {
    const auto [from, to] = orderedSelection();
    if (from.line == to.line)
        return at(from.line).substr(from.column, to.column - from.column);
    std::u16string text = at(from.line).substr(from.column);
    for (int i = from.line + 1; i < to.line; ++i) {
        text += kLineBreak;
        text += at(i);
    }
    text += kLineBreak;
    text += std::u16string_view(at(to.line)).substr(0, to.column);
    return text;
}

std::pair<TextPos, TextPos> TextArea::orderedSelection() const {
    const bool caretFirst =
        caret_.line != anchor_.line ? caret_.line < anchor_.line : caret_.column < anchor_.column;
    return caretFirst ? std::pair(caret_, anchor_) : std::pair(anchor_, caret_);
}

void TextArea::SetSelText(std::u16string_view t) {
    const auto [from, to] = orderedSelection();
    const std::u16string suffix = at(to.line).substr(to.column);
    std::u16string joined(std::u16string_view(at(from.line)).substr(0, from.column));
    joined += t;
    joined += suffix;
    std::vector<std::u16string> lines = SplitLines(joined);

    moveGapTo(from.line);
    for (int i = from.line; i <= to.line; ++i)
        back_.pop_back();
    const int inserted = static_cast<int>(lines.size());
    for (std::u16string& line : lines)
        front_.push_back(std::move(line));
    const int caretLine = CheckedSub(CheckedAdd(from.line, inserted), 1);
    SetCaret({caretLine, Length(at(caretLine)) - Length(suffix)});
}

void TextArea::SetSelection(TextPos anchor, TextPos caret) {
    anchor_ = clamp(anchor);
    caret_ = clamp(caret);
}

TextPos TextArea::clamp(TextPos p) const {
    p.line = std::clamp(p.line, 0, LineCount() - 1);
    p.column = std::clamp(p.column, 0, Length(at(p.line)));
    return p;
}

TextPos TextArea::lastPos() const {
    const int last = LineCount() - 1;
    return {last, Length(at(last))};
}

} // namespace kasorel
