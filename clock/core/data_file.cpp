// The data file 闹钟数据.INI: the start-up load into the process-wide lists and the savers that
// write one section back. The file is read once per load and every key is answered from that one
// document, so all values of a load come from the same version of the file.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "clock/calendar/date_entries.h"
#include "clock/core/clock_data.h"
#include "forms/gbk.h"
#include "forms/ini.h"

namespace {

// The platform's profile reader fills a buffer of 8172 UTF-16 units; a longer value comes back cut
// to 8171 of them, and the same cut is kept here so the stored text reads back the same.
constexpr size_t kProfileValueUnits = 8171;

struct SectionNames {
    std::string settings = Gbk("设置");
    std::string alarms = Gbk("闹钟");
    std::string laps = Gbk("秒表");
    std::string timers = Gbk("计时");
    std::string birthdays = Gbk("生日");
    std::string schedules = Gbk("日程");
    std::string stopwatchKey = Gbk("秒表");
    std::string pageKey = Gbk("区域");
    std::string snoozeKey = Gbk("稍后");
    std::string lastSeenKey = "LastSeen";
};

const SectionNames& Names() {
    static const SectionNames names;
    return names;
}

std::string CutProfileValue(const std::string& value) {
    // A GBK text never has fewer bytes than UTF-16 units, so short values need no conversion.
    if (value.size() <= kProfileValueUnits) return value;
    std::u16string wide = GbkToUtf16(value);
    if (wide.size() <= kProfileValueUnits) return value;
    wide.resize(kProfileValueUnits);
    return Utf16ToGbk(wide);
}

std::string SettingFrom(const IniDocument& doc, const std::string& key, const std::string& defaultValue) {
    std::string value;
    if (!ReadKey(doc, Names().settings, key, &value)) return defaultValue;
    return CutProfileValue(value);
}

int ToInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

int SettingNumber(const IniDocument& doc, const std::string& key, int64_t defaultValue) {
    return ToInt(LenientInt(SettingFrom(doc, key, std::to_string(defaultValue))));
}

// The values of a list section, in the order of their lines; key names are ignored.
std::vector<std::string> SectionValues(const IniDocument& doc, const std::string& section) {
    std::vector<std::string> values;
    const std::string text = ReadSection(doc, section);
    if (text.empty()) return values;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(pos, end - pos);
        // The section reader keeps only lines with '='. Neither '=' nor CR/LF can be a GBK trail
        // byte, so plain byte searches are safe here.
        const size_t eq = line.find('=');
        values.push_back(eq == std::string::npos ? std::string() : line.substr(eq + 1));
        pos = end + 2;
    }
    return values;
}

int64_t RoundPixels(double value) {
    return std::llround(value);
}

void LoadOptions(const IniDocument& doc, bool startupShortcutExists) {
    for (int slot = 0; slot < kOptionCount; ++slot) {
        const std::string value = SettingFrom(doc, std::to_string(slot), BuiltInOption(slot));
        OptionSlots[slot] = CutGbk(value, kOptionSlotBytes);
    }
    // The start-up option follows the shortcut itself, whatever the file says.
    SetOptionFlag(kOptionStartWithSystem, startupShortcutExists);
}

void LoadAlarms(const IniDocument& doc) {
    const std::vector<std::string> values = SectionValues(doc, Names().alarms);
    if (values.empty()) {
        Alarms = DefaultAlarms();
        return;
    }
    Alarms.clear();
    for (const std::string& value : values)
        Alarms.push_back(ParseAlarm(value));
}

void LoadStopwatch(const IniDocument& doc, uint32_t mediaTick) {
    LapTimes.clear();
    // Each reading was a 32-bit unsigned number when it was read back: larger values wrap.
    for (const std::string& value : SectionValues(doc, Names().laps)) {
        LapTimes.push_back(static_cast<uint32_t>(static_cast<uint64_t>(LenientInt(value))));
    }
    // A running stopwatch restarts its period now: time while the program was closed is not
    // counted. 0 means "not running", so a tick that happens to be 0 is taken as 1.
    const bool running = LenientInt(SettingFrom(doc, Names().stopwatchKey, "0")) != 0;
    StopwatchStart = running ? (mediaTick != 0 ? mediaTick : 1) : 0;
}

void LoadTimers(const IniDocument& doc) {
    const std::vector<std::string> values = SectionValues(doc, Names().timers);
    if (values.empty()) {
        Timers = DefaultTimers();
        return;
    }
    Timers.clear();
    for (const std::string& value : values) {
        TimerEntry timer;
        timer.seconds = ToInt(LenientInt(value));
        Timers.push_back(timer);
    }
}

void LoadDateLists(const IniDocument& doc, const DateTime& now) {
    Birthdays.clear();
    for (const std::string& value : SectionValues(doc, Names().birthdays))
        Birthdays.push_back(ParseBirthday(value));
    RecomputeBirthdays(Birthdays, now);
    SortBirthdays(Birthdays);

    Schedules.clear();
    for (const std::string& value : SectionValues(doc, Names().schedules))
        Schedules.push_back(ParseSchedule(value));
    RecomputeSchedules(Schedules, now);
    SortSchedules(Schedules);
}

std::vector<DataFileProblem>& ProblemsToTell() {
    static std::vector<DataFileProblem> problems;
    return problems;
}

unsigned& NotedProblems() {
    static unsigned noted = 0;
    return noted;
}

// Later problems of a kind already noted stay quiet: one message per kind and run.
void NoteProblem(DataFileProblem problem) {
    const unsigned bit = 1u << static_cast<unsigned>(problem);
    if (problem == DataFileProblem::kNone || (NotedProblems() & bit) != 0) return;
    NotedProblems() |= bit;
    ProblemsToTell().push_back(problem);
}

DataFileProblem SaveProblemOf(FileError error) {
    switch (error) {
        case FileError::kTooLarge:
            return DataFileProblem::kTooLarge;
        case FileError::kReadOnly:
            return DataFileProblem::kReadOnly;
        case FileError::kAccessDenied:
            return DataFileProblem::kNoWriteRight;
        case FileError::kDiskFull:
            return DataFileProblem::kDiskFull;
        case FileError::kInUse:
            return DataFileProblem::kInUse;
        default:
            return DataFileProblem::kWriteFailed;
    }
}

// Reads the file as it is now, lets change edit it and writes it back atomically. A file that
// exists but cannot be read is not written at all (a document made without its content would
// replace every section it could not see), and a failed write leaves the old file; either way
// memory stays as it is and the problem is noted.
template <typename Change>
bool UpdateDataFile(const Change& change) {
    if (SavesRefused != DataFileProblem::kNone) return false;
    IniDocument doc;
    FileError error = FileError::kNone;
    if (LoadIniFileForUpdate(DataFilePath, &doc, &error, kDataFileMaxBytes)) {
        change(doc);
        const std::string bytes = SerializeIni(doc);
        if (bytes.size() > kDataFileMaxBytes) {
            error = FileError::kTooLarge;
        } else if (ReplaceFileAtomically(DataFilePath, bytes, &error)) {
            return true;
        }
    }
    NoteProblem(SaveProblemOf(error));
    return false;
}

bool SaveSection(const std::string& section, const std::vector<std::string>& values) {
    IniEntries entries;
    entries.reserve(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        entries.emplace_back(std::to_string(i), values[i]);
    return UpdateDataFile([&](IniDocument& doc) { ReplaceSection(doc, section, entries); });
}

// The data file as the start-up load may use it; a file it cannot use refuses saves for the run.
IniDocument ReadDataFileAtStart() {
    IniDocument doc;
    FileError error = FileError::kNone;
    if (LoadIniFileForUpdate(DataFilePath, &doc, &error, kDataFileMaxBytes)) return doc;
    RefuseSavesForRun(error == FileError::kTooLarge ? DataFileProblem::kTooLarge
                                                    : DataFileProblem::kUnreadable);
    return IniDocument();
}

}  // namespace

WindowGeometry ComputeWindowGeometry(const ScreenMetrics& screen, bool remember, const IniDocument& doc) {
    const int64_t rightmost = RoundPixels(screen.right - 200 * screen.scaleX);
    const int64_t defaultY = RoundPixels(screen.bottom - 300 * screen.scaleY);
    const int64_t defaultHeight = RoundPixels(300 * screen.scaleY);
    int64_t x = rightmost;
    int64_t y = defaultY;
    int64_t height = defaultHeight;
    if (remember) {
        x = SettingNumber(doc, "X", x);
        y = SettingNumber(doc, "Y", y);
        height = SettingNumber(doc, "H", height);
        // A place saved on a larger screen, or on a monitor that is gone, is pulled back so that
        // the whole window lies in this work area: a window started below or beside it would show
        // as a sliver, or not at all. The lower height limit is in plain pixels, not scaled.
        const int64_t workHeight = int64_t{screen.bottom} - screen.top;
        if (height > workHeight) height = workHeight;
        if (height < 200) height = 200;
        if (x > rightmost) x = rightmost;
        if (x < screen.left) x = screen.left;
        if (y > screen.bottom - height) y = screen.bottom - height;
        if (y < screen.top) y = screen.top;
    }
    WindowGeometry geometry;
    geometry.x = ToInt(x);
    geometry.y = ToInt(y);
    geometry.width = ToInt(RoundPixels(193 * screen.scaleX));
    geometry.height = ToInt(height);
    return geometry;
}

LoadResult LoadClockData(const LoadEnvironment& env) {
    const IniDocument doc = ReadDataFileAtStart();
    LoadOptions(doc, env.startupShortcutExists);
    LoadResult result;
    result.showTrayIcon = OptionOn(kOptionTrayIcon);
    result.geometry = ComputeWindowGeometry(env.screen, OptionOn(kOptionRememberWindow), doc);
    LoadAlarms(doc);
    LoadStopwatch(doc, env.mediaTick);
    LoadTimers(doc);
    LoadDateLists(doc, env.now);
    CurrentPage = std::clamp(SettingNumber(doc, Names().pageKey, 0), 0, kPageCount - 1);
    SnoozeMinutes = SnoozeMinutesFrom(SettingFrom(doc, Names().snoozeKey, ""));
    result.lastSeen = ParseLastSeen(SettingFrom(doc, Names().lastSeenKey, ""));
    return result;
}

bool SaveAlarms() {
    std::vector<std::string> values;
    for (const AlarmEntry& alarm : Alarms)
        values.push_back(FormatAlarm(alarm));
    return SaveSection(Names().alarms, values);
}

bool SaveLaps() {
    std::vector<std::string> values;
    for (uint64_t lap : LapTimes)
        values.push_back(std::to_string(lap));
    return SaveSection(Names().laps, values);
}

bool SaveTimers() {
    std::vector<std::string> values;
    for (const TimerEntry& timer : Timers)
        values.push_back(std::to_string(timer.seconds));
    return SaveSection(Names().timers, values);
}

bool SaveBirthdays() {
    std::vector<std::string> values;
    for (const DateEntry& entry : Birthdays)
        values.push_back(FormatBirthday(entry));
    return SaveSection(Names().birthdays, values);
}

bool SaveSchedules() {
    std::vector<std::string> values;
    for (const DateEntry& entry : Schedules)
        values.push_back(FormatSchedule(entry));
    return SaveSection(Names().schedules, values);
}

bool WriteSetting(const std::string& key, const std::string& value) {
    return UpdateDataFile([&](IniDocument& doc) { WriteKey(doc, Names().settings, key, value); });
}

std::string ReadSetting(const std::string& key, const std::string& defaultValue) {
    IniDocument doc;
    if (!LoadIniFileForUpdate(DataFilePath, &doc, nullptr, kDataFileMaxBytes)) return defaultValue;
    return SettingFrom(doc, key, defaultValue);
}

int SnoozeMinutes = kDefaultSnoozeMinutes;

std::string FormatLastSeen(int64_t seconds) {
    const DateValue value = FromSeconds(seconds);
    return FormatIsoDate(value) + " " + FormatTimeOfDay(SplitDate(value));
}

int64_t ParseLastSeen(const std::string& value) {
    DateTime t;
    if (value.size() != 19 || !ParseDateTime(value, &t)) return kNoLastSeen;
    return ToSeconds(ToDateValue(t));
}

bool WriteLastSeen(int64_t seconds) {
    return WriteSetting(Names().lastSeenKey, FormatLastSeen(seconds));
}

int SnoozeMinutesFrom(const std::string& value) {
    // Strict: "5" only, not " 5" or "5分钟", so a hand-edited value never picks a surprising snooze.
    for (int choice : kSnoozeChoices) {
        if (value == std::to_string(choice)) return choice;
    }
    return kDefaultSnoozeMinutes;
}

bool WriteSnoozeMinutes(int minutes) {
    SnoozeMinutes = SnoozeMinutesFrom(std::to_string(minutes));
    return WriteSetting(Names().snoozeKey, std::to_string(SnoozeMinutes));
}

DataFileProblem SavesRefused = DataFileProblem::kNone;

void RefuseSavesForRun(DataFileProblem why) {
    if (SavesRefused == DataFileProblem::kNone) SavesRefused = why;
    NoteProblem(why);
}

DataFileProblem TakeDataFileProblemToTell() {
    std::vector<DataFileProblem>& problems = ProblemsToTell();
    if (problems.empty()) return DataFileProblem::kNone;
    const DataFileProblem next = problems.front();
    problems.erase(problems.begin());
    return next;
}

bool DataFileProblemsWaiting() {
    return !ProblemsToTell().empty();
}

void ResetDataFileProblems() {
    SavesRefused = DataFileProblem::kNone;
    NotedProblems() = 0;
    ProblemsToTell().clear();
}
