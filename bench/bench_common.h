#pragma once

// Shared by the benchmarks: generated statements and the floor every converter is measured
// against, which is loading the text into the text-area model and reading it back.

#include "convert/output.h"
#include "convert/textarea.h"

#include <QString>
#include <benchmark/benchmark.h>

namespace bench {

// The clipboard the converters write while they are timed: it only keeps the text alive.
class NullClipboard : public kasorel::Clipboard {
public:
    void SetAsText(const QString& t) override { benchmark::DoNotOptimize(t.size()); }
};

// A 楽天カード statement of about `lines` lines: a heading, then entries of a data line, its
// marker and two more lines.
inline QString RakutenStatement(int lines) {
    QString text = QStringLiteral("ご利用明細\r\n");
    text.reserve(static_cast<qsizetype>(lines) * 24);
    for (int i = 1; i + 4 <= lines; i += 4) {
        text += QStringLiteral("2024/05/%1\tショップ%2\t%3 円\r\n")
                    .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                    .arg(i)
                    .arg(i % 9000 + 100);
        text += QStringLiteral("支払方法\t1回払い\r\n手数料\t0 円\r\n備考\r\n");
    }
    return text;
}

// The floor: the model built from the text, and the whole text read back.
inline void Floor(benchmark::State& state, const QString& text) {
    for (auto _ : state) {
        kasorel::TextArea memo(text);
        QString back = memo.Text();
        benchmark::DoNotOptimize(back);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Lines per run for every benchmark: 10k, 100k, 1M.
inline void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
}

} // namespace bench
