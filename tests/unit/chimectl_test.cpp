#include "tools/chimectl/commands.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/unit/test_support.h"

namespace {

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

ToolRun Chimectl(std::vector<std::string> args) {
    args.insert(args.begin(), "chimectl");
    DateTime now;
    now.year = 2026, now.month = 12, now.day = 8, now.hour = 10;
    std::ostringstream out, err;
    ToolRun run;
    run.code = RunChimectl(args, now, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(ChimectlArguments, WrongArgumentsAndMissingFilesExitWithTwoAndAMessage) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"lunar"},
        {"lunar", "2024/02/10"},
        {"lunar", "2024-02-xx"},
        {"solar", "2024", "1"},
        {"solar", "2024", "1", "1", "2"},
        {"dump"},
        {"dump", "/no/such/闹钟数据.INI"},
        {"dump", TestDataPath("samples/sample_gbk.ini"), "--now", "2026-02-30 10:00:00"},
        {"upcoming", TestDataPath("samples/sample_gbk.ini"), "--when", "2026-12-08 10:00:00"},
    };
    for (const auto& args : bad) {
        const ToolRun run = Chimectl(args);
        EXPECT_EQ(kExitUsage, run.code) << testing::PrintToString(args);
        EXPECT_TRUE(run.out.empty()) << testing::PrintToString(args);
        EXPECT_NE(std::string::npos, run.err.find("chimectl: ")) << testing::PrintToString(args);
    }
}

TEST(ChimectlLunar, PrintsTheLunarDateOrZero) {
    EXPECT_EQ("2023\t2\t1\t1\t癸卯年闰二月初一\n", Chimectl({"lunar", "2023-03-22"}).out);
    EXPECT_EQ("2026\t10\t29\t0\t丙午年十月廿九\n", Chimectl({"lunar", "2026-12-07"}).out);
    EXPECT_EQ("0\n", Chimectl({"lunar", "1899-12-31"}).out);
    EXPECT_EQ("2023-03-22\n", Chimectl({"solar", "2023", "2", "1", "1"}).out);
    EXPECT_EQ("2023-03-22\n", Chimectl({"solar", "2023", "2", "1", "leap"}).out);
    EXPECT_EQ("2023-02-20\n", Chimectl({"solar", "2023", "2", "1"}).out);
    EXPECT_EQ("0\n", Chimectl({"solar", "2023", "2", "30", "1"}).out);
}

TEST(ChimectlDump, SameLinesForEveryEncodingInTheDocumentedOrder) {
    const ToolRun gbk =
        Chimectl({"dump", TestDataPath("samples/sample_gbk.ini"), "--now", "2026-12-08 10:00:00"});
    ASSERT_EQ(kExitOk, gbk.code) << gbk.err;
    for (const char* other :
         {"samples/sample_utf8.ini", "samples/sample_utf8plain.ini", "samples/sample_utf16.ini"}) {
        EXPECT_EQ(gbk.out, Chimectl({"dump", TestDataPath(other), "--now", "2026-12-08 10:00:00"}).out)
            << other;
    }
    const std::vector<std::string> lines = Lines(gbk.out);
    const char* const kOrder[] = {"option", "page",  "stopwatch", "alarm",
                                  "lap",    "timer", "birthday",  "schedule"};
    size_t kind = 0;
    for (const std::string& line : lines) {
        const std::string head = line.substr(0, line.find('\t'));
        while (kind < std::size(kOrder) && head != kOrder[kind])
            ++kind;
        ASSERT_LT(kind, std::size(kOrder)) << "out of order: " << line;
    }
    EXPECT_EQ("option\t5\t1\t点关闭按钮为隐藏", lines[5]);  // an empty flag counts as on
    EXPECT_EQ("option\t1\t0\t开机启动软件", lines[1]);      // follows the shortcut, not the file
    EXPECT_EQ("option\t7\t0\t睡眠时唤醒电脑响闹钟", lines[7]);  // a file from before the option: off
    EXPECT_EQ("page\t3", lines[8]);
    EXPECT_EQ("stopwatch\t1", lines[9]);
    EXPECT_EQ("alarm\t0\t7\t30\t1111100\t1\t起床\t\t21:30:00", lines[10]);
    EXPECT_EQ("alarm\t1\t22\t0\t0000000\t0\t关电脑\t关机\t", lines[11]);
    EXPECT_EQ("alarm\t4\t23\t59\t1010100\t1\t名字里有\t竖线|剩下的是动作\t1天13:59:00", lines[14]);
}

TEST(ChimectlUpcoming, NamesTheNextAlarmAndSkipsDatesThatNeverCome) {
    const ToolRun run =
        Chimectl({"upcoming", TestDataPath("samples/sample_gbk.ini"), "--now", "2026-12-08 10:00:00"});
    ASSERT_EQ(kExitOk, run.code);
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ("现在：2026-12-08 星期二 10:00:00", lines[0]);
    EXPECT_EQ("  07:30 起床  还有 21:30:00（每周一二三四五）", lines[2]);
    EXPECT_EQ(std::string::npos, run.out.find("-9 天"));  // the all-zero birthday line is left out
    EXPECT_NE(std::string::npos, run.out.find("外婆  还有 210 天 [87周岁]，庚辰年闰六月初三0时0分"));
}

}  // namespace
