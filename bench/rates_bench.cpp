// The exchange-rate answer read and written back, up to the body cap, and the foreign
// dividend pass over long statements, against the text-area floor.
#include "bench_common.h"

#include "convert/foreign.h"
#include "rates/json.h"
#include "rates/query.h"

namespace {

// A rates answer with `currencies` three-letter members, JPY and USD among them.
QString Answer(int currencies) {
    QString text = QStringLiteral(
        R"({"success":true,"timestamp":1719705600,"base":"EUR","date":"2024-06-30","rates":{)");
    for (int i = 0; i < currencies; ++i) {
        const QChar a(u'A' + i / 676 % 26), b(u'A' + i / 26 % 26), c(u'A' + i % 26);
        text += QStringLiteral("\"%1%2%3\":%4.%5,").arg(a).arg(b).arg(c).arg(i).arg(i % 97 + 1000);
    }
    text += QStringLiteral(R"("JPY":163.9,"USD":1.0832}})");
    return text;
}

void BM_ParseWriteRead(benchmark::State& state) {
    const QString text = Answer(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::optional<kasorel::json::Value> v = kasorel::json::Parse(text);
        QString line = kasorel::json::Write(*v);
        double rate = kasorel::ReadRate(*v);
        benchmark::DoNotOptimize(line);
        benchmark::DoNotOptimize(rate);
    }
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}
// 170 members is the service's real answer; 40000 make about 0.6 MiB, within the body cap.
BENCHMARK(BM_ParseWriteRead)->Arg(170)->Arg(40'000)->Unit(benchmark::kMicrosecond);

void BM_ParseDeepest(benchmark::State& state) {
    const QString text =
        QString(kasorel::json::kMaxDepth, u'[') + QString(kasorel::json::kMaxDepth, u']');
    for (auto _ : state)
        benchmark::DoNotOptimize(kasorel::json::Parse(text));
}
BENCHMARK(BM_ParseDeepest)->Unit(benchmark::kMicrosecond);

QString ForeignStatement(int lines) {
    QString text;
    text.reserve(static_cast<qsizetype>(lines) * 26);
    for (int i = 0; i + 4 <= lines; i += 4) {
        text += QStringLiteral("銘柄名abcdefgCOMPANY %1\r\n入金額abcdefg%2.%3 USD\r\n")
                    .arg(i)
                    .arg(i % 900 + 1)
                    .arg(i % 100, 2, 10, QLatin1Char('0'));
        text += QStringLiteral("支払日\t2024/06/30\r\n備考\r\n");
    }
    return text;
}

void BM_FloorForeign(benchmark::State& state) {
    bench::Floor(state, ForeignStatement(static_cast<int>(state.range(0))));
}

void BM_Foreign(benchmark::State& state) {
    const QString text = ForeignStatement(static_cast<int>(state.range(0)));
    bench::NullClipboard clipboard;
    for (auto _ : state) {
        kasorel::TextArea memo(text);
        kasorel::ConvertForeignDividends(memo, clipboard, 151.31,
                                         [] { return QStringLiteral("2024/06/30"); });
        QString back = memo.Text();
        benchmark::DoNotOptimize(back);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FloorForeign)->Apply(bench::Sizes);
BENCHMARK(BM_Foreign)->Apply(bench::Sizes);

} // namespace

BENCHMARK_MAIN();
