// Colours as the drawing code takes them: alpha, red, green, blue, 0..255 each.
#pragma once

#include <cstdint>

struct Argb {
    uint8_t a = 255;
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

constexpr Argb OpaqueRgb(uint8_t r, uint8_t g, uint8_t b) {
    return Argb{255, r, g, b};
}

constexpr bool operator==(const Argb& x, const Argb& y) {
    return x.a == y.a && x.r == y.r && x.g == y.g && x.b == y.b;
}
