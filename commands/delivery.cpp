#include "commands/delivery.h"

#include "convert/errors.h"

#include <vector>

namespace kasorel {

void RowsDelivery::SetAsText(std::u16string_view rows) {
    rows_ = rows;
    refused_ = false;
    try {
        system_.SetAsText(rows);
    } catch (const EClipboardRefused&) {
        refused_ = true;
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
