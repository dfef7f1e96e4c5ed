#include "win/fonts.h"

#include "win/wide.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <utility>

namespace kasorel::win {

namespace {

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// Below this a caption would no longer be readable; it is drawn clipped instead.
constexpr int kSmallestPixels = 6;

} // namespace

bool FaceExists(std::u16string_view family) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    if (family.empty() || family.size() >= LF_FACESIZE)
        return false;
    std::copy(family.begin(), family.end(), query.lfFaceName);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

std::u16string ResolveFace(std::u16string_view family) {
    // Enumerating the fonts is slow and the answer does not change while the program runs.
    static std::map<std::u16string, std::u16string, std::less<>> known;
    if (const auto it = known.find(family); it != known.end())
        return it->second;
    std::u16string face(family);
    if (!FaceExists(family)) {
        for (std::u16string_view fallback : layout::FallbackFamilies) {
            if (FaceExists(fallback)) {
                face = fallback;
                break;
            }
        }
    }
    known.emplace(std::u16string(family), face);
    return face;
}

Font::Font(std::u16string_view family, int pixelHeight) : pixelHeight_(pixelHeight) {
    const std::u16string face = ResolveFace(family);
    // A negative height asks for the character height, not the cell height.
    font_ = CreateFontW(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, Wide(face));
}

Font::~Font() {
    if (font_)
        DeleteObject(font_);
}

Font::Font(Font&& other) noexcept
    : font_(std::exchange(other.font_, nullptr)), pixelHeight_(other.pixelHeight_) {}

Font& Font::operator=(Font&& other) noexcept {
    if (this != &other) {
        if (font_)
            DeleteObject(font_);
        font_ = std::exchange(other.font_, nullptr);
        pixelHeight_ = other.pixelHeight_;
    }
    return *this;
}

SIZE MeasureText(HFONT font, std::u16string_view text) {
    SIZE size{};
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    GetTextExtentPoint32W(screen, reinterpret_cast<const wchar_t*>(text.data()),
                          static_cast<int>(text.size()), &size);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return size;
}

Font FittingFont(std::u16string_view family, int pixelHeight, std::u16string_view text, int width,
                 int height) {
    Font font(family, pixelHeight);
    for (int px = pixelHeight - 1; px >= kSmallestPixels; --px) {
        const SIZE size = MeasureText(font.Handle(), text);
        if (size.cx <= width && size.cy <= height)
            break;
        font = Font(family, px);
    }
    return font;
}

} // namespace kasorel::win
