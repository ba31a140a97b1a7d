// Alarm rules without side effects: when an alarm rings, how far off it is, the texts the page and
// the reminder show, the page's toggles and the editor's save and delete. Everything works on the
// records and lists it is given; none of it calls the platform or a saver: the caller saves the
// list (SaveAlarms) whenever a function here reports a change. Texts are GBK.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clock/core/clock_data.h"
#include "clock/core/date_value.h"

constexpr int kSecondsPerDay = 86400;

// True when at least one week-day flag is set (a repeating alarm); false for a one-shot alarm.
bool AlarmRepeats(const AlarmEntry& alarm);

// Seconds from now to the alarm's next ring, as the ring rule counts them: 0 during the ring
// second hh:mm:00 itself. Repeating alarms: the first flagged week day, today or up to 7 days on,
// whose occurrence is not yet past (0..604800). One-shot alarms: today's or tomorrow's time
// (0..86399). The enabled flag is not looked at.
// An alarm whose hour or minute lies outside 0..23, 0..59 (only a hand-edited file has one) never
// rings: kNeverRings.
constexpr int kNeverRings = 2147483647;
int AlarmRingSeconds(const AlarmEntry& alarm, const DateTime& now);

// How far back a tick looks for a ring moment it has not seen yet. A GUI thread that stalls over
// the ring second (a save with a disk flush, a slow shell call or message box) still rings late;
// a clock set forward by hours rings only what fell in the last few minutes, not a day's alarms.
constexpr int kRingWindowSeconds = 300;

// Whether a ring moment of the alarm lies in (previous, now], both in seconds since 1899-12-30
// (ToSeconds), looking back no further than kRingWindowSeconds from now. A previous later than now
// (the clock was set back) looks at now's own second only. On true *moment is that ring moment (an
// alarm's moments lie a day or more apart, so at most one fits). The enabled flag is not looked at; an alarm
// that never rings gives false.
bool AlarmRingMomentBetween(const AlarmEntry& alarm, int64_t previous, int64_t now, int64_t* moment);

// ---- Waking the computer, and alarms missed while it slept or was off ----

// The first moment after now (seconds, ToSeconds) at which an enabled alarm rings: the moment the
// computer is woken for. False when no enabled alarm ever rings.
bool NextWakeMoment(const std::vector<AlarmEntry>& alarms, int64_t now, int64_t* moment);

// How far back alarms missed while the program did not run are looked for.
constexpr int64_t kMissedLookBackSeconds = 86400;

// An enabled alarm that had a ring moment while the program did not run or the computer slept.
struct MissedAlarm {
    size_t index = 0;    // in the list
    int64_t moment = 0;  // that ring moment (ToSeconds)
};

// The enabled alarms with a ring moment after lastSeen and before now (now's own second rings as
// usual), no further back than kMissedLookBackSeconds, latest first. None when lastSeen is not
// before now.
std::vector<MissedAlarm> MissedAlarms(const std::vector<AlarmEntry>& alarms, int64_t lastSeen, int64_t now);

// The lines of the "错过的闹钟" pop-up: one per missed alarm as its reminder shows it ("hh:mm name"),
// in the given order (latest first), at most kMissedLinesShown, then "等N个" with N the count of
// all when there are more.
constexpr size_t kMissedLinesShown = 5;
std::vector<std::string> MissedAlarmLines(const std::vector<AlarmEntry>& alarms,
                                          const std::vector<MissedAlarm>& missed);

// What came of arming the wake timer for the next alarm.
enum class WakeArm {
    kArmed,
    kCannotWake,     // the timer runs, but this computer cannot be woken by it
    kWakeTimersOff,  // armed, but the power plan does not allow wake timers
    kFailed,         // the system refused the timer
};

// What the user is told, once per run, when the computer cannot be woken for alarms (GBK): what
// failed and what to do. optionCaption is the caption of the option's switch.
std::string WakeProblemText(WakeArm problem, const std::string& optionCaption);

// The page's count-down: as AlarmRingSeconds, but a repeating alarm skips an occurrence that is
// not strictly in the future, so during the ring second it already shows the following ring.
int AlarmCountdownSeconds(const AlarmEntry& alarm, const DateTime& now);

// "hh:mm:ss" with hours not wrapped (86400 -> "24:00:00"); above one day the whole days first,
// "6天23:59:59". Negative input shows as "00:00:00".
std::string FormatCountdown(int seconds);

// The second text of an alarm's reminder: "hh:mm" + " " + name.
std::string AlarmReminderText(const AlarmEntry& alarm);

// What the alarm editor's program box holds until a program is chosen (UTF-8). Saved without a
// choice it becomes the action, which names no file and is not one the user asked for.
constexpr const char kProgramHint[] = "点击【...】按钮指定一个软件";

// The warning when the file an alarm was to open could not be opened as it rang (GBK): the
// alarm, the file, and what to do.
std::string AlarmFileNotOpenedText(const AlarmEntry& alarm);

// ---- Alarm page ----

// The list index of the row that item code belongs to (floor(code / 10) - 1), or -1 when the code
// names no row of a list of that many alarms (codes below 10 included).
int AlarmRowOfItem(int itemCode, size_t alarmCount);

// A click on an on/off box (code 10·i + 11) or a week-day letter (10·i + 11 + k, k = 1..7) of
// row i: flips enabled or days[k]. Days never touch enabled. Returns true when the list changed
// (then the caller saves it); false for any other code, a row past the list or a code past Sunday.
bool ToggleAlarmItem(std::vector<AlarmEntry>& alarms, int itemCode);

// ---- Alarm editor ----

// Which action radio button is selected.
enum AlarmActionOption {
    kActionOpenProgram = 0,  // Option1 (0): the program path text becomes the action
    kActionShutdown = 1,     // "关机"
    kActionRestart = 2,      // "重启"
    kActionNone = 3,
};

// What the editor's controls hold when "确定修改" is pressed.
struct AlarmEditorInput {
    int hour = 0;    // spinner position, 0..23
    int minute = 0;  // spinner position, 0..59
    std::string nameText;
    bool days[8] = {};     // days[1] Monday ... days[7] Sunday
    bool oneShot = false;  // "一次性闹钟"
    int option = kActionNone;
    std::string programPath;  // Text3 as it stands, hint text included
};

// The controls' state when the editor opens for a new alarm at the given time: all seven days
// checked, no action, empty name.
AlarmEditorInput NewAlarmEditorInput(const DateTime& now);

// The controls' state when the editor opens for an existing alarm: "一次性闹钟" ends up checked
// exactly for an enabled alarm without days.
AlarmEditorInput AlarmEditorInputFor(const AlarmEntry& alarm);

// The refusal text for a time that another alarm has: "7 时 | 30 分\r\n闹钟时间已经存在，请重新修改。".
std::string AlarmDuplicateMessage(int hour, int minute);

// Saves the editor's input: editIndex -1 creates a new alarm at index 0, otherwise alarm editIndex
// is changed; opened is that alarm as the editor opened it (nullptr for a new alarm). Returns
// false, leaving the list as it was, when another alarm (index != editIndex) has the same hour and
// minute (*message := AlarmDuplicateMessage) or when editIndex lies outside the list
// (*message := ""). On success the list changed and the caller saves it.
// A one-shot alarm that was on when opened and has rung (and so switched itself off) since stays
// off, "一次性闹钟" still checked, unless the input gives it another time: the tick keeps running
// under the editor, and saving the box as it was shown would arm the alarm for tomorrow unasked.
bool SaveAlarmEdit(std::vector<AlarmEntry>& alarms, int editIndex, const AlarmEntry* opened,
                   const AlarmEditorInput& input, std::string* message);

// Removes alarm index, moving the following ones up. False when index lies outside the list.
bool DeleteAlarm(std::vector<AlarmEntry>& alarms, int index);
