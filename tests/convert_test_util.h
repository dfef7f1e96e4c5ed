#pragma once

// Small pieces the converter suites share: statements and rows written as lists of lines,
// and a date column that shows which call made which row.

#include "convert/unicode.h"

#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <system_error>
#include <vector>

// One character that is two UTF-16 code units, for the cuts that count characters.
inline const std::u16string kPair = u"𠮷";

// A pasted statement: the lines joined with CR LF, no break after the last one.
inline std::u16string Lines(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += u"\r\n";
        text += lines[i];
    }
    return text;
}

// A converter's output: every row followed by CR LF; no rows give the empty text.
inline std::u16string Rows(const std::vector<std::u16string>& rows) {
    std::u16string text;
    for (const std::u16string& row : rows) {
        text += row;
        text += u"\r\n";
    }
    return text;
}

// The fields of a row: s cut at every separator.
inline std::vector<std::u16string> Split(std::u16string_view s, char16_t separator) {
    std::vector<std::u16string> fields;
    std::size_t start = 0;
    for (std::size_t at; (at = s.find(separator, start)) != std::u16string_view::npos;
         start = at + 1)
        fields.emplace_back(s.substr(start, at - start));
    fields.emplace_back(s.substr(start));
    return fields;
}

// A date source giving "D1", "D2", ... in call order; each call of CountingDates starts
// again at "D1".
inline std::function<std::u16string()> CountingDates() {
    return [calls = 0]() mutable { return u"D" + kasorel::FromAscii(std::to_string(++calls)); };
}

// A fresh folder in the system's temporary folder, removed with its content at the end.
class TempDir {
public:
    TempDir() {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        do
            path_ = base / ("kasorel-test-" + std::to_string(random()));
        while (!std::filesystem::create_directory(path_));
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // name inside the folder, as the program's text.
    std::u16string FilePath(std::u16string_view name) const {
        return (path_ / std::filesystem::path(name)).u16string();
    }

private:
    std::filesystem::path path_;
};
