// View card, co-op and domestic dividend commands.
#include "app/form1.h"

#include "convert/coop.h"
#include "convert/domestic.h"
#include "convert/primitives.h"
#include "convert/view.h"
#include "settings/inifile.h"
#include "settings/keys.h"

namespace kasorel {

void TForm1::Button5Click() {
    RunOnText([&](TextArea& m) {
        const bool hoken =
            ReadIniBoolean(FIniFileName, ini::SeikyoSection, ini::HokenKey, ini::HokenDefault);
        ConvertCoop(m, *clipboard_, hoken);
    });
}

void TForm1::Button6Click() {
    RunOnText([&](TextArea& m) {
        ConvertDomesticDividends(m, *clipboard_, [] { return DateToStr(Now()); });
    });
}

void TForm1::Button11Click() {
    RunOnText([&](TextArea& m) {
        const bool suica =
            ReadIniBoolean(FIniFileName, ini::ViewSection, ini::SuicaKey, ini::SuicaDefault);
        ConvertView(m, *clipboard_, suica);
    });
}

} // namespace kasorel
