// The main window's children for a screen reader, built from the layout and the texts the painters
// draw, so that what is read is what is shown.
#include "clock/core/page_access.h"

#include <algorithm>

#include "clock/alarms/timer_rules.h"
#include "clock/core/clock_data.h"
#include "clock/core/main_window_rules.h"
#include "clock/core/settings_rules.h"
#include "forms/gbk.h"

namespace {

constexpr int kReadoutWidth = 197;
constexpr int kReadoutHeight = kBandHeight - kTabHeight;

struct Words {
    std::string close = Gbk("关闭");
    std::string addAlarm = Gbk("添加闹钟");
    std::string addBirthday = Gbk("添加生日");
    std::string addSchedule = Gbk("添加日程");
    std::string addTimer = Gbk("新 增 计 时");
    std::string enable = Gbk("开启 ");
    std::string run = Gbk("运行 ");
    std::string remove = Gbk("删除 ");
    std::string weekDays[7] = {Gbk("星期一"), Gbk("星期二"), Gbk("星期三"), Gbk("星期四"),
                               Gbk("星期五"), Gbk("星期六"), Gbk("星期日")};
    std::string daysLeft = Gbk("天");
    std::string switchTo = Gbk("切换");
    std::string open = Gbk("打开");
    std::string press = Gbk("单击");
};

const Words& W() {
    static const Words words;
    return words;
}

// GBK trail bytes are never 0x20, so every space byte is a real space.
std::string WithoutSpaces(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

AccessibleItem Child(int item, AccessRole role, std::string name, const LayoutRect& box) {
    AccessibleItem child;
    child.item = item;
    child.role = role;
    child.name = std::move(name);
    child.location = box;
    if (role == kAccessPageTab || role == kAccessCheckButton) child.defaultAction = W().switchTo;
    if (role == kAccessPushButton) child.defaultAction = W().press;
    if (role == kAccessListItem && item != 0) child.defaultAction = W().open;
    return child;
}

AccessibleItem Check(int item, std::string name, const LayoutRect& box, bool on) {
    AccessibleItem child = Child(item, kAccessCheckButton, std::move(name), box);
    child.checked = on;
    return child;
}

// Hides what lies wholly above top (under the band) or below the client area, and cuts the
// location of what shows to what is seen of it.
void Place(AccessibleItem& child, int top, const AccessMoment& moment) {
    const LayoutRect box = child.location;
    child.hidden = box.y + box.h <= top || box.y >= moment.clientHeight;
    if (child.hidden) return;
    const int y = std::max(box.y, top);
    const int bottom = std::min(box.y + box.h, moment.clientHeight);
    const int right = std::min(box.x + box.w, moment.clientWidth);
    child.location = {box.x, y, std::max(0, right - box.x), bottom - y};
}

void AddTabs(std::vector<AccessibleItem>& out, const PageView& view) {
    for (const PageItem& tab : BandItems(view)) {
        if (tab.item < kFirstTabItem || tab.item > kLastTabItem) continue;
        const int page = tab.item - kFirstTabItem;
        AccessibleItem child = Child(tab.item, kAccessPageTab, TabCaption(page), tab.box);
        child.selected = page == view.page;
        out.push_back(child);
    }
}

void AddReadout(std::vector<AccessibleItem>& out, const PageView& view, const AccessMoment& moment) {
    ReadoutSource source;
    source.now = moment.now;
    source.tickNow = moment.tickNow;
    source.laps = &LapTimes;
    source.timers = &Timers;
    source.birthdays = &Birthdays;
    source.schedules = &Schedules;
    source.caption = moment.caption;
    const Readout readout = PageReadout(view.page, source);
    std::string name = readout.text;
    if (!readout.second.empty()) name += " " + readout.second;
    const LayoutRect box{0, ReadoutTop(view.tabsBelow), kReadoutWidth, kReadoutHeight};
    AccessibleItem child = Child(0, kAccessStaticText, name, box);
    Place(child, 0, moment);
    out.push_back(child);
}

AccessibleItem AddHeaderChild(const PageItem& header, int page) {
    const Words& w = W();
    const std::string& caption = page == kAlarmPage      ? w.addAlarm
                                 : page == kBirthdayPage ? w.addBirthday
                                                         : w.addSchedule;
    const size_t count = page == kAlarmPage      ? Alarms.size()
                         : page == kBirthdayPage ? Birthdays.size()
                                                 : Schedules.size();
    AccessibleItem child = Child(kAddItem, kAccessPushButton, caption, header.box);
    child.description = ListCountText(page, count);
    return child;
}

AccessibleItem HeaderChild(const PageItem& header, const PageView& view, const AccessMoment& moment) {
    const int item = header.item;
    if (view.page == kStopwatchPage) {
        const StopwatchCaptions captions = StopwatchButtonCaptions(LapTimes, StopwatchStart);
        const std::string& caption = item == kStopwatchLeftItem ? captions.left : captions.right;
        return Child(item, kAccessPushButton, WithoutSpaces(caption), header.box);
    }
    if (view.page == kTimerPage)
        return Child(item, kAccessPushButton, WithoutSpaces(W().addTimer), header.box);
    if (view.page != kSettingsPage) return AddHeaderChild(header, view.page);
    if (item >= kFirstOptionItem && item < kFirstOptionItem + kOptionCount) {
        const int option = item - kFirstOptionItem;
        return Check(item, OptionCaption(OptionSlots[option]), header.box, OptionOn(option));
    }
    const int button = item - kAboutItem;
    return Child(item, kAccessPushButton, SettingsButtonCaption(button, moment.serviceUnread), header.box);
}

void AddBandAndHeader(std::vector<AccessibleItem>& out, const PageView& view, const AccessMoment& moment) {
    const PageItem close = FindItem(BandItems(view), kCloseItem);
    if (view.page == kSettingsPage && close.item == kCloseItem)
        out.push_back(Child(kCloseItem, kAccessPushButton, W().close, close.box));
    for (const PageItem& header : HeaderItems(view)) {
        AccessibleItem child = HeaderChild(header, view, moment);
        Place(child, kBandHeight, moment);
        out.push_back(child);
    }
}

std::vector<AccessibleItem> AlarmRowChildren(const PageView& view, int row, const AccessMoment& moment) {
    const AlarmEntry& alarm = Alarms[static_cast<size_t>(row)];
    const AlarmRowText text = AlarmRowTexts(alarm, moment.now);
    const std::vector<PageItem> items = RowItems(view, row);
    std::vector<AccessibleItem> out;
    out.push_back(Child(AlarmRowItem(row), kAccessListItem, text.time + " " + text.line,
                        FindItem(items, AlarmRowItem(row)).box));
    out.push_back(Check(AlarmSwitchItem(row), W().enable + text.time,
                        FindItem(items, AlarmSwitchItem(row)).box, alarm.enabled != 0));
    for (int day = 1; day <= 7; ++day) {
        const int item = AlarmDayItem(row, day);
        out.push_back(Check(item, W().weekDays[day - 1], FindItem(items, item).box, alarm.days[day] != 0));
    }
    return out;
}

std::vector<AccessibleItem> TimerRowChildren(const PageView& view, int row) {
    const std::string duration = TimerRowText(Timers, row);
    const int index = TimerIndexOfRow(Timers.size(), row);
    const bool running = index >= 0 && Timers[static_cast<size_t>(index)].startTick != 0;
    const std::vector<PageItem> items = RowItems(view, row);
    return {
        Child(TimerRowItem(row), kAccessListItem, duration, FindItem(items, TimerRowItem(row)).box),
        Check(TimerToggleItem(row), W().run + duration, FindItem(items, TimerToggleItem(row)).box, running),
        Child(TimerDeleteItem(row), kAccessPushButton, W().remove + duration,
              FindItem(items, TimerDeleteItem(row)).box)};
}

AccessibleItem DateRowChild(const PageView& view, int row) {
    const bool birthdays = view.page == kBirthdayPage;
    const DateEntry& entry = (birthdays ? Birthdays : Schedules)[static_cast<size_t>(row)];
    const DateRowText text = birthdays ? BirthdayRowTexts(entry) : ScheduleRowTexts(entry);
    const PageItem item = FindItem(RowItems(view, row), DateRowItem(row));
    AccessibleItem child = Child(item.item, kAccessListItem, text.first + " " + text.second, item.box);
    child.description = text.days + W().daysLeft;
    return child;
}

// Lap rows are shown but not items: a reader still reads them, with nothing to click.
std::vector<AccessibleItem> LapChildren(const PageView& view) {
    std::vector<AccessibleItem> out;
    for (int row = 0; row < LapRowCount(LapTimes); ++row) {
        const LapRowText text = LapRowTexts(LapTimes, row);
        const LayoutRect box{0, RowTop(view, row), kReadoutWidth, kListRowHeight};
        out.push_back(Child(0, kAccessListItem, text.number + " " + text.total + " " + text.split, box));
    }
    return out;
}

// The list's rows, each bounded by the list it names: view.entryCount may run ahead of a list.
std::vector<AccessibleItem> RowChildren(const PageView& view, const AccessMoment& moment) {
    if (view.page == kStopwatchPage) return LapChildren(view);
    std::vector<AccessibleItem> out;
    for (int row = 0; row < view.entryCount; ++row) {
        std::vector<AccessibleItem> children;
        if (view.page == kAlarmPage && row < static_cast<int>(Alarms.size()))
            children = AlarmRowChildren(view, row, moment);
        if (view.page == kTimerPage && row < static_cast<int>(Timers.size()))
            children = TimerRowChildren(view, row);
        if (view.page == kBirthdayPage && row < static_cast<int>(Birthdays.size()))
            children = {DateRowChild(view, row)};
        if (view.page == kSchedulePage && row < static_cast<int>(Schedules.size()))
            children = {DateRowChild(view, row)};
        out.insert(out.end(), children.begin(), children.end());
    }
    return out;
}

}  // namespace

std::vector<AccessibleItem> AccessibleItems(const PageView& view, const AccessMoment& moment) {
    std::vector<AccessibleItem> out;
    AddTabs(out, view);
    AddReadout(out, view, moment);
    AddBandAndHeader(out, view, moment);
    for (AccessibleItem& row : RowChildren(view, moment)) {
        Place(row, VisibleRowsTop(view.page), moment);
        out.push_back(row);
    }
    return out;
}

int ChildOfItem(const std::vector<AccessibleItem>& items, int item) {
    if (item == 0) return 0;
    for (size_t k = 0; k < items.size(); ++k) {
        if (items[k].item == item) return static_cast<int>(k) + 1;
    }
    return 0;
}
