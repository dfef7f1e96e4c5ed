// Kinds made from an example, on a 楽天カード statement of 100 000 lines: making a kind from
// one entry (the text's lines cut into tokens included), converting the text with it against
// the 楽天カード converter, and 自動判別 with ten made kinds against 自動判別 with none. Aims:
// making under 100 ms, converting within 2.5 times 楽天カード, 自動判別 within twice itself.
#include "bench_common.h"

#include "convert/rakuten.h"
#include "convert/recognise.h"
#include "convert/shape.h"

#include <benchmark/benchmark.h>

using namespace kasorel;

namespace {

constexpr int kLines = 100000;

const std::u16string& Statement() {
    static const std::u16string text = bench::RakutenStatement(kLines);
    return text;
}

// The kind made from the statement's first entry, its data line to its note line.
Shape Made() {
    const TextArea memo(Statement());
    StatementLines lines(memo);
    return LearnShape(lines, 1, 4).shape;
}

void BM_MakeKind(benchmark::State& state) {
    const TextArea memo(Statement());
    for (auto _ : state) {
        StatementLines lines(memo);
        benchmark::DoNotOptimize(LearnShape(lines, 1, 4).entries);
    }
}

template <typename Convert> void Run(benchmark::State& state, Convert convert) {
    bench::NullClipboard clipboard;
    for (auto _ : state) {
        TextArea memo(Statement());
        convert(memo, clipboard);
        benchmark::DoNotOptimize(memo.Text());
    }
}

void BM_ConvertMadeKind(benchmark::State& state) {
    const Shape shape = Made();
    Run(state, [&](TextArea& m, Clipboard& c) {
        ConvertWithShape(shape, m, c, LocalDate{2024, 6, 1});
    });
}

void BM_ConvertRakuten(benchmark::State& state) {
    Run(state, [](TextArea& m, Clipboard& c) { ConvertRakuten(m, c); });
}

// 自動判別 with state.range(0) made kinds of shapes a person makes, none of which fits the
// statement: each looks at every line it might begin on.
void BM_Recognise(benchmark::State& state) {
    const std::vector<std::vector<RuleKey>> rules = {
        {{u"Line1", u"{date} {text} {amount} {amount}"}},
        {{u"Line1", u"{date}"}, {u"Line2", u"{text}"}, {u"Line3", u"{amount}"}},
        {{u"Line1", u"ご利用日時： {date}"},
         {u"Line2", u"ご利用先： {text}"},
         {u"Line3", u"ご利用金額： {amount}"}},
        {{u"Line1", u"{date} {text} {amount} {text} {amount}"}},
        {{u"Line1", u"{date} {text}"}, {u"Line2", u"{amount}"}},
        {{u"Line1", u"{text} {date} {amount}"}},
        {{u"Line1", u"{date} {text} {text} {amount}"}},
        {{u"Line1", u"{date} {amount} {text}"}},
        {{u"Line1", u"{date}"}, {u"Line2", u"{text} {amount}"}},
        {{u"Line1", u"利用日 {date}"}, {u"Line2", u"{text}"}, {u"Line3", u"{amount}"}},
    };
    std::vector<Shape> shapes;
    for (std::size_t i = 0; i < static_cast<std::size_t>(state.range(0)); ++i)
        shapes.push_back(ParseShapeRules(rules[i]));
    std::vector<const Shape*> made;
    for (const Shape& shape : shapes)
        made.push_back(&shape);
    const TextArea memo(Statement());
    for (auto _ : state)
        benchmark::DoNotOptimize(RecogniseStatement(memo, u".", made));
}

} // namespace

BENCHMARK(BM_MakeKind)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertMadeKind)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertRakuten)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Recognise)->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
