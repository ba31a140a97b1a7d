// A controllable stand-in for the platform functions of clock/core/platform.h: the tests set the
// clocks and the files that exist, run the engine, and read back every call it made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "clock/core/clock_data.h"
#include "clock/core/date_value.h"
#include "clock/core/platform.h"

struct FakeReminder {
    int kind = 0;
    std::string firstText;
    std::string secondText;
};

struct FakeReminderList {
    int kind = 0;
    std::string title;
    std::vector<std::string> lines;
};

struct FakePlatformState {
    // Inputs.
    DateTime now;
    uint32_t tickCount = 0;
    uint32_t mediaTime = 0;
    std::set<std::string> openableFiles;  // GBK paths IsOpenableFile accepts
    bool shellRefuses = false;            // OpenWithShell fails
    bool startupShortcutExists = false;
    ScreenMetrics screen;
    WakeArm wakeAnswer = WakeArm::kArmed;  // what ArmWakeTimer answers

    // Calls seen.
    std::vector<FakeReminder> reminders;
    std::vector<FakeReminderList> reminderLists;
    std::vector<int64_t> wakeCalls;  // ArmWakeTimer's moments; 0 for CancelWakeTimer
    std::vector<int> shutdownModes;
    std::vector<std::string> fileQueries;  // IsOpenableFile arguments
    std::vector<std::string> shellOpens;
    int netChecks = 0;
    int repaints = 0;
    std::vector<bool> trayCalls;
    std::vector<WindowGeometry> moves;

    // The network time check: PlatformIsOnline answers from onlineAnswers in order, then true once
    // they are used up (or offlineForGood is set); sleeps and clock writes are recorded, the real
    // clock is never touched.
    std::vector<bool> onlineAnswers;
    bool offlineForGood = false;
    size_t onlineQueries = 0;
    std::vector<uint32_t> sleeps;
    DateValue utcNow = 0;                             // PlatformUtcNow
    ClockWrite clockWriteResult = ClockWrite::kDone;  // what SetSystemClockUtc answers
    std::vector<std::string> clockWrites;             // "yyyy-mm-dd hh:mm:ss" UTC, in call order
};

// The one fake, shared by every platform function.
FakePlatformState& Fake();

// Back to a fresh state: clocks at their defaults, no files, no calls recorded.
void ResetFakePlatform();

// Sets the wall clock.
void SetFakeNow(int year, int month, int day, int hour, int minute, int second);
