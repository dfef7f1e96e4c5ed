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

#include <benchmark/benchmark.h>
#include <functional>
#include <string>
#include <vector>

using namespace kasorel;

namespace {

class KeepingClipboard : public Clipboard {
public:
    void SetAsText(std::u16string_view t) override { text = t; }
    std::u16string text;
};

// n lines built from a repeating block of lines; the number is worked into the lines so they
// are not all equal.
std::u16string Generate(int n, const std::function<std::vector<std::u16string>(int)>& block) {
    std::u16string text;
    int count = 0;
    for (int k = 0; count < n; ++k) {
        for (const std::u16string& line : block(k)) {
            if (count == n)
                break;
            if (count++ > 0)
                text += u"\r\n";
            text += line;
        }
    }
    return text;
}

using bench::Number;

std::u16string ViewStatement(int n) {
    return Generate(n, [](int k) {
        return std::vector<std::u16string>{
            u"2024", u"03/" + Number(k % 28 + 1, 2) + u"xy\tStore " + Number(k) + u"\tmemo",
            u"ご利用明細", Number(k * 7 % 100000)};
    });
}

std::u16string CoopStatement(int n) {
    return Generate(n, [](int k) {
        return std::vector<std::u16string>{u"2024/05/" + Number(k % 28 + 1) + u"\t牛乳 " +
                                               Number(k) + u"\t2\t" + Number(k % 999) + u" 円",
                                           u"2024/05/" + Number(k % 28 + 1) + u"\tパン\t1\t" +
                                               Number(k % 777) + u"円",
                                           u"合計\t" + Number(k) + u" 円"};
    });
}

std::u16string DomesticStatement(int n) {
    return Generate(n, [](int k) {
        return std::vector<std::u16string>{u"銘柄名abcdefgサンプル工業" + Number(k),
                                           u"支払開始日 2024/06/30",
                                           u"入金額abcdefg" + Number(k * 13 % 100000) + u"円"};
    });
}

// The whole command on the model: load, convert, read the text back for the window.
template <typename Convert>
void Run(benchmark::State& state, const std::u16string& text, Convert convert) {
    KeepingClipboard clipboard;
    for (auto _ : state) {
        TextArea memo(text);
        convert(memo, clipboard);
        std::u16string back = memo.Text();
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
        ConvertDomesticDividends(m, c, [] { return std::u16string(u"2024/06/30"); });
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
