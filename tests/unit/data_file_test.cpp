// The data file as a whole: the start-up load, the savers and the single settings.
#include <gtest/gtest.h>

#include <algorithm>

#include "clock/core/clock_data.h"
#include "forms/file_io.h"
#include "forms/gbk.h"
#include "forms/ini.h"
#include "test_support.h"

namespace {

const char* const kExampleFile =
    "[设置]\r\n0=1|在所有窗口前面\r\n区域=2\r\n"
    "[闹钟]\r\n0=7时30分|一二三四五|是|起床|\r\n1=22时0分||否|关电脑|关机\r\n"
    "[秒表]\r\n0=95210\r\n1=30000\r\n2=61000\r\n"
    "[计时]\r\n0=600\r\n"
    "[生日]\r\n0=外婆|农历|1940年闰6月3日0时0分|提前3天提醒\r\n"
    "[日程]\r\n0=交房租|公历|2024年1月5日9时0分|提前1天提醒|按月重复(忽略年月)\r\n";

class DataFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DataFilePath = dir_.File("闹钟数据.INI");
        // Leftovers from an earlier load must be replaced, never added to.
        Alarms.assign(7, AlarmEntry());
        LapTimes.assign(3, 99);
        Timers.assign(9, TimerEntry());
        Birthdays.assign(2, DateEntry());
        Schedules.assign(2, DateEntry());
        CurrentPage = 4;
        StopwatchStart = 77;
        env_.now = DateTime{2024, 6, 10, 12, 0, 0};
        env_.mediaTick = 5000;
        ResetDataFileProblems();
    }
    void TearDown() override {
        SetReadFaultForTesting(false);
        SetReplaceFaultForTesting(FileError::kNone);
        ResetDataFileProblems();
        DataFilePath.clear();
    }

    void WriteFile(const std::string& utf8) { WriteBytes(DataFilePath, Gbk(utf8.c_str())); }
    std::string FileText() const { return GbkToUtf8(ReadBytes(DataFilePath)); }
    LoadResult Load() { return LoadClockData(env_); }

    ScratchDir dir_;
    LoadEnvironment env_;
};

// Every saved field of the lists, to compare states.
// Every problem noted so far, in order, each handed out once.
std::vector<DataFileProblem> ProblemsTold() {
    std::vector<DataFileProblem> told;
    for (DataFileProblem p = TakeDataFileProblemToTell(); p != DataFileProblem::kNone;
         p = TakeDataFileProblemToTell())
        told.push_back(p);
    return told;
}

std::string ListsText() {
    std::string out;
    for (const AlarmEntry& a : Alarms)
        out += FormatAlarm(a) + "\n";
    for (uint64_t lap : LapTimes)
        out += std::to_string(lap) + ",";
    for (const TimerEntry& t : Timers)
        out += std::to_string(t.seconds) + ",";
    for (const DateEntry& e : Birthdays)
        out += FormatBirthday(e) + "\n";
    for (const DateEntry& e : Schedules)
        out += FormatSchedule(e) + "\n";
    return out;
}

void SaveAll() {
    SaveAlarms();
    SaveLaps();
    SaveTimers();
    SaveBirthdays();
    SaveSchedules();
}

// The lists and the settings the load keeps in memory.
std::string StateText() {
    std::string out = ListsText();
    for (const std::string& slot : OptionSlots)
        out += slot + "\n";
    return out + std::to_string(CurrentPage) + "," + std::to_string(StopwatchStart);
}

TEST_F(DataFileTest, MissingFileGivesEveryDefaultAndCreatesNothing) {
    const LoadResult r = Load();
    ASSERT_EQ(Alarms.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(FormatAlarm(Alarms[i]), std::to_string(12 + 2 * i) + Gbk("时0分||否||"));
    ASSERT_EQ(Timers.size(), 5u);
    const int timerSeconds[5] = {600, 180, 60, 30, 1};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Timers[i].seconds, timerSeconds[i]);
    EXPECT_TRUE(LapTimes.empty());
    EXPECT_TRUE(Birthdays.empty());
    EXPECT_TRUE(Schedules.empty());
    for (int i = 0; i < kOptionCount; ++i)
        EXPECT_EQ(OptionSlots[i], BuiltInOption(i)) << i;
    EXPECT_EQ(CurrentPage, 0);
    EXPECT_EQ(StopwatchStart, 0u);
    EXPECT_TRUE(r.showTrayIcon);
    EXPECT_EQ(r.geometry.x, 824);
    EXPECT_EQ(r.geometry.y, 468);
    EXPECT_EQ(r.geometry.height, 300);
    EXPECT_FALSE(PathExists(DataFilePath));
}

// 稍后 is one of the list's minutes or else 5; LastSeen is a full "yyyy-mm-dd hh:mm:ss" or unknown.
TEST_F(DataFileTest, SnoozeAndLastSeenLoadOnlyWhatTheyCanMean) {
    const struct {
        const char* snooze;
        int minutes;
        const char* lastSeen;
        bool known;
    } cases[] = {{"15", 15, "2026-12-08 07:30:00", true},
                 {"1", 1, "2026-12-08 7:30:00", false},
                 {"7", 5, "2026-12-08", false},
                 {"15分钟", 5, "2026-13-08 07:30:00", false}};
    for (const auto& c : cases) {
        WriteFile(std::string("[设置]\r\n稍后=") + c.snooze + "\r\nLastSeen=" + c.lastSeen + "\r\n");
        const LoadResult r = Load();
        EXPECT_EQ(SnoozeMinutes, c.minutes) << c.snooze;
        EXPECT_EQ(r.lastSeen != kNoLastSeen, c.known) << c.lastSeen;
        if (c.known) {
            EXPECT_EQ(FormatLastSeen(r.lastSeen), c.lastSeen);
        }
    }
    WriteFile("[设置]\r\n");
    EXPECT_EQ(Load().lastSeen, kNoLastSeen);
    EXPECT_EQ(SnoozeMinutes, kDefaultSnoozeMinutes);
}

TEST_F(DataFileTest, ExampleLinesLoadAndSaveBackByteForByte) {
    WriteFile(kExampleFile);
    const std::string before = ReadBytes(DataFilePath);
    Load();
    EXPECT_EQ(CurrentPage, 2);
    ASSERT_EQ(Alarms.size(), 2u);
    EXPECT_EQ(Alarms[1].action, Gbk("关机"));
    EXPECT_EQ(LapTimes, (std::vector<uint64_t>{95210, 30000, 61000}));
    ASSERT_EQ(Timers.size(), 1u);
    ASSERT_EQ(Birthdays.size(), 1u);
    EXPECT_EQ(Birthdays[0].calendar, kLunarLeap);
    ASSERT_EQ(Schedules.size(), 1u);
    EXPECT_EQ(Schedules[0].repeat, kRepeatMonthly);
    SaveAll();
    EXPECT_EQ(ReadBytes(DataFilePath), before);
}

TEST_F(DataFileTest, OptionsEmptyMeansOnSlotOneFollowsTheShortcutAndSlotsAreCut) {
    std::string longCaption;
    for (int i = 0; i < 60; ++i)
        longCaption += "钟";
    WriteFile("[设置]\r\n1=1|开机启动软件\r\n2=\r\n4=1|" + longCaption + "\r\n");
    LoadResult r = Load();
    EXPECT_EQ(OptionSlots[2], "");
    EXPECT_TRUE(r.showTrayIcon);
    EXPECT_EQ(OptionSlots[1], Gbk("0|开机启动软件"));
    EXPECT_EQ(OptionSlots[4].size(), 98u);  // 99 bytes would end inside a character
    EXPECT_EQ(OptionSlots[4], CutGbk(Gbk(("1|" + longCaption).c_str()), 98));

    WriteFile("[设置]\r\n1=0|开机启动软件\r\n2=0|显示任务栏小图标\r\n");
    env_.startupShortcutExists = true;
    r = Load();
    EXPECT_EQ(OptionSlots[1], Gbk("1|开机启动软件"));
    EXPECT_FALSE(r.showTrayIcon);
}

TEST_F(DataFileTest, HandEditedLinesLoadAsDocumented) {
    std::string longName;
    for (int i = 0; i < 25; ++i)
        longName += "闹";
    WriteFile("[闹钟]\r\n0=9时15分|一|是|开|会|D:\\a.txt\r\n1=8时0分||是|" + longName + "钟|\r\n" +
              "[生日]\r\n0=外婆|农历|1940年6月3日0时0分|提前12天提醒\r\n3=\r\n" +
              "[闹钟]\r\n0=1时1分||是|second|\r\n");
    Load();
    ASSERT_EQ(Alarms.size(), 2u);
    EXPECT_EQ(Alarms[0].name, Gbk("开"));
    EXPECT_EQ(Alarms[0].action, Gbk("会|D:\\a.txt"));
    EXPECT_EQ(Alarms[1].name, Gbk(longName.c_str()));
    ASSERT_EQ(Birthdays.size(), 2u);
    const auto named =
        std::find_if(Birthdays.begin(), Birthdays.end(), [](const DateEntry& e) { return !e.name.empty(); });
    const auto blank =
        std::find_if(Birthdays.begin(), Birthdays.end(), [](const DateEntry& e) { return e.name.empty(); });
    ASSERT_TRUE(named != Birthdays.end() && blank != Birthdays.end());
    EXPECT_EQ(named->aheadDays, 1);
    EXPECT_EQ(blank->year + blank->month + blank->day + blank->aheadDays + blank->calendar, 0);

    // Saving writes into the first 闹钟 section; the duplicate stays unread.
    Alarms.resize(1);
    SaveAlarms();
    Load();
    ASSERT_EQ(Alarms.size(), 1u);
    EXPECT_EQ(Alarms[0].name, Gbk("开"));
    EXPECT_NE(FileText().find("0=1时1分||是|second|"), std::string::npos);
}

TEST_F(DataFileTest, Utf16AndUtf8FilesLoadTheSameAsGbk) {
    WriteFile(kExampleFile);
    Load();
    const std::string fromGbk = StateText();
    const std::u16string wide = Utf8ToUtf16(kExampleFile);
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : wide)
        utf16 += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    WriteBytes(DataFilePath, utf16);
    Load();
    EXPECT_EQ(StateText(), fromGbk);
    // The program's own writes keep the file UTF-16.
    SaveAlarms();
    EXPECT_EQ(ReadBytes(DataFilePath).substr(0, 2), "\xFF\xFE");
    Load();
    EXPECT_EQ(StateText(), fromGbk);

    WriteBytes(DataFilePath, std::string("\xEF\xBB\xBF") + kExampleFile);
    Load();
    EXPECT_EQ(StateText(), fromGbk);
}

TEST_F(DataFileTest, StoredWindowPlaceCountsOnlyWhenRemembered) {
    WriteFile("[设置]\r\nX=3000\r\nY=-20\r\nH=120\r\n");
    const WindowGeometry kept = Load().geometry;
    EXPECT_EQ(kept.x, 824);
    EXPECT_EQ(kept.y, 0);
    EXPECT_EQ(kept.height, 200);
    WriteFile("[设置]\r\n3=0|保存窗口位置与大小\r\nX=3000\r\nY=-20\r\nH=120\r\n");
    const WindowGeometry ignored = Load().geometry;
    EXPECT_EQ(ignored.y, 468);
    EXPECT_EQ(ignored.height, 300);
}

TEST_F(DataFileTest, MissingOrEmptyListSectionsBringBackTheDefaults) {
    for (const char* text :
         {"[设置]\r\n区域=1\r\n", "[闹钟]\r\n[计时]\r\n", "[闹钟]\r\n  \r\nnote\r\n[计时]\r\n\r\n"}) {
        WriteFile(text);
        Load();
        EXPECT_EQ(Alarms.size(), 5u) << text;
        EXPECT_EQ(Timers.size(), 5u) << text;
        EXPECT_EQ(Alarms[2].hour, 16) << text;
        EXPECT_EQ(Timers[4].seconds, 1) << text;
    }
    Alarms.clear();
    SaveAlarms();
    Load();
    EXPECT_EQ(Alarms.size(), 5u);
}

TEST_F(DataFileTest, StopwatchPageAndLapsAreReadAsStored) {
    WriteFile("[设置]\r\n秒表=123456\r\n区域=9\r\n[秒表]\r\n0=4294967295\r\n1=4294967296\r\n2=&H10\r\n");
    Load();
    EXPECT_EQ(StopwatchStart, 5000u);
    EXPECT_EQ(CurrentPage, 5);
    EXPECT_EQ(LapTimes, (std::vector<uint64_t>{4294967295u, 0, 16}));
    env_.mediaTick = 0;  // 0 would read as "not running"
    Load();
    EXPECT_EQ(StopwatchStart, 1u);

    WriteFile("[设置]\r\n秒表=0\r\n区域=-3\r\n");
    Load();
    EXPECT_EQ(StopwatchStart, 0u);
    EXPECT_EQ(CurrentPage, 0);
    EXPECT_TRUE(LapTimes.empty());
}

TEST_F(DataFileTest, LoadComputesAndSortsTheDateLists) {
    WriteFile(
        "[生日]\r\n0=远|公历|2000年8月1日0时0分|提前0天提醒\r\n"
        "1=近|公历|2000年6月15日0时0分|提前0天提醒\r\n");
    Load();
    ASSERT_EQ(Birthdays.size(), 2u);
    EXPECT_EQ(Birthdays[0].name, Gbk("近"));
    EXPECT_EQ(Birthdays[0].daysLeft, 5);
    EXPECT_EQ(Birthdays[0].age, 24);
}

TEST_F(DataFileTest, FullRoundTripKeepsEveryField) {
    Alarms = {ParseAlarm(Gbk("0时0分|一二三四五六日|是|全|关机")),
              ParseAlarm(Gbk("23时59分||否|亅|C:\\x y\\z.exe"))};
    LapTimes = {4294967295u, 1, 0};
    Timers = {TimerEntry{86399, 123}, TimerEntry{0, 0}};
    for (int r = 0; r < 4; ++r) {
        DateEntry e = ParseSchedule(Gbk("日程|农历|2030年闰2月28日7时8分|提前9天提醒"));
        e.name += std::to_string(r);
        e.calendar = r % 3;
        e.repeat = r;
        Schedules.push_back(e);
    }
    Birthdays = {ParseBirthday(Gbk("甲|公历|1999年12月31日23时59分|提前0天提醒"))};
    SaveAll();
    WriteSetting(Gbk("区域"), "3");
    std::sort(Schedules.begin(), Schedules.end(),
              [](const DateEntry& a, const DateEntry& b) { return a.name < b.name; });
    const std::string before = ListsText();
    Load();
    std::sort(Schedules.begin(), Schedules.end(),
              [](const DateEntry& a, const DateEntry& b) { return a.name < b.name; });
    EXPECT_EQ(Timers[0].startTick, 0u);
    EXPECT_EQ(ListsText(), before);
    EXPECT_EQ(CurrentPage, 3);
}

TEST_F(DataFileTest, SaversKeepOtherSectionsAndUnknownKeys) {
    WriteFile(
        "; 手写的注释\r\n[设置]\r\nZoom=3\r\n0=0|在所有窗口前面\r\n"
        "[Updates]\r\nDateTime=2024-01-01 10:00:00\r\n"
        "[闹钟]\r\n0=7时30分|一|是|起床|\r\n[自定义]\r\na=b\r\n");
    Load();
    Alarms.push_back(DefaultAlarms()[0]);
    LapTimes = {5};
    SaveAlarms();
    SaveLaps();
    WriteSetting("X", "10");
    const IniDocument doc = LoadIniFile(DataFilePath);
    std::string value;
    EXPECT_TRUE(ReadKey(doc, "Updates", "DateTime", &value) && value == "2024-01-01 10:00:00");
    EXPECT_TRUE(ReadKey(doc, Gbk("设置"), "Zoom", &value) && value == "3");
    EXPECT_TRUE(ReadKey(doc, Gbk("自定义"), "a", &value) && value == "b");
    EXPECT_EQ(ReadSection(doc, Gbk("闹钟")), Gbk("0=7时30分|一|是|起床|\r\n1=12时0分||否||"));
    EXPECT_EQ(ReadSection(doc, Gbk("秒表")), "0=5");
    EXPECT_EQ(FileText().rfind("; 手写的注释\r\n[设置]\r\nZoom=3\r\n", 0), 0u);
    EXPECT_EQ(ReadSetting("X", "-"), "10");
}

TEST_F(DataFileTest, SettingsReadAndWriteOneKey) {
    EXPECT_EQ(ReadSetting("H", "300"), "300");
    WriteSetting("0", Gbk("0|在所有窗口前面"));
    EXPECT_EQ(ReadBytes(DataFilePath).substr(0, 1), "[");  // a created file is plain GBK
    EXPECT_EQ(ReadSetting("0", ""), Gbk("0|在所有窗口前面"));
    WriteSetting("0", "");
    EXPECT_EQ(ReadSetting("0", "absent"), "absent");
    // The profile reader's buffer holds 8171 characters, not bytes.
    WriteSetting("long", std::string(9000, 'a'));
    EXPECT_EQ(ReadSetting("long", "").size(), 8171u);
    std::string wide;
    for (int i = 0; i < 5000; ++i)
        wide += Gbk("钟");
    WriteSetting("wide", wide);
    EXPECT_EQ(ReadSetting("wide", ""), wide);
}

TEST_F(DataFileTest, FailedSavesChangeNothingAndAreToldOncePerKind) {
    WriteFile("[计时]\r\n0=600\r\n");
    const std::string before = ReadBytes(DataFilePath);
    Timers = DefaultTimers();
    SetReplaceFaultForTesting(FileError::kReadOnly);
    EXPECT_FALSE(SaveTimers());
    EXPECT_FALSE(WriteSetting("X", "1"));
    SetReplaceFaultForTesting(FileError::kDiskFull);
    EXPECT_FALSE(SaveAlarms());
    SetReplaceFaultForTesting(FileError::kAccessDenied);
    EXPECT_FALSE(SaveAlarms());
    EXPECT_EQ(ReadBytes(DataFilePath), before);
    EXPECT_EQ(Timers.size(), 5u);  // memory keeps the change
    EXPECT_EQ(ProblemsTold(),
              (std::vector<DataFileProblem>{DataFileProblem::kReadOnly, DataFileProblem::kDiskFull,
                                            DataFileProblem::kNoWriteRight}));
    SetReplaceFaultForTesting(FileError::kReadOnly);
    EXPECT_FALSE(SaveTimers());
    EXPECT_TRUE(ProblemsTold().empty());
    SetReplaceFaultForTesting(FileError::kNone);
    EXPECT_TRUE(SaveTimers());  // the cause gone, the next save goes through
    EXPECT_NE(ReadBytes(DataFilePath), before);
}

TEST_F(DataFileTest, AFileThatCannotBeReadIsNeverOverwritten) {
    // Saving from an empty document would leave only the saved section: every other list and
    // option would be gone.
    WriteFile("[设置]\r\n0=0|在所有窗口前面\r\n[闹钟]\r\n0=7时30分|一|是|起床|\r\n[计时]\r\n0=600\r\n");
    const std::string before = ReadBytes(DataFilePath);
    Timers = DefaultTimers();
    SetReadFaultForTesting(true);
    EXPECT_FALSE(SaveTimers());
    EXPECT_FALSE(SaveAlarms());
    EXPECT_FALSE(WriteSetting("X", "1"));
    SetReadFaultForTesting(false);
    EXPECT_EQ(ReadBytes(DataFilePath), before);
    EXPECT_EQ(ProblemsTold(), std::vector<DataFileProblem>{DataFileProblem::kInUse});
    EXPECT_TRUE(SaveTimers());  // readable again: the save goes through and keeps the other sections
    EXPECT_EQ(ReadSetting("0", ""), Gbk("0|在所有窗口前面"));
}

TEST_F(DataFileTest, AFileUnreadableAtStartIsNotWrittenForTheRestOfTheRun) {
    // Once the holder lets go, a save from the defaults loaded in its place would replace the
    // user's lists.
    WriteFile(kExampleFile);
    const std::string before = ReadBytes(DataFilePath);
    SetReadFaultForTesting(true);
    Load();
    SetReadFaultForTesting(false);
    EXPECT_EQ(Alarms.size(), 5u);
    EXPECT_FALSE(SaveAlarms());
    EXPECT_FALSE(WriteSetting("X", "1"));
    EXPECT_EQ(ReadBytes(DataFilePath), before);
    EXPECT_EQ(ProblemsTold(), std::vector<DataFileProblem>{DataFileProblem::kUnreadable});
    EXPECT_NE(DataFileProblemText(DataFileProblem::kUnreadable, DataFilePath).find(DataFilePath),
              std::string::npos);
}

TEST_F(DataFileTest, AnOversizedFileIsNeitherLoadedNorWritten) {
    std::string huge = Gbk("[闹钟]\r\n0=7时30分|一|是|起床|\r\n[计时]\r\n0=");
    huge.resize(kDataFileMaxBytes + 1, '1');
    WriteBytes(DataFilePath, huge);
    Load();
    EXPECT_EQ(FormatAlarm(Alarms[0]), FormatAlarm(DefaultAlarms()[0]));
    EXPECT_FALSE(SaveTimers());
    EXPECT_EQ(ReadSetting("0", "default"), "default");
    EXPECT_EQ(ReadBytes(DataFilePath).size(), kDataFileMaxBytes + 1);
    EXPECT_EQ(ProblemsTold(), std::vector<DataFileProblem>{DataFileProblem::kTooLarge});
}

}  // namespace
