#include "clock/alarms/alarm_rules.h"

#include <gtest/gtest.h>

#include "forms/gbk.h"

namespace {

// 2025-03-10 is a Monday; the 12th a Wednesday, the 15th a Saturday, the 16th a Sunday.
DateTime At(int day, int hour, int minute, int second) {
    DateTime t;
    t.year = 2025;
    t.month = 3;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    return t;
}

AlarmEntry Alarm(int hour, int minute, std::initializer_list<int> days = {}) {
    AlarmEntry a;
    a.hour = hour;
    a.minute = minute;
    for (int d : days)
        a.days[d] = 1;
    a.enabled = 1;
    return a;
}

}  // namespace

TEST(AlarmRingSeconds, RepeatingAlarmFindsItsNextFlaggedDay) {
    // Monday and Friday at 08:00, Wednesday 09:00: Friday, two days less one hour away.
    EXPECT_EQ(AlarmRingSeconds(Alarm(8, 0, {1, 5}), At(12, 9, 0, 0)), 2 * 86400 - 3600);
    // Sunday alarm on Saturday and Monday alarm on Sunday: the week day wraps past 7.
    EXPECT_EQ(AlarmRingSeconds(Alarm(8, 0, {7}), At(15, 8, 0, 0)), 86400);
    EXPECT_EQ(AlarmRingSeconds(Alarm(8, 0, {1}), At(16, 9, 0, 0)), 86400 - 3600);
}

TEST(AlarmRingSeconds, TodaysPassedTimeTakesNextWeek) {
    // Monday only, Monday 08:00:01: j = 7.
    EXPECT_EQ(AlarmRingSeconds(Alarm(8, 0, {1}), At(10, 8, 0, 1)), 7 * 86400 - 1);
    EXPECT_EQ(AlarmRingSeconds(Alarm(8, 0, {1}), At(10, 8, 0, 0)), 0);
}

TEST(AlarmRingSeconds, OneShotIsTodayOrTomorrow) {
    EXPECT_EQ(AlarmRingSeconds(Alarm(8, 0), At(10, 9, 0, 0)), 23 * 3600);
    EXPECT_EQ(AlarmRingSeconds(Alarm(8, 0), At(10, 7, 59, 59)), 1);
    EXPECT_EQ(AlarmRingSeconds(Alarm(8, 0), At(10, 8, 0, 0)), 0);
    EXPECT_EQ(AlarmRingSeconds(Alarm(0, 0), At(10, 23, 59, 59)), 1);
}

TEST(AlarmCountdownSeconds, SkipsTheRingSecondOfARepeatingAlarm) {
    EXPECT_EQ(AlarmCountdownSeconds(Alarm(8, 0, {1}), At(10, 8, 0, 0)), 7 * 86400);
    EXPECT_EQ(AlarmCountdownSeconds(Alarm(8, 0, {1, 2}), At(10, 8, 0, 0)), 86400);
    EXPECT_EQ(AlarmCountdownSeconds(Alarm(8, 0, {1}), At(10, 7, 0, 0)), 3600);
    // A one-shot alarm counts like the ring rule.
    EXPECT_EQ(AlarmCountdownSeconds(Alarm(8, 0), At(10, 8, 0, 0)), 0);
    EXPECT_EQ(FormatCountdown(AlarmCountdownSeconds(Alarm(8, 0, {1}), At(10, 8, 0, 1))), Gbk("6天23:59:59"));
}

TEST(FormatCountdown, DaysOnlyAboveOneWholeDay) {
    EXPECT_EQ(FormatCountdown(86400), "24:00:00");
    EXPECT_EQ(FormatCountdown(86401), Gbk("1天00:00:01"));
    EXPECT_EQ(FormatCountdown(604799), Gbk("6天23:59:59"));
    EXPECT_EQ(FormatCountdown(3 * 86400), Gbk("3天00:00:00"));
    EXPECT_EQ(FormatCountdown(59), "00:00:59");
    EXPECT_EQ(FormatCountdown(3661), "01:01:01");
    EXPECT_EQ(FormatCountdown(0), "00:00:00");
    EXPECT_EQ(FormatCountdown(-5), "00:00:00");
}

TEST(AlarmReminderText, TwoDigitTimeThenName) {
    AlarmEntry a = Alarm(7, 5);
    a.name = Gbk("起床");
    EXPECT_EQ(AlarmReminderText(a), Gbk("07:05 起床"));
}

TEST(AlarmPage, OnOffBoxFlipsEnabled) {
    std::vector<AlarmEntry> alarms = {Alarm(8, 0), Alarm(9, 0)};
    EXPECT_TRUE(ToggleAlarmItem(alarms, 21));
    EXPECT_EQ(alarms[1].enabled, 0);
    EXPECT_EQ(alarms[0].enabled, 1);
    EXPECT_TRUE(ToggleAlarmItem(alarms, 21));
    EXPECT_EQ(alarms[1].enabled, 1);
}

TEST(AlarmPage, DayLettersFlipDaysAndLeaveEnabledAlone) {
    std::vector<AlarmEntry> alarms = {Alarm(8, 0, {1})};
    EXPECT_TRUE(ToggleAlarmItem(alarms, 12));  // Monday off: now a one-shot alarm, still on
    EXPECT_FALSE(AlarmRepeats(alarms[0]));
    EXPECT_EQ(alarms[0].enabled, 1);
    EXPECT_TRUE(ToggleAlarmItem(alarms, 18));  // Sunday
    EXPECT_EQ(alarms[0].days[7], 1);
    EXPECT_EQ(alarms[0].enabled, 1);
}

TEST(AlarmPage, CodesThatToggleNothing) {
    std::vector<AlarmEntry> alarms = {Alarm(8, 0)};
    const std::vector<AlarmEntry> before = alarms;
    EXPECT_FALSE(ToggleAlarmItem(alarms, 9));   // header
    EXPECT_FALSE(ToggleAlarmItem(alarms, 10));  // time box opens the editor
    EXPECT_FALSE(ToggleAlarmItem(alarms, 19));  // past Sunday
    EXPECT_FALSE(ToggleAlarmItem(alarms, 21));  // no row 1
    EXPECT_EQ(alarms[0].enabled, before[0].enabled);
    EXPECT_FALSE(AlarmRepeats(alarms[0]));
}

namespace {

AlarmEditorInput Input(int hour, int minute) {
    AlarmEditorInput in;
    in.hour = hour;
    in.minute = minute;
    return in;
}

}  // namespace

TEST(AlarmEditorSave, NewAlarmGoesToTheTop) {
    std::vector<AlarmEntry> alarms = {Alarm(8, 0), Alarm(9, 0)};
    AlarmEditorInput in = Input(7, 30);
    in.days[3] = true;
    in.nameText = Gbk("开会");
    std::string message = "stale";
    ASSERT_TRUE(SaveAlarmEdit(alarms, -1, nullptr, in, &message));
    EXPECT_TRUE(message.empty());
    ASSERT_EQ(alarms.size(), 3u);
    EXPECT_EQ(alarms[0].hour, 7);
    EXPECT_EQ(alarms[0].minute, 30);
    EXPECT_EQ(alarms[0].days[3], 1);
    EXPECT_EQ(alarms[0].enabled, 1);
    EXPECT_EQ(alarms[0].name, Gbk("开会"));
    EXPECT_EQ(alarms[1].hour, 8);
    EXPECT_EQ(alarms[2].hour, 9);
}

TEST(AlarmEditorSave, DuplicateTimeIsRefusedWithItsMessage) {
    std::vector<AlarmEntry> alarms = {Alarm(7, 30), Alarm(9, 0)};
    std::string message;
    EXPECT_FALSE(SaveAlarmEdit(alarms, -1, nullptr, Input(7, 30), &message));
    EXPECT_EQ(message, Gbk("7 时 | 30 分\r\n闹钟时间已经存在，请重新修改。"));
    EXPECT_EQ(alarms.size(), 2u);
    // Editing the second alarm onto the first one's time is refused too, and changes nothing.
    EXPECT_FALSE(SaveAlarmEdit(alarms, 1, nullptr, Input(7, 30), &message));
    EXPECT_EQ(alarms[1].hour, 9);
    EXPECT_EQ(AlarmDuplicateMessage(0, 5), Gbk("0 时 | 5 分\r\n闹钟时间已经存在，请重新修改。"));
}

TEST(AlarmEditorSave, EditingKeepsItsOwnTime) {
    std::vector<AlarmEntry> alarms = {Alarm(7, 30), Alarm(9, 0)};
    AlarmEditorInput in = Input(9, 0);
    in.nameText = Gbk("新名字");
    std::string message;
    ASSERT_TRUE(SaveAlarmEdit(alarms, 1, nullptr, in, &message));
    EXPECT_EQ(alarms.size(), 2u);
    EXPECT_EQ(alarms[1].name, Gbk("新名字"));
    EXPECT_FALSE(SaveAlarmEdit(alarms, 2, nullptr, in, &message));
    EXPECT_TRUE(message.empty());
}

TEST(AlarmEditorSave, EnabledFollowsDaysOrOneShot) {
    std::vector<AlarmEntry> alarms;
    std::string message;
    ASSERT_TRUE(SaveAlarmEdit(alarms, -1, nullptr, Input(6, 0), &message));
    EXPECT_EQ(alarms[0].enabled, 0);  // neither days nor one-shot: stored off
    AlarmEditorInput oneShot = Input(6, 0);
    oneShot.oneShot = true;
    ASSERT_TRUE(SaveAlarmEdit(alarms, 0, nullptr, oneShot, &message));
    EXPECT_EQ(alarms[0].enabled, 1);
    EXPECT_FALSE(AlarmRepeats(alarms[0]));
    AlarmEditorInput weekly = Input(6, 0);
    weekly.days[7] = true;
    ASSERT_TRUE(SaveAlarmEdit(alarms, 0, nullptr, weekly, &message));
    EXPECT_EQ(alarms[0].enabled, 1);
    EXPECT_EQ(alarms[0].days[7], 1);
}

TEST(AlarmEditorSave, OneShotThatRangWhileOpenStaysOffUnlessGivenANewTime) {
    std::vector<AlarmEntry> alarms = {Alarm(6, 0)};
    const AlarmEntry opened = alarms[0];
    const AlarmEditorInput shown = AlarmEditorInputFor(opened);
    alarms[0].enabled = 0;  // it rang while the editor was open
    AlarmEditorInput renamed = shown;
    renamed.nameText = Gbk("改名");
    std::string message;
    ASSERT_TRUE(SaveAlarmEdit(alarms, 0, &opened, renamed, &message));
    EXPECT_EQ(alarms[0].enabled, 0);
    EXPECT_EQ(alarms[0].name, Gbk("改名"));
    AlarmEditorInput later = shown;
    later.minute = 30;
    ASSERT_TRUE(SaveAlarmEdit(alarms, 0, &opened, later, &message));
    EXPECT_EQ(alarms[0].enabled, 1);
    // Opened while off, then checked by the user: switched on at its old time.
    std::vector<AlarmEntry> off = {Alarm(7, 0)};
    off[0].enabled = 0;
    const AlarmEntry openedOff = off[0];
    AlarmEditorInput checked = AlarmEditorInputFor(openedOff);
    checked.oneShot = true;
    ASSERT_TRUE(SaveAlarmEdit(off, 0, &openedOff, checked, &message));
    EXPECT_EQ(off[0].enabled, 1);
}

TEST(AlarmEditorSave, NameLosesBarsAndIsCutAtACharacterBoundary) {
    std::vector<AlarmEntry> alarms;
    std::string message;
    AlarmEditorInput in = Input(6, 0);
    in.nameText = Gbk("早|饭|");
    ASSERT_TRUE(SaveAlarmEdit(alarms, -1, nullptr, in, &message));
    EXPECT_EQ(alarms[0].name, Gbk("早饭"));

    std::string chinese;
    for (int i = 0; i < 26; ++i)
        chinese += Gbk("钟");
    in = Input(7, 0);
    in.nameText = "a" + chinese;  // 53 bytes: byte 50 is the lead byte of the 25th character
    ASSERT_TRUE(SaveAlarmEdit(alarms, -1, nullptr, in, &message));
    EXPECT_EQ(alarms[0].name, "a" + chinese.substr(0, 48));
}

TEST(AlarmEditorSave, ActionByOption) {
    std::vector<AlarmEntry> alarms;
    std::string message;
    AlarmEditorInput in = Input(6, 0);
    in.option = kActionOpenProgram;
    in.programPath = Gbk("点击【...】按钮指定一个软件");
    ASSERT_TRUE(SaveAlarmEdit(alarms, -1, nullptr, in, &message));
    EXPECT_EQ(alarms[0].action, in.programPath);  // the hint text is stored as it stands
    in.option = kActionShutdown;
    ASSERT_TRUE(SaveAlarmEdit(alarms, 0, nullptr, in, &message));
    EXPECT_EQ(alarms[0].action, Gbk("关机"));
    in.option = kActionRestart;
    ASSERT_TRUE(SaveAlarmEdit(alarms, 0, nullptr, in, &message));
    EXPECT_EQ(alarms[0].action, Gbk("重启"));
    in.option = kActionNone;
    ASSERT_TRUE(SaveAlarmEdit(alarms, 0, nullptr, in, &message));
    EXPECT_EQ(alarms[0].action, "");
}

TEST(AlarmEditorOpen, ControlsReflectTheAlarm) {
    AlarmEntry a = Alarm(6, 45);
    a.action = Gbk("重启");
    AlarmEditorInput in = AlarmEditorInputFor(a);
    EXPECT_TRUE(in.oneShot);  // enabled without days
    EXPECT_EQ(in.option, kActionRestart);
    a.days[2] = 1;
    a.action = "C:\\app.exe";
    in = AlarmEditorInputFor(a);
    EXPECT_FALSE(in.oneShot);
    EXPECT_TRUE(in.days[2]);
    EXPECT_EQ(in.option, kActionOpenProgram);
    EXPECT_EQ(in.programPath, "C:\\app.exe");
    AlarmEditorInput fresh = NewAlarmEditorInput(At(10, 13, 27, 5));
    EXPECT_EQ(fresh.hour, 13);
    EXPECT_EQ(fresh.minute, 27);
    for (int k = 1; k <= 7; ++k)
        EXPECT_TRUE(fresh.days[k]) << k;
    EXPECT_FALSE(fresh.oneShot);
}

TEST(AlarmEditorDelete, RemovesAndMayEmptyTheList) {
    std::vector<AlarmEntry> alarms = {Alarm(7, 0), Alarm(8, 0)};
    EXPECT_FALSE(DeleteAlarm(alarms, 2));
    ASSERT_TRUE(DeleteAlarm(alarms, 0));
    EXPECT_EQ(alarms[0].hour, 8);
    ASSERT_TRUE(DeleteAlarm(alarms, 0));
    EXPECT_TRUE(alarms.empty());
}

namespace {

int64_t Moment(int year, int month, int day, int hour, int minute, int second) {
    return ToSeconds(MakeDateTime(year, month, day, hour, minute, second));
}

}  // namespace

// The wake timer is armed for the first ring after now: 2026-12-07 is a Monday.
TEST(WakeMoment, FirstRingAfterNowOfAnyEnabledAlarm) {
    std::vector<AlarmEntry> alarms = {Alarm(7, 30, {1})};
    int64_t moment = 0;
    ASSERT_TRUE(NextWakeMoment(alarms, Moment(2026, 12, 7, 7, 29, 59), &moment));
    EXPECT_EQ(moment, Moment(2026, 12, 7, 7, 30, 0));
    // In its ring second and after it, the alarm is ringing or has rung: next Monday.
    ASSERT_TRUE(NextWakeMoment(alarms, Moment(2026, 12, 7, 7, 30, 0), &moment));
    EXPECT_EQ(moment, Moment(2026, 12, 14, 7, 30, 0));
    ASSERT_TRUE(NextWakeMoment(alarms, Moment(2026, 12, 7, 7, 30, 20), &moment));
    EXPECT_EQ(moment, Moment(2026, 12, 14, 7, 30, 0));

    alarms.push_back(Alarm(22, 0));  // one-shot: tonight
    ASSERT_TRUE(NextWakeMoment(alarms, Moment(2026, 12, 7, 21, 0, 0), &moment));
    EXPECT_EQ(moment, Moment(2026, 12, 7, 22, 0, 0));
    ASSERT_TRUE(NextWakeMoment(alarms, Moment(2026, 12, 7, 23, 0, 0), &moment));
    EXPECT_EQ(moment, Moment(2026, 12, 8, 22, 0, 0));

    for (AlarmEntry& alarm : alarms)
        alarm.enabled = 0;
    alarms.push_back(Alarm(25, 0));  // a hand-edited hour: never rings
    EXPECT_FALSE(NextWakeMoment(alarms, Moment(2026, 12, 7, 21, 0, 0), &moment));
}

// Missed: a ring moment after the program was last seen and before now, at most a day back.
TEST(MissedAlarms, RingMomentsWhileAwayLatestFirst) {
    const int64_t now = Moment(2026, 12, 8, 7, 40, 0);  // a Tuesday
    std::vector<AlarmEntry> alarms = {Alarm(7, 35, {2}),  Alarm(7, 20, {2}), Alarm(7, 38),
                                      Alarm(7, 36, {3}),  Alarm(7, 40, {2}), Alarm(7, 37, {2})};
    alarms[5].enabled = 0;
    const std::vector<MissedAlarm> missed = MissedAlarms(alarms, Moment(2026, 12, 8, 7, 30, 0), now);
    // Not the one before last seen, nor Wednesday's, nor now's own, nor the disabled one.
    ASSERT_EQ(missed.size(), 2u);
    EXPECT_EQ(missed[0].index, 2u);
    EXPECT_EQ(missed[0].moment, Moment(2026, 12, 8, 7, 38, 0));
    EXPECT_EQ(missed[1].index, 0u);

    // Away for three days: only the last day's moments count, one per alarm.
    const std::vector<MissedAlarm> longAway = MissedAlarms({Alarm(9, 0)}, Moment(2026, 12, 5, 8, 0, 0), now);
    ASSERT_EQ(longAway.size(), 1u);
    EXPECT_EQ(longAway[0].moment, Moment(2026, 12, 7, 9, 0, 0));
    EXPECT_TRUE(MissedAlarms(alarms, now, now).empty());
    EXPECT_TRUE(MissedAlarms(alarms, now + 60, now).empty());  // the clock was put back
}

// The pop-up lists five alarms at most, then how many there were in all.
TEST(MissedAlarms, PopupLinesStopAtFiveThenCountAll) {
    std::vector<AlarmEntry> alarms;
    std::vector<MissedAlarm> missed;
    for (int i = 0; i < 7; ++i) {
        alarms.push_back(Alarm(8, i, {}));
        alarms.back().name = Gbk("第") + std::to_string(i);
        missed.push_back(MissedAlarm{static_cast<size_t>(6 - i), 0});
    }
    const std::vector<std::string> lines = MissedAlarmLines(alarms, missed);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "08:06 " + Gbk("第6"));
    EXPECT_EQ(lines[4], "08:02 " + Gbk("第2"));
    EXPECT_EQ(lines[5], Gbk("等7个"));
    missed.resize(5);
    EXPECT_EQ(MissedAlarmLines(alarms, missed).size(), 5u);
}
