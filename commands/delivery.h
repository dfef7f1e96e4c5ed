#pragma once

// Where a converter's rows go on their way to the system clipboard.

#include "commands/seams.h"
#include "convert/output.h"
#include "convert/textarea.h"

#include <string>
#include <string_view>

namespace kasorel {

// The clipboard a converter writes, standing in front of the system's. A write the system
// refuses outright (EClipboardRefused: a browser page without the permission) is kept as a
// fact instead of an error, so the command can leave the rows for the person to copy; the
// clipboard's other errors go on to the caller.
class RowsDelivery : public Clipboard {
public:
    explicit RowsDelivery(SystemClipboard& system) : system_(system) {}
    void SetAsText(std::u16string_view rows) override;

    // The rows of the last write, and whether the system refused it.
    const std::u16string& Rows() const { return rows_; }
    bool Refused() const { return refused_; }

private:
    SystemClipboard& system_;
    std::u16string rows_;
    bool refused_ = false;
};

// Selects rows (a converter's text form: rows each followed by CR LF) in memo, so that the
// person copies them with one keystroke: their last occurrence as one block, without the
// final line break; where they stand nowhere in one block (entries spread among other lines),
// they are added at the end of the text on lines of their own, selected. Empty rows select
// nothing.
void SelectRows(TextArea& memo, std::u16string_view rows);

} // namespace kasorel
