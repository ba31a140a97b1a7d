#include "forms/contrast.h"

#include <algorithm>

namespace {

constexpr int kLightChannel = 192;
constexpr int kGreyLow = 96;
constexpr int kGreySpread = 16;  // channels this close count as neutral grey
constexpr int kWashAlpha = 128;

bool IsLight(Argb c) {
    return std::min({c.r, c.g, c.b}) >= kLightChannel;
}

bool IsGrey(Argb c) {
    const int low = std::min({c.r, c.g, c.b});
    const int high = std::max({c.r, c.g, c.b});
    return high - low <= kGreySpread && low >= kGreyLow && low < kLightChannel;
}

Argb WithAlpha(Argb colour, uint8_t alpha) {
    colour.a = alpha;
    return colour;
}

}  // namespace

Argb ContrastColour(const ContrastPalette& palette, Argb colour, ColourUse use) {
    if (colour.a == 0) return colour;
    switch (use) {
        case ColourUse::kFill:
            if (IsLight(colour)) return WithAlpha(palette.window, colour.a);
            if (colour.a < kWashAlpha) return WithAlpha(colour, 0);
            return palette.highlight;
        case ColourUse::kText:
            if (IsLight(colour)) return palette.highlightText;
            return IsGrey(colour) ? palette.grayText : palette.windowText;
        default:
            return IsLight(colour) ? palette.highlightText : palette.windowText;
    }
}
