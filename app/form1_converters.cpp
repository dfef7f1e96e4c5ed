// View card, co-op and domestic dividend commands.
#include "app/captions.h"
#include "app/form1.h"

#include "convert/coop.h"
#include "convert/domestic.h"
#include "convert/primitives.h"
#include "convert/view.h"
#include "settings/inifile.h"
#include "settings/keys.h"

namespace kasorel {

void TForm1::Button5Click() {
    RunConverter(caption::Coop, [&](TextArea& m) {
        const bool hoken =
            ReadIniBoolean(FIniFileName, ini::SeikyoSection, ini::HokenKey, ini::HokenDefault);
        return ConvertCoop(m, *clipboard_, hoken);
    });
}

void TForm1::Button6Click() {
    RunConverter(caption::Domestic, [&](TextArea& m) {
        return ConvertDomesticDividends(m, *clipboard_, [] { return DateToStr(Now()); });
    });
}

void TForm1::Button11Click() {
    RunConverter(caption::View, [&](TextArea& m) {
        const bool suica =
            ReadIniBoolean(FIniFileName, ini::ViewSection, ini::SuicaKey, ini::SuicaDefault);
        return ConvertView(m, *clipboard_, suica);
    });
}

} // namespace kasorel
