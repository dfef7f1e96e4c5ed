#pragma once

// Small pieces the converter suites share: statements and rows written as lists of lines,
// and a date column that shows which call made which row.

#include <QString>
#include <QStringList>
#include <functional>

// One character that is two UTF-16 code units, for the cuts that count characters.
inline const QString kPair = QStringLiteral("𠮷");

// A pasted statement: the lines joined with CR LF, no break after the last one.
inline QString Lines(const QStringList& lines) {
    return lines.join(QStringLiteral("\r\n"));
}

// A converter's output: every row followed by CR LF; no rows give the empty text.
inline QString Rows(const QStringList& rows) {
    QString text;
    for (const QString& row : rows)
        text += row + QStringLiteral("\r\n");
    return text;
}

// A date source giving "D1", "D2", ... in call order; each call of CountingDates starts
// again at "D1".
inline std::function<QString()> CountingDates() {
    return [calls = 0]() mutable { return QStringLiteral("D%1").arg(++calls); };
}
