// The page's program: the window made once the page has loaded, then every event the page
// forwards, until the page goes away.
#include "rates/http.h"
#include "web/form1.h"

#include <emscripten.h>

namespace {

kasorel::web::TForm1* form = nullptr;

} // namespace

extern "C" {

// A control's command, by the number the page made it with.
EMSCRIPTEN_KEEPALIVE void kasorel_run(int handler) {
    form->Run(handler);
}

// The page goes away: the window closes.
EMSCRIPTEN_KEEPALIVE void kasorel_close() {
    form->Close();
}

// The rate query's time-outs, in milliseconds: for a test's stand-in service that never
// answers, or a slow network.
EMSCRIPTEN_KEEPALIVE void kasorel_rate_timeouts(int connectMs, int readMs) {
    form->Handlers().RestClient().SetConnectTimeout(connectMs);
    form->Handlers().RestClient().SetReadTimeout(readMs);
}
}

int main() {
    kasorel::InitHttpTransport();
    // Lives as long as the page; the runtime stays after main returns.
    form = new kasorel::web::TForm1();
    return 0;
}
