#pragma once

// The output side of every converter: the rows it collects and the clipboard it writes.

#include <string>
#include <string_view>

namespace kasorel {

// The ordered rows a converter builds. Nothing is sorted and duplicates stay. Only the
// count and the text form are ever asked for, so the rows go straight into the text form:
// no list of rows is kept and joined again at the end.
class ResultList {
public:
    void Add(std::u16string_view row);
    int Count() const { return count_; }
    // Every row followed by CR LF; the empty list gives the empty text.
    const std::u16string& Text() const { return text_; }

private:
    std::u16string text_;
    int count_ = 0;
};

// Where converters put their rows. The program writes the system clipboard; tests record.
// SetAsText empties the clipboard of every earlier content and leaves it holding t as
// Unicode text (the empty t leaves an empty text). It may raise EClipboardException when
// the clipboard cannot be opened, EOutOfResources when it refuses the data, and
// EClipboardRefused where the program may not write it at all.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void SetAsText(std::u16string_view t) = 0;
};

} // namespace kasorel
