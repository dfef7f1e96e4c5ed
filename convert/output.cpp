#include "convert/output.h"

#include "convert/primitives.h"

namespace kasorel {

void ResultList::Add(std::u16string_view row) {
    text_ += row;
    text_ += u"\r\n";
    count_ = CheckedAdd(count_, 1);
}

} // namespace kasorel
