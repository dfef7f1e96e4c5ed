#include "convert/output.h"

namespace kasorel {

QString ResultList::Text() const {
    qsizetype size = 0;
    for (const QString& row : rows_)
        size += row.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString& row : rows_) {
        text += row;
        text += QLatin1String("\r\n");
    }
    return text;
}

} // namespace kasorel
