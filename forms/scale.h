// The screen scale: logical pixels of a 96-dpi screen to device pixels, the two axes apart. Every
// geometry of the programs is written in logical pixels and goes through here, nowhere else.
#pragma once

#include <cmath>

struct Scale {
    double x = 1.0;  // logical pixels per inch / 96, horizontally
    double y = 1.0;  // ... vertically
};

// Scale from the screen's logical pixels per inch (96, 120, 144 ...). A value of 0 or below counts
// as 96.
inline Scale ScaleFromDpi(int dpiX, int dpiY) {
    Scale s;
    s.x = dpiX > 0 ? dpiX / 96.0 : 1.0;
    s.y = dpiY > 0 ? dpiY / 96.0 : 1.0;
    return s;
}

inline int ScaleX(const Scale& s, double logical) {
    return static_cast<int>(std::lround(logical * s.x));
}
inline int ScaleY(const Scale& s, double logical) {
    return static_cast<int>(std::lround(logical * s.y));
}

// Device pixels back to logical ones (mouse positions before a hit test), rounded down.
inline int LogicalX(const Scale& s, int device) {
    return static_cast<int>(std::floor(device / s.x));
}
inline int LogicalY(const Scale& s, int device) {
    return static_cast<int>(std::floor(device / s.y));
}
