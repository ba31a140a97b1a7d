// The entry texts of the data file, the option slots, lenient numbers and the window's place.
#include "clock/core/clock_data.h"

#include <gtest/gtest.h>

#include <climits>

#include "forms/gbk.h"
#include "forms/ini.h"

namespace {

TEST(LenientIntTest, ReadsWhatANumberStartsWithAndNothingElse) {
    const struct {
        const char* text;
        int64_t value;
    } cases[] = {
        {"42", 42},
        {"   42", 42},
        {"-17", -17},
        {"+8", 8},
        {"12abc", 12},
        {"3.9", 3},
        {"7 8", 7},
        {"", 0},
        {"  ", 0},
        {"abc", 0},
        {"-", 0},
        {"- 5", 0},
        {"&", 0},
        {"&X12", 0},
        {"&H", 0},
        {"&H1F", 31},
        {"&hff", 255},
        {"  &O17", 15},
        {"&o78", 7},
        {"&B1011", 11},
        {"&b102", 2},
        // Out of range clamps, never overflows.
        {"9223372036854775808", INT64_MAX},
        {"99999999999999999999999", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"-99999999999999999999999", INT64_MIN},
        {"-9223372036854775807", -INT64_MAX},
        {"&HFFFFFFFFFFFFFFFFFF", INT64_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LenientInt(c.text), c.value) << c.text;
    EXPECT_EQ(LenientInt(Gbk("7时")), 7);
}

TEST(OptionTest, OnlyALeadingZeroTurnsASlotOffAndTheFlagKeepsTheCaption) {
    const std::string saved = OptionSlots[5];
    const bool builtInOn[kOptionCount] = {true, false, true, true, false, false, false};
    for (int i = 0; i < kOptionCount; ++i) {
        OptionSlots[5] = BuiltInOption(i);
        EXPECT_EQ(OptionOn(5), builtInOn[i]) << i;
    }
    OptionSlots[5] = "";
    EXPECT_TRUE(OptionOn(5));
    OptionSlots[5] = Gbk("2|点关闭按钮为隐藏");
    EXPECT_TRUE(OptionOn(5));
    SetOptionFlag(5, false);
    EXPECT_EQ(OptionSlots[5], Gbk("0|点关闭按钮为隐藏"));
    EXPECT_FALSE(OptionOn(5));
    OptionSlots[5] = "";
    SetOptionFlag(5, false);
    EXPECT_EQ(OptionSlots[5], "0");
    // A hand-edited slot starting with a Chinese character loses the whole character, not half.
    OptionSlots[5] = Gbk("开|x");
    SetOptionFlag(5, true);
    EXPECT_EQ(OptionSlots[5], "1|x");
    OptionSlots[5] = saved;
}

TEST(DataFilePathTest, CutsAfterTheLastSeparatorOfAnyKind) {
    EXPECT_EQ(DataFilePathFor("C:\\Program Files\\钟伴\\钟伴.exe"), "C:\\Program Files\\钟伴\\闹钟数据.INI");
    EXPECT_EQ(DataFilePathFor("D:a\\b/c.exe"), "D:a\\b/闹钟数据.INI");
    EXPECT_EQ(DataFilePathFor("D:clock.exe"), "D:闹钟数据.INI");
    EXPECT_EQ(DataFilePathFor("clock.exe"), "闹钟数据.INI");
}

TEST(AlarmTextTest, ExampleLinesParseIntoEveryFieldAndFormatBack) {
    const AlarmEntry a = ParseAlarm(Gbk("7时30分|一二三四五|是|起床|"));
    EXPECT_EQ(a.hour * 100 + a.minute, 730);
    for (int k = 1; k <= 7; ++k)
        EXPECT_EQ(a.days[k], k <= 5 ? 1 : 0) << k;
    EXPECT_EQ(a.enabled, 1);
    EXPECT_EQ(a.name, Gbk("起床"));
    EXPECT_EQ(a.action, "");
    const AlarmEntry b = ParseAlarm(Gbk("22时0分||否|关电脑|关机"));
    EXPECT_EQ(b.hour * 100 + b.minute, 2200);
    EXPECT_EQ(b.enabled, 0);
    EXPECT_EQ(b.action, Gbk("关机"));
    for (const char* line : {"7时30分|一二三四五|是|起床|", "22时0分||否|关电脑|关机", "0时5分|六日|是||重启",
                             "23时59分|一三五日|否|吃药|C:\\工具\\提醒.exe"}) {
        EXPECT_EQ(FormatAlarm(ParseAlarm(Gbk(line))), Gbk(line)) << line;
    }
    // Stored days in any order come back Monday first; only exactly 是 is on.
    EXPECT_EQ(FormatAlarm(ParseAlarm(Gbk("8时0分|日三一|是 |x|"))), Gbk("8时0分|一三日|否|x|"));
}

TEST(AlarmTextTest, BarsInNamesAndTrailBytesThatLookLikeBars) {
    const AlarmEntry a = ParseAlarm(Gbk("9时15分|一|是|开|会|D:\\a.txt"));
    EXPECT_EQ(a.name, Gbk("开"));
    EXPECT_EQ(a.action, Gbk("会|D:\\a.txt"));
    // 亅 is 0x81 0x7C in GBK: its second byte is '|' and must not end the name.
    const std::string name = Gbk("亅亅");
    ASSERT_EQ(name[1], '|');
    const AlarmEntry b = ParseAlarm(Gbk("6时0分|一|是|") + name + "|" + Gbk("关机"));
    EXPECT_EQ(b.name, name);
    EXPECT_EQ(b.action, Gbk("关机"));
}

TEST(AlarmTextTest, LongNamesAreCutAtFiftyBytesWithoutSplittingACharacter) {
    std::string longName;
    for (int i = 0; i < 26; ++i)
        longName += Gbk("钟");
    EXPECT_EQ(ParseAlarm(Gbk("8时0分||是|") + longName + "|").name, longName.substr(0, 50));
    // One ASCII byte first puts the 50-byte boundary inside a character: that character goes.
    EXPECT_EQ(ParseAlarm(Gbk("8时0分||是|a") + longName + "|").name, "a" + longName.substr(0, 48));
}

TEST(AlarmTextTest, MalformedValuesGiveZerosAndEmptiesWithoutStopping) {
    EXPECT_EQ(FormatAlarm(ParseAlarm("")), Gbk("0时0分||否||"));
    // A missing marker gives 0 and the later fields are still found.
    EXPECT_EQ(FormatAlarm(ParseAlarm(Gbk("30分|二|是|x|y"))), Gbk("0时30分|二|是|x|y"));
    EXPECT_EQ(FormatAlarm(ParseAlarm(Gbk("ab时cd分|一二"))), Gbk("0时0分|一二|否||"));
    EXPECT_EQ(FormatAlarm(ParseAlarm(Gbk("5时6分||是|名字"))), Gbk("5时6分||是|名字|"));
}

TEST(DateTextTest, ExampleLinesParseIntoEveryFieldAndFormatBack) {
    const std::string birthday = Gbk("外婆|农历|1940年闰6月3日0时0分|提前3天提醒");
    const DateEntry b = ParseBirthday(birthday);
    EXPECT_EQ(b.name, Gbk("外婆"));
    EXPECT_EQ(b.calendar, kLunarLeap);
    EXPECT_EQ(b.year * 10000 + b.month * 100 + b.day, 19400603);
    EXPECT_EQ(b.aheadDays, 3);
    EXPECT_EQ(FormatBirthday(b), birthday);
    const std::string schedule = Gbk("交房租|公历|2024年1月5日9时0分|提前1天提醒|按月重复(忽略年月)");
    const DateEntry s = ParseSchedule(schedule);
    EXPECT_EQ(s.calendar, kGregorian);
    EXPECT_EQ(s.year * 10000 + s.month * 100 + s.day, 20240105);
    EXPECT_EQ(s.hour * 100 + s.minute, 900);
    EXPECT_EQ(s.aheadDays, 1);
    EXPECT_EQ(s.repeat, kRepeatMonthly);
    EXPECT_EQ(FormatSchedule(s), schedule);
}

TEST(DateTextTest, RepeatTextsRoundTripAndAnythingElseIsOneShot) {
    const std::string head = Gbk("x|农历|2001年12月30日23时59分|提前9天提醒|");
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(ParseSchedule(head + RepeatText(r)).repeat, r);
        EXPECT_EQ(FormatSchedule(ParseSchedule(head + RepeatText(r))), head + RepeatText(r));
    }
    EXPECT_EQ(RepeatText(2), Gbk("按月重复(忽略年月)"));
    EXPECT_EQ(RepeatText(4), "");
    EXPECT_EQ(RepeatText(-1), "");
    EXPECT_EQ(ParseSchedule(head + Gbk("每天")).repeat, 0);
}

TEST(DateTextTest, OddFieldsLoadAsTheLoaderReadsThem) {
    const std::string date = Gbk("|2000年1月1日0时0分|");
    EXPECT_EQ(ParseBirthday("a|" + Gbk("公历") + date + Gbk("提前12天提醒")).aheadDays, 1);
    EXPECT_EQ(ParseBirthday("a|" + Gbk("公历") + date + Gbk("提前九天提醒")).aheadDays, 0);
    EXPECT_EQ(ParseBirthday("a|" + Gbk("公历") + date + Gbk("7天")).aheadDays, 0);
    EXPECT_EQ(ParseBirthday("a|" + Gbk("阳历") + date).calendar, kLunar);
    EXPECT_EQ(ParseBirthday("a|" + date).calendar, kLunar);
    const DateEntry e = ParseBirthday(Gbk("a|公历|1990年12日8时|提前4天提醒"));
    EXPECT_EQ(e.year * 10000 + e.month * 100 + e.day, 19900012);
    EXPECT_EQ(e.hour, 8);
    EXPECT_EQ(e.aheadDays, 4);
}

TEST(DateTextTest, EmptyValuesAndMissingFieldsLeaveZeros) {
    EXPECT_EQ(FormatBirthday(ParseBirthday("")), Gbk("|公历|0年0月0日0时0分|提前0天提醒"));
    EXPECT_EQ(FormatSchedule(ParseSchedule("")), Gbk("|公历|0年0月0日0时0分|提前0天提醒|不重复(一次性)"));
    EXPECT_EQ(FormatBirthday(ParseBirthday(Gbk("妈妈|农历|1960年3月4日5时6分"))),
              Gbk("妈妈|公历|0年0月0日0时0分|提前0天提醒"));
    // A schedule needs its fifth field before the date is read at all.
    EXPECT_EQ(ParseSchedule(Gbk("会|农历|1960年3月4日5时6分|提前2天提醒")).year, 0);
    std::string longName;
    for (int i = 0; i < 30; ++i)
        longName += Gbk("亅");
    const DateEntry e =
        ParseSchedule(longName + Gbk("|公历|2020年2月29日6时7分|提前5天提醒|按年重复(忽略年份)"));
    EXPECT_EQ(e.name, longName.substr(0, 50));
    EXPECT_EQ(e.day, 29);
    EXPECT_EQ(e.repeat, kRepeatYearly);
}

IniDocument Settings(const std::string& utf8Lines) {
    return ParseIni(Gbk(("[设置]\r\n" + utf8Lines).c_str()));
}

std::string Place(const WindowGeometry& g) {
    return std::to_string(g.x) + "," + std::to_string(g.y) + " h" + std::to_string(g.height);
}

TEST(WindowGeometryTest, DefaultsSitBottomRightScaledAndRoundedPerAxis) {
    ScreenMetrics screen;
    screen.right = 1000;
    screen.bottom = 801;
    screen.scaleX = 1.25;
    screen.scaleY = 1.5;
    WindowGeometry g = ComputeWindowGeometry(screen, false, Settings("X=5\r\nY=5\r\nH=500\r\n"));
    EXPECT_EQ(g.x, 750);
    EXPECT_EQ(g.y, 351);
    EXPECT_EQ(g.width, 241);  // 241.25
    EXPECT_EQ(g.height, 450);
    screen.scaleX = 1.75;
    EXPECT_EQ(ComputeWindowGeometry(screen, true, IniDocument()).width, 338);  // 337.75
}

TEST(WindowGeometryTest, StoredPlaceIsUsedAndPulledBackIntoTheWorkArea) {
    ScreenMetrics screen;  // 1024 x 768
    EXPECT_EQ(Place(ComputeWindowGeometry(screen, true, Settings("X=100\r\nY=200\r\nH=400\r\n"))),
              "100,200 h400");
    // Below and right of the screen: the whole window comes back inside, never its top edge alone.
    EXPECT_EQ(Place(ComputeWindowGeometry(screen, true, Settings("X=2500\r\nY=1400\r\nH=1200\r\n"))),
              "824,0 h768");
    EXPECT_EQ(Place(ComputeWindowGeometry(screen, true, Settings("X=300\r\nY=700\r\nH=300\r\n"))),
              "300,468 h300");
    EXPECT_EQ(Place(ComputeWindowGeometry(screen, true, Settings("X=-40\r\nY=-1\r\nH=abc\r\n"))), "0,0 h200");
    // A work area that does not start at 0 (a task bar on the left or top; a monitor to the left
    // that is gone): the place lands inside it.
    screen.left = 100;
    screen.top = 40;
    EXPECT_EQ(Place(ComputeWindowGeometry(screen, true, Settings("X=-1500\r\nY=10\r\nH=300\r\n"))),
              "100,40 h300");
    // The lower height limit is plain pixels, not scaled.
    screen.bottom = 2000;
    screen.scaleY = 2.0;
    EXPECT_EQ(ComputeWindowGeometry(screen, true, Settings("H=150\r\n")).height, 200);
    EXPECT_EQ(ComputeWindowGeometry(screen, true, Settings("H=250\r\n")).height, 250);
}

}  // namespace
