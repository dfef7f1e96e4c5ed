#pragma once

// Lets GoogleTest show QString values as readable text in failure messages.

#include <QString>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"';
    for (QChar c : s) {
        if (c == u'\t')
            *os << "\\t";
        else if (c == u'\r')
            *os << "\\r";
        else if (c == u'\n')
            *os << "\\n";
        else
            *os << QString(c).toStdString();
    }
    *os << '"';
}
