#include "tests/unit/fake_platform.h"

#include "clock/core/platform.h"

FakePlatformState& Fake() {
    static FakePlatformState state;
    return state;
}

void ResetFakePlatform() {
    Fake() = FakePlatformState();
}

void SetFakeNow(int year, int month, int day, int hour, int minute, int second) {
    DateTime& now = Fake().now;
    now.year = year;
    now.month = month;
    now.day = day;
    now.hour = hour;
    now.minute = minute;
    now.second = second;
}

DateTime PlatformNow() {
    return Fake().now;
}
uint32_t PlatformTickCount() {
    return Fake().tickCount;
}
uint32_t PlatformMediaTime() {
    return Fake().mediaTime;
}

void ShowReminder(int kind, const std::string& firstText, const std::string& secondText) {
    Fake().reminders.push_back(FakeReminder{kind, firstText, secondText});
}

void ShowReminderList(int kind, const std::string& title, const std::vector<std::string>& lines) {
    Fake().reminderLists.push_back(FakeReminderList{kind, title, lines});
}

WakeArm ArmWakeTimer(int64_t moment) {
    Fake().wakeCalls.push_back(moment);
    return Fake().wakeAnswer;
}

void CancelWakeTimer() {
    Fake().wakeCalls.push_back(0);
}

void OpenShutdownCountdown(int mode) {
    Fake().shutdownModes.push_back(mode);
}

bool IsOpenableFile(const std::string& path) {
    Fake().fileQueries.push_back(path);
    return Fake().openableFiles.count(path) != 0;
}

bool OpenWithShell(const std::string& path) {
    Fake().shellOpens.push_back(path);
    return !Fake().shellRefuses;
}
void StartNetTimeCheck() {
    ++Fake().netChecks;
}
void RepaintMainWindow() {
    ++Fake().repaints;
}
bool StartupShortcutExists() {
    return Fake().startupShortcutExists;
}
void ShowTrayIcon(bool show) {
    Fake().trayCalls.push_back(show);
}
ScreenMetrics PlatformScreenMetrics() {
    return Fake().screen;
}
void MoveMainWindow(const WindowGeometry& geometry) {
    Fake().moves.push_back(geometry);
}

bool PlatformIsOnline() {
    FakePlatformState& fake = Fake();
    const size_t query = fake.onlineQueries++;
    if (query < fake.onlineAnswers.size()) return fake.onlineAnswers[query];
    return !fake.offlineForGood;
}

void PlatformSleep(uint32_t ms) {
    Fake().sleeps.push_back(ms);
}

DateValue PlatformUtcNow() {
    return Fake().utcNow;
}

ClockWrite SetSystemClockUtc(DateValue utc) {
    Fake().clockWrites.push_back(FormatIsoDate(utc) + " " + FormatTimeOfDay(SplitDate(utc)));
    return Fake().clockWriteResult;
}
