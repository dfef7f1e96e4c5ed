// The history reader on any file content: whatever it keeps is written out and read back as
// the same history, a row is kept exactly when it is UTF-8, a history with rows forgotten
// writes the same bytes twice, and a row recorded is sent before, counted once per
// occurrence.

#include "convert/unicode.h"
#include "fuzz_support.h"
#include "state/history.h"

#include <algorithm>
#include <map>

using namespace kasorel;
using namespace kasorel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const std::string_view kind = KindId(AllStatementKinds[in.Byte() % AllStatementKinds.size()]);
    const LocalDate today{2000 + in.Byte() % 40, 1 + in.Byte() % 12, 1 + in.Byte() % 31};
    const std::size_t limit = in.Byte();
    const std::string bytes = in.Raw();

    StateProblem problem;
    SentHistory history = ParseHistory(bytes, problem);
    Check(problem != StateProblem::Newer || (history.Size() == 0 && !history.MayReplaceFile()),
          "a newer file gives an empty history that is never written");

    // The first day there is forgets nothing.
    const std::string all = SerialiseHistory(history, LocalDate{}, SIZE_MAX);
    SentHistory back = ParseHistory(all, problem);
    Check(problem == StateProblem::None && back == history,
          "what is written reads back, without a problem, as the same history", FromUtf8(all));
    Check(SerialiseHistory(back, LocalDate{}, SIZE_MAX) == all, "a second write is the same");

    // A row is kept exactly when it is UTF-8.
    std::string row = bytes;
    std::erase(row, '\n');
    std::erase(row, '\r');
    Check((ParseHistory("coop\t1\t2024-01-01\t" + row, problem).Size() == 1) == IsValidUtf8(row),
          "a row is kept when it is UTF-8", FromUtf8(row));

    const std::string kept = SerialiseHistory(history, today, limit);
    const SentHistory rest = ParseHistory(kept, problem);
    Check(rest.Size() <= std::min(limit, history.Size()), "forgetting only forgets",
          FromUtf8(kept));
    Check(SerialiseHistory(rest, today, limit) == kept, "what is kept is kept again",
          FromUtf8(kept));

    // The file's own text as the rows of a conversion, against a count written apart.
    const std::u16string text = FromUtf8(bytes);
    const std::vector<std::u16string_view> rows = SplitRows(text);
    const std::vector<bool> before = history.SentBefore(kind, rows);
    std::map<std::string, std::uint32_t> seen;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::uint32_t n = seen[ToUtf8(rows[i])]++;
        Check(before[i] == (n < history.Count(kind, rows[i])),
              "a row stored n times marks its first n occurrences", rows[i]);
    }
    history.Record(kind, rows, today);
    const std::vector<bool> after = history.SentBefore(kind, rows);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool oneLine = rows[i].find_first_of(u"\r\n") == std::u16string_view::npos;
        Check(after[i] == oneLine, "a row recorded is sent before", rows[i]);
    }
    return 0;
}
