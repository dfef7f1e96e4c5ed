// The history of rows sent, on real files: the multiset rule, what a written file forgets,
// what a damaged file gives, and where the file lives.
#include "state/history.h"

#include "settings/file.h"
#include "settings/paths.h"
#include "settings_test_files.h"
#include "text_printers.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#ifndef _WIN32
#include <sys/resource.h>
#endif

using namespace kasorel;

namespace {

const std::string kHead = "# kasorel sent rows, version 1\n";
constexpr LocalDate kToday{2025, 6, 15};

SentHistory Parse(const std::string& bytes) {
    StateProblem problem;
    return ParseHistory(bytes, problem);
}

// "x" for a row sent before, "." for a new one.
std::string Flags(const std::vector<bool>& sent) {
    std::string out;
    for (const bool s : sent)
        out += s ? 'x' : '.';
    return out;
}

TEST(SentHistory, AStoredCountMarksThatManyOccurrencesAndRecordingAddsEach) {
    const struct {
        std::string stored;
        std::vector<std::u16string_view> rows;
        const char* flags;
        std::uint32_t countAfter; // of rows[0]
    } cases[] = {
        {"", {u"A", u"A"}, "..", 2},
        {"rakuten\t1\t2024-05-01\tA\n", {u"A", u"B", u"A"}, "x..", 3},
        {"rakuten\t2\t2024-05-01\tA\n", {u"A", u"A", u"A"}, "xx.", 5},
        {"coop\t3\t2024-05-01\tA\n", {u"A"}, ".", 1},
        {"rakuten\t1\t2024-05-01\t5/01\tショップ\t\t\t1\n",
         {u"5/01\tショップ\t\t\t1", u"5/01"},
         "x.",
         2},
    };
    for (const auto& c : cases) {
        SentHistory history = Parse(kHead + c.stored);
        EXPECT_EQ(Flags(history.SentBefore(KindId(StatementKind::Rakuten), c.rows)), c.flags)
            << c.stored;
        history.Record(KindId(StatementKind::Rakuten), c.rows, kToday);
        EXPECT_EQ(Flags(history.SentBefore(KindId(StatementKind::Rakuten), c.rows)),
                  std::string(c.rows.size(), 'x'));
        EXPECT_EQ(history.Count(KindId(StatementKind::Rakuten), c.rows[0]), c.countAfter)
            << c.stored;
    }
    EXPECT_EQ(SplitRows(u"a\tb\r\n\r\nc\r\n"),
              (std::vector<std::u16string_view>{u"a\tb", u"", u"c"}));
}

// Forgotten before 2024-05-15, thirteen months before kToday.
TEST(HistoryFile, ForgetsOldRowsByTheirOwnDateOrElseTheDayLastSent) {
    const struct {
        const char* line;
        bool kept;
    } cases[] = {
        {"rakuten\t1\t2025-06-01\t2024/05/15\ta", true},
        {"rakuten\t1\t2025-06-01\t2024/05/14\ta", false},
        {"rakuten\t1\t2025-06-01\t2024-5-14\tb", false},
        {"rakuten\t1\t2023-01-01\t2025/07/01\ta", true},
        {"view\t1\t2024-05-15\tshop\t2023/01/01", true},
        {"view\t1\t2024-05-14\tshop", false},
        {"view\t1\t2024-05-14\t24/05/01\tshop", false},
    };
    std::string bytes = kHead;
    for (const auto& c : cases)
        bytes += std::string(c.line) + "\n";
    const std::string written = SerialiseHistory(Parse(bytes), kToday);
    for (const auto& c : cases)
        EXPECT_EQ(written.find(std::string(c.line) + "\n") != std::string::npos, c.kept) << c.line;
    // Over the limit, the oldest go first.
    EXPECT_EQ(SerialiseHistory(Parse(bytes), kToday, 2),
              kHead +
                  "rakuten\t1\t2023-01-01\t2025/07/01\ta\nview\t1\t2024-05-15\tshop\t2023/01/01\n");
}

TEST(HistoryFile, AFaultGivesAUsableHistoryAndOnlyAReadableCurrentFileIsReplaced) {
    TemporaryFolder dir;
    const std::string good = "rakuten\t2\t2025-01-01\tA\n";
    const struct {
        const char* name;
        std::string bytes; // "<folder>": a folder in the file's place
        StateProblem problem;
        std::size_t rows;
        std::uint32_t countA;
    } cases[] = {
        {"folder", "<folder>", StateProblem::Unreadable, 0, 0},
        {"garbage", std::string("\0\xFF\xFE\x01\n\x89PNG", 9), StateProblem::Corrupt, 0, 0},
        {"no-head", good, StateProblem::Corrupt, 1, 2},
        {"bad-lines",
         kHead +
             "rakuten\tx\t2025-01-01\tB\nrakuten\t0\t2025-01-01\tB\nrakuten\t1\t2025-13-01\tB\n"
             "Rakuten\t1\t2025-01-01\tB\nrakuten\t1\t2025-01-01\t\xFF\n"
             "view\t1\t2025-01-01\t\xED\xA0\x80\nrakuten\t1\t2025-01-01\n" +
             good + "coop\t1\t2025-01-01\tB\rC\n",
         StateProblem::Corrupt, 1, 2},
        {"newer", "# kasorel sent rows, version 2\n" + good, StateProblem::Newer, 0, 0},
        {"edited",
         "\xEF\xBB\xBF# kasorel sent rows, version 1 (mine)\r\n# note\r\n\r\n"
         "rakuten\t2\t2025-01-01\tA\r\nnewkind\t1\t2025-01-01\tX\r\n" +
             good,
         StateProblem::None, 2, 4},
    };
    for (const auto& c : cases) {
        const std::u16string path = dir.File(c.name);
        if (c.bytes == "<folder>")
            std::filesystem::create_directory(std::filesystem::path(path));
        else
            ASSERT_TRUE(WriteFileBytes(path, c.bytes));
        LoadedHistory loaded = ReadHistoryFile(path);
        EXPECT_EQ(loaded.problem, c.problem) << c.name;
        EXPECT_EQ(loaded.history.Size(), c.rows) << c.name;
        EXPECT_EQ(loaded.history.Count(KindId(StatementKind::Rakuten), u"A"), c.countA) << c.name;
        loaded.history.Record(KindId(StatementKind::Rakuten), {u"A"}, kToday);
        const bool replaces =
            c.problem != StateProblem::Newer && c.problem != StateProblem::Unreadable;
        EXPECT_EQ(WriteHistoryFile(path, loaded.history, kToday), replaces) << c.name;
        if (replaces) {
            EXPECT_EQ(ReadHistoryFile(path).history.Count(KindId(StatementKind::Rakuten), u"A"),
                      c.countA + 1)
                << c.name;
        } else if (c.bytes != "<folder>") {
            EXPECT_EQ(FileBytes(path), c.bytes) << c.name;
        }
    }
    EXPECT_EQ(ReadHistoryFile(dir.File("missing")).problem, StateProblem::None);
    // Nothing can be made below a regular file, not even by root.
    EXPECT_THROW(WriteHistoryFile(dir.File("no-head/kasorel.history"), SentHistory(), kToday),
                 EIniFileException);
}

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// A disk that is full half way: the old file stays whole.
TEST(HistoryFile, AFailedWriteLeavesTheOldFile) {
    TemporaryFolder dir;
    const std::u16string path = dir.File("kasorel.history");
    ASSERT_TRUE(WriteFileBytes(path, kHead));
    SentHistory history;
    history.Record(KindId(StatementKind::Coop), {std::u16string(5000, u'x')}, kToday);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit small{4096, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(WriteHistoryFile(path, history, kToday), EIniFileException);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(FileBytes(path), kHead);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"kasorel.history"});
}
#endif

#ifndef _WIN32
TEST(HistoryFile, LivesInXdgStateHomeWhenItIsAbsoluteAndBelowHomeOtherwise) {
    using Value = std::optional<std::string>;
    const auto get = [](const char* name) {
        return std::getenv(name) ? Value(std::getenv(name)) : Value();
    };
    const auto set = [](const char* name, const Value& v) {
        v ? ::setenv(name, v->c_str(), 1) : ::unsetenv(name);
    };
    const Value home = get("HOME");
    const Value state = get("XDG_STATE_HOME");
    set("HOME", "/home/u");
    for (const auto& [xdg, file] :
         {std::pair<Value, std::u16string_view>{"/srv/st", u"/srv/st/kasorel/kasorel.history"},
          {Value(), u"/home/u/.local/state/kasorel/kasorel.history"},
          {"st", u"/home/u/.local/state/kasorel/kasorel.history"}}) {
        set("XDG_STATE_HOME", xdg);
        EXPECT_EQ(HistoryFilePath(), file);
        EXPECT_EQ(UserStateFolder(), FolderOf(file));
    }
    set("HOME", home);
    set("XDG_STATE_HOME", state);
}
#else
TEST(HistoryFile, LivesInTheLocalAppDataFolder) {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    ASSERT_NE(local, nullptr);
    const std::u16string folder = reinterpret_cast<const char16_t*>(local);
    EXPECT_EQ(HistoryFilePath(), folder + u"\\kasorel\\kasorel.history");
}
#endif

} // namespace
