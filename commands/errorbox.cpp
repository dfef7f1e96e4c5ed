#include "commands/errorbox.h"

namespace kasorel {

namespace {

// Lower case for the capitals an executable's name may plausibly hold: Latin (ASCII, Latin-1
// and full width), Greek and Cyrillic. Others pass unchanged.
char16_t toLower(char16_t c) {
    const auto shifted = [c](int by) { return static_cast<char16_t>(c + by); };
    if ((c >= u'A' && c <= u'Z') || (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7))
        return shifted(0x20);
    if (c >= 0xFF21 && c <= 0xFF3A)
        return shifted(0x20);
    if (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2)
        return shifted(0x20);
    if (c >= 0x0410 && c <= 0x042F)
        return shifted(0x20);
    if (c >= 0x0400 && c <= 0x040F)
        return shifted(0x50);
    return c;
}

} // namespace

std::u16string errorBoxText(std::u16string_view message) {
    std::u16string text(message);
    if (!text.empty() && text.back() > u'.')
        text += u'.';
    return text;
}

std::u16string programTitle(std::u16string_view executablePath) {
    // Both separators count: a Windows path may hold either, and a Linux file name with a
    // backslash in it is too rare to be worth a title of its own.
    const std::size_t slash = executablePath.find_last_of(u"/\\");
    std::u16string_view name =
        slash == std::u16string_view::npos ? executablePath : executablePath.substr(slash + 1);
    name = name.substr(0, name.find(u'.'));
    std::u16string title(name);
    for (std::size_t i = 1; i < title.size(); ++i)
        title[i] = toLower(title[i]);
    return title;
}

} // namespace kasorel
