#pragma once

// The output side of every converter: the rows it collects and the clipboard it writes.

#include <QString>
#include <QStringList>

namespace kasorel {

// The ordered rows a converter builds. Nothing is sorted and duplicates stay. Only the
// count and the text form are ever asked for, so the rows go straight into the text form:
// no list of rows is kept and joined again at the end.
class ResultList {
public:
    void Add(QStringView row);
    int Count() const { return count_; }
    // Every row followed by CR LF; the empty list gives the empty text.
    const QString& Text() const { return text_; }

private:
    QString text_;
    int count_ = 0;
};

// Where converters put their rows. The program writes the system clipboard; tests record.
// SetAsText empties the clipboard of every earlier content and leaves it holding t as
// Unicode text (the empty t leaves an empty text). It may raise EClipboardException when
// the clipboard cannot be opened and EOutOfResources when it refuses the data.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void SetAsText(const QString& t) = 0;
};

} // namespace kasorel
