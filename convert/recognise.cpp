#include "convert/recognise.h"

#include "convert/coop.h"
#include "convert/dividends.h"
#include "convert/errors.h"
#include "convert/foreign.h"
#include "convert/primitives.h"
#include "convert/rakuten.h"
#include "convert/view.h"

#include <algorithm>
#include <cstdint>

namespace kasorel {

namespace {

// Who has taken a line. A View block may overlap another View block, never a line taken by a
// kind before it, so the two are told apart.
enum class Claim : std::uint8_t { None, Specific, View };

// The converters compare the marker with the line's first characters. Most lines already fail
// on their first code unit, and then no head is cut off them.
bool BeginsWith(const std::u16string& line, std::u16string_view marker) {
    return !line.empty() && line.front() == marker.front() &&
           AnsiLeftStr(line, static_cast<int>(marker.size())) == marker;
}

enum class Unit { Neither, Yen, Dollar };

// A yen line is what the domestic converter cuts its unit off; a dollar line is one the US
// converter reads without an error. An amount of neither is left unguessed: the domestic
// converter would take any amount line, the US one would stop the whole command on it.
Unit AmountUnit(std::u16string_view line, std::u16string_view decimalSeparator) {
    if (line.ends_with(u'円'))
        return Unit::Yen;
    const std::size_t n = line.size();
    const auto letter = [&](std::size_t i) { return line[i] >= u'A' && line[i] <= u'Z'; };
    if (n < 4 || line[n - 4] != u' ' || !letter(n - 3) || !letter(n - 2) || !letter(n - 1))
        return Unit::Neither;
    try {
        StrToFloat(DollarAmountText(line), decimalSeparator);
        return Unit::Dollar;
    } catch (const EConvertError&) {
        return Unit::Neither;
    } catch (const ERangeError&) {
        return Unit::Neither; // a line longer than the converter can count
    }
}

} // namespace

std::vector<KindFit> RecogniseStatement(const TextArea& memo, std::u16string_view decimalSeparator,
                                        const std::vector<const Shape*>& made) {
    const int n = memo.Count();
    std::vector<KindFit> fits;
    std::vector<Claim> claims(static_cast<std::size_t>(n), Claim::None);
    // The lines the kinds the person made took.
    std::vector<std::uint8_t> taken(made.empty() ? 0 : static_cast<std::size_t>(n), 0);
    const auto madeTook = [&](int i) {
        return !taken.empty() && taken[static_cast<std::size_t>(i)];
    };
    if (!made.empty()) {
        StatementLines lines(memo);
        for (std::size_t k = 0; k < made.size(); ++k) {
            const int entries = static_cast<int>(FindEntries(*made[k], lines, &taken).size() /
                                                 made[k]->lines.size());
            if (entries > 0)
                fits.push_back(KindFit{StatementKind::Rakuten, entries, static_cast<int>(k)});
        }
        for (std::size_t i = 0; i < taken.size(); ++i) {
            if (taken[i])
                claims[i] = Claim::Specific;
        }
    }
    const auto claim = [&](int from, int to, Claim who) {
        for (int i = std::max(from, 0); i < std::min(to, n); ++i)
            claims[static_cast<std::size_t>(i)] = who;
    };
    const auto claimed = [&](int i) { return claims[static_cast<std::size_t>(i)]; };
    int rakuten = 0;
    int foreign = 0;
    int domestic = 0;
    int view = 0;
    int coop = 0;

    // Backward, as the 楽天カード converter walks: the line above a marker is rewritten before
    // the walk reaches it. A marker on line 0 makes no row and so claims nothing.
    bool rewritten = false;
    for (int i = n - 1; i >= 0; --i) {
        const std::u16string& line = memo.Line(i);
        rewritten = rewritten ? BeginsWith(RewriteRakutenDataLine(line), kRakutenMarker)
                              : BeginsWith(line, kRakutenMarker);
        if (!rewritten || i == 0 || madeTook(i) || madeTook(i - 1))
            continue;
        ++rakuten;
        claim(i - 1, i + 3, Claim::Specific);
    }

    for (int i = 0; i < n; ++i) {
        const std::u16string& line = memo.Line(i);
        if (claimed(i) != Claim::None)
            continue;
        if (BeginsWith(line, kDividendNameMarker)) {
            claim(i, i + 1, Claim::Specific);
        } else if (BeginsWith(line, kDividendAmountMarker)) {
            claim(i, i + 1, Claim::Specific);
            const Unit unit = AmountUnit(line, decimalSeparator);
            domestic += unit == Unit::Yen ? 1 : 0;
            foreign += unit == Unit::Dollar ? 1 : 0;
        }
    }

    // One pass for both: the View blocks that reach line i are all decided when co-op looks at
    // it.
    for (int i = 0; i < n; ++i) {
        const std::u16string& line = memo.Line(i);
        if (i <= n - 4 && IsYearLine(line) &&
            std::none_of(claims.begin() + i, claims.begin() + i + 4,
                         [](Claim c) { return c == Claim::Specific; })) {
            ++view;
            claim(i, i + 4, Claim::View);
        }
        if (claimed(i) == Claim::None && IsCoopEntryLine(line) &&
            line.find(u'\t') != std::u16string::npos)
            ++coop;
    }

    for (const KindFit fit :
         {KindFit{StatementKind::Rakuten, rakuten}, KindFit{StatementKind::Foreign, foreign},
          KindFit{StatementKind::Domestic, domestic}, KindFit{StatementKind::View, view},
          KindFit{StatementKind::Coop, coop}}) {
        if (fit.entries > 0)
            fits.push_back(fit);
    }
    return fits;
}

} // namespace kasorel
