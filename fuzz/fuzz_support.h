#pragma once

// What every fuzz target shares: reading the fuzzer's bytes as the inputs the program
// meets (statement text, caret and selection, switches), a clipboard that keeps what it was
// given, and a check that stops the run with the broken invariant named.

#include "convert/output.h"
#include "convert/textarea.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kasorel::fuzz {

// Stops the run so that libFuzzer keeps the input: a broken invariant is a finding like a
// crash is.
[[noreturn]] inline void Fail(const char* what, const QString& detail = QString()) {
    std::fprintf(stderr, "invariant broken: %s\n%s\n", what, detail.toUtf8().constData());
    std::abort();
}

inline void Check(bool ok, const char* what, const QString& detail = QString()) {
    if (!ok)
        Fail(what, detail);
}

// The fuzzer's bytes, consumed from the front. Reading past the end gives zeros, so every
// input, the empty one included, is a valid one.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : p_(data), n_(size) {}

    std::size_t Left() const { return n_; }

    std::uint8_t Byte() {
        if (n_ == 0)
            return 0;
        --n_;
        return *p_++;
    }

    // The next n bytes (fewer at the end) as bytes of their own.
    Bytes Take(std::size_t n) {
        n = n < n_ ? n : n_;
        Bytes part(p_, n);
        p_ += n;
        n_ -= n;
        return part;
    }

    // The rest of the bytes as they are.
    QByteArray Raw() {
        QByteArray out(reinterpret_cast<const char*>(p_), static_cast<qsizetype>(n_));
        p_ += n_;
        n_ = 0;
        return out;
    }

    std::uint64_t U64() {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v |= static_cast<std::uint64_t>(Byte()) << (8 * i);
        return v;
    }

    double F64() {
        const std::uint64_t bits = U64();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }

    // The rest of the bytes as text. They are read as UTF-8, so hand-made seeds are plain
    // statements, except that 0xFF (never part of UTF-8) and the two bytes after it give one
    // raw UTF-16 code unit, low byte first: that is how lone surrogates get in. Undecodable
    // bytes become U+FFFD.
    QString Text() {
        QString out;
        const std::uint8_t* begin = p_;
        const std::uint8_t* end = p_ + n_;
        const std::uint8_t* run = begin;
        for (const std::uint8_t* q = begin; q < end;) {
            if (*q != 0xFF) {
                ++q;
                continue;
            }
            out += QString::fromUtf8(reinterpret_cast<const char*>(run), q - run);
            const char16_t lo = q + 1 < end ? q[1] : 0;
            const char16_t hi = q + 2 < end ? q[2] : 0;
            out += QChar(static_cast<char16_t>(lo | (hi << 8)));
            q += 3;
            run = q < end ? q : end;
        }
        if (run < end)
            out += QString::fromUtf8(reinterpret_cast<const char*>(run), end - run);
        p_ = end;
        n_ = 0;
        return out;
    }

private:
    const std::uint8_t* p_;
    std::size_t n_;
};

// The text area as the user left it: four bytes place the anchor and the caret (line and
// column, clamped into the text by the model), the rest is the pasted text.
inline TextArea Memo(Bytes& in) {
    const int anchorLine = in.Byte();
    const int anchorColumn = in.Byte();
    const int caretLine = in.Byte();
    const int caretColumn = in.Byte();
    TextArea memo(in.Text());
    memo.SetSelection(TextPos{anchorLine, anchorColumn}, TextPos{caretLine, caretColumn});
    return memo;
}

// A clipboard that keeps every text put on it.
class KeepingClipboard : public Clipboard {
public:
    void SetAsText(const QString& t) override { texts.append(t); }
    QStringList texts;
};

// The rows of a ResultList's text form: every row followed by CR LF, nothing else. A text
// of another shape breaks the invariant.
inline QStringList Rows(const QString& clip) {
    QStringList rows;
    if (clip.isEmpty())
        return rows;
    Check(clip.endsWith(QStringLiteral("\r\n")), "clipboard text ends with CR LF", clip);
    qsizetype start = 0;
    while (start < clip.size()) {
        const qsizetype crlf = clip.indexOf(QStringLiteral("\r\n"), start);
        rows.append(clip.mid(start, crlf - start));
        start = crlf + 2;
    }
    for (const QString& row : rows)
        Check(!row.contains(u'\r') && !row.contains(u'\n') && !row.contains(QChar(0x2029)) &&
                  !row.contains(QChar(0x2028)),
              "a row holds no line break", row);
    return rows;
}

// The lines of a text the way the text area splits it: CR LF, CR, LF, U+2029 and U+2028 end
// a line.
// Written here again so the checks do not lean on the code they check.
inline QStringList Lines(const QString& text) {
    QStringList lines;
    QString cur;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n' || c == QChar(0x2029) || c == QChar(0x2028)) {
            lines.append(cur);
            cur.clear();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            cur += c;
        }
    }
    lines.append(cur);
    return lines;
}

// The counted lines: every line but an empty last one.
inline QStringList CountedLines(const QString& text) {
    QStringList lines = Lines(text);
    if (lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// Every line of memo, the empty last one left out, read through the model.
inline QStringList MemoLines(const TextArea& memo) {
    QStringList lines;
    for (int i = 0; i < memo.Count(); ++i)
        lines.append(memo.Get(i));
    return lines;
}

} // namespace kasorel::fuzz
