#pragma once

// The output side of every converter: the rows it collects and the clipboard it writes.

#include <QString>
#include <QStringList>

namespace kasorel {

// The ordered rows a converter builds. Nothing is sorted and duplicates stay.
class ResultList {
public:
    void Add(const QString& row) { rows_.append(row); }
    int Count() const { return static_cast<int>(rows_.size()); }
    // Every row followed by CR LF; the empty list gives the empty text.
    QString Text() const;

private:
    QStringList rows_;
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
