// The update check (decision and the stored time in the data file) and the component swap plans.
#include <gtest/gtest.h>

#include "clock/services/update_rules.h"
#include "forms/file_io.h"
#include "forms/gbk.h"
#include "test_support.h"

namespace {

const DateTime kNow{2024, 6, 10, 0, 0, 1};
constexpr uint32_t kUp = 180001;  // just past three minutes

TEST(UpdateCheckTest, UpdaterParametersMapTheSharedCodes) {
    EXPECT_EQ(UpdaterParameters(kSoftwareNumber, kVersionMajor, kVersionMinor, kVersionRevision),
              "zf190,1.3.8");
    for (int shared : {99, 186, 67, 24, 25})
        EXPECT_EQ(UpdaterParameters(shared, 2, 0, 10), "zf99,2.0.10") << shared;
    EXPECT_EQ(UpdaterCode(26), 26);
}

TEST(UpdateCheckTest, EmptyOrMalformedStoredTimeIsRewrittenAndStartsNothing) {
    for (const char* stored : {"", "2024-13-01 00:00:00", "yesterday", "2024/06/01 10:00:00"}) {
        const UpdateDecision decision = DecideUpdateCheck(stored, kNow, 999999999, true);
        EXPECT_TRUE(decision.writeTime) << stored;
        EXPECT_EQ(decision.timeText, "2024-06-10 00:00:01") << stored;
        EXPECT_FALSE(decision.startUpdater) << stored;
    }
}

TEST(UpdateCheckTest, DaysCountMidnightsAndUptimeMustExceedThreeMinutes) {
    // Barely two days of elapsed time, but three midnights passed.
    UpdateDecision decision = DecideUpdateCheck("2024-06-07 23:59:59", kNow, kUp, true);
    EXPECT_TRUE(decision.writeTime && decision.startUpdater);
    EXPECT_EQ(decision.timeText, "2024-06-10 00:00:01");
    EXPECT_EQ(decision.parameters, "zf190,1.3.8");

    EXPECT_FALSE(DecideUpdateCheck("2024-06-07 00:00:00", kNow, kUpdateMinUptimeMs, true).writeTime);
    EXPECT_FALSE(DecideUpdateCheck("2024-06-08 00:00:00", kNow, kUp, true).writeTime);
    EXPECT_FALSE(DecideUpdateCheck("2024-06-20 00:00:00", kNow, kUp, true).writeTime);  // clock put back

    decision = DecideUpdateCheck("2024-01-01", kNow, kUp, false);  // no Update.exe: time written anyway
    EXPECT_TRUE(decision.writeTime);
    EXPECT_FALSE(decision.startUpdater);
}

TEST(UpdateTimeFileTest, RunKeepsTheTimeBesideTheOtherSections) {
    ScratchDir dir;
    const std::string path = dir.File("闹钟数据.INI");
    const std::string alarms = Gbk("[闹钟]\r\n0=7时30分|一|是|起床|\r\n");
    WriteBytes(path, alarms);

    EXPECT_FALSE(RunUpdateCheck(path, kNow, kUp, true).startUpdater);
    EXPECT_EQ(ReadBytes(path), alarms + "[Updates]\r\nDateTime=2024-06-10 00:00:01\r\n");
    EXPECT_TRUE(RunUpdateCheck(path, DateTime{2024, 6, 13, 8, 5, 9}, kUp, true).startUpdater);
    EXPECT_EQ(ReadUpdateTime(path), "2024-06-13 08:05:09");
    // Up for less than three minutes: the old time stays.
    RunUpdateCheck(path, DateTime{2024, 7, 1, 0, 0, 0}, 1000, true);
    EXPECT_EQ(ReadUpdateTime(path), "2024-06-13 08:05:09");

    // A file that cannot be read is never replaced.
    SetReadFaultForTesting(true);
    const bool written = WriteUpdateTime(path, "2025-01-01 00:00:00");
    SetReadFaultForTesting(false);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadUpdateTime(path), "2024-06-13 08:05:09");
}

TEST(ComponentPlanTest, SwapDecisionsForEveryCallKind) {
    using C = ComponentCall;
    struct Case {
        C call;
        bool upPending, loaded;
        const char* expected;  // hide, message, unload, swap, load, call as '0'/'1'
    };
    const Case cases[] = {
        {C::kBackAidPort, true, false, "000111"},  // pending at start: swapped in before loading
        {C::kBackAidPort, true, true, "001111"},
        {C::kOpenAidPort, true, true, "010000"},  // arrived while loaded: the message, no call
        {C::kGuestHallRequest, true, true, "010000"},
        {C::kOpenAidPort, true, false, "000111"},
        {C::kGuestHallRequest, true, false, "000111"},
        {C::kCloseAidPort, true, true, "100000"},
        {C::kCloseAidPort, false, true, "100001"},
        {C::kOpenAidPort, false, false, "000011"},
        {C::kOpenAidPort, false, true, "000001"},
    };
    for (const Case& c : cases) {
        const ComponentPlan p = PlanComponentCall(c.call, c.upPending, c.loaded);
        std::string got;
        for (bool b : {p.hideWindowFirst, p.showOutdatedMessage, p.unloadFirst, p.swap, p.load, p.call})
            got += b ? '1' : '0';
        EXPECT_EQ(got, c.expected) << ExportOf(c.call) << " up=" << c.upPending << " loaded=" << c.loaded;
    }
}

TEST(ComponentPlanTest, NamesAndMessagesPerComponent) {
    EXPECT_STREQ(FilesOf(ComponentOf(ComponentCall::kBackAidPort)).pending, "AidPort.dll.up");
    EXPECT_STREQ(FilesOf(ComponentOf(ComponentCall::kGuestHallRequest)).loadName, "GuestHall");
    const ServiceMessage outdated = OutdatedMessage(Component::kAidPort);
    EXPECT_STREQ(outdated.text, "客服组件已经旧了，需要更新！\r\n重新开启主软件后会更新，请重启软件。");
    EXPECT_STREQ(outdated.caption, "澜川_钟伴");
    EXPECT_FALSE(outdated.errorIcon);
    EXPECT_STREQ(OutdatedMessage(Component::kGuestHall).text,
                 "用户操作组件已经旧了，需要更新！\r\n重新开启主软件后会更新，请重启软件。");

    const ServiceMessage missing = GuestHallFailureMessage(false, false);
    EXPECT_STREQ(missing.text, "丢失 GuestHall.dll 文件，请重新安装软件。");
    EXPECT_STREQ(missing.caption, "发生错误！");
    EXPECT_TRUE(missing.errorIcon);
    EXPECT_STREQ(GuestHallFailureMessage(true, false).text, "这个 GuestHall.dll 错误，请重新安装软件。");
    EXPECT_EQ(GuestHallFailureMessage(true, true).text, nullptr);
}

}  // namespace
