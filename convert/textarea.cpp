#include "convert/textarea.h"

#include "convert/primitives.h"

#include <algorithm>

namespace kasorel {

namespace {
const QLatin1String kLineBreak("\r\n");
}

TextArea::TextArea(const QString& text) {
    assign(SplitLines(text));
}

namespace {

// U+2028 too: the widget shows text after a line separator on a line of its own.
bool isLineBreak(char16_t c) {
    return c == u'\r' || c == u'\n' || c == u'\u2029' || c == u'\u2028';
}

} // namespace

QStringList TextArea::SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (!isLineBreak(c))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append(text.mid(start));
    return lines;
}

TextPos TextArea::PositionIn(const QString& text, qsizetype position) {
    const qsizetype end = std::clamp<qsizetype>(position, 0, text.size());
    int line = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (!isLineBreak(c))
            continue;
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            if (i + 1 == end)
                return {line, RangeCheck(i - start)};
            ++i;
        }
        line = CheckedAdd(line, 1);
        start = i + 1;
    }
    return {line, RangeCheck(end - start)};
}

void TextArea::assign(const QStringList& lines) {
    front_.assign(lines.begin(), lines.end());
    back_.clear();
    if (front_.empty())
        front_.emplace_back();
}

int TextArea::LineCount() const {
    return RangeCheck(front_.size() + back_.size());
}

QString& TextArea::at(int i) {
    const auto f = static_cast<int>(front_.size());
    return i < f ? front_[i] : back_[back_.size() - 1 - (i - f)];
}

const QString& TextArea::at(int i) const {
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
    return at(lines - 1).isEmpty() ? lines - 1 : lines;
}

QString TextArea::Get(int i) const {
    if (i == -1)
        i = caret_.line;
    if (i < 0 || i >= LineCount())
        return QString();
    return at(i);
}

void TextArea::Put(int i, const QString& s) {
    if (i == -1)
        i = caret_.line;
    if (i < 0 || i >= LineCount())
        return;
    at(i) = s;
    SetCaret({i, Length(s)});
}

void TextArea::Delete(int i) {
    const int lines = LineCount();
    if (i < 0 || i >= lines)
        return;
    if (i == lines - 1) {
        // The last line keeps the break in front of it; only its text goes.
        if (at(i).isEmpty())
            return;
        at(i).clear();
    } else {
        moveGapTo(i);
        back_.pop_back();
    }
    SetCaret({i, 0});
}

void TextArea::Add(const QString& s) {
    const int last = LineCount() - 1;
    if (at(last).isEmpty()) {
        at(last) = s;
        back_.emplace_front();
    } else {
        // An empty s still has to become a counted line, so the text ends with two breaks.
        back_.push_front(s);
        if (s.isEmpty())
            back_.emplace_front();
    }
    SetCaret(lastPos());
}

QString TextArea::Text() const {
    const int lines = LineCount();
    qsizetype size = 2 * (static_cast<qsizetype>(lines) - 1);
    for (const QString& line : front_)
        size += line.size();
    for (const QString& line : back_)
        size += line.size();
    QString text;
    text.reserve(size);
    for (int i = 0; i < lines; ++i) {
        if (i > 0)
            text += kLineBreak;
        text += at(i);
    }
    return text;
}

bool TextArea::textEquals(QStringView t) const {
    // Line by line against t, so that a large text is not joined only to be compared.
    qsizetype pos = 0;
    const int lines = LineCount();
    for (int i = 0; i < lines; ++i) {
        if (i > 0) {
            if (t.sliced(pos).left(2) != kLineBreak)
                return false;
            pos += 2;
        }
        const QString& line = at(i);
        if (t.size() - pos < line.size() || t.sliced(pos, line.size()) != line)
            return false;
        pos += line.size();
    }
    return pos == t.size();
}

void TextArea::SetText(const QString& t) {
    if (textEquals(t))
        return;
    assign(SplitLines(t));
    SetCaret({0, 0});
}

QString TextArea::SelText() const {
    const auto [from, to] = orderedSelection();
    if (from.line == to.line)
        return at(from.line).mid(from.column, to.column - from.column);
    QString text = at(from.line).mid(from.column);
    for (int i = from.line + 1; i < to.line; ++i)
        text += kLineBreak + at(i);
    text += kLineBreak + at(to.line).left(to.column);
    return text;
}

std::pair<TextPos, TextPos> TextArea::orderedSelection() const {
    const bool caretFirst =
        caret_.line != anchor_.line ? caret_.line < anchor_.line : caret_.column < anchor_.column;
    return caretFirst ? std::pair(caret_, anchor_) : std::pair(anchor_, caret_);
}

void TextArea::SetSelText(const QString& t) {
    const auto [from, to] = orderedSelection();
    const QString suffix = at(to.line).mid(to.column);
    QStringList lines = SplitLines(at(from.line).left(from.column) + t + suffix);

    moveGapTo(from.line);
    for (int i = from.line; i <= to.line; ++i)
        back_.pop_back();
    const int inserted = static_cast<int>(lines.size());
    for (QString& line : lines)
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
