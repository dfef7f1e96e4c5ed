#pragma once

// The layout's fonts as GDI fonts: a face that is missing falls back to the layout's
// fallback families, and a caption too wide for its place is drawn a few pixels smaller.

#include "commands/layout.h"

#include <string>
#include <string_view>

#include <windows.h>

namespace kasorel::win {

// Whether a font family of that name is installed (or mapped to one by the system).
bool FaceExists(std::u16string_view family);

// family when it exists; otherwise the first of layout::FallbackFamilies that does; family
// itself when none does, so the font mapper picks what it can.
std::u16string ResolveFace(std::u16string_view family);

// An owned GDI font; moves, never copies.
class Font {
public:
    Font() = default;
    // family (resolved as above) with a character height of pixelHeight device pixels.
    Font(std::u16string_view family, int pixelHeight);
    ~Font();
    Font(Font&& other) noexcept;
    Font& operator=(Font&& other) noexcept;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    HFONT Handle() const { return font_; }
    int PixelHeight() const { return pixelHeight_; }

private:
    HFONT font_ = nullptr;
    int pixelHeight_ = 0;
};

// The width and height text takes in font, in device pixels.
SIZE MeasureText(HFONT font, std::u16string_view text);

// family at pixelHeight, or, when text would be wider than width or taller than height in it,
// at the largest smaller height (by whole pixels, down to a floor) at which it fits.
Font FittingFont(std::u16string_view family, int pixelHeight, std::u16string_view text, int width,
                 int height);

} // namespace kasorel::win
