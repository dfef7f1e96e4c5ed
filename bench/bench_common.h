#pragma once

// Shared by the benchmarks: generated statements and the floor every converter is measured
// against, which is loading the text into the text-area model and reading it back.

#include "convert/output.h"
#include "convert/textarea.h"
#include "convert/unicode.h"

#include <benchmark/benchmark.h>
#include <string>
#include <string_view>

namespace bench {

// The clipboard the converters write while they are timed: it only keeps the text alive.
class NullClipboard : public kasorel::Clipboard {
public:
    void SetAsText(std::u16string_view t) override { benchmark::DoNotOptimize(t.size()); }
};

// n in decimal, filled up with zeros to width digits.
inline std::u16string Number(int n, std::size_t width = 0) {
    std::u16string digits = kasorel::FromAscii(std::to_string(n));
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), u'0');
    return digits;
}

// A 楽天カード statement of about `lines` lines: a heading, then entries of a data line, its
// marker and two more lines.
inline std::u16string RakutenStatement(int lines) {
    std::u16string text = u"ご利用明細\r\n";
    text.reserve(static_cast<std::size_t>(lines) * 24);
    for (int i = 1; i + 4 <= lines; i += 4) {
        text += u"2024/05/" + Number(i % 28 + 1, 2) + u"\tショップ" + Number(i) + u"\t" +
                Number(i % 9000 + 100) + u" 円\r\n";
        text += u"支払方法\t1回払い\r\n手数料\t0 円\r\n備考\r\n";
    }
    return text;
}

// The floor: the model built from the text, and the whole text read back.
inline void Floor(benchmark::State& state, std::u16string_view text) {
    for (auto _ : state) {
        kasorel::TextArea memo(text);
        std::u16string back = memo.Text();
        benchmark::DoNotOptimize(back);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Lines per run for every benchmark: 10k, 100k, 1M.
inline void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
}

} // namespace bench
