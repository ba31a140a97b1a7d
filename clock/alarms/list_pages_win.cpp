// The stopwatch page (buttons and laps) and the timer page (add button and one row per timer,
// newest on top). Both keep their buttons in a fixed band under the header, drawn after the rows
// so that scrolled rows slide beneath it.
#include "clock/alarms/stopwatch.h"
#include "clock/alarms/timer_rules.h"
#include "clock/core/page_parts_win.h"
#include "clock/core/pages_win.h"

namespace {

constexpr float kRowHeight = kListRowHeight;
constexpr float kHintGap = 5;
constexpr float kButtonRadius = 4;

// Lap rows.
constexpr float kNumberX = 5, kNumberWidth = 20;
constexpr float kNumberSlack = 15;  // lap 10 and above: a line that does not fit loses its last digits
constexpr float kTotalX = 20, kTotalWidth = 115;
constexpr float kSplitTextX = 135, kSplitTextDy = 15, kSplitTextWidth = 58, kSplitTextHeight = 15;
constexpr Argb kSplitGrey = OpaqueRgb(128, 128, 128);

// Timer rows.
constexpr float kDurationDy = 3, kDurationWidth = 170;  // the text runs under the row's boxes
constexpr float kCrossInset = 4;                        // the cross runs from (169, y + 13) to (177, y + 21)
constexpr Argb kToggleHover = OpaqueRgb(255, 160, 95);
constexpr Argb kTogglePressed = OpaqueRgb(96, 159, 255);
constexpr Argb kDeletePen = Argb{0xD2, 0, 0, 0};
constexpr Argb kDeleteHover = Argb{0xD6, 0xFF, 0, 0};
constexpr Argb kDeletePressed = Argb{0xD6, 0x86, 0, 0};

const unsigned kCentred = kTextCenter | kTextVCenter | kTextSingleLine;

Argb ButtonFill(const PagePaint& page) {
    return page.pressState == kPressHeld ? kButtonPressed : kButtonHover;
}

float RowY(const PagePaint& page, int pageId, int row) {
    return static_cast<float>(RowTop(PaintedView(pageId, page), row));
}

void DrawButtonHalf(const Canvas& c, const PagePaint& page, const LogicalRect& box, int item,
                    const std::string& caption) {
    if (IsHot(page.hotItem, item)) FillRoundRect(c, box, kButtonRadius, ButtonFill(page));
    DrawTextIn(c, WideFromGbk(caption), box, YaHei(11), kBlack, kCentred);
}

// The single "开    始" button while reset, else the two halves.
void DrawStopwatchButtons(const Canvas& c, const PagePaint& page) {
    DrawFixedButtonBand(c, page.width);
    const StopwatchCaptions captions = StopwatchButtonCaptions(LapTimes, StopwatchStart);
    PageView view = PaintedView(kStopwatchPage, page);
    view.stopwatchReset = captions.right.empty();
    const std::vector<PageItem> items = HeaderItems(view);
    LogicalRect whole = BoxOf(items, kStopwatchLeftItem);
    DrawButtonHalf(c, page, whole, kStopwatchLeftItem, captions.left);
    if (!view.stopwatchReset) {
        const LogicalRect right = BoxOf(items, kStopwatchRightItem);
        DrawButtonHalf(c, page, right, kStopwatchRightItem, captions.right);
        DrawLine(c, right.x, right.y, right.x, right.y + right.h, kBlack, 1);
        whole.w = right.x + right.w - whole.x;
    }
    DrawRoundRect(c, whole, kButtonRadius, kBlack, 1);
}

void DrawLapRow(const Canvas& c, float y, int row) {
    const LapRowText text = LapRowTexts(LapTimes, row);
    DrawTextIn(c, WideFromGbk(text.number), {kNumberX, y, kNumberWidth + kNumberSlack, kRowHeight}, Heiti(14),
               kBlack, kTextVCenter | kTextSingleLine | kTextNoClip);
    DrawTextIn(c, WideFromGbk(text.total), {kTotalX, y, kTotalWidth, kRowHeight}, Heiti(14), kBlue, kCentred);
    DrawTextIn(c, WideFromGbk(text.split), {kSplitTextX, y + kSplitTextDy, kSplitTextWidth, kSplitTextHeight},
               YaHei(8), kSplitGrey, kTextSingleLine | kTextNoClip);
    DrawRowLine(c, y + kRowHeight);
}

void DrawTimerButton(const Canvas& c, const PagePaint& page) {
    DrawFixedButtonBand(c, page.width);
    const LogicalRect button = BoxOf(HeaderItems(PaintedView(kTimerPage, page)), kAddItem);
    if (IsHot(page.hotItem, kAddItem)) FillRoundRect(c, button, kButtonRadius, ButtonFill(page));
    DrawRoundRect(c, button, kButtonRadius, kBlack, 1);
    DrawTextIn(c, L"新 增 计 时", button, YaHei(11), kBlack, kCentred);
}

void DrawToggleBox(const Canvas& c, const PagePaint& page, const LogicalRect& box, int item, bool running) {
    const bool hot = IsHot(page.hotItem, item);
    FillRect(c, box, !hot ? kWhite : page.pressState == kPressHeld ? kTogglePressed : kToggleHover);
    DrawContrastEdge(c, box);
    if (running) DrawCheckMark(c, box, kBlack, 2.5f);
}

void DrawDeleteButton(const Canvas& c, const PagePaint& page, const LogicalRect& circle, int item) {
    if (IsHot(page.hotItem, item))
        FillEllipse(c, circle, page.pressState == kPressHeld ? kDeletePressed : kDeleteHover);
    DrawEllipse(c, circle, kDeletePen, 1);
    const float left = circle.x + kCrossInset, right = circle.x + circle.w - kCrossInset;
    const float top = circle.y + kCrossInset, bottom = circle.y + circle.h - kCrossInset;
    DrawLine(c, left, top, right, bottom, kDeletePen, 1);
    DrawLine(c, left, bottom, right, top, kDeletePen, 1);
}

void DrawTimerRow(const Canvas& c, const PagePaint& page, int row) {
    const int index = TimerIndexOfRow(Timers.size(), row);
    const std::vector<PageItem> items = RowItems(PaintedView(kTimerPage, page), row);
    const float y = RowY(page, kTimerPage, row);
    const float x = BoxOf(items, TimerRowItem(row)).x;
    DrawTextIn(c, WideFromGbk(TimerRowText(Timers, row)), {x, y + kDurationDy, kDurationWidth, kRowHeight},
               Heiti(12), kBlue, kTextVCenter | kTextSingleLine);
    DrawToggleBox(c, page, BoxOf(items, TimerToggleItem(row)), TimerToggleItem(row),
                  Timers[static_cast<size_t>(index)].startTick != 0);
    DrawDeleteButton(c, page, BoxOf(items, TimerDeleteItem(row)), TimerDeleteItem(row));
    DrawRowLine(c, y + kRowHeight);
}

}  // namespace

float DrawStopwatchPage(const Canvas& c, const PagePaint& page) {
    const int rows = LapRowCount(LapTimes);
    float y = RowY(page, kStopwatchPage, 0);
    if (rows > 0) {
        DrawRowLine(c, y);
        for (int row = 0; row < rows; ++row, y += kRowHeight)
            DrawLapRow(c, y, row);
        y = DrawDragHint(c, y + kHintGap);
    }
    DrawStopwatchButtons(c, page);
    return y;
}

float DrawTimerPage(const Canvas& c, const PagePaint& page) {
    const int rows = static_cast<int>(Timers.size());
    float y = RowY(page, kTimerPage, 0);
    if (rows > 0) {
        DrawRowLine(c, y);
        for (int row = 0; row < rows; ++row)
            DrawTimerRow(c, page, row);
        y = DrawDragHint(c, RowY(page, kTimerPage, rows) + kHintGap);
    }
    DrawTimerButton(c, page);
    return y;
}
