// The 楽天カード command through the window (load Memo1 into the model, convert, write it
// back as one undoable edit) next to the cost of merely showing the resulting text with
// setPlainText. The command should stay within 1.5 times the latter. And the same command of
// 10 000 rows without a history, and with one of 50 000 rows sent before, which it reads,
// checks, records and writes again, as another program left it or as it left it itself: the
// history should add less than a tenth. And 10 000 rows filled from 5 000 learnt descriptions
// (half of the rows match one, the others none), against the same command with nothing learnt:
// the filling should add less than a tenth.
#include "app/form1.h"
#include "commands/seams.h"
#include "settings/file.h"
#include "state/categories.h"

#include <QApplication>
#include <QDate>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

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

// A statement of this month of about `lines` lines: groups of five lines, each giving one
// row; shop names the rows apart.
QString statement(int lines, const QString& shop = QStringLiteral("ショップ")) {
    QString text = QStringLiteral("明細\r\n");
    const QString month = QDate::currentDate().toString(QStringLiteral("yyyy/MM/"));
    for (int i = 0; i < lines / 5; ++i)
        text += QStringLiteral("%1%2\t%3%4\t%5 円\r\n支払方法\t一括\r\nx\r\ny\r\n")
                    .arg(month)
                    .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                    .arg(shop)
                    .arg(i)
                    .arg(i * 7 % 100000);
    return text;
}

// Times the 楽天カード button on text, put back into the text area untimed before each click.
void clickEachTime(benchmark::State& state, kasorel::TForm1& form, const QString& text) {
    for (auto _ : state) {
        state.PauseTiming();
        form.Memo()->setPlainText(text);
        state.ResumeTiming();
        form.Button1Click();
    }
}

void BM_RakutenThroughWindow(benchmark::State& state) {
    app();
    kasorel::TForm1 form;
    form.SetClipboard(std::make_unique<NullClipboard>());
    form.Command().SetHistoryFileName(std::u16string());
    const QString text = statement(static_cast<int>(state.range(0)));
    clickEachTime(state, form, text);
}

void BM_SetPlainTextOfResult(benchmark::State& state) {
    app();
    kasorel::TForm1 form;
    form.SetClipboard(std::make_unique<NullClipboard>());
    form.Command().SetHistoryFileName(std::u16string());
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

void BM_RakutenAgainstHistory(benchmark::State& state) {
    app();
    kasorel::TForm1 form;
    form.SetClipboard(std::make_unique<NullClipboard>());
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kasorel-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::u16string path = (folder / "kasorel.history").u16string();
    // 50 000 rows sent before, none of them the statement's: made by the command itself.
    form.Command().SetHistoryFileName(path);
    form.Memo()->setPlainText(statement(250000, QStringLiteral("以前の店")));
    form.Button1Click();
    const std::optional<std::string> sent = kasorel::ReadWholeFile(path);
    form.Command().SetHistoryFileName(state.range(1) ? path : std::u16string());
    const QString text = statement(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        form.Memo()->setPlainText(text);
        // 1: the file as another program left it, read whole; 2: as this one left it.
        if (state.range(1) == 1)
            kasorel::ReplaceWholeFile(path, sent.value_or(std::string()));
        state.ResumeTiming();
        form.Button1Click();
    }
    std::filesystem::remove_all(folder);
}

void BM_RakutenFilled(benchmark::State& state) {
    app();
    kasorel::TForm1 form;
    form.SetClipboard(std::make_unique<NullClipboard>());
    form.Command().SetHistoryFileName(std::u16string());
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kasorel-fill-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::u16string path = (folder / "kasorel.categories").u16string();
    kasorel::CategoryTable table;
    if (state.range(1)) {
        std::u16string sheet;
        for (int i = 0; i < 5000; ++i)
            sheet +=
                u"2024/05/01\tショップ" + QString::number(i).toStdU16String() + u"\t食費\t\t1\n";
        table.Learn(sheet);
    }
    kasorel::WriteCategoriesFile(path, table);
    form.Command().SetCategoriesFileName(path);
    const QString text = statement(static_cast<int>(state.range(0)));
    clickEachTime(state, form, text);
    std::filesystem::remove_all(folder);
}

BENCHMARK(BM_RakutenThroughWindow)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RakutenAgainstHistory)
    ->Args({50000, 0})
    ->Args({50000, 1})
    ->Args({50000, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetPlainTextOfResult)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RakutenFilled)->Args({50000, 0})->Args({50000, 1})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
