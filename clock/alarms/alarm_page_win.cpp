// The alarm page: the add header and one 35-pixel row per alarm with its time box, count-down
// line, week days and on/off box.
#include "clock/core/page_parts_win.h"
#include "clock/core/pages_win.h"

namespace {

constexpr float kHeaderTop = 50;
constexpr float kRowHeight = 35;
constexpr float kTimeBoxX = 5, kTimeBoxWidth = 45;
constexpr float kTimeLineTopDy = 8, kTimeLineBottomDy = 27;
constexpr float kSwitchX = 165, kSwitchDy = 10, kSwitchSize = 20;
constexpr float kLineX = 55, kLineDy = 3, kLineWidth = 110, kLineHeight = 18;
constexpr float kDayX0 = 40, kDayStep = 15, kDayDy = 20, kDaySize = 15;
constexpr float kHintGap = 5;
// Text boxes reach this far beyond their cells on each side: a single line that does not fit its
// box loses its last characters, and a 15-pixel cell is narrower than one character with the
// padding text layout adds around it. Centred text stays where the cell puts it.
constexpr float kTextSlack = 6;

constexpr Argb kSwitchFill = OpaqueRgb(255, 255, 224);
constexpr Argb kSwitchHover = OpaqueRgb(255, 160, 95);
constexpr Argb kSwitchPressed = OpaqueRgb(96, 159, 255);
constexpr Argb kDayHover = OpaqueRgb(255, 255, 255);
constexpr Argb kDayPressed = OpaqueRgb(0, 255, 0);
constexpr Argb kRed = OpaqueRgb(255, 0, 0);

int ItemOfRow(size_t row) {
    return 10 * static_cast<int>(row) + 10;
}

void DrawTimeBox(const Canvas& c, const PagePaint& page, float y, int item, const std::string& time) {
    if (IsHot(page.hotItem, item)) {
        FillRect(c, {kTimeBoxX, y, kTimeBoxWidth, kRowHeight},
                 page.pressState == 1 ? kPressGreen : kHoverGreen);
    }
    DrawTextIn(c, Wide(time), {kTimeBoxX - kTextSlack, y, kTimeBoxWidth + 2 * kTextSlack, kRowHeight},
               Heiti(12), kBlack, kTextCenter | kTextVCenter | kTextSingleLine);
    const float x = kTimeBoxX + kTimeBoxWidth;
    DrawLine(c, x, y + kTimeLineTopDy, x, y + kTimeLineBottomDy, kLineGrey, 1);
}

void DrawSwitch(const Canvas& c, const PagePaint& page, float y, int item, bool enabled) {
    const LogicalRect box{kSwitchX, y + kSwitchDy, kSwitchSize, kSwitchSize};
    const bool hot = IsHot(page.hotItem, item);
    FillRect(c, box, !hot ? kSwitchFill : page.pressState == 1 ? kSwitchPressed : kSwitchHover);
    if (enabled) DrawCheckMark(c, box, kBlack, 2);
}

void DrawCountdownLine(const Canvas& c, float y, const AlarmRowText& text) {
    const Argb colour = text.red ? kRed : text.grey ? kHintGrey : kBlack;
    DrawTextIn(c, Wide(text.line), {kLineX, y + kLineDy, kLineWidth, kLineHeight}, YaHei(9), colour,
               kTextVCenter | kTextSingleLine | kTextEllipsis);
}

void DrawWeekDays(const Canvas& c, const PagePaint& page, float y, int rowItem, const AlarmEntry& alarm) {
    static const wchar_t kDays[] = L"一二三四五六日";
    for (int k = 1; k <= 7; ++k) {
        const LogicalRect box{kDayX0 + kDayStep * k, y + kDayDy, kDaySize, kDaySize};
        if (IsHot(page.hotItem, rowItem + 1 + k)) {
            FillRect(c, box, page.pressState == 1 ? kDayPressed : kDayHover);
        }
        const LogicalRect textBox{box.x - kTextSlack, box.y, box.w + 2 * kTextSlack, box.h};
        DrawTextIn(c, std::wstring(1, kDays[k - 1]), textBox, YaHei(9), alarm.days[k] ? kBlue : kHintGrey,
                   kTextCenter | kTextVCenter | kTextSingleLine | kTextNoClip);
    }
}

void DrawAlarmRow(const Canvas& c, const PagePaint& page, float y, size_t row, const DateTime& now) {
    const AlarmEntry& alarm = Alarms[row];
    const AlarmRowText text = AlarmRowTexts(alarm, now);
    const int item = ItemOfRow(row);
    DrawTimeBox(c, page, y, item, text.time);
    DrawSwitch(c, page, y, item + 1, alarm.enabled != 0);
    DrawWeekDays(c, page, y, item, alarm);
    DrawRowLine(c, y + kRowHeight);
}

}  // namespace

float DrawAlarmPage(const Canvas& c, const PagePaint& page, const DateTime& now) {
    const float top = static_cast<float>(page.scroll) + kHeaderTop;
    AddHeader header;
    header.caption = L"添加闹钟";
    header.count = ListCountText(0, Alarms.size());
    header.hot = IsHot(page.hotItem, 9);
    header.pressed = header.hot && page.pressState == 1;
    DrawAddHeader(c, top, page.width, header);
    float y = static_cast<float>(page.scroll + kListTop);
    for (size_t row = 0; row < Alarms.size(); ++row, y += kRowHeight)
        DrawAlarmRow(c, page, y, row, now);
    // An empty list shows the header alone: nothing to drag, so no hint either.
    if (Alarms.empty()) return y;
    return DrawDragHint(c, y + kHintGap);
}

void DrawAlarmCountdowns(const Canvas& c, const PagePaint& page, const DateTime& now) {
    float y = static_cast<float>(page.scroll + kListTop);
    for (size_t row = 0; row < Alarms.size(); ++row, y += kRowHeight) {
        // Rows wholly under the band or below the window are not seen.
        if (y + kRowHeight <= kBandHeight || y >= page.height) continue;
        DrawCountdownLine(c, y, AlarmRowTexts(Alarms[row], now));
    }
}
