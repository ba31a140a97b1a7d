// The birthday and schedule pages: the add header and one 38-pixel row per entry, nearest first,
// with the name over the date or repeat text and the days left at the right.
#include "clock/core/page_parts_win.h"
#include "clock/core/pages_win.h"

namespace {

constexpr float kRowHeight = kDateRowHeight;
constexpr float kTextX = 5, kTextWidth = 150;
constexpr float kFirstHeight = 22, kSecondHeight = 16;
constexpr float kHintGap = 5;
// The days box grows to the left (its text is right-aligned, so nothing moves): a line that does
// not fit its box loses its last characters, and "300" in the large face is wider than 44 pixels.
constexpr float kDaysSlack = 40;

constexpr Argb kRowHover = OpaqueRgb(224, 224, 224);
constexpr Argb kBirthdayPressed = OpaqueRgb(128, 224, 31);
constexpr Argb kSchedulePressed = OpaqueRgb(0, 255, 255);
constexpr Argb kDaysRed = OpaqueRgb(255, 128, 127);

// What tells the two pages apart.
struct DatePageLook {
    int page = kBirthdayPage;
    const wchar_t* addCaption = L"";
    const std::vector<DateEntry>* list = nullptr;
    DateRowText (*rowTexts)(const DateEntry&) = nullptr;
    Argb pressed;
    float daysPoints = 20;
    LogicalRect daysBox;  // y relative to the row
};

const unsigned kRowText = kTextVCenter | kTextSingleLine | kTextEllipsis;

// Width left to the name and date lines so they stop short of the day count at the right: a long
// name would otherwise run under a three-digit count. Digits and '-' are half as wide as the
// face's size, plus the padding the layout adds.
float TextWidthBeside(const std::string& days, const DatePageLook& look) {
    constexpr float kGap = 4;
    const float em = look.daysPoints * 96 / 72;
    const float daysWidth = em * (0.5f * static_cast<float>(days.size()) + 0.35f);
    const float room = look.daysBox.x + look.daysBox.w - daysWidth - kGap - kTextX;
    return room < kTextWidth ? room : kTextWidth;
}

void DrawDateRow(const Canvas& c, const PagePaint& page, const DatePageLook& look, size_t index) {
    const int row = static_cast<int>(index);
    const PageView view = PaintedView(look.page, page);
    const float y = static_cast<float>(RowTop(view, row));
    if (IsHot(page.hotItem, DateRowItem(row))) {
        FillRect(c, BoxOf(RowItems(view, row), DateRowItem(row)),
                 page.pressState == kPressHeld ? look.pressed : kRowHover);
    }
    const DateRowText text = look.rowTexts((*look.list)[index]);
    const float width = TextWidthBeside(text.days, look);
    DrawTextIn(c, WideFromGbk(text.first), {kTextX, y, width, kFirstHeight}, YaHei(12), kBlack, kRowText);
    DrawTextIn(c, WideFromGbk(text.second), {kTextX, y + kFirstHeight, width, kSecondHeight}, YaHei(8), kLineGrey,
               kRowText);
    const LogicalRect days{look.daysBox.x - kDaysSlack, y + look.daysBox.y, look.daysBox.w + kDaysSlack,
                           look.daysBox.h};
    DrawTextIn(c, WideFromGbk(text.days), days, Heiti(look.daysPoints), kDaysRed,
               kTextRight | kTextVCenter | kTextSingleLine | kTextNoClip);
    DrawRowLine(c, y + kRowHeight);
}

float DrawDatePage(const Canvas& c, const PagePaint& page, const DatePageLook& look) {
    AddHeader header;
    header.caption = look.addCaption;
    header.count = ListCountText(look.page, look.list->size());
    header.hot = IsHot(page.hotItem, kAddItem);
    header.pressed = header.hot && page.pressState == kPressHeld;
    const PageView view = PaintedView(look.page, page);
    DrawAddHeader(c, BoxOf(HeaderItems(view), kAddItem).y, page.width, header);
    for (size_t i = 0; i < look.list->size(); ++i)
        DrawDateRow(c, page, look, i);
    const float end = static_cast<float>(RowTop(view, static_cast<int>(look.list->size())));
    return DrawDragHint(c, end + kHintGap);
}

}  // namespace

float DrawBirthdayPage(const Canvas& c, const PagePaint& page) {
    DatePageLook look;
    look.page = kBirthdayPage;
    look.addCaption = L"添加生日";
    look.list = &Birthdays;
    look.rowTexts = BirthdayRowTexts;
    look.pressed = kBirthdayPressed;
    look.daysPoints = 20;
    look.daysBox = {kTextX + 140, 0, 44, kRowHeight};
    return DrawDatePage(c, page, look);
}

float DrawSchedulePage(const Canvas& c, const PagePaint& page) {
    DatePageLook look;
    look.page = kSchedulePage;
    look.addCaption = L"添加日程";
    look.list = &Schedules;
    look.rowTexts = ScheduleRowTexts;
    look.pressed = kSchedulePressed;
    look.daysPoints = 16;
    look.daysBox = {kTextX + 120, 0, 64, kRowHeight};
    return DrawDatePage(c, page, look);
}
