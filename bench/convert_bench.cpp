#include "bench_common.h"

#include "convert/rakuten.h"

namespace {

void BM_Floor_Rakuten(benchmark::State& state) {
    bench::Floor(state, bench::RakutenStatement(static_cast<int>(state.range(0))));
}

// The whole command on the model: load, convert, read the text back for the window.
void BM_Rakuten(benchmark::State& state) {
    const std::u16string text = bench::RakutenStatement(static_cast<int>(state.range(0)));
    bench::NullClipboard clipboard;
    for (auto _ : state) {
        kasorel::TextArea memo(text);
        kasorel::ConvertRakuten(memo, clipboard);
        std::u16string back = memo.Text();
        benchmark::DoNotOptimize(back);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_Floor_Rakuten)->Apply(bench::Sizes);
BENCHMARK(BM_Rakuten)->Apply(bench::Sizes);
BENCHMARK_MAIN();
