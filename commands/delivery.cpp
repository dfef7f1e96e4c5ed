#include "commands/delivery.h"

#include "convert/errors.h"
#include "settings/file.h"

#include <algorithm>
#include <vector>

namespace kasorel {

void RowsDelivery::SetAsText(std::u16string_view rows) {
    finishWrite();
    rows_ = rows;
    refused_ = false;
    facts_ = {};
    filled_.clear();
    const std::vector<std::u16string_view> all = SplitRows(rows_);
    // Each row as it goes out: filled, where the categories fill it.
    std::vector<const std::u16string*> filled(all.size(), nullptr);
    if (categories_ && !categories_->Empty()) {
        filled_.reserve(all.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (std::optional<std::u16string> row = categories_->Fill(all[i])) {
                filled_.push_back({all[i], std::move(*row)});
                filled[i] = &filled_.back().filled;
            }
        }
    }
    const bool remembered = !historyFile_.empty() && !all.empty();
    LoadedHistory loaded;
    if (remembered) {
        const bool cached = cache_.valid && cache_.path == historyFile_;
        if (cached && cache_.stamp && StampOf(historyFile_) == cache_.stamp) {
            loaded.history = std::move(cache_.history);
        } else if (std::optional<std::string> bytes = ReadWholeFile(historyFile_)) {
            if (cached && !cache_.stamp && *bytes == cache_.bytes)
                loaded.history = std::move(cache_.history);
            else
                loaded.history = ParseHistory(std::move(*bytes), loaded.problem);
        } else {
            loaded = ReadHistoryFile(historyFile_); // missing, or there and unreadable
        }
        cache_.valid = false;
    }
    facts_.problem = loaded.problem;
    const std::vector<bool> sent = loaded.history.SentBefore(kind_, all);
    std::vector<std::u16string_view> out;
    out.reserve(all.size());
    std::u16string kept;
    const bool rewritten = skipSent_ || !filled_.empty();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (sent[i])
            ++facts_.sentBefore;
        if (sent[i] && skipSent_)
            continue;
        out.push_back(all[i]);
        facts_.filled += filled[i] ? 1 : 0;
        if (rewritten) {
            kept += filled[i] ? std::u16string_view(*filled[i]) : all[i];
            kept += u"\r\n";
        }
    }
    if (skipSent_)
        facts_.leftOut = facts_.sentBefore;
    if (!all.empty() && out.empty()) {
        facts_.untouched = true;
        return;
    }
    try {
        system_.SetAsText(rewritten ? std::u16string_view(kept) : rows);
    } catch (const EClipboardRefused&) {
        refused_ = true;
        return;
    }
    if (!remembered)
        return;
    const LocalDate today = Today();
    loaded.history.Record(kind_, out, today);
    if (!loaded.history.MayReplaceFile())
        return;
    // The file is written while the command shows the rows; nothing here touches written_
    // until Facts has waited for it.
    written_ = {historyFile_, std::string(), std::nullopt, std::move(loaded.history), false};
    write_.Start([this, today] {
        written_.bytes = SerialiseHistory(written_.history, today);
        // Kept only while it knows what the file holds: a line for each row and the format's
        // own, no row forgotten as too old.
        const bool whole =
            static_cast<std::size_t>(std::count(written_.bytes.begin(), written_.bytes.end(),
                                                '\n')) == written_.history.Size() + 1;
        written_.valid =
            ReplaceWholeFile(written_.path, written_.bytes) == Replaced::Written && whole;
        written_.stamp = StampOf(written_.path);
    });
    pending_ = true;
}

std::u16string RowsDelivery::ShownRows() const {
    if (filled_.empty())
        return rows_;
    std::u16string shown;
    std::size_t next = 0;
    for (const std::u16string_view row : SplitRows(rows_)) {
        const bool fills = next < filled_.size() && filled_[next].made.data() == row.data();
        shown += fills ? std::u16string_view(filled_[next++].filled) : row;
        shown += u"\r\n";
    }
    return shown;
}

const SentFacts& RowsDelivery::Facts() {
    finishWrite();
    return facts_;
}

RowsDelivery::~RowsDelivery() {
    finishWrite();
}

void RowsDelivery::finishWrite() {
    if (!pending_)
        return;
    pending_ = false;
    try {
        write_.Wait();
        if (written_.valid)
            cache_ = std::move(written_);
    } catch (...) {
        // The old file stays whole; only the next conversion's flags miss these rows.
        facts_.unwritten = true;
    }
}

namespace {

// Where the last occurrence of block in text starts; npos for none. Linear (Knuth, Morris and
// Pratt): rows of one statement repeat, which makes the naive search quadratic.
std::size_t lastOccurrence(std::u16string_view text, std::u16string_view block) {
    if (block.empty() || block.size() > text.size())
        return std::u16string_view::npos;
    std::vector<std::size_t> border(block.size(), 0);
    for (std::size_t i = 1, k = 0; i < block.size(); ++i) {
        while (k > 0 && block[i] != block[k])
            k = border[k - 1];
        if (block[i] == block[k])
            ++k;
        border[i] = k;
    }
    std::size_t found = std::u16string_view::npos;
    for (std::size_t i = 0, k = 0; i < text.size(); ++i) {
        while (k > 0 && text[i] != block[k])
            k = border[k - 1];
        if (text[i] == block[k])
            ++k;
        if (k == block.size()) {
            found = i + 1 - block.size();
            k = border[k - 1];
        }
    }
    return found;
}

} // namespace

void ShowFilledRows(TextArea& memo, const std::vector<FilledRow>& filled) {
    if (filled.empty())
        return;
    // The converters' rows stand in the text area in their order, with other lines between.
    const TextPos anchor = memo.Anchor();
    const TextPos caret = memo.Caret();
    std::size_t next = 0;
    for (int i = 0; i < memo.LineCount() && next < filled.size(); ++i) {
        if (memo.Line(i) == filled[next].made)
            memo.Put(i, filled[next++].filled);
    }
    memo.SetSelection(anchor, caret);
}

void SelectRows(TextArea& memo, std::u16string_view rows) {
    if (rows.empty())
        return;
    const std::u16string_view block =
        rows.ends_with(u"\r\n") ? rows.substr(0, rows.size() - 2) : rows;
    std::u16string text = memo.Text();
    std::size_t at = lastOccurrence(text, block);
    if (at == std::u16string::npos) {
        if (!text.empty() && !text.ends_with(u"\r\n"))
            text += u"\r\n";
        at = text.size();
        text += rows;
        memo.SetText(text);
    }
    memo.SetSelection(TextArea::PositionIn(text, static_cast<std::ptrdiff_t>(at)),
                      TextArea::PositionIn(text, static_cast<std::ptrdiff_t>(at + block.size())));
}

} // namespace kasorel
