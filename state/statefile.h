#pragma once

// The frame the files of the person's state share: UTF-8 text in lines that end with LF
// (CR LF and a byte-order mark an editor may add are read too), a first line
// "<header><version>" naming the format, then data lines; empty lines and lines starting
// with "#" are skipped.

#include <cstdint>
#include <string>
#include <string_view>

namespace kasorel {

// What was wrong with a state file. Every problem still gives usable state; the caller
// mentions it once and converts as usual.
enum class StateProblem {
    None,       // read well, or missing (a missing file is empty state)
    Unreadable, // there but cannot be read (a folder, no permission): empty, never replaced
    Corrupt,    // lines that do not parse, or no format line: the good lines are kept
    Newer,      // written by a newer version: empty, never replaced
};

// The format line of header at version, its LF included.
inline std::string StateFileHeader(std::string_view header, int version) {
    return std::string(header) + std::to_string(version) + '\n';
}

// Calls take(line) for each data line of bytes, a file of the format header at version or
// before, without its line end; take returns false for a line it cannot parse. Corrupt when
// take refused a line or the format line is missing or names no version (the leading digits
// count); Newer, with no line taken, for a file of a later version.
template <typename Take>
StateProblem ReadStateLines(std::string_view bytes, std::string_view header, int version,
                            Take&& take) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    StateProblem problem = StateProblem::None;
    bool first = true;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (first) {
            first = false;
            if (line.starts_with(header)) {
                std::uint64_t named = 0;
                for (std::size_t at = header.size();
                     at < line.size() && line[at] >= '0' && line[at] <= '9' &&
                     named <= static_cast<std::uint64_t>(version);
                     ++at)
                    named = named * 10 + static_cast<std::uint64_t>(line[at] - '0');
                if (named > static_cast<std::uint64_t>(version))
                    return StateProblem::Newer;
                if (named == 0)
                    problem = StateProblem::Corrupt;
                continue;
            }
            problem = StateProblem::Corrupt;
        }
        if (line.empty() || line[0] == '#')
            continue;
        if (!take(line))
            problem = StateProblem::Corrupt;
    }
    return problem;
}

} // namespace kasorel
