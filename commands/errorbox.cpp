#include "commands/errorbox.h"

#include "convert/unicode.h"

namespace kasorel {

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
        title[i] = SimpleLowerCase(title[i]);
    return title;
}

} // namespace kasorel
