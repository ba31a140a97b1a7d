// The settings page: seven option switches, three buttons and the drag hint.
#include "clock/core/page_parts_win.h"
#include "clock/core/pages_win.h"
#include "clock/core/settings_rules.h"

namespace {

constexpr float kRowHeight = kOptionRowHeight;
constexpr float kCaptionX = 5, kCaptionWidth = 150;
constexpr float kKnobInset = 2, kKnobSize = 14;  // the knob inside the switch's track
constexpr float kButtonRadius = 4;
constexpr float kHintGap = 5;

constexpr Argb kTrackOutline = Argb{0x90, 128, 128, 128};
constexpr Argb kKnobOn = OpaqueRgb(0, 191, 255);
constexpr Argb kKnobOff = Argb{0xC0, 160, 160, 160};
constexpr Argb kDarkGreen = OpaqueRgb(0, 96, 0);
constexpr Argb kSilver = OpaqueRgb(192, 192, 192);
constexpr Argb kButtonOutline = OpaqueRgb(128, 128, 128);

// The fill of a hovered switch or button; fully transparent when not hovered.
Argb HoverFill(const PagePaint& page, int item) {
    if (!IsHot(page.hotItem, item)) return Argb{0, 0, 0, 0};
    return page.pressState == kPressHeld ? kDarkGreen : kHoverGreen;
}

void DrawSwitch(const Canvas& c, const PagePaint& page, const LogicalRect& track, int option) {
    const float radius = track.h / 2;
    const Argb fill = HoverFill(page, OptionItem(option));
    if (fill.a != 0) FillRoundRect(c, track, radius, fill);
    DrawRoundRect(c, track, radius, kTrackOutline, 1);
    const bool on = OptionOn(option);
    const float knobX = on ? track.x + track.w - kKnobInset - kKnobSize : track.x + kKnobInset;
    FillEllipse(c, {knobX, track.y + kKnobInset, kKnobSize, kKnobSize}, on ? kKnobOn : kKnobOff);
}

void DrawOptionRow(const Canvas& c, const PagePaint& page, const std::vector<PageItem>& items, int option) {
    const float y = static_cast<float>(RowTop(PaintedView(kSettingsPage, page), option));
    DrawTextIn(c, WideFromGbk(OptionCaption(OptionSlots[option])), {kCaptionX, y, kCaptionWidth, kRowHeight},
               YaHei(10), kBlack, kTextVCenter | kTextSingleLine | kTextEllipsis);
    DrawSwitch(c, page, BoxOf(items, OptionItem(option)), option);
    DrawLine(c, kRowLineLeft, y + kRowHeight, kRowLineRight, y + kRowHeight, kSilver, 1);
}

void DrawButton(const Canvas& c, const PagePaint& page, const LogicalRect& box, int button,
                int serviceUnread) {
    const int item = SettingsButtonItem(button);
    const Argb fill = HoverFill(page, item);
    if (fill.a != 0) FillRoundRect(c, box, kButtonRadius, fill);
    DrawRoundRect(c, box, kButtonRadius, kButtonOutline, 1);
    // White on the dark green of a held button, black otherwise.
    const Argb text = fill == kDarkGreen ? kWhite : kBlack;
    DrawTextIn(c, WideFromGbk(SettingsButtonCaption(button, serviceUnread)), box, YaHei(9), text,
               kTextCenter | kTextVCenter | kTextSingleLine | kTextEllipsis);
}

}  // namespace

float DrawSettingsPage(const Canvas& c, const PagePaint& page, int serviceUnread) {
    const std::vector<PageItem> items = HeaderItems(PaintedView(kSettingsPage, page));
    for (int option = 0; option < kOptionCount; ++option)
        DrawOptionRow(c, page, items, option);
    LogicalRect box;
    for (int button = 0; button < kSettingsButtonCount; ++button) {
        box = BoxOf(items, SettingsButtonItem(button));
        DrawButton(c, page, box, button, serviceUnread);
    }
    return DrawDragHint(c, box.y + box.h + kHintGap);
}
