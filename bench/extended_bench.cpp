// What the soft extended type costs beside the x87 unit: decimal texts read, products,
// rounding to an integer, and the 41 digits FloatToStr is built on. Arg 0 times amounts and
// rates as statements hold them, arg 1 values at the ends of the range.

#include "convert/extended.h"
#include "convert/primitives.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using kasorel::NearbyInt;
using kasorel::ScientificDigits;
using kasorel::SoftExtended;
using kasorel::ToInt64;

struct Hardware {
    static long double Parse(const std::string& t) { return kasorel::ParseExtended(t); }
    static long double From(long double x) { return x; }
};

struct Soft {
    static SoftExtended Parse(const std::string& t) { return SoftExtended::Parse(t); }
    static SoftExtended From(long double x) { return SoftExtended::FromBits(kasorel::BitsOf(x)); }
};

const std::vector<std::string>& Texts(int set) {
    static const std::vector<std::string> texts[] = {
        {"123.45", "151.234", "16543.21", "108.7", "-2.50", "0.000123", "1250000", "99.99"},
        {"1.18973149535723176502e4932", "3.6e-4951", "2.5e-4940", "1e4000",
         "0.1000000000000000000000000000000000000001", "123456789012345678901234567890"}};
    return texts[set];
}

std::vector<long double> Values(int set) {
    std::vector<long double> out;
    for (const std::string& t : Texts(set))
        out.push_back(kasorel::ParseExtended(t));
    return out;
}

template <class T> void BM_Parse(benchmark::State& state) {
    const std::vector<std::string>& texts = Texts(static_cast<int>(state.range(0)));
    for (auto _ : state)
        for (const std::string& t : texts)
            benchmark::DoNotOptimize(T::Parse(t));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}

template <class T> void BM_Multiply(benchmark::State& state) {
    std::vector<decltype(T::From(0))> values;
    for (long double x : Values(static_cast<int>(state.range(0))))
        values.push_back(T::From(x));
    for (auto _ : state)
        for (std::size_t i = 0; i + 1 < values.size(); ++i)
            benchmark::DoNotOptimize(values[i] * values[i + 1]);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size() - 1));
}

template <class T> void BM_Round(benchmark::State& state) {
    std::vector<decltype(T::From(0))> values;
    for (long double x : Values(0))
        values.push_back(T::From(x * 151.234L));
    for (auto _ : state)
        for (const auto& x : values)
            benchmark::DoNotOptimize(ToInt64(NearbyInt(x)));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

template <class T> void BM_Digits(benchmark::State& state) {
    std::vector<decltype(T::From(0))> values;
    for (long double x : Values(static_cast<int>(state.range(0))))
        values.push_back(T::From(x));
    for (auto _ : state)
        for (const auto& x : values)
            benchmark::DoNotOptimize(ScientificDigits(x));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

// The whole of FloatToStr on the hardware type, for scale.
void BM_FloatToStr(benchmark::State& state) {
    const std::vector<long double> values = Values(static_cast<int>(state.range(0)));
    for (auto _ : state)
        for (long double x : values)
            benchmark::DoNotOptimize(kasorel::FloatToStr(x, u"."));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

} // namespace

BENCHMARK_TEMPLATE(BM_Parse, Hardware)->Arg(0)->Arg(1);
BENCHMARK_TEMPLATE(BM_Parse, Soft)->Arg(0)->Arg(1);
BENCHMARK_TEMPLATE(BM_Multiply, Hardware)->Arg(0)->Arg(1);
BENCHMARK_TEMPLATE(BM_Multiply, Soft)->Arg(0)->Arg(1);
BENCHMARK_TEMPLATE(BM_Round, Hardware);
BENCHMARK_TEMPLATE(BM_Round, Soft);
BENCHMARK_TEMPLATE(BM_Digits, Hardware)->Arg(0)->Arg(1);
BENCHMARK_TEMPLATE(BM_Digits, Soft)->Arg(0)->Arg(1);
BENCHMARK(BM_FloatToStr)->Arg(0)->Arg(1);
BENCHMARK_MAIN();
