#include "commands/typedrate.h"

namespace kasorel {

bool TypedRateStandsIn() {
    return false;
}

} // namespace kasorel
