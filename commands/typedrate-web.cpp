#include "commands/typedrate.h"

namespace kasorel {

bool TypedRateStandsIn() {
    return true;
}

} // namespace kasorel
