#include "convert/output.h"

#include "convert/primitives.h"

namespace kasorel {

void ResultList::Add(QStringView row) {
    text_ += row;
    text_ += QLatin1String("\r\n");
    count_ = CheckedAdd(count_, 1);
}

} // namespace kasorel
