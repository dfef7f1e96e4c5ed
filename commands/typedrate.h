#pragma once

// Where the person may type the exchange rate the foreign dividend command asks for. One
// implementation per platform.

namespace kasorel {

// Whether a rate the person types may stand in when the service gave none: in a browser
// page, where the service's plan, CORS or the browser itself may refuse the query for good.
// Where it may, the last rate the service gave is kept to pre-fill the prompt.
bool TypedRateStandsIn();

} // namespace kasorel
