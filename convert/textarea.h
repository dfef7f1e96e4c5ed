#pragma once

// An in-memory model of the text area: its lines, caret and selection. The window loads it
// from the widget when a command starts and writes it back when the command ends, so every
// converter runs, and is tested, without a window.
//
// Text: lines joined by CR LF. On setting text, CR LF, a lone CR, a lone LF, U+2029 and
// U+2028 all break lines, as they do on the widget's screen. The empty text is one empty line; the
// last line is empty exactly when the text is empty or ends with a line break. Count() leaves out
// an empty last line. Lines are numbered from 0.
//
// Cost: Count, Get and Put are O(1); Delete is O(1) amortised next to the last line deleted
// or read by Delete, and O(distance) otherwise, so a backward pass that deletes near its
// walking index stays linear; Add is O(1) amortised; Text and SetText are O(size).

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kasorel {

// A place in the text: a line index and a code-unit offset within that line.
struct TextPos {
    int line = 0;
    int column = 0;
    friend bool operator==(const TextPos&, const TextPos&) = default;
};

class TextArea {
public:
    TextArea() = default;
    explicit TextArea(std::u16string_view text);

    // Number of counted lines: every line, less one when the last line is empty.
    int Count() const;
    // Number of lines including an empty last line (at least 1).
    int LineCount() const;

    // Line i without its line break. i = -1 reads the caret's line; any other i outside the
    // lines reads as the empty text. Lines are returned whole, however long.
    std::u16string Get(int i) const;
    // Line i, for 0 <= i < LineCount() only, by reference: valid until the next change.
    const std::u16string& Line(int i) const { return at(i); }

    // Replaces the text of line i (not its line break) with s. i past the end of the lines
    // does nothing; i = -1 replaces the caret's line; the empty last line can be written.
    // The caret ends right after s, with nothing selected. s should hold no line break.
    void Put(int i, std::u16string_view s);
    // The same, taking over s's text instead of copying it.
    void Put(int i, std::u16string&& s);
    void Put(int i, const char16_t* s) { Put(i, std::u16string_view(s)); }

    // Removes line i with the line break that follows it. i past the end (or below 0) does
    // nothing. For the last line only its text goes, the break before it stays; deleting
    // the empty last line changes nothing. The caret ends where the removed text began.
    void Delete(int i);

    // Makes s the new last counted line: when the last line is empty, s and CR LF are
    // inserted at the end; otherwise CR LF and s are appended. The caret ends at the end of
    // the text, with nothing selected.
    void Add(std::u16string_view s);

    // The whole text, lines joined by CR LF.
    std::u16string Text() const;
    // Sets the whole text to t. When t equals the current text nothing happens; otherwise
    // the caret goes to the start and nothing is selected.
    void SetText(std::u16string_view t);

    // The selected text (lines joined by CR LF); empty with no selection.
    std::u16string SelText() const;
    // Replaces the selection with t, or inserts t at the caret when nothing is selected.
    // The caret ends right after t, with nothing selected.
    void SetSelText(std::u16string_view t);

    // Caret and selection. The selection runs from the anchor to the caret; it is empty when
    // they are equal. Positions are clamped into the text.
    TextPos Caret() const { return caret_; }
    TextPos Anchor() const { return anchor_; }
    // The earlier of anchor and caret: where the selection, or the caret alone, begins.
    TextPos SelectionStart() const { return orderedSelection().first; }
    void SetSelection(TextPos anchor, TextPos caret);
    void SetCaret(TextPos caret) { SetSelection(caret, caret); }

    // Splits text into lines the way the widget shows them: CR LF, lone CR, lone LF, U+2029
    // and U+2028 all end a line. The result has at least one (possibly empty) element.
    static std::vector<std::u16string> SplitLines(std::u16string_view text);
    // The line and column of the code unit offset position in text, lines split as by
    // SplitLines; a position between CR and LF is the end of its line, and one outside the
    // text is clamped into it.
    static TextPos PositionIn(std::u16string_view text, std::ptrdiff_t position);

private:
    // Lines [0, front_.size()) are front_; the rest are back_, stored in reverse so the
    // line at the gap is back_.back() and the last line back_.front(). Deleting at the gap is
    // a pop; appending a line is a push at the front.
    std::u16string& at(int i);
    const std::u16string& at(int i) const;
    void moveGapTo(int i);
    TextPos clamp(TextPos p) const;
    std::pair<TextPos, TextPos> orderedSelection() const;
    TextPos lastPos() const;
    bool textEquals(std::u16string_view t) const;
    void assign(std::vector<std::u16string> lines);

    std::vector<std::u16string> front_{std::u16string()};
    std::deque<std::u16string> back_;
    TextPos caret_;
    TextPos anchor_;
};

} // namespace kasorel
