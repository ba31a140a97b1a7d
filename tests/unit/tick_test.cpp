#include "clock/core/tick.h"

#include <gtest/gtest.h>

#include "clock/alarms/alarm_rules.h"
#include "clock/calendar/lunar.h"
#include "clock/core/clock_data.h"
#include "clock/core/load_all.h"
#include "forms/gbk.h"
#include "forms/ini.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/test_support.h"

namespace {

// 2025-03-10 is a Monday; the 12th a Wednesday.
class TickTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFakePlatform();
        ResetTickState();
        Alarms.clear();
        Timers.clear();
        Birthdays.clear();
        Schedules.clear();
        LapTimes.clear();
        StopwatchStart = 0;
        for (int k = 0; k < kOptionCount; ++k)
            OptionSlots[k] = BuiltInOption(k);
        DataFilePath = dir_.File("data.ini");
        SetFakeNow(2025, 3, 10, 9, 0, 0);
    }

    void TickAt(int day, int hour, int minute, int second) {
        SetFakeNow(2025, 3, day, hour, minute, second);
        Tick();
    }

    // The alarm as SaveAlarms left it in the data file.
    AlarmEntry SavedAlarm(size_t index) {
        const std::string section = ReadSection(LoadIniFile(DataFilePath), Gbk("闹钟"));
        size_t begin = 0;
        for (size_t i = 0; i < index; ++i)
            begin = section.find("\r\n", begin) + 2;
        const std::string line = section.substr(begin, section.find("\r\n", begin) - begin);
        return ParseAlarm(line.substr(line.find('=') + 1));
    }

    // Runs the per-minute pass now (the multimedia tick moves on by more than a minute).
    void DatePass() {
        Fake().mediaTime += kDateCheckPeriodMs + 1;
        Tick();
    }

    ScratchDir dir_;
};

AlarmEntry Alarm(int hour, int minute, std::initializer_list<int> days, const std::string& name = "") {
    AlarmEntry a;
    a.hour = hour;
    a.minute = minute;
    for (int d : days)
        a.days[d] = 1;
    a.enabled = 1;
    a.name = name;
    return a;
}

DateEntry Dated(const char* nameUtf8, int year, int month, int day, int hour, int minute, int ahead) {
    DateEntry e;
    e.name = Gbk(nameUtf8);
    e.year = year;
    e.month = month;
    e.day = day;
    e.hour = hour;
    e.minute = minute;
    e.aheadDays = ahead;
    return e;
}

}  // namespace

// ---- Alarms ----

TEST_F(TickTest, AlarmDueLaterInTheWeekDoesNotRing) {
    Alarms = {Alarm(8, 0, {1, 5})};
    TickAt(12, 9, 0, 0);
    EXPECT_TRUE(Fake().reminders.empty());
    EXPECT_EQ(Fake().repaints, 1);
}

TEST_F(TickTest, AlarmRingsOnceInItsSecondWithItsTexts) {
    Alarms = {Alarm(8, 0, {1}, Gbk("起床"))};
    TickAt(10, 7, 59, 59);
    for (int i = 0; i < 10; ++i)
        TickAt(10, 8, 0, 0);
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().reminders[0].kind, 0);
    EXPECT_EQ(Fake().reminders[0].firstText, Gbk("闹钟的时间到了！！"));
    EXPECT_EQ(Fake().reminders[0].secondText, Gbk("08:00 起床"));
    EXPECT_EQ(Alarms[0].enabled, 1);  // repeating alarms stay on
    TickAt(10, 8, 0, 1);
    EXPECT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().repaints, 12);
}

TEST_F(TickTest, OneShotCreatedAfterItsTimeRingsTomorrowAndSwitchesOff) {
    Alarms = {Alarm(8, 0, {}, Gbk("一次"))};
    TickAt(10, 9, 0, 0);
    TickAt(11, 7, 59, 59);
    EXPECT_TRUE(Fake().reminders.empty());
    TickAt(11, 8, 0, 0);
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Alarms[0].enabled, 0);
    EXPECT_EQ(SavedAlarm(0).enabled, 0);
    EXPECT_EQ(SavedAlarm(0).hour, 8);
    TickAt(11, 8, 0, 0);
    EXPECT_EQ(Fake().reminders.size(), 1u);
}

TEST_F(TickTest, TickThatComesLateStillRingsEveryKindOnce) {
    Alarms = {Alarm(8, 0, {1, 2, 3, 4, 5, 6, 7}, Gbk("每天")), Alarm(8, 1, {1}, Gbk("每周")),
              Alarm(8, 2, {}, Gbk("一次"))};
    TickAt(10, 7, 59, 59);
    TickAt(10, 8, 2, 30);  // the GUI thread was held up for two and a half minutes
    TickAt(10, 8, 2, 31);
    ASSERT_EQ(Fake().reminders.size(), 3u);
    EXPECT_EQ(Fake().reminders[2].secondText, Gbk("08:02 一次"));
    EXPECT_EQ(SavedAlarm(2).enabled, 0);
}

// A sleep of four hours (or a clock set forward): the last few minutes ring as usual, what lies
// further back is told in one "错过的闹钟" pop-up, without actions; a missed one-shot switches off.
TEST_F(TickTest, AfterAGapTheLastFewMinutesRingAndTheRestIsToldAsMissed) {
    Alarms = {Alarm(8, 0, {1}, Gbk("早")), Alarm(10, 57, {1}, Gbk("晚")), Alarm(9, 30, {}, Gbk("关机"))};
    Alarms[2].action = Gbk("关机");
    TickAt(10, 7, 0, 0);
    TickAt(10, 11, 0, 0);
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().reminders[0].secondText, Gbk("10:57 晚"));
    ASSERT_EQ(Fake().reminderLists.size(), 1u);
    EXPECT_EQ(Fake().reminderLists[0].kind, 0);
    EXPECT_EQ(Fake().reminderLists[0].title, Gbk("错过的闹钟"));
    EXPECT_EQ(Fake().reminderLists[0].lines, (std::vector<std::string>{Gbk("09:30 关机"), Gbk("08:00 早")}));
    EXPECT_TRUE(Fake().shutdownModes.empty());
    EXPECT_EQ(SavedAlarm(2).enabled, 0);
    EXPECT_EQ(ReadSetting("LastSeen", ""), "2025-03-10 11:00:00");
    TickAt(10, 11, 0, 1);
    EXPECT_EQ(Fake().reminderLists.size(), 1u);
}

// At start-up: what rang between the previous run's LastSeen and now is told once; now's own
// second rings as usual. A value that cannot be read tells nothing.
TEST_F(TickTest, AlarmsMissedWhileTheProgramWasNotRunningAreToldAtTheFirstTick) {
    WriteBytes(DataFilePath, Gbk("[设置]\r\nLastSeen=2025-03-10 08:50:00\r\n[闹钟]\r\n0=9时0分||是|现在|\r\n"
                                 "1=8时55分||是|开会|关机\r\n2=8时45分||是|太早|\r\n"));
    LoadAll();
    TickAt(10, 9, 0, 0);
    ASSERT_EQ(Fake().reminderLists.size(), 1u);
    EXPECT_EQ(Fake().reminderLists[0].lines, std::vector<std::string>{Gbk("08:55 开会")});
    EXPECT_TRUE(Fake().shutdownModes.empty());
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().reminders[0].secondText, Gbk("09:00 现在"));
    EXPECT_EQ(SavedAlarm(1).enabled, 0);
    EXPECT_EQ(SavedAlarm(2).enabled, 1);  // before LastSeen: it rang in the previous run

    for (const char* unreadable : {"", "2025-03-10 8:50:00", "2025-02-30 08:50:00", "昨天"}) {
        ResetFakePlatform();
        ResetTickState();
        WriteBytes(DataFilePath, Gbk("[设置]\r\nLastSeen=") + Gbk(unreadable) + Gbk("\r\n[闹钟]\r\n0=8时55分||是|开会|\r\n"));
        LoadAll();
        TickAt(10, 9, 0, 0);
        EXPECT_TRUE(Fake().reminderLists.empty()) << unreadable;
    }
}

// The wake timer follows the next ring of any enabled alarm while option 7 is on: set again only
// when that moment changes or a resume forces it, cancelled when nothing is left to wake for.
TEST_F(TickTest, WakeTimerFollowsTheNextAlarmWhileTheOptionIsOn) {
    Alarms = {Alarm(9, 30, {}, Gbk("一次"))};
    TickAt(10, 9, 0, 0);
    EXPECT_TRUE(Fake().wakeCalls.empty());  // the option is off by default
    SetOptionFlag(kOptionWakeForAlarm, true);
    TickAt(10, 9, 0, 1);
    TickAt(10, 9, 0, 2);
    const int64_t ring = ToSeconds(MakeDateTime(2025, 3, 10, 9, 30, 0));
    EXPECT_EQ(Fake().wakeCalls, std::vector<int64_t>{ring});
    EXPECT_EQ(ArmedWakeMoment(), ring);
    KeepWakeTimer(true);  // resumed: the same moment is set again
    EXPECT_EQ(Fake().wakeCalls.size(), 2u);
    Alarms.push_back(Alarm(9, 10, {1}, Gbk("每周一")));
    TickAt(10, 9, 0, 3);
    EXPECT_EQ(Fake().wakeCalls.back(), ToSeconds(MakeDateTime(2025, 3, 10, 9, 10, 0)));
    TickAt(10, 9, 10, 0);  // rings: next Monday's, as the one-shot comes first
    EXPECT_EQ(Fake().wakeCalls.back(), ring);
    TickAt(10, 9, 30, 0);
    EXPECT_EQ(Fake().wakeCalls.back(), ToSeconds(MakeDateTime(2025, 3, 17, 9, 10, 0)));
    SetOptionFlag(kOptionWakeForAlarm, false);
    TickAt(10, 9, 30, 1);
    EXPECT_EQ(Fake().wakeCalls.back(), 0);
    EXPECT_EQ(ArmedWakeMoment(), 0);
    EXPECT_FALSE(WakeProblemWaiting());
}

// A computer that cannot be woken is told once per run, whatever fails after.
TEST_F(TickTest, WakeFailureIsToldOnce) {
    Alarms = {Alarm(9, 30, {1}), Alarm(9, 40, {1})};
    SetOptionFlag(kOptionWakeForAlarm, true);
    Fake().wakeAnswer = WakeArm::kWakeTimersOff;
    TickAt(10, 9, 0, 0);
    EXPECT_NE(ArmedWakeMoment(), 0);  // armed; only the power plan keeps it from waking
    ASSERT_TRUE(WakeProblemWaiting());
    EXPECT_EQ(TakeWakeProblem(), WakeArm::kWakeTimersOff);
    Fake().wakeAnswer = WakeArm::kFailed;
    TickAt(10, 9, 30, 0);
    EXPECT_EQ(Fake().wakeCalls.size(), 2u);
    EXPECT_EQ(ArmedWakeMoment(), 0);
    EXPECT_FALSE(WakeProblemWaiting());
}

// 稍后提醒: the reminder comes back after its minutes, marked, and only once.
TEST_F(TickTest, SnoozedReminderComesBackMarkedAfterItsMinutes) {
    Fake().tickCount = 0xFFFFF000u;  // across the wrap
    SnoozeAlarmReminder(Gbk("闹钟的时间到了！！"), Gbk("07:30 起床"), 1);
    Fake().tickCount += 59999;
    Tick();
    EXPECT_TRUE(Fake().reminders.empty());
    Fake().tickCount += 1;
    Tick();
    Tick();
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().reminders[0].kind, 0);
    EXPECT_EQ(Fake().reminders[0].firstText, Gbk("闹钟的时间到了！！"));
    EXPECT_EQ(Fake().reminders[0].secondText, Gbk("07:30 起床（稍后提醒）"));
    EXPECT_TRUE(Fake().shutdownModes.empty());
}

TEST_F(TickTest, LateTickAfterMidnightRingsYesterdaysAlarm) {
    Alarms = {Alarm(23, 59, {1}, Gbk("周一")), Alarm(23, 59, {2}, Gbk("周二"))};
    TickAt(10, 23, 58, 30);
    TickAt(11, 0, 1, 0);
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().reminders[0].secondText, Gbk("23:59 周一"));
}

TEST_F(TickTest, ClockSetBackRingsItsOwnSecondButNoMomentTwice) {
    Alarms = {Alarm(8, 0, {1, 2, 3, 4, 5, 6, 7}, Gbk("甲")), Alarm(7, 59, {1, 2, 3, 4, 5, 6, 7}, Gbk("乙"))};
    TickAt(10, 8, 0, 0);
    TickAt(10, 8, 0, 5);
    TickAt(10, 7, 59, 0);  // a time sync puts the clock back onto the other alarm's second
    for (int second = 1; second <= 59; ++second)
        TickAt(10, 7, 59, second);
    TickAt(10, 8, 0, 0);
    ASSERT_EQ(Fake().reminders.size(), 2u);
    EXPECT_EQ(Fake().reminders[1].secondText, Gbk("07:59 乙"));
    TickAt(11, 7, 0, 0);
    TickAt(11, 8, 0, 0);
    EXPECT_EQ(Fake().reminders.size(), 4u);  // the next day's moments are new ones
}

TEST_F(TickTest, AlarmActions) {
    const std::string program = "C:\\tools\\app.exe";
    Fake().openableFiles.insert(program);
    Alarms = {Alarm(8, 0, {1}), Alarm(8, 1, {1}), Alarm(8, 2, {1}), Alarm(8, 3, {1}), Alarm(8, 4, {1})};
    Alarms[0].action = Gbk("关机");
    Alarms[1].action = Gbk("重启");
    Alarms[2].action = program;
    Alarms[3].action = Gbk("点击【...】按钮指定一个软件");
    for (int minute = 0; minute <= 4; ++minute)
        TickAt(10, 8, minute, 0);
    EXPECT_EQ(Fake().reminders.size(), 5u);
    EXPECT_EQ(Fake().shutdownModes, (std::vector<int>{0, 1}));
    EXPECT_EQ(Fake().shellOpens, std::vector<std::string>{program});
    // The hint text was looked up and not opened; an empty action is not even looked up.
    EXPECT_EQ(Fake().fileQueries, (std::vector<std::string>{program, Alarms[3].action}));
    EXPECT_FALSE(AlarmFileProblemsWaiting());
}

// A file that is gone, or one the shell refuses, is told once per ring, naming the alarm and the
// file; the reminder itself still shows.
TEST_F(TickTest, AlarmFileThatCannotBeOpenedIsTold) {
    const std::string gone = Gbk("D:\\旧电脑\\音乐.exe");
    const std::string refused = "C:\\tools\\app.exe";
    Fake().openableFiles.insert(refused);
    Fake().shellRefuses = true;
    Alarms = {Alarm(8, 0, {1}), Alarm(8, 1, {1})};
    Alarms[0].name = Gbk("起床");
    Alarms[0].action = gone;
    Alarms[1].action = refused;
    TickAt(10, 8, 0, 0);
    TickAt(10, 8, 1, 0);
    EXPECT_EQ(Fake().reminders.size(), 2u);
    const std::string first = TakeAlarmFileProblem();
    EXPECT_NE(first.find(Gbk("起床")), std::string::npos);
    EXPECT_NE(first.find(gone), std::string::npos);
    EXPECT_NE(TakeAlarmFileProblem().find(refused), std::string::npos);
    EXPECT_FALSE(AlarmFileProblemsWaiting());
    EXPECT_EQ(TakeAlarmFileProblem(), "");
}

// ---- Timers ----

TEST_F(TickTest, OneSecondTimerEndsAfterOneFullSecond) {
    TimerEntry t;
    t.seconds = 1;
    t.startTick = 5000;
    Timers = {t};
    Fake().tickCount = 5999;
    Tick();
    EXPECT_TRUE(Fake().reminders.empty());
    Fake().tickCount = 6000;
    Tick();
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().reminders[0].kind, 2);
    EXPECT_EQ(Fake().reminders[0].firstText, Gbk("计时的时间到了！！"));
    EXPECT_EQ(Fake().reminders[0].secondText, Gbk("1秒"));
    EXPECT_EQ(Timers[0].startTick, 0u);
    Tick();
    EXPECT_EQ(Fake().reminders.size(), 1u);
}

TEST_F(TickTest, TimerAcrossTheTickWrap) {
    TimerEntry t;
    t.seconds = 1;
    t.startTick = 0xFFFFFE00u;  // 512 ms before the wrap
    Timers = {t, TimerEntry()};
    Fake().tickCount = 0x1E7;  // 999 ms later
    Tick();
    EXPECT_TRUE(Fake().reminders.empty());
    Fake().tickCount = 0x1E8;
    Tick();
    EXPECT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Timers[1].startTick, 0u);  // a stopped timer stays stopped and silent
}

// ---- Hourly network check ----

TEST_F(TickTest, NetworkCheckOnlyWithOptionSixAndOncePerHour) {
    Fake().mediaTime = 4000000;
    Tick();
    EXPECT_EQ(Fake().netChecks, 0);  // option 6 is off by default
    SetOptionFlag(kOptionNetTime, true);
    Fake().mediaTime = kNetCheckPeriodMs;  // the first check waits for more than an hour of uptime
    Tick();
    EXPECT_EQ(Fake().netChecks, 0);
    Fake().mediaTime = 4000000;
    Tick();
    EXPECT_EQ(Fake().netChecks, 1);
    Fake().mediaTime += kNetCheckPeriodMs;
    Tick();
    EXPECT_EQ(Fake().netChecks, 1);  // exactly one hour is not more than an hour
    Fake().mediaTime += 1;
    Tick();
    EXPECT_EQ(Fake().netChecks, 2);
}

TEST_F(TickTest, NetworkCheckAcrossTheTickWrap) {
    SetOptionFlag(kOptionNetTime, true);
    Fake().mediaTime = 0xFFFF0000u;
    Tick();
    ASSERT_EQ(Fake().netChecks, 1);
    Fake().mediaTime = 0xFFFF0000u + kNetCheckPeriodMs + 1;  // wrapped to a small value
    ASSERT_LT(Fake().mediaTime, 0xFFFF0000u);
    Tick();
    EXPECT_EQ(Fake().netChecks, 2);
}

// ---- Birthdays and schedules ----

TEST_F(TickTest, DatePassOncePerMinuteAcrossTheWrap) {
    Birthdays = {Dated("甲", 1990, 3, 10, 0, 0, 0)};
    Fake().mediaTime = kDateCheckPeriodMs;
    Tick();
    EXPECT_TRUE(Fake().reminders.empty());  // not yet a minute of uptime
    LastDateCheck = 0xFFFFFFF0u;
    Fake().mediaTime = kDateCheckPeriodMs - 16;
    Tick();
    EXPECT_TRUE(Fake().reminders.empty());
    Fake().mediaTime = kDateCheckPeriodMs - 15;
    Tick();
    EXPECT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(LastDateCheck, kDateCheckPeriodMs - 15);
}

TEST_F(TickTest, BirthdayOnItsDay) {
    Birthdays = {Dated("甲", 1990, 3, 10, 0, 0, 0)};
    SetFakeNow(2025, 3, 10, 0, 1, 0);  // the time of day plays no part
    DatePass();
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().reminders[0].kind, 3);
    EXPECT_EQ(Fake().reminders[0].firstText, Gbk("生日时间到了！！"));
    EXPECT_EQ(Fake().reminders[0].secondText, Gbk("甲 [35周岁]"));
    EXPECT_EQ(Birthdays[0].reminded, 1u);
}

TEST_F(TickTest, BirthdayRemindedOnceADayThroughItsAdvanceDays) {
    Birthdays = {Dated("乙", 1990, 3, 13, 0, 0, 3)};
    SetFakeNow(2025, 3, 10, 9, 0, 0);
    DatePass();
    DatePass();
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().reminders[0].firstText, Gbk("乙 [35周岁]"));
    EXPECT_EQ(Fake().reminders[0].secondText, Gbk("距离生日还有 3 天"));
    SetFakeNow(2025, 3, 11, 0, 0, 30);
    DatePass();
    DatePass();
    ASSERT_EQ(Fake().reminders.size(), 2u);
    EXPECT_EQ(Fake().reminders[1].secondText, Gbk("距离生日还有 2 天"));
    SetFakeNow(2025, 3, 13, 9, 0, 0);
    DatePass();
    ASSERT_EQ(Fake().reminders.size(), 3u);
    EXPECT_EQ(Fake().reminders[2].firstText, Gbk("生日时间到了！！"));
}

TEST_F(TickTest, WeeklyScheduleRemindedEveryWeek) {
    Schedules = {Dated("周会", 2025, 3, 3, 7, 0, 0)};
    Schedules[0].repeat = kRepeatWeekly;
    for (int day = 10; day <= 17; ++day) {
        SetFakeNow(2025, 3, day, 8, 0, 0);
        DatePass();
    }
    EXPECT_EQ(Fake().reminders.size(), 2u);  // Mondays 10 and 17 March
}

TEST_F(TickTest, BirthdayWithADateThatCannotOccurStaysSilent) {
    // As a hand-edited line "3=" loads: an empty name and an all-zero date.
    // In December its yearly rule lands on 2026-11-29, days behind.
    Birthdays = {DateEntry()};
    SetFakeNow(2026, 12, 8, 10, 0, 0);
    DatePass();
    ASSERT_LT(Birthdays[0].daysLeft, 0);
    EXPECT_TRUE(Fake().reminders.empty());
}

TEST_F(TickTest, ExtremeHandEditedNumbersNeitherOverflowNorRing) {
    // The sanitizer build turns any signed overflow here into a failure.
    WriteBytes(DataFilePath,
               Gbk("[闹钟]\r\n0=99999999999时-99999999999分|一|是|甲|\r\n1=-99999999999时0分||是|乙|\r\n"
                   "[计时]\r\n0=-2147483648\r\n1=2147483647\r\n"
                   "[生日]\r\n0=丙|公历|-2147483648年1月1日0时0分|提前9天提醒\r\n"
                   "1=丁|农历|2147483647年1月1日0时0分|提前9天提醒\r\n"
                   "[日程]\r\n0=戊|公历|2000年1月2147483647日0时0分|提前9天提醒|按月重复(忽略年月)\r\n"
                   "1=己|公历|2000年1月-2147483648日0时0分|提前9天提醒|按年重复(忽略年份)\r\n"));
    LoadEnvironment env;
    env.now = Fake().now;
    LoadClockData(env);
    for (TimerEntry& timer : Timers)
        timer.startTick = 1;
    Fake().tickCount = 5000;
    DatePass();
    DatePass();
    for (const AlarmEntry& alarm : Alarms)
        EXPECT_GT(AlarmRingSeconds(alarm, Fake().now), 0);
    EXPECT_EQ(Alarms.size(), 2u);
    // Only the timer of the most negative duration ends; nothing else is due.
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().reminders[0].kind, 2);
}

TEST_F(TickTest, ScheduleRemindedAtTheFirstPassAtOrAfterItsTime) {
    Schedules = {Dated("会议", 2025, 3, 10, 18, 30, 0)};
    SetFakeNow(2025, 3, 10, 18, 29, 59);
    DatePass();
    EXPECT_TRUE(Fake().reminders.empty());
    SetFakeNow(2025, 3, 10, 18, 30, 40);
    DatePass();
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().reminders[0].kind, 4);
    EXPECT_EQ(Fake().reminders[0].firstText, Gbk("会议"));
    EXPECT_EQ(Fake().reminders[0].secondText, Gbk("2025年3月10日18时30分"));
    DatePass();
    EXPECT_EQ(Fake().reminders.size(), 1u);
}

TEST_F(TickTest, MorningScheduleFoundLaterIsRemindedAtTheFirstPass) {
    Schedules = {Dated("早", 2025, 3, 10, 8, 0, 0)};
    SetFakeNow(2025, 3, 10, 10, 0, 0);
    Fake().mediaTime = kDateCheckPeriodMs + 1;
    Tick();
    EXPECT_EQ(Fake().reminders.size(), 1u);
}

TEST_F(TickTest, ScheduleAdvanceReminderWaitsForItsTimeOfDay) {
    Schedules = {Dated("会", 2025, 3, 12, 18, 30, 3)};
    SetFakeNow(2025, 3, 10, 10, 0, 0);
    DatePass();
    EXPECT_TRUE(Fake().reminders.empty());
    SetFakeNow(2025, 3, 10, 19, 0, 0);
    DatePass();
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().reminders[0].secondText, Gbk("距离日程还有 2 天"));
}

TEST_F(TickTest, PastAndFarSchedulesStaySilent) {
    Schedules = {Dated("过去", 2025, 3, 9, 8, 0, 7), Dated("以后", 2025, 3, 20, 8, 0, 3)};
    SetFakeNow(2025, 3, 10, 23, 59, 0);
    DatePass();
    EXPECT_TRUE(Fake().reminders.empty());
}

TEST_F(TickTest, DayOfScheduleTextsByRepeat) {
    std::vector<DateEntry> list = {Dated("年", 2020, 3, 10, 7, 0, 0), Dated("月", 2020, 1, 10, 7, 0, 0),
                                   Dated("周", 2025, 3, 3, 7, 0, 0)};
    list[0].repeat = kRepeatYearly;
    list[1].repeat = kRepeatMonthly;
    list[2].repeat = kRepeatWeekly;
    Schedules = list;
    SetFakeNow(2025, 3, 10, 8, 0, 0);
    DatePass();
    ASSERT_EQ(Fake().reminders.size(), 3u);
    std::vector<std::string> texts;
    for (const FakeReminder& r : Fake().reminders)
        texts.push_back(r.secondText);
    EXPECT_EQ(texts,
              (std::vector<std::string>{Gbk("每年的 3月10日"), Gbk("每月的 10日"), Gbk("每个星期一")}));
}

TEST_F(TickTest, DayOfLunarScheduleText) {
    // Lunar 2025-02-11 is Gregorian 2025-03-10.
    ASSERT_EQ(LunarToSolar(2025, 2, 11, false), MakeDate(2025, 3, 10));
    Schedules = {Dated("农", 2025, 2, 11, 7, 5, 0)};
    Schedules[0].calendar = kLunar;
    SetFakeNow(2025, 3, 10, 8, 0, 0);
    DatePass();
    ASSERT_EQ(Fake().reminders.size(), 1u);
    EXPECT_EQ(Fake().reminders[0].secondText, Gbk("乙巳年二月十一7时5分"));
}

// ---- Start-up load ----

TEST_F(TickTest, LoadAllShowsTrayAndPlacesTheWindow) {
    WriteBytes(DataFilePath, Gbk("[设置]\r\n2=0|x\r\n秒表=5\r\n[秒表]\r\n0=1000\r\n"));
    Fake().mediaTime = 0;  // a running stopwatch must not read as stopped
    Fake().screen.right = 1920;
    Fake().screen.bottom = 1040;
    LoadAll();
    EXPECT_EQ(Fake().trayCalls, std::vector<bool>{false});
    ASSERT_EQ(Fake().moves.size(), 1u);
    EXPECT_EQ(Fake().moves[0].x, 1720);
    EXPECT_EQ(Fake().moves[0].y, 740);
    EXPECT_EQ(Fake().moves[0].width, 193);
    EXPECT_EQ(Fake().moves[0].height, 300);
    EXPECT_EQ(LapTimes, std::vector<uint64_t>{1000});
    EXPECT_NE(StopwatchStart, 0u);
}
