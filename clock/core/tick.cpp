#include "clock/core/tick.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "clock/alarms/alarm_rules.h"
#include "clock/alarms/reminder_rules.h"
#include "clock/alarms/timer_rules.h"
#include "clock/calendar/date_entries.h"
#include "clock/core/clock_data.h"
#include "clock/core/platform.h"
#include "forms/gbk.h"

uint32_t LastNetCheck = 0;
uint32_t LastDateCheck = 0;

namespace {

// The wall clock (ToSeconds) of the previous alarm check, and the day (DayNumber) of the previous
// birthday and schedule pass; both unknown at program start.
constexpr int64_t kNotYet = INT64_MIN;
int64_t LastAlarmSecond = kNotYet;
int64_t LastReminderDay = kNotYet;
std::deque<std::string> AlarmFileProblems;

// LastSeen: the previous run's, for the first alarm check; when this run last wrote its own.
int64_t StartLastSeen = kNoLastSeen;
bool LastSeenWritten = false;
uint32_t LastSeenWrite = 0;

// The wake timer: the second of the last look, the moment last asked for and the one armed (0:
// none), and a failure not yet told (kArmed: none). Only the first failure of a run is told.
int64_t LastWakeSecond = kNotYet;
int64_t WakeMomentWanted = 0;
int64_t WakeArmedAt = 0;
WakeArm WakeProblem = WakeArm::kArmed;
bool WakeProblemNoted = false;

struct Snooze {
    std::string firstText;
    std::string secondText;
    uint32_t startTick = 0;
    int minutes = kDefaultSnoozeMinutes;
};
std::vector<Snooze> Snoozes;

}  // namespace

void ResetTickState() {
    LastNetCheck = 0;
    LastDateCheck = 0;
    LastAlarmSecond = kNotYet;
    LastReminderDay = kNotYet;
    AlarmFileProblems.clear();
    StartLastSeen = kNoLastSeen;
    LastSeenWritten = false;
    LastSeenWrite = 0;
    LastWakeSecond = kNotYet;
    WakeMomentWanted = 0;
    WakeArmedAt = 0;
    WakeProblem = WakeArm::kArmed;
    WakeProblemNoted = false;
    Snoozes.clear();
}

namespace {

// Elapsed time on a 32-bit millisecond counter taken modulo 2^32: after the counter wraps (about
// 49.7 days of uptime) a plain comparison would see "now" before "last" and stall the check for
// another 49.7 days.
bool PeriodPassed(uint32_t now, uint32_t last, uint32_t period) {
    return static_cast<uint32_t>(now - last) > period;
}

// A file that is missing, a folder, or refused by the shell is told, so an alarm meant to start a
// program never fails unseen; the editor's hint text, saved without a choice, names no file.
void RunAlarmAction(const AlarmEntry& alarm) {
    static const std::string kShutdown = Gbk("关机");
    static const std::string kRestart = Gbk("重启");
    static const std::string kHint = Gbk(kProgramHint);
    const std::string& action = alarm.action;
    if (action.empty()) return;
    if (action == kShutdown) {
        OpenShutdownCountdown(0);
    } else if (action == kRestart) {
        OpenShutdownCountdown(1);
    } else if (!(IsOpenableFile(action) && OpenWithShell(action)) && action != kHint) {
        AlarmFileProblems.push_back(AlarmFileNotOpenedText(alarm));
    }
}

int64_t NowSeconds() {
    return ToSeconds(ToDateValue(PlatformNow()));
}

// One pop-up for all missed alarms; they count as rung, so a one-shot switches off. Returns true
// when one did (the list is then to be saved).
bool TellMissedAlarms(const std::vector<MissedAlarm>& missed) {
    static const std::string kTitle = Gbk("错过的闹钟");
    if (missed.empty()) return false;
    const std::vector<std::string> lines = MissedAlarmLines(Alarms, missed);
    bool switchedOff = false;
    for (const MissedAlarm& m : missed) {
        AlarmEntry& alarm = Alarms[m.index];
        alarm.rangAt = m.moment;
        if (!AlarmRepeats(alarm)) {
            alarm.enabled = 0;
            switchedOff = true;
        }
    }
    ShowReminderList(kReminderAlarm, kTitle, lines);
    return switchedOff;
}

void RingAlarm(const AlarmEntry& alarm) {
    static const std::string kTitle = Gbk("闹钟的时间到了！！");
    // A copy: the pop-up's creation may dispatch messages, and the entry must not be read after it.
    const AlarmEntry ringing = alarm;
    ShowReminder(0, kTitle, AlarmReminderText(ringing));
    RunAlarmAction(ringing);
}

std::string AgeText(const DateEntry& entry) {
    static const std::string kYears = Gbk("周岁]");
    return entry.name + " [" + std::to_string(entry.age) + kYears;
}

void RemindBirthdays() {
    static const std::string kToday = Gbk("生日时间到了！！");
    static const std::string kAhead = Gbk("距离生日还有 ");
    static const std::string kDays = Gbk(" 天");
    for (size_t i = 0; i < Birthdays.size(); ++i) {
        DateEntry& entry = Birthdays[i];
        // A date that cannot occur (a hand-edited line with month 0, a lunar date the table lacks)
        // leaves daysLeft negative; it must not raise "距离生日还有 -9 天" at every start.
        if (entry.reminded != 0 || entry.daysLeft < 0) continue;
        if (entry.daysLeft == 0) {
            entry.reminded = 1;
            ShowReminder(3, kToday, AgeText(entry));
        } else if (entry.daysLeft - entry.aheadDays < 1) {
            entry.reminded = 1;
            ShowReminder(3, AgeText(entry), kAhead + std::to_string(entry.daysLeft) + kDays);
        }
    }
}

bool ScheduleTimeHasCome(const DateEntry& entry, const DateTime& now) {
    return entry.hour < now.hour || (entry.hour == now.hour && entry.minute <= now.minute);
}

void RemindSchedules(const DateTime& now) {
    static const std::string kAhead = Gbk("距离日程还有 ");
    static const std::string kDays = Gbk(" 天");
    for (size_t i = 0; i < Schedules.size(); ++i) {
        DateEntry& entry = Schedules[i];
        if (entry.reminded != 0 || entry.daysLeft < 0 || entry.daysLeft - entry.aheadDays >= 1) continue;
        if (!ScheduleTimeHasCome(entry, now)) continue;
        const std::string second =
            entry.daysLeft > 0 ? kAhead + std::to_string(entry.daysLeft) + kDays : ScheduleDescription(entry);
        entry.reminded = 1;
        const std::string name = entry.name;  // the pop-up's creation must not read into the list
        ShowReminder(4, name, second);
    }
}

// Birthdays and schedules are reminded once a day: a new local day (the clock running past
// midnight, or set to another date) makes every entry due again, so a weekly schedule rings every
// week and an advance reminder no longer silences the one on the day itself.
void RearmRemindersOnNewDay(const DateTime& now) {
    const int64_t today = DayNumber(MakeDate(now.year, now.month, now.day));
    if (today == LastReminderDay) return;
    LastReminderDay = today;
    for (DateEntry& entry : Birthdays)
        entry.reminded = 0;
    for (DateEntry& entry : Schedules)
        entry.reminded = 0;
}

}  // namespace

// Rings what fell since the previous check rather than what falls in this very second, so a tick
// that comes late still rings. The first check at start-up looks at its own second only, as does
// one after the clock was set back; and an alarm never rings the same moment twice in a row, so a
// clock put back by a few seconds (a time sync just after the ring) does not ring it again.
// What fell before the ring window (the computer slept, or the program did not run) is told as
// missed instead of being lost.
void CheckAlarms() {
    const int64_t now = NowSeconds();
    const bool first = LastAlarmSecond == kNotYet;
    const int64_t previous = first ? now - 1 : LastAlarmSecond;
    const int64_t missedAfter = first ? StartLastSeen : LastAlarmSecond;
    const int64_t missedBefore = first ? now : now - kRingWindowSeconds + 1;
    LastAlarmSecond = now;
    bool switchedOff = false;
    bool rang = false;
    if (missedAfter != kNoLastSeen) {
        const std::vector<MissedAlarm> missed = MissedAlarms(Alarms, missedAfter, missedBefore);
        rang = !missed.empty();
        switchedOff = TellMissedAlarms(missed);
    }
    // By index: ringing may re-enter the GUI and change the list under us.
    for (size_t i = 0; i < Alarms.size(); ++i) {
        AlarmEntry& alarm = Alarms[i];
        int64_t moment = 0;
        if (alarm.enabled == 0 || !AlarmRingMomentBetween(alarm, previous, now, &moment)) continue;
        if (alarm.rangAt == moment) continue;
        alarm.rangAt = moment;
        rang = true;
        if (!AlarmRepeats(alarm)) {
            alarm.enabled = 0;  // a one-shot alarm switches itself off as it rings
            switchedOff = true;
        }
        RingAlarm(alarm);
    }
    // Saved after the ringing: a slow disk must not hold back the pop-up. LastSeen follows, so a
    // power cut soon after cannot make the next start tell these alarms as missed.
    if (switchedOff) SaveAlarms();
    if (rang) WriteLastSeen(now);
}

void SetLastSeenAtStart(int64_t lastSeen) {
    StartLastSeen = lastSeen;
}

void RecordLastSeen() {
    WriteLastSeen(NowSeconds());
}

void KeepWakeTimer(bool force) {
    const int64_t now = NowSeconds();
    if (!force && now == LastWakeSecond) return;
    LastWakeSecond = now;
    int64_t wanted = 0;
    if (!OptionOn(kOptionWakeForAlarm) || !NextWakeMoment(Alarms, now, &wanted)) wanted = 0;
    if (!force && wanted == WakeMomentWanted) return;
    WakeMomentWanted = wanted;
    if (wanted == 0) {
        CancelWakeTimer();
        WakeArmedAt = 0;
        return;
    }
    // A refusal is not retried every second: only when the moment changes or a resume forces it.
    const WakeArm result = ArmWakeTimer(wanted);
    WakeArmedAt = result == WakeArm::kArmed || result == WakeArm::kWakeTimersOff ? wanted : 0;
    if (result != WakeArm::kArmed && !WakeProblemNoted) {
        WakeProblemNoted = true;
        WakeProblem = result;
    }
}

int64_t ArmedWakeMoment() {
    return WakeArmedAt;
}

bool WakeProblemWaiting() {
    return WakeProblem != WakeArm::kArmed;
}

WakeArm TakeWakeProblem() {
    const WakeArm problem = WakeProblem;
    WakeProblem = WakeArm::kArmed;
    return problem;
}

void SnoozeAlarmReminder(const std::string& firstText, const std::string& secondText, int minutes) {
    Snoozes.push_back(Snooze{firstText, secondText, PlatformTickCount(), minutes});
}

// On the system tick, which runs on through sleep: a snooze that came due while the computer
// slept comes back at the first tick after the resume.
void CheckSnoozes() {
    const uint32_t tick = PlatformTickCount();
    for (size_t i = 0; i < Snoozes.size();) {
        if (!SnoozeDue(Snoozes[i].startTick, Snoozes[i].minutes, tick)) {
            ++i;
            continue;
        }
        const Snooze due = Snoozes[i];
        Snoozes.erase(Snoozes.begin() + static_cast<std::ptrdiff_t>(i));
        ShowReminder(kReminderAlarm, due.firstText, SnoozedSecondText(due.secondText));
    }
}

void CheckTimers() {
    static const std::string kTitle = Gbk("计时的时间到了！！");
    const uint32_t tick = PlatformTickCount();
    for (size_t i = 0; i < Timers.size(); ++i) {
        TimerEntry& timer = Timers[i];
        if (timer.startTick == 0 || TimerRemainingSeconds(timer, tick) >= 1) continue;
        timer.startTick = 0;
        ShowReminder(2, kTitle, FormatDuration(timer.seconds));
    }
}

void CheckDates() {
    const DateTime now = PlatformNow();
    RearmRemindersOnNewDay(now);
    RecomputeBirthdays(Birthdays, now);
    SortBirthdays(Birthdays);
    RemindBirthdays();
    RecomputeSchedules(Schedules, now);
    SortSchedules(Schedules);
    RemindSchedules(now);
}

void Tick() {
    CheckAlarms();
    KeepWakeTimer(false);
    CheckTimers();
    CheckSnoozes();
    const uint32_t media = PlatformMediaTime();
    if (!LastSeenWritten || PeriodPassed(media, LastSeenWrite, kLastSeenPeriodMs)) {
        LastSeenWritten = true;
        LastSeenWrite = media;
        RecordLastSeen();
    }
    if (OptionOn(kOptionNetTime) && PeriodPassed(media, LastNetCheck, kNetCheckPeriodMs)) {
        LastNetCheck = media;
        StartNetTimeCheck();
    }
    if (PeriodPassed(media, LastDateCheck, kDateCheckPeriodMs)) {
        LastDateCheck = media;
        CheckDates();
    }
    RepaintMainWindow();
}

bool AlarmFileProblemsWaiting() {
    return !AlarmFileProblems.empty();
}

std::string TakeAlarmFileProblem() {
    if (AlarmFileProblems.empty()) return std::string();
    std::string text = AlarmFileProblems.front();
    AlarmFileProblems.pop_front();
    return text;
}
