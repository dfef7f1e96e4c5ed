// The View card, co-op and domestic dividend converters on generated statements, beside the
// floor every command pays: loading the text into the model and reading it back. Each
// converter iteration does the same load and read-back around the conversion, so the ratio
// to the floor is the conversion's own cost.
#include "bench_common.h"

#include "convert/coop.h"
#include "convert/domestic.h"
#include "convert/output.h"
#include "convert/textarea.h"
#include "convert/view.h"

#include <QStringList>
#include <benchmark/benchmark.h>
#include <functional>

using namespace kasorel;

namespace {

class KeepingClipboard : public Clipboard {
public:
    void SetAsText(const QString& t) override { text = t; }
    QString text;
};

// n lines built from a repeating block of lines; the number is worked into the lines so they
// are not all equal.
QString Generate(int n, const std::function<QStringList(int)>& block) {
    QStringList lines;
    lines.reserve(n);
    for (int k = 0; lines.size() < n; ++k) {
        for (const QString& line : block(k)) {
            if (lines.size() == n)
                break;
            lines.append(line);
        }
    }
    return lines.join(QStringLiteral("\r\n"));
}

QString ViewStatement(int n) {
    return Generate(n, [](int k) {
        return QStringList{
            QStringLiteral("2024"),
            QStringLiteral("03/%1xy\tStore %2\tmemo").arg(k % 28 + 1, 2, 10, QChar(u'0')).arg(k),
            QStringLiteral("ご利用明細"), QStringLiteral("%1").arg(k * 7 % 100000)};
    });
}

QString CoopStatement(int n) {
    return Generate(n, [](int k) {
        return QStringList{
            QStringLiteral("2024/05/%1\t牛乳 %2\t2\t%3 円").arg(k % 28 + 1).arg(k).arg(k % 999),
            QStringLiteral("2024/05/%1\tパン\t1\t%2円").arg(k % 28 + 1).arg(k % 777),
            QStringLiteral("合計\t%1 円").arg(k)};
    });
}

QString DomesticStatement(int n) {
    return Generate(n, [](int k) {
        return QStringList{QStringLiteral("銘柄名abcdefgサンプル工業%1").arg(k),
                           QStringLiteral("支払開始日 2024/06/30"),
                           QStringLiteral("入金額abcdefg%1円").arg(k * 13 % 100000)};
    });
}

// The whole command on the model: load, convert, read the text back for the window.
template <typename Convert>
void Run(benchmark::State& state, const QString& text, Convert convert) {
    KeepingClipboard clipboard;
    for (auto _ : state) {
        TextArea memo(text);
        convert(memo, clipboard);
        QString back = memo.Text();
        benchmark::DoNotOptimize(back);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_FloorView(benchmark::State& state) {
    bench::Floor(state, ViewStatement(static_cast<int>(state.range(0))));
}
void BM_View(benchmark::State& state) {
    Run(state, ViewStatement(static_cast<int>(state.range(0))),
        [](TextArea& m, Clipboard& c) { ConvertView(m, c, true); });
}
void BM_FloorCoop(benchmark::State& state) {
    bench::Floor(state, CoopStatement(static_cast<int>(state.range(0))));
}
void BM_Coop(benchmark::State& state) {
    Run(state, CoopStatement(static_cast<int>(state.range(0))),
        [](TextArea& m, Clipboard& c) { ConvertCoop(m, c, true); });
}
void BM_FloorDomestic(benchmark::State& state) {
    bench::Floor(state, DomesticStatement(static_cast<int>(state.range(0))));
}
void BM_Domestic(benchmark::State& state) {
    Run(state, DomesticStatement(static_cast<int>(state.range(0))), [](TextArea& m, Clipboard& c) {
        ConvertDomesticDividends(m, c, [] { return QStringLiteral("2024/06/30"); });
    });
}

} // namespace

BENCHMARK(BM_FloorView)->Apply(bench::Sizes);
BENCHMARK(BM_View)->Apply(bench::Sizes);
BENCHMARK(BM_FloorCoop)->Apply(bench::Sizes);
BENCHMARK(BM_Coop)->Apply(bench::Sizes);
BENCHMARK(BM_FloorDomestic)->Apply(bench::Sizes);
BENCHMARK(BM_Domestic)->Apply(bench::Sizes);

BENCHMARK_MAIN();
