// Foreign dividends with the exchange-rate query, and the hidden rate probe.
#include "app/captions.h"
#include "app/form1.h"
#include "app/status.h"

#include "convert/foreign.h"
#include "convert/primitives.h"
#include "rates/query.h"
#include "settings/inifile.h"
#include "settings/keys.h"

#include <QApplication>
#include <QMenuBar>

namespace kasorel {

std::optional<double> TForm1::QueryRateWithoutInput(TextArea& memo) {
    // The request blocks the one thread, so input given meanwhile waits in the queue. The
    // controls are disabled for the wait and the queue is drained before they come back, on
    // every way out: a click meant for a window that seemed stuck must not run another
    // command afterwards. The cursor says the window is busy.
    struct Blocked {
        explicit Blocked(TForm1& window) : form(window) { set(false); }
        ~Blocked() {
            QApplication::processEvents(QEventLoop::AllEvents, 100);
            set(true);
        }
        void set(bool enabled) {
            form.centralWidget()->setEnabled(enabled);
            form.menuBar()->setEnabled(enabled);
            if (enabled)
                QApplication::restoreOverrideCursor();
            else
                QApplication::setOverrideCursor(Qt::WaitCursor);
        }
        TForm1& form;
    } blocked(*this);
    return QueryExchangeRate(RESTRequest1, memo);
}

void TForm1::Button7Click() {
    QString message;
    const bool done = RunOnText([&](TextArea& m) {
        const QString key = ReadIniString(FIniFileName, ini::ExchangeRatesApiSection,
                                          ini::ApiKeyKey, ini::ApiKeyDefault);
        RESTClient1.SetParameter(QStringLiteral("access_key"), key);
        const std::optional<double> rate = QueryRateWithoutInput(m);
        if (!rate) {
            message = status::NoRate(caption::Foreign);
            return;
        }
        const int rows =
            ConvertForeignDividends(m, *clipboard_, *rate, [] { return DateToStr(Now()); });
        message = status::CopiedAtRate(caption::Foreign, rows, ShownRate(*rate));
    });
    EndCommand(done ? message : status::Aborted(caption::Foreign));
}

void TForm1::Button2Click() {
    RunOnText([](TextArea& m) { ProbeRates(m); });
    EndCommand(QString());
}

} // namespace kasorel
