#include "setup/install_log.h"

#include <gtest/gtest.h>

namespace {

PackageEntry Entry(bool folder, const std::string& path) {
    PackageEntry entry;
    entry.folder = folder;
    entry.path = path;
    return entry;
}

}  // namespace

TEST(InstallLog, OneLinePerEntryWithItsOutcome) {
    FileList list;
    list.entries = {Entry(true, ""),       Entry(true, "声音"),   Entry(false, "声音\\a.wav"),
                    Entry(false, "b.exe"), Entry(false, "c.txt"), Entry(false, "d.txt")};
    ExtractOutcome outcome;
    outcome.failures = {{"声音\\a.wav", EntryFailure::kInUse}, {"c.txt", EntryFailure::kDamaged}};
    outcome.stopped = true;
    const std::vector<std::string> expected = {"文件夹 （目标文件夹）：已写入",
                                               "文件夹 声音：已写入",
                                               "文件 声音\\a.wav：失败（正被其他程序使用）",
                                               "文件 b.exe：已写入",
                                               "文件 c.txt：失败（安装包中的数据已损坏）",
                                               "文件 d.txt：未写入（安装已停止）"};
    EXPECT_EQ(EntryLogLines(list, outcome, 5), expected);
}

TEST(InstallLog, ExitCodeOfAnExtraction) {
    ExtractOutcome outcome;
    EXPECT_EQ(ExitOfExtraction(outcome), SetupExit::kInstalled);
    outcome.failures = {{"a", EntryFailure::kInUse}};
    EXPECT_EQ(ExitOfExtraction(outcome), SetupExit::kFilesFailed);
    outcome.stopped = true;
    EXPECT_EQ(ExitOfExtraction(outcome), SetupExit::kCancelled);
    outcome.failures.push_back({"b", EntryFailure::kDamaged});
    EXPECT_EQ(ExitOfExtraction(outcome), SetupExit::kPackageDamaged);
    EXPECT_EQ(ResultLogLine(SetupExit::kFilesFailed), "结果：3（有文件没有装好）");
}
