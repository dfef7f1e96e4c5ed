#include "convert/coop.h"
#include "convert/domestic.h"
#include "convert/foreign.h"
#include "convert/rakuten.h"
#include "convert/recognise.h"
#include "convert/view.h"
#include "convert_test_util.h"
#include "recording_clipboard.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

const std::function<int(TextArea&, Clipboard&)> kConverters[] = { // as StatementKind orders them
    [](TextArea& m, Clipboard& c) { return ConvertRakuten(m, c); },
    [](TextArea& m, Clipboard& c) { return ConvertForeignDividends(m, c, 151.3, CountingDates()); },
    [](TextArea& m, Clipboard& c) { return ConvertDomesticDividends(m, c, CountingDates()); },
    [](TextArea& m, Clipboard& c) { return ConvertView(m, c, false); },
    [](TextArea& m, Clipboard& c) { return ConvertCoop(m, c, false); }};

const std::u16string kView = u"2024\n03/05xy\tStore A\tmemo\n-\n1,980\n2024\n03/07xy\tB\t\n-\n500";
const std::u16string kCoop = u"注文明細\n2024/05/01\t牛乳\t2\t420 円\n2024/05/08\tパン\t1\t180 円";

using Case = std::tuple<const char*, std::string, std::u16string>; // name, fits, LF-broken text

const Case kCases[] = {
    {"Rakuten", "rakuten 2 ", // its data lines are co-op entries too
     u"明細\n2024/05/01\tA\t1,200 円\n支払方法\t一括\nx\ny\n2024/05/03\tB\t800 円\n支払方法\t一括"},
    {"AdjacentMarkers", "rakuten 3 ", // a marker's head survives the rewrite past a second tab
     u"支払方法\t一括\n支払方法\t一括\nx\ny\nA\n支払方法\t一括\t特典\n支払方法\t一括\nx"},
    {"Domestic", "domestic 2 ", u"入金額abcdefg500円\n銘柄名abcdefgA社\n入金額abcdefg1,200円"},
    {"Foreign", "foreign 2 ", u"銘柄名abcdefgA\n入金額abcdefg100.00 USD\n入金額abcdefg-2.50 USD"},
    {"BothUnits", "foreign 1 domestic 1 ", // an amount of neither unit counts for neither
     u"銘柄名abcdefgA\n入金額abcdefg1.00 USD\n入金額abcdefg800円\n"
     u"入金額abcdefg1,234.00 USD\n入金額abcdefg1.00 usd\n入金額 USD"},
    {"View", "view 2 ", kView},
    {"Coop", "coop 2 ", kCoop},
    {"ViewThenCoop", "view 2 coop 2 ", kView + u"\n" + kCoop},
    {"Empty", "", u""},
    {"Prose", "", u"Dear customer,\n-123\n$7E8\nThank you for your order.\n\nBest regards"},
    {"Japanese", "", u"2024年5月分のご請求\n20日までにお支払いください。\n2000円以上で送料無料"},
};

TEST(RecogniseStatement, FitsTheTable) {
    for (const auto& [name, expected, text] : kCases) {
        SCOPED_TRACE(name);
        TextArea memo(text);
        const std::vector<KindFit> fits = RecogniseStatement(memo, u".");
        std::string named;
        for (const KindFit& fit : fits)
            named += std::string(KindId(fit.kind)) + " " + std::to_string(fit.entries) + " ";
        EXPECT_EQ(named, expected);
        if (fits.size() != 1) // a page of one kind: its converter makes exactly its entries
            continue;
        RecordingClipboard discarded;
        EXPECT_EQ(kConverters[static_cast<int>(fits[0].kind)](memo, discarded), fits[0].entries);
    }
}

} // namespace
