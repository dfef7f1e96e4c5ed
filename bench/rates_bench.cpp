// The exchange-rate answer read and written back, up to the body cap, and the foreign
// dividend pass over long statements, against the text-area floor.
#include "bench_common.h"

#include "convert/foreign.h"
#include "rates/json.h"
#include "rates/query.h"

#include <cstdint>

namespace {

// A rates answer with `currencies` three-letter members, JPY and USD among them.
std::u16string Answer(int currencies) {
    std::u16string text =
        uR"({"success":true,"timestamp":1719705600,"base":"EUR","date":"2024-06-30","rates":{)";
    for (int i = 0; i < currencies; ++i) {
        const auto letter = [](int n) { return static_cast<char16_t>(u'A' + n % 26); };
        text += u'"';
        text += letter(i / 676);
        text += letter(i / 26);
        text += letter(i);
        text += u"\":" + bench::Number(i) + u"." + bench::Number(i % 97 + 1000) + u",";
    }
    text += uR"("JPY":163.9,"USD":1.0832}})";
    return text;
}

void BM_ParseWriteRead(benchmark::State& state) {
    const std::u16string text = Answer(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::optional<kasorel::json::Value> v = kasorel::json::Parse(text);
        std::u16string line = kasorel::json::Write(*v);
        double rate = kasorel::ReadRate(*v);
        benchmark::DoNotOptimize(line);
        benchmark::DoNotOptimize(rate);
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(kasorel::ToUtf8(text).size()));
}
// 170 members is the service's real answer; 40000 make about 0.6 MiB, within the body cap.
BENCHMARK(BM_ParseWriteRead)->Arg(170)->Arg(40'000)->Unit(benchmark::kMicrosecond);

void BM_ParseDeepest(benchmark::State& state) {
    const std::u16string text = std::u16string(kasorel::json::kMaxDepth, u'[') +
                                std::u16string(kasorel::json::kMaxDepth, u']');
    for (auto _ : state)
        benchmark::DoNotOptimize(kasorel::json::Parse(text));
}
BENCHMARK(BM_ParseDeepest)->Unit(benchmark::kMicrosecond);

std::u16string ForeignStatement(int lines) {
    std::u16string text;
    text.reserve(static_cast<std::size_t>(lines) * 26);
    for (int i = 0; i + 4 <= lines; i += 4) {
        text += u"銘柄名abcdefgCOMPANY " + bench::Number(i) + u"\r\n入金額abcdefg" +
                bench::Number(i % 900 + 1) + u"." + bench::Number(i % 100, 2) + u" USD\r\n";
        text += u"支払日\t2024/06/30\r\n備考\r\n";
    }
    return text;
}

void BM_FloorForeign(benchmark::State& state) {
    bench::Floor(state, ForeignStatement(static_cast<int>(state.range(0))));
}

void BM_Foreign(benchmark::State& state) {
    const std::u16string text = ForeignStatement(static_cast<int>(state.range(0)));
    bench::NullClipboard clipboard;
    for (auto _ : state) {
        kasorel::TextArea memo(text);
        kasorel::ConvertForeignDividends(memo, clipboard, 151.31,
                                         [] { return std::u16string(u"2024/06/30"); });
        std::u16string back = memo.Text();
        benchmark::DoNotOptimize(back);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FloorForeign)->Apply(bench::Sizes);
BENCHMARK(BM_Foreign)->Apply(bench::Sizes);

} // namespace

BENCHMARK_MAIN();
