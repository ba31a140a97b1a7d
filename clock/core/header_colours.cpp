// Colours of the header band: the page colours, the inactive shading, the hovered tab and the
// caption colour. Shading works in HSL because the band's rule is stated on HSL lightness.
#include <algorithm>
#include <cmath>

#include "clock/core/main_window_rules.h"

namespace {

struct Hsl {
    double h = 0;  // degrees, 0 <= h < 360 (0 for greys)
    double s = 0;  // 0..1
    double l = 0;  // 0..1
};

Hsl ToHsl(Rgb c) {
    // Which channel is the largest is decided on the integers: compared as doubles, a value kept in
    // an 80-bit x87 register need not equal its stored copy, and the 32-bit build took green for blue.
    const int hi = std::max({c.r, c.g, c.b}), lo = std::min({c.r, c.g, c.b});
    Hsl out;
    out.l = (hi + lo) / 510.0;
    const int d = hi - lo;
    if (d == 0) return out;
    out.s = out.l > 0.5 ? d / (510.0 - hi - lo) : d / static_cast<double>(hi + lo);
    double h;
    if (hi == c.r) {
        h = static_cast<double>(c.g - c.b) / d + (c.g < c.b ? 6 : 0);
    } else if (hi == c.g) {
        h = static_cast<double>(c.b - c.r) / d + 2;
    } else {
        h = static_cast<double>(c.r - c.g) / d + 4;
    }
    out.h = h * 60;
    return out;
}

double HueChannel(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 1.0 / 2) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

uint8_t Channel(double v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
}

Rgb FromHsl(const Hsl& c) {
    if (c.s == 0) return Rgb{Channel(c.l), Channel(c.l), Channel(c.l)};
    const double q = c.l < 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
    const double p = 2 * c.l - q;
    const double h = c.h / 360;
    return Rgb{Channel(HueChannel(p, q, h + 1.0 / 3)), Channel(HueChannel(p, q, h)),
               Channel(HueChannel(p, q, h - 1.0 / 3))};
}

// The inactive rule's turning point, lightness 30 of 100. HSL lightness is (max + min) / 2 / 255,
// so L >= 0.30 is max + min >= 153 exactly; comparing integers avoids a 0.3 that rounds below.
constexpr int kDarkenFromChannelSum = 153;
constexpr double kInactiveShift = 0.2;

}  // namespace

Rgb PageColour(int page) {
    static const Rgb kColours[kPageCount] = {
        {102, 87, 199},   // 闹钟
        {0, 128, 0},      // 秒表
        {0, 191, 255},    // 计时
        {188, 143, 143},  // 生日
        {107, 142, 35},   // 日程
        {173, 216, 230},  // 设置
    };
    return kColours[page >= 0 && page < kPageCount ? page : 0];
}

Rgb InactiveColour(Rgb colour) {
    // "20 % towards black" means 20 % of the way that is left to black: L' = 0.8·L; "towards
    // white" likewise L' = L + 0.2·(1 - L) (lightness 0..1 here). A share of the remaining way
    // cannot overshoot either end and shades a near-white band as visibly as a mid-tone one,
    // where a fixed 20 points would turn the darkest bands into mid-greys.
    Hsl hsl = ToHsl(colour);
    const int sum = std::max({colour.r, colour.g, colour.b}) + std::min({colour.r, colour.g, colour.b});
    if (sum >= kDarkenFromChannelSum) {
        hsl.l -= kInactiveShift * hsl.l;
    } else {
        hsl.l += kInactiveShift * (1 - hsl.l);
    }
    return FromHsl(hsl);
}

Rgb TabHoverColour(Rgb band, bool pressed) {
    // The hue is snapped to a multiple of 60° (ties upwards), which lands on one of the six pure
    // hues, so the hovered tab reads as a distinct colour rather than a tint of the band. The band's
    // lightness is kept so the caption colour chosen for the band still reads on the tab; the
    // saturation is raised to at least 50 % so that greyish bands (生日) still show a clear hue.
    Hsl hsl = ToHsl(band);
    const double turned = hsl.h + (pressed ? 270 : 120);
    hsl.h = std::fmod(std::floor(turned / 60 + 0.5) * 60, 360.0);
    hsl.s = std::max(hsl.s, 0.5);
    return FromHsl(hsl);
}

Rgb ContrastTextColour(Rgb colour) {
    // Perceived brightness (ITU-R BT.601 weights) on 0..255: dark text on bright colours.
    const int brightness = (299 * colour.r + 587 * colour.g + 114 * colour.b) / 1000;
    return brightness >= 128 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
}
