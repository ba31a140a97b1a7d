// The settings page: seven option switches, three buttons and the drag hint.
#include "clock/core/page_parts_win.h"
#include "clock/core/pages_win.h"
#include "clock/core/settings_rules.h"

namespace {

constexpr float kFirstRowTop = 50;
constexpr float kRowHeight = 25;
constexpr float kCaptionX = 5, kCaptionWidth = 150;
constexpr LogicalRect kTrack{155, 4, 30, 18};  // y relative to the row
constexpr float kKnobOnX = 169, kKnobOffX = 157, kKnobDy = 6, kKnobSize = 14;
constexpr float kButtonsGap = 5;
constexpr float kButtonX = 5, kButtonWidth = 180, kButtonHeight = 20, kButtonStep = 25;
constexpr float kButtonRadius = 4;
constexpr int kButtonCount = 3;

constexpr Argb kTrackOutline = Argb{0x90, 128, 128, 128};
constexpr Argb kKnobOn = OpaqueRgb(0, 191, 255);
constexpr Argb kKnobOff = Argb{0xC0, 160, 160, 160};
constexpr Argb kDarkGreen = OpaqueRgb(0, 96, 0);
constexpr Argb kSilver = OpaqueRgb(192, 192, 192);
constexpr Argb kButtonOutline = OpaqueRgb(128, 128, 128);

// The fill of a hovered switch or button; fully transparent when not hovered.
Argb HoverFill(const PagePaint& page, int item) {
    if (!IsHot(page.hotItem, item)) return Argb{0, 0, 0, 0};
    return page.pressState == 1 ? kDarkGreen : kHoverGreen;
}

void DrawSwitch(const Canvas& c, const PagePaint& page, float y, int option) {
    const LogicalRect track{kTrack.x, y + kTrack.y, kTrack.w, kTrack.h};
    const float radius = track.h / 2;
    const Argb fill = HoverFill(page, kFirstOptionItem + option);
    if (fill.a != 0) FillRoundRect(c, track, radius, fill);
    DrawRoundRect(c, track, radius, kTrackOutline, 1);
    const bool on = OptionOn(option);
    FillEllipse(c, {on ? kKnobOnX : kKnobOffX, y + kKnobDy, kKnobSize, kKnobSize}, on ? kKnobOn : kKnobOff);
}

void DrawOptionRow(const Canvas& c, const PagePaint& page, float y, int option) {
    DrawTextIn(c, Wide(OptionCaption(OptionSlots[option])), {kCaptionX, y, kCaptionWidth, kRowHeight},
               YaHei(10), kBlack, kTextVCenter | kTextSingleLine | kTextEllipsis);
    DrawSwitch(c, page, y, option);
    DrawLine(c, kRowLineLeft, y + kRowHeight, kRowLineRight, y + kRowHeight, kSilver, 1);
}

void DrawButton(const Canvas& c, const PagePaint& page, float y, int button, int serviceUnread) {
    const LogicalRect box{kButtonX, y, kButtonWidth, kButtonHeight};
    const int item = kAboutItem + button;
    const Argb fill = HoverFill(page, item);
    if (fill.a != 0) FillRoundRect(c, box, kButtonRadius, fill);
    DrawRoundRect(c, box, kButtonRadius, kButtonOutline, 1);
    // White on the dark green of a held button, black otherwise.
    const Argb text = fill == kDarkGreen ? kWhite : kBlack;
    DrawTextIn(c, Wide(SettingsButtonCaption(button, serviceUnread)), box, YaHei(9), text,
               kTextCenter | kTextVCenter | kTextSingleLine | kTextEllipsis);
}

}  // namespace

float DrawSettingsPage(const Canvas& c, const PagePaint& page, int serviceUnread) {
    float y = static_cast<float>(page.scroll) + kFirstRowTop;
    for (int option = 0; option < kOptionCount; ++option, y += kRowHeight)
        DrawOptionRow(c, page, y, option);
    y += kButtonsGap;
    for (int button = 0; button < kButtonCount; ++button, y += kButtonStep) {
        DrawButton(c, page, y, button, serviceUnread);
    }
    return DrawDragHint(c, y);
}
