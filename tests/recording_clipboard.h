#pragma once

#include "convert/output.h"
#include "text_printers.h"

#include <string>
#include <vector>

// Stands in for the system clipboard in converter tests: keeps every text put on it.
class RecordingClipboard : public kasorel::Clipboard {
public:
    void SetAsText(std::u16string_view t) override { texts.emplace_back(t); }
    // The clipboard's content after the last write; empty text when nothing was written.
    std::u16string last() const { return texts.empty() ? std::u16string() : texts.back(); }
    std::vector<std::u16string> texts;
};
