// The rules of the reminder pop-ups and of the shutdown count-down, apart from their windows: band
// colours and blinking, the texts a pop-up keeps, which slot a new pop-up takes and where that slot
// lies, when the sound stops, and what the count-down shows. Texts are GBK.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clock/core/main_window_rules.h"
#include "forms/placement.h"

enum ReminderKind { kReminderAlarm = 0, kReminderTimer = 2, kReminderBirthday = 3, kReminderSchedule = 4 };

constexpr size_t kReminderFirstBytes = 100;    // the pop-up's title line
constexpr size_t kReminderSecondBytes = 50;    // its text line
constexpr uint32_t kReminderSoundMs = 180000;  // the sound stops 3 minutes after the latest reminder
constexpr int kReminderGap = 5;                // pixels between pop-ups and from the work area's edge

// The band colour of a kind; a kind outside the table takes the alarm's.
Rgb ReminderColour(int kind);

// The colour of the blinking half-period: each channel of 128 or more darkened by 50, each below
// lightened by 50.
Rgb BlinkColour(Rgb colour);

// The sound file of a kind in the program's folder ("闹钟声.wav", "计时声.wav", "生日声.wav",
// "日程声.wav"); the alarm's for a kind outside the table.
std::string ReminderSoundFile(int kind);

// A pop-up's text cut to its field: at most maxBytes bytes, never half a Chinese character.
std::string ReminderFieldText(const std::string& text, size_t maxBytes);

// The slot a new pop-up takes: the lowest number (0, 1, ...) that no open pop-up holds, given the
// slots of the open ones in any order. Numbering by the count of open pop-ups instead would put a
// new one over one still open once an earlier one was closed.
int FirstFreeReminderSlot(const std::vector<int>& taken);

// The top-left corner of the pop-up in slot n (counted from 0) of the given outer size: slot 0
// 5 pixels from the work area's lower right corner, the following ones leftwards along the bottom
// row, then the row above, and so on. A work area narrower than one pop-up holds one column,
// aligned to its right edge.
ScreenPoint ReminderPlace(int n, int width, int height, const ScreenRect& workArea);

// True when the sound of the latest reminder has played long enough: lastRaiseTick is not 0 (0 =
// already handled) and more than 3 minutes passed, measured on the wrapping 32-bit tick.
bool ReminderSoundExpired(uint32_t lastRaiseTick, uint32_t tickNow);

// ---- Snooze ----

// The second line of an alarm reminder that comes back after a snooze: "（稍后提醒）" added at its
// end, the text before it cut (never half a character) so the whole mark fits the field. A text
// that has the mark already is kept as it is, so snoozing again does not add it twice.
std::string SnoozedSecondText(const std::string& secondText);

// True when a snooze of minutes started at startTick has come due (wrapping 32-bit tick).
bool SnoozeDue(uint32_t startTick, int minutes, uint32_t tickNow);

// ---- Shutdown count-down ----

enum ShutdownMode { kShutdownPowerOff = 0, kShutdownRestart = 1 };
constexpr uint32_t kShutdownCountdownMs = 60000;

// Milliseconds left of the 60-second count-down started at startTick (wrapping tick), never below 0.
int ShutdownRemainingMs(uint32_t startTick, uint32_t tickNow);

// The number shown: seconds with one decimal, "59.9" ... "0.0" (tenths cut, not rounded, so it
// reaches 0.0 only when the time is up).
std::string ShutdownCountdownText(int remainingMs);

// "即将关闭电脑" for mode 0, "即将重启电脑" for any other.
std::string ShutdownHeadline(int mode);

// What the count-down window shows once the system refused to shut down or restart (no right, or
// a policy): the headline and, in place of the number, what to do. Mode as ShutdownHeadline.
std::string ShutdownFailedHeadline(int mode);
std::string ShutdownFailedAdvice(int mode);
