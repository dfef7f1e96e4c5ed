#pragma once

// Where a converter's rows go on their way to the system clipboard.

#include "commands/background.h"
#include "commands/seams.h"
#include "convert/kinds.h"
#include "convert/output.h"
#include "convert/textarea.h"
#include "settings/file.h"
#include "state/categories.h"
#include "state/history.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kasorel {

// What the history of rows sent made of one conversion.
struct SentFacts {
    int sentBefore = 0;     // rows that had been sent before
    int leftOut = 0;        // of them, kept off the clipboard (the switch is on)
    bool untouched = false; // every row had been sent: the clipboard was left alone
    StateProblem problem = StateProblem::None; // what was wrong with the history file
    bool unwritten = false;                    // the history could not be written
    int filled = 0; // rows on the clipboard whose empty fields the learnt categories filled
};

// The history as the program last wrote it, kept between commands: a conversion that finds the
// file as it was left (by its stamp, or byte for byte where files have none) takes the history
// from here instead of reading it whole again.
struct HistoryCache {
    std::u16string path;
    std::string bytes;
    std::optional<FileStamp> stamp;
    SentHistory history;
    bool valid = false;
};

// The categories as the program last read them, kept between commands while their file
// stays as it was (by its stamp; read afresh where files have none).
struct CategoryCache {
    std::u16string path;
    std::optional<FileStamp> stamp;
    CategoryTable table;
    StateProblem problem = StateProblem::None;
    bool valid = false;
};

// A row as the converter made it, and as the learnt categories filled it.
struct FilledRow {
    std::u16string_view made;
    std::u16string filled;
};

// The clipboard a converter writes, standing in front of the system's. The rows go out with
// their empty fields filled from categories, when given (CategoryTable::Fill). They are held
// against the history of rows sent as kind (its id) in the file historyFile (none when it
// is empty): counted, left out when skipSent is set, and remembered once they are on the clipboard.
// The history never keeps a conversion from going out: a file that cannot be read or written is
// only told of. The file is written in the background while the command shows its rows; Facts waits
// for it. A write the system refuses outright (EClipboardRefused: a browser page without the
// permission) is kept as a fact instead of an error, so the command can leave the rows for the
// person to copy; the clipboard's other errors go on to the caller.
class RowsDelivery : public Clipboard {
public:
    // The history compares and keeps the rows as the converter made them, without what the
    // categories filled.
    RowsDelivery(SystemClipboard& system, std::string_view kind, bool skipSent,
                 std::u16string_view historyFile, HistoryCache& cache,
                 const CategoryTable* categories = nullptr)
        : system_(system), kind_(kind), skipSent_(skipSent), historyFile_(historyFile),
          cache_(cache), categories_(categories) {}
    // Waits for the history's write, as Facts does.
    ~RowsDelivery() override;
    RowsDelivery(const RowsDelivery&) = delete;
    RowsDelivery& operator=(const RowsDelivery&) = delete;

    void SetAsText(std::u16string_view rows) override;

    // The rows of the last write (all of them, also those left out), and whether the system
    // refused it.
    const std::u16string& Rows() const { return rows_; }
    bool Refused() const { return refused_; }
    // The rows of the last write the categories filled, and all its rows as they were shown:
    // filled where they were.
    const std::vector<FilledRow>& Filled() const { return filled_; }
    std::u16string ShownRows() const;
    // What the history made of the last write, once its file is written.
    const SentFacts& Facts();

private:
    SystemClipboard& system_;
    std::string kind_;
    bool skipSent_;
    std::u16string historyFile_;
    HistoryCache& cache_;
    const CategoryTable* categories_;
    std::u16string rows_;
    std::vector<FilledRow> filled_;
    bool refused_ = false;
    SentFacts facts_;
    // The history's write under way, and what the cache takes once it is done.
    BackgroundTask write_;
    HistoryCache written_;
    bool pending_ = false;

    void finishWrite();
};

// Selects rows (a converter's text form: rows each followed by CR LF) in memo, so that the
// person copies them with one keystroke: their last occurrence as one block, without the
// final line break; where they stand nowhere in one block (entries spread among other lines),
// they are added at the end of the text on lines of their own, selected. Empty rows select
// nothing.
void SelectRows(TextArea& memo, std::u16string_view rows);

// Shows filled rows in memo, in their order: each line that holds the next row as it was made
// holds it filled. The caret and the selection stay where they were.
void ShowFilledRows(TextArea& memo, const std::vector<FilledRow>& filled);

} // namespace kasorel
