#pragma once

// The rows already put on the clipboard, per statement kind, so that a command can flag the
// rows of a statement pasted a second time. The history is the user's state on this machine,
// not a setting: it lives in its own file, kasorel.history in UserStateFolder().
//
// Each kind keeps a multiset of rows: a row sent twice counts twice, and two identical rows
// of one conversion are two rows. The file is UTF-8 text a person can read:
//
//     # kasorel sent rows, version 1
//     rakuten<TAB>2<TAB>2024-06-03<TAB>2024/05/01<TAB>ショップA<TAB><TAB><TAB>1,200
//
// The first line names the format and its version (the leading digits count; a larger
// number is a newer format). Then one line per distinct row: the kind's id (KindId), how many
// times the row was sent, the day it was last sent (yyyy-mm-dd), and the row itself last, as
// it went to the clipboard, tabs and all. Lines end with LF (CR LF and a byte-order mark are
// read too); empty lines and lines starting with "#" are skipped and not written back. A line
// of a kind this version does not know is kept as it is; a line that does not parse (a field
// missing or malformed, a count of 0, a row that is not UTF-8 or holds a CR) is dropped and
// the others kept. The same row on two lines is one row with both counts.
//
// A written file forgets the rows older than kHistoryMonths months, by the row's own date
// when its first field is one (year first: 2024/05/01, 2024-5-1) and by the day it was last
// sent otherwise, and keeps at most kHistoryRowLimit rows, forgetting the oldest first.

#include "convert/kinds.h"
#include "convert/locale.h"
#include "state/statefile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kasorel {

inline constexpr int kHistoryVersion = 1;
inline constexpr int kHistoryMonths = 13;
inline constexpr std::size_t kHistoryRowLimit = 200'000;

struct LoadedHistory;

class SentHistory {
public:
    SentHistory() = default;
    SentHistory(SentHistory&&) noexcept = default;
    SentHistory& operator=(SentHistory&&) noexcept = default;
    // Its rows point into its own buffers; copying them is never needed.
    SentHistory(const SentHistory&) = delete;
    SentHistory& operator=(const SentHistory&) = delete;

    // Kinds are named by their ids: KindId for the built-in ones, MadeKindId for the kinds the
    // person made; an id is 1 to 32 of a-z, 0-9, "_" and "-".

    // For rows in order: true where the row was sent before as kind. A row stored n times
    // marks its first n occurrences; the rest are new.
    std::vector<bool> SentBefore(std::string_view kind,
                                 const std::vector<std::u16string_view>& rows) const;

    // Records each of rows as sent once more as kind, on day sentOn. A row holding a CR or LF,
    // which no converter makes and no line of the file can hold, is not recorded.
    void Record(std::string_view kind, const std::vector<std::u16string_view>& rows,
                LocalDate sentOn);

    // How many times row was sent as kind (0: never).
    std::uint32_t Count(std::string_view kind, std::u16string_view row) const;

    // Forgets every row. A history that may not replace its file still may not.
    void Clear();

    // The distinct rows kept, of every kind.
    std::size_t Size() const { return entries_.size(); }

    // False for a history read from a file this version must leave alone (newer, unreadable):
    // WriteHistoryFile then writes nothing.
    bool MayReplaceFile() const { return mayReplaceFile_; }

    // The same rows of the same kinds, with the same counts and last days sent.
    friend bool operator==(const SentHistory& a, const SentHistory& b);

private:
    friend SentHistory ParseHistory(std::string bytes, StateProblem& problem);
    friend std::string SerialiseHistory(const SentHistory& history, LocalDate today,
                                        std::size_t maxRows);
    friend LoadedHistory ReadHistoryFile(std::u16string_view path);

    struct Entry {
        std::string_view kind; // an id of KindId, or one this version does not know
        std::string_view row;  // UTF-8
        std::uint64_t hash;
        std::uint32_t count;
        std::int32_t lastSent; // yyyymmdd
        std::int32_t rowDate;  // yyyymmdd of the row's first field; 0: none
    };
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // The entry of kind and row, or kNone; slot is its slot, or the free one it would take.
    std::uint32_t find(std::string_view kind, std::string_view row, std::uint64_t hash,
                       std::size_t& slot) const;
    std::uint32_t find(std::string_view kind, std::string_view row, std::uint64_t hash) const;
    // Adds a row in the free slot find gave, in a table made ready with reserve.
    void add(std::size_t slot, std::string_view kind, std::string_view row, std::uint64_t hash,
             std::uint32_t count, std::int32_t lastSent);
    void reserve(std::size_t rows);
    void rehash(std::size_t slots);
    void indexEntries();
    void prefetch(std::uint64_t hash) const;
    std::string_view keep(std::string_view bytes);

    std::vector<Entry> entries_;
    // Open addressing: the entry's index + 1 in the low half, 0 for a free slot, and the high
    // half of the entry's hash in the high half, so that a probe passes the other rows without
    // reading their entries. The size is a power of two.
    std::vector<std::uint64_t> slots_;
    // The bytes the entries' views point into: the file's, and blocks for the rows recorded
    // since. Both stay where they are when the history moves.
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
        std::size_t used = 0;
    };
    std::unique_ptr<std::string> file_;
    std::vector<Block> blocks_;
    bool mayReplaceFile_ = true;
};

// The rows of a converter's text form, where each row is followed by CR LF (a last row
// without one counts too). The views point into rowsText.
std::vector<std::u16string_view> SplitRows(std::u16string_view rowsText);

// The history in the file content bytes (taken over, not copied); problem tells what was
// wrong with it. A newer format gives the empty history, which may not replace its file.
// Never fails.
SentHistory ParseHistory(std::string bytes, StateProblem& problem);

// The file content for history as of today: old rows forgotten, at most maxRows kept (the
// oldest forgotten first), the rows in the order they were first recorded.
std::string SerialiseHistory(const SentHistory& history, LocalDate today,
                             std::size_t maxRows = kHistoryRowLimit);

struct LoadedHistory {
    SentHistory history;
    StateProblem problem = StateProblem::None;
};

// The history in the file at path. A missing file gives the empty history and no problem; a
// file that is there but cannot be read gives the empty history, which may not replace it.
// Never fails.
LoadedHistory ReadHistoryFile(std::u16string_view path);

// Replaces the file at path with history as of today, as ReplaceWholeFile does: the file is
// always either the whole old one or the whole new one. False when nothing was written: the
// history may not replace its file (MayReplaceFile), or path links to what is no file.
// EIniFileException naming path when the file cannot be written.
bool WriteHistoryFile(std::u16string_view path, const SentHistory& history, LocalDate today);

// UserStateFolder() joined with "kasorel.history".
std::u16string HistoryFilePath();

} // namespace kasorel
