// The 楽天カード command through the window (load Memo1 into the model, convert, write it
// back as one undoable edit) next to the cost of merely showing the resulting text with
// setPlainText. The command should stay within 1.5 times the latter.
#include "app/form1.h"
#include "commands/seams.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>

namespace {

QApplication& app() {
    static int argc = 1;
    static char arg0[] = "widget_command_bench";
    static char* argv[] = {arg0, nullptr};
    static QApplication application(argc, argv);
    return application;
}

// The clipboard the command writes while it is timed: it only keeps the text alive.
class NullClipboard : public kasorel::SystemClipboard {
public:
    void SetAsText(std::u16string_view t) override { benchmark::DoNotOptimize(t.size()); }
    std::u16string Text() override { return {}; }
};

// A statement of about `lines` lines: groups of five lines, each giving one row.
QString statement(int lines) {
    QString text = QStringLiteral("明細\r\n");
    for (int i = 0; i < lines / 5; ++i)
        text += QStringLiteral("2024/05/%1\tショップ%2\t%3 円\r\n支払方法\t一括\r\nx\r\ny\r\n")
                    .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                    .arg(i)
                    .arg(i * 7 % 100000);
    return text;
}

void BM_RakutenThroughWindow(benchmark::State& state) {
    app();
    kasorel::TForm1 form;
    form.SetClipboard(std::make_unique<NullClipboard>());
    const QString text = statement(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        form.Memo()->setPlainText(text);
        state.ResumeTiming();
        form.Button1Click();
    }
}

void BM_SetPlainTextOfResult(benchmark::State& state) {
    app();
    kasorel::TForm1 form;
    form.SetClipboard(std::make_unique<NullClipboard>());
    const QString text = statement(static_cast<int>(state.range(0)));
    form.Memo()->setPlainText(text);
    form.Button1Click();
    const QString result = form.Memo()->toPlainText();
    for (auto _ : state) {
        // The simple way to show a command's result: the statement is replaced whole.
        state.PauseTiming();
        form.Memo()->setPlainText(text);
        state.ResumeTiming();
        form.Memo()->setPlainText(result);
    }
}

BENCHMARK(BM_RakutenThroughWindow)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetPlainTextOfResult)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
