// Foreign dividends with the exchange-rate query, and the hidden rate probe.
#include "app/form1.h"

#include "convert/foreign.h"
#include "convert/primitives.h"
#include "rates/query.h"
#include "settings/inifile.h"
#include "settings/keys.h"

#include <QApplication>

namespace kasorel {

namespace {

// The window does not respond while the request blocks; the cursor says so, and is given
// back on every way out.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

void TForm1::Button7Click() {
    RunOnText([this](TextArea& m) {
        const QString key = ReadIniString(FIniFileName, ini::ExchangeRatesApiSection,
                                          ini::ApiKeyKey, ini::ApiKeyDefault);
        RESTClient1.SetParameter(QStringLiteral("access_key"), key);
        std::optional<double> rate;
        {
            WaitCursor wait;
            rate = QueryExchangeRate(RESTRequest1, m);
        }
        if (!rate)
            return;
        ConvertForeignDividends(m, *clipboard_, *rate, [] { return DateToStr(Now()); });
    });
}

void TForm1::Button2Click() {
    RunOnText([](TextArea& m) { ProbeRates(m); });
}

} // namespace kasorel
