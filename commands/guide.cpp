#include "commands/guide.h"

#include "settings/file.h"
#include "settings/paths.h"

#include <cstddef>

namespace kasorel {

namespace detail {
extern const char kGuideBytes[];
extern const std::size_t kGuideSize;
} // namespace detail

std::string_view BuiltInGuide() {
    return {detail::kGuideBytes, detail::kGuideSize};
}

std::u16string GuideAddress() {
    if (std::u16string shipped = ShippedGuideAddress(); !shipped.empty())
        return shipped;
    // A lone copy of the executable has no installed guide beside it. The built-in page is
    // written once per version: rewriting an identical copy at every click would only wear
    // the disk and race a browser that is still reading it.
    const std::u16string copy = JoinPath(UserCacheFolder(), u"guide.html");
    const std::optional<std::string> existing = ReadWholeFile(copy);
    if (!existing || *existing != BuiltInGuide())
        ReplaceWholeFile(copy, BuiltInGuide());
    return FileUrl(copy);
}

} // namespace kasorel
