// The stopwatch page (buttons and laps) and the timer page (add button and one row per timer,
// newest on top). Both keep their buttons in a fixed band under the header, drawn after the rows
// so that scrolled rows slide beneath it.
#include "clock/alarms/stopwatch.h"
#include "clock/alarms/timer_rules.h"
#include "clock/core/page_parts_win.h"
#include "clock/core/pages_win.h"

namespace {

constexpr float kRowHeight = 30;
constexpr float kHintGap = 5;
constexpr LogicalRect kButton{5, 55, 180, 20};
constexpr float kButtonRadius = 4;
constexpr float kSplitX = 95;  // the stopwatch's two halves meet here

// Lap rows.
constexpr float kNumberX = 5, kNumberWidth = 20;
constexpr float kNumberSlack = 15;  // lap 10 and above: a line that does not fit loses its last digits
constexpr float kTotalX = 20, kTotalWidth = 115;
constexpr float kSplitTextX = 135, kSplitTextDy = 15, kSplitTextWidth = 58, kSplitTextHeight = 15;
constexpr Argb kSplitGrey = OpaqueRgb(128, 128, 128);

// Timer rows.
constexpr float kDurationX = 5, kDurationDy = 3, kDurationWidth = 170;
constexpr float kToggleX = 135, kToggleDy = 6, kToggleSize = 20;
constexpr float kDeleteX = 165, kDeleteDy = 9, kDeleteSize = 16;
constexpr float kCrossInset = 4;  // the cross runs from (169, y + 13) to (177, y + 21)
constexpr Argb kToggleHover = OpaqueRgb(255, 160, 95);
constexpr Argb kTogglePressed = OpaqueRgb(96, 159, 255);
constexpr Argb kDeletePen = Argb{0xD2, 0, 0, 0};
constexpr Argb kDeleteHover = Argb{0xD6, 0xFF, 0, 0};
constexpr Argb kDeletePressed = Argb{0xD6, 0x86, 0, 0};

const unsigned kCentred = kTextCenter | kTextVCenter | kTextSingleLine;

Argb ButtonFill(const PagePaint& page) {
    return page.pressState == 1 ? kButtonPressed : kButtonHover;
}

void DrawButtonHalf(const Canvas& c, const PagePaint& page, const LogicalRect& box, int item,
                    const std::string& caption) {
    if (IsHot(page.hotItem, item)) FillRoundRect(c, box, kButtonRadius, ButtonFill(page));
    DrawTextIn(c, Wide(caption), box, YaHei(11), kBlack, kCentred);
}

// The single "开    始" button while reset, else the two halves split at x 95.
void DrawStopwatchButtons(const Canvas& c, const PagePaint& page) {
    DrawFixedButtonBand(c, page.width);
    const StopwatchCaptions captions = StopwatchButtonCaptions(LapTimes, StopwatchStart);
    if (captions.right.empty()) {
        DrawButtonHalf(c, page, kButton, kStopwatchLeftItem, captions.left);
    } else {
        const float half = kSplitX - kButton.x;
        DrawButtonHalf(c, page, {kButton.x, kButton.y, half, kButton.h}, kStopwatchLeftItem, captions.left);
        DrawButtonHalf(c, page, {kSplitX, kButton.y, kButton.w - half, kButton.h}, kStopwatchRightItem,
                       captions.right);
        DrawLine(c, kSplitX, kButton.y, kSplitX, kButton.y + kButton.h, kBlack, 1);
    }
    DrawRoundRect(c, kButton, kButtonRadius, kBlack, 1);
}

void DrawLapRow(const Canvas& c, float y, int row) {
    const LapRowText text = LapRowTexts(LapTimes, row);
    DrawTextIn(c, Wide(text.number), {kNumberX, y, kNumberWidth + kNumberSlack, kRowHeight}, Heiti(14),
               kBlack, kTextVCenter | kTextSingleLine | kTextNoClip);
    DrawTextIn(c, Wide(text.total), {kTotalX, y, kTotalWidth, kRowHeight}, Heiti(14), kBlue, kCentred);
    DrawTextIn(c, Wide(text.split), {kSplitTextX, y + kSplitTextDy, kSplitTextWidth, kSplitTextHeight},
               YaHei(8), kSplitGrey, kTextSingleLine | kTextNoClip);
    DrawRowLine(c, y + kRowHeight);
}

void DrawTimerButton(const Canvas& c, const PagePaint& page) {
    DrawFixedButtonBand(c, page.width);
    if (IsHot(page.hotItem, kTimerAddItem)) FillRoundRect(c, kButton, kButtonRadius, ButtonFill(page));
    DrawRoundRect(c, kButton, kButtonRadius, kBlack, 1);
    DrawTextIn(c, L"新 增 计 时", kButton, YaHei(11), kBlack, kCentred);
}

void DrawToggleBox(const Canvas& c, const PagePaint& page, float y, int item, bool running) {
    const LogicalRect box{kToggleX, y + kToggleDy, kToggleSize, kToggleSize};
    const bool hot = IsHot(page.hotItem, item);
    FillRect(c, box, !hot ? kWhite : page.pressState == 1 ? kTogglePressed : kToggleHover);
    if (running) DrawCheckMark(c, box, kBlack, 2.5f);
}

void DrawDeleteButton(const Canvas& c, const PagePaint& page, float y, int item) {
    const LogicalRect circle{kDeleteX, y + kDeleteDy, kDeleteSize, kDeleteSize};
    if (IsHot(page.hotItem, item))
        FillEllipse(c, circle, page.pressState == 1 ? kDeletePressed : kDeleteHover);
    DrawEllipse(c, circle, kDeletePen, 1);
    const float left = circle.x + kCrossInset, right = circle.x + circle.w - kCrossInset;
    const float top = circle.y + kCrossInset, bottom = circle.y + circle.h - kCrossInset;
    DrawLine(c, left, top, right, bottom, kDeletePen, 1);
    DrawLine(c, left, bottom, right, top, kDeletePen, 1);
}

void DrawTimerRow(const Canvas& c, const PagePaint& page, float y, int row) {
    const int index = TimerIndexOfRow(Timers.size(), row);
    const int item = 10 * row + 10;
    DrawTextIn(c, Wide(TimerRowText(Timers, row)), {kDurationX, y + kDurationDy, kDurationWidth, kRowHeight},
               Heiti(12), kBlue, kTextVCenter | kTextSingleLine);
    DrawToggleBox(c, page, y, item + 1, Timers[static_cast<size_t>(index)].startTick != 0);
    DrawDeleteButton(c, page, y, item + 2);
    DrawRowLine(c, y + kRowHeight);
}

}  // namespace

float DrawStopwatchPage(const Canvas& c, const PagePaint& page) {
    const int rows = LapRowCount(LapTimes);
    float y = static_cast<float>(page.scroll + kListTop);
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
    float y = static_cast<float>(page.scroll + kListTop);
    if (rows > 0) {
        DrawRowLine(c, y);
        for (int row = 0; row < rows; ++row, y += kRowHeight)
            DrawTimerRow(c, page, y, row);
        y = DrawDragHint(c, y + kHintGap);
    }
    DrawTimerButton(c, page);
    return y;
}
