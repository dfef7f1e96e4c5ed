// What the history of rows sent adds to a command: 10 000 fresh rows checked and recorded
// against a 50 000-row history file on disk (read, check, record, write), beside the
// 10 000-row 楽天カード conversion alone. Each step is also timed alone: reading and
// parsing the file, checking and recording the rows, building the new file's bytes, and
// the safe replace with its flush to the disk. And learning categories from 10 000 rows of the
// person's sheet.
#include "bench_common.h"

#include "convert/rakuten.h"
#include "settings/file.h"
#include "state/categories.h"
#include "state/history.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

using namespace kasorel;

namespace {

constexpr int kFresh = 10'000;
constexpr int kStored = 50'000;
constexpr LocalDate kToday{2024, 6, 15};

// A 楽天カード row as the converter makes it; every i gives another row.
std::u16string Row(int i) {
    return u"2024/05/" + bench::Number(i % 28 + 1, 2) + u"\tショップ" + bench::Number(i) +
           u"\t\t\t" + bench::Number(i % 9000 + 100);
}

// The clipboard text of the rows first to first + count.
std::u16string RowsText(int first, int count) {
    std::u16string text;
    for (int i = first; i < first + count; ++i)
        text += Row(i) + u"\r\n";
    return text;
}

// A folder of its own holding the history file of kStored rows, none of them fresh.
class StoredHistory {
public:
    StoredHistory() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kasorel-history-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("no folder for the bench");
        folder_ = pattern;
        path_ = FromUtf8(pattern + "/kasorel.history");
        const std::u16string text = RowsText(kFresh, kStored);
        SentHistory history;
        history.Record(KindId(StatementKind::Rakuten), SplitRows(text), kToday);
        bytes_ = SerialiseHistory(history, kToday);
        Restore();
    }
    ~StoredHistory() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    StoredHistory(const StoredHistory&) = delete;
    StoredHistory& operator=(const StoredHistory&) = delete;

    const std::u16string& Path() const { return path_; }
    const std::string& Bytes() const { return bytes_; }
    void Restore() const { ReplaceWholeFile(path_, bytes_); }

private:
    std::string folder_;
    std::u16string path_;
    std::string bytes_;
};

// The conversion alone, as the command runs it on the model.
void BM_RakutenConversion(benchmark::State& state) {
    const std::u16string text = bench::RakutenStatement(kFresh * 4 + 1);
    bench::NullClipboard clipboard;
    for (auto _ : state) {
        TextArea memo(text);
        benchmark::DoNotOptimize(ConvertRakuten(memo, clipboard));
    }
    state.SetItemsProcessed(state.iterations() * kFresh);
}

// Everything the history adds to a conversion: the rows split off the clipboard text, the
// file read, the rows checked and recorded, the file replaced.
void BM_HistoryAroundConversion(benchmark::State& state) {
    const StoredHistory stored;
    const std::u16string rowsText = RowsText(0, kFresh);
    for (auto _ : state) {
        const std::vector<std::u16string_view> rows = SplitRows(rowsText);
        LoadedHistory loaded = ReadHistoryFile(stored.Path());
        benchmark::DoNotOptimize(loaded.history.SentBefore(KindId(StatementKind::Rakuten), rows));
        loaded.history.Record(KindId(StatementKind::Rakuten), rows, kToday);
        WriteHistoryFile(stored.Path(), loaded.history, kToday);
        state.PauseTiming();
        stored.Restore();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFresh);
}

void BM_HistoryRead(benchmark::State& state) {
    const StoredHistory stored;
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadHistoryFile(stored.Path()).history.Size());
    state.SetItemsProcessed(state.iterations() * kStored);
}

void BM_HistoryCheckAndRecord(benchmark::State& state) {
    const StoredHistory stored;
    const std::u16string rowsText = RowsText(0, kFresh);
    const std::vector<std::u16string_view> rows = SplitRows(rowsText);
    for (auto _ : state) {
        state.PauseTiming();
        StateProblem problem;
        SentHistory history = ParseHistory(stored.Bytes(), problem);
        state.ResumeTiming();
        benchmark::DoNotOptimize(history.SentBefore(KindId(StatementKind::Rakuten), rows));
        history.Record(KindId(StatementKind::Rakuten), rows, kToday);
    }
    state.SetItemsProcessed(state.iterations() * kFresh);
}

void BM_HistorySerialise(benchmark::State& state) {
    const StoredHistory stored;
    StateProblem problem;
    const SentHistory history = ParseHistory(stored.Bytes(), problem);
    for (auto _ : state)
        benchmark::DoNotOptimize(SerialiseHistory(history, kToday));
    state.SetItemsProcessed(state.iterations() * kStored);
}

// The safe replace of a file of that size: temporary file, flush to the disk, rename.
void BM_HistoryReplaceFile(benchmark::State& state) {
    const StoredHistory stored;
    for (auto _ : state)
        stored.Restore();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(stored.Bytes().size()));
}

void BM_LearnCategories(benchmark::State& state) {
    std::u16string sheet;
    for (int i = 0; i < kFresh; ++i)
        sheet += u"2024/05/" + bench::Number(i % 28 + 1, 2) + u"\tショップ" +
                 bench::Number(i % 5000) + u"\t食費\t\t" + bench::Number(i) + u"\n";
    for (auto _ : state) {
        CategoryTable table;
        benchmark::DoNotOptimize(table.Learn(sheet).taught);
    }
}
BENCHMARK(BM_LearnCategories)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK(BM_RakutenConversion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryAroundConversion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryCheckAndRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistorySerialise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryReplaceFile)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
