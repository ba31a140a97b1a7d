// The alarm page: the add header and one 35-pixel row per alarm with its time box, count-down
// line, week days and on/off box.
#include "clock/core/page_parts_win.h"
#include "clock/core/pages_win.h"

namespace {

constexpr float kTimeLineTopDy = 8, kTimeLineBottomDy = 27;  // the line right of the time box
constexpr float kLineX = 55, kLineDy = 3, kLineWidth = 110, kLineHeight = 18;
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

constexpr float kRowHeight = kAlarmRowHeight;

float RowY(const PagePaint& page, size_t row) {
    return static_cast<float>(RowTop(PaintedView(kAlarmPage, page), static_cast<int>(row)));
}

void DrawTimeBox(const Canvas& c, const PagePaint& page, const LogicalRect& box, int item,
                 const std::string& time) {
    if (IsHot(page.hotItem, item))
        FillRect(c, box, page.pressState == kPressHeld ? kPressGreen : kHoverGreen);
    DrawTextIn(c, WideFromGbk(time), {box.x - kTextSlack, box.y, box.w + 2 * kTextSlack, box.h}, Heiti(12), kBlack,
               kTextCenter | kTextVCenter | kTextSingleLine);
    const float x = box.x + box.w;
    DrawLine(c, x, box.y + kTimeLineTopDy, x, box.y + kTimeLineBottomDy, kLineGrey, 1);
}

void DrawSwitch(const Canvas& c, const PagePaint& page, const LogicalRect& box, int item, bool enabled) {
    const bool hot = IsHot(page.hotItem, item);
    FillRect(c, box, !hot ? kSwitchFill : page.pressState == kPressHeld ? kSwitchPressed : kSwitchHover);
    DrawContrastEdge(c, box);
    if (enabled) DrawCheckMark(c, box, kBlack, 2);
}

void DrawCountdownLine(const Canvas& c, float y, const AlarmRowText& text) {
    const Argb colour = text.red ? kRed : text.grey ? kHintGrey : kBlack;
    DrawTextIn(c, WideFromGbk(text.line), {kLineX, y + kLineDy, kLineWidth, kLineHeight}, YaHei(9), colour,
               kTextVCenter | kTextSingleLine | kTextEllipsis);
}

void DrawWeekDays(const Canvas& c, const PagePaint& page, const std::vector<PageItem>& items, int row,
                  const AlarmEntry& alarm) {
    static const wchar_t kDays[] = L"一二三四五六日";
    for (int k = 1; k <= 7; ++k) {
        const LogicalRect box = BoxOf(items, AlarmDayItem(row, k));
        if (IsHot(page.hotItem, AlarmDayItem(row, k))) {
            FillRect(c, box, page.pressState == kPressHeld ? kDayPressed : kDayHover);
        }
        const LogicalRect textBox{box.x - kTextSlack, box.y, box.w + 2 * kTextSlack, box.h};
        DrawTextIn(c, std::wstring(1, kDays[k - 1]), textBox, YaHei(9), alarm.days[k] ? kBlue : kHintGrey,
                   kTextCenter | kTextVCenter | kTextSingleLine | kTextNoClip);
    }
}

void DrawAlarmRow(const Canvas& c, const PagePaint& page, size_t row, const DateTime& now) {
    const AlarmEntry& alarm = Alarms[row];
    const AlarmRowText text = AlarmRowTexts(alarm, now);
    const int r = static_cast<int>(row);
    const std::vector<PageItem> items = RowItems(PaintedView(kAlarmPage, page), r);
    DrawTimeBox(c, page, BoxOf(items, AlarmRowItem(r)), AlarmRowItem(r), text.time);
    DrawSwitch(c, page, BoxOf(items, AlarmSwitchItem(r)), AlarmSwitchItem(r), alarm.enabled != 0);
    DrawWeekDays(c, page, items, r, alarm);
    DrawRowLine(c, RowY(page, row) + kRowHeight);
}

}  // namespace

float DrawAlarmPage(const Canvas& c, const PagePaint& page, const DateTime& now) {
    AddHeader header;
    header.caption = L"添加闹钟";
    header.count = ListCountText(kAlarmPage, Alarms.size());
    header.hot = IsHot(page.hotItem, kAddItem);
    header.pressed = header.hot && page.pressState == kPressHeld;
    DrawAddHeader(c, BoxOf(HeaderItems(PaintedView(kAlarmPage, page)), kAddItem).y, page.width, header);
    for (size_t row = 0; row < Alarms.size(); ++row)
        DrawAlarmRow(c, page, row, now);
    const float end = RowY(page, Alarms.size());
    // An empty list shows the header alone: nothing to drag, so no hint either.
    if (Alarms.empty()) return end;
    return DrawDragHint(c, end + kHintGap);
}

void DrawAlarmCountdowns(const Canvas& c, const PagePaint& page, const DateTime& now) {
    for (size_t row = 0; row < Alarms.size(); ++row) {
        const float y = RowY(page, row);
        // Rows wholly under the band or below the window are not seen.
        if (y + kRowHeight <= kBandHeight || y >= page.height) continue;
        DrawCountdownLine(c, y, AlarmRowTexts(Alarms[row], now));
    }
}
