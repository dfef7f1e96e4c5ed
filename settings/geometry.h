#pragma once

// Window and screen geometry in pixels, as the settings file stores and restores it.

namespace kasorel {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    Point TopLeft() const { return {x, y}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace kasorel
