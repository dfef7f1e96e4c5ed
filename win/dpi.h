#pragma once

// Scaling of the layout's 96-DPI pixels to a window's DPI.

#include "settings/geometry.h"

#include <windows.h>

namespace kasorel::win {

class Dpi {
public:
    static constexpr UINT kBase = USER_DEFAULT_SCREEN_DPI;

    explicit Dpi(UINT dpi = kBase) : dpi_(dpi == 0 ? kBase : dpi) {}
    // The DPI of the monitor hwnd is on, as a per-monitor aware program sees it.
    static Dpi Of(HWND hwnd) { return Dpi(GetDpiForWindow(hwnd)); }

    UINT Value() const { return dpi_; }
    // px at 96 DPI in this DPI's pixels, rounded to nearest.
    int Scale(int px) const { return MulDiv(px, static_cast<int>(dpi_), static_cast<int>(kBase)); }
    RECT Scale(const Rect& r) const {
        const int left = Scale(r.x);
        const int top = Scale(r.y);
        return RECT{left, top, left + Scale(r.width), top + Scale(r.height)};
    }
    friend bool operator==(const Dpi&, const Dpi&) = default;

private:
    UINT dpi_;
};

} // namespace kasorel::win
