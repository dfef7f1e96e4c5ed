#include "commands/delivery.h"

#include "convert/errors.h"

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

void SelectRows(TextArea& memo, std::u16string_view rows) {
    if (rows.empty())
        return;
    const std::u16string_view block =
        rows.ends_with(u"\r\n") ? rows.substr(0, rows.size() - 2) : rows;
    std::u16string text = memo.Text();
    std::size_t at = text.rfind(block);
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
