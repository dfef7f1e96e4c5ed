#pragma once

// What every fuzz target shares: reading the fuzzer's bytes as the inputs the program
// meets (statement text, caret and selection, switches), a clipboard that keeps what it was
// given, and a check that stops the run with the broken invariant named.

#include "convert/output.h"
#include "convert/textarea.h"
#include "convert/unicode.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace kasorel::fuzz {

// Stops the run so that libFuzzer keeps the input: a broken invariant is a finding like a
// crash is.
[[noreturn]] inline void Fail(const char* what, std::u16string_view detail = {}) {
    std::fprintf(stderr, "invariant broken: %s\n%s\n", what, ToUtf8(detail).c_str());
    std::abort();
}

inline void Check(bool ok, const char* what, std::u16string_view detail = {}) {
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
    std::string Raw() {
        std::string out(reinterpret_cast<const char*>(p_), n_);
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
    std::u16string Text() {
        std::u16string out;
        const std::uint8_t* begin = p_;
        const std::uint8_t* end = p_ + n_;
        const std::uint8_t* run = begin;
        for (const std::uint8_t* q = begin; q < end;) {
            if (*q != 0xFF) {
                ++q;
                continue;
            }
            out += FromUtf8(std::string_view(reinterpret_cast<const char*>(run),
                                             static_cast<std::size_t>(q - run)));
            const char16_t lo = q + 1 < end ? q[1] : 0;
            const char16_t hi = q + 2 < end ? q[2] : 0;
            out += static_cast<char16_t>(lo | (hi << 8));
            q += 3;
            run = q < end ? q : end;
        }
        if (run < end)
            out += FromUtf8(std::string_view(reinterpret_cast<const char*>(run),
                                             static_cast<std::size_t>(end - run)));
        p_ = end;
        n_ = 0;
        return out;
    }

private:
    const std::uint8_t* p_;
    std::size_t n_;
};

// Small text helpers for the references, written apart from the code they check.
inline bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// s from code unit from on, at most n of them; empty when from lies past the end.
inline std::u16string Mid(std::u16string_view s, std::size_t from,
                          std::size_t n = std::u16string_view::npos) {
    return from >= s.size() ? std::u16string() : std::u16string(s.substr(from, n));
}

inline bool Contains(std::u16string_view s, std::u16string_view part) {
    return s.find(part) != std::u16string_view::npos;
}

inline std::u16string Join(const std::vector<std::u16string>& parts, std::u16string_view glue) {
    std::u16string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += glue;
        out += parts[i];
    }
    return out;
}

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
    void SetAsText(std::u16string_view t) override { texts.emplace_back(t); }
    std::vector<std::u16string> texts;
};

// The rows of a ResultList's text form: every row followed by CR LF, nothing else. A text
// of another shape breaks the invariant.
inline std::vector<std::u16string> Rows(std::u16string_view clip) {
    std::vector<std::u16string> rows;
    if (clip.empty())
        return rows;
    Check(clip.ends_with(u"\r\n"), "clipboard text ends with CR LF", clip);
    std::size_t start = 0;
    while (start < clip.size()) {
        const std::size_t crlf = clip.find(u"\r\n", start);
        rows.emplace_back(clip.substr(start, crlf - start));
        start = crlf + 2;
    }
    for (const std::u16string& row : rows)
        Check(row.find_first_of(u"\r\n\u2029\u2028") == std::u16string::npos,
              "a row holds no line break", row);
    return rows;
}

// The lines of a text the way the text area splits it: CR LF, CR, LF, U+2029 and U+2028 end
// a line.
// Written here again so the checks do not lean on the code they check.
inline std::vector<std::u16string> Lines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    std::u16string cur;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n' || c == u'\u2029' || c == u'\u2028') {
            lines.push_back(cur);
            cur.clear();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            cur += c;
        }
    }
    lines.push_back(cur);
    return lines;
}

// The counted lines: every line but an empty last one.
inline std::vector<std::u16string> CountedLines(std::u16string_view text) {
    std::vector<std::u16string> lines = Lines(text);
    if (lines.back().empty())
        lines.pop_back();
    return lines;
}

// Every line of memo, the empty last one left out, read through the model.
inline std::vector<std::u16string> MemoLines(const TextArea& memo) {
    std::vector<std::u16string> lines;
    for (int i = 0; i < memo.Count(); ++i)
        lines.push_back(memo.Get(i));
    return lines;
}

} // namespace kasorel::fuzz
