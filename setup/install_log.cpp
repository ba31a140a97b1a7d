#include "setup/install_log.h"

#include <cstdio>

#include "setup/wizard_rules.h"

namespace {

std::string EntryName(const PackageEntry& entry) {
    const std::string path = entry.path.empty() ? "（目标文件夹）" : entry.path;
    return (entry.folder ? "文件夹 " : "文件 ") + path;
}

}  // namespace

const char* ExitMeaning(SetupExit exit) {
    switch (exit) {
        case SetupExit::kInstalled:
            return "安装完成";
        case SetupExit::kCancelled:
            return "安装已取消";
        case SetupExit::kPackageDamaged:
            return "安装包已损坏或没有安装数据";
        case SetupExit::kFilesFailed:
            return "有文件没有装好";
        case SetupExit::kProgramRunning:
            return "目标文件夹中有程序在运行";
        case SetupExit::kFolderNotWritable:
            return "无法创建或写入目标文件夹或日志文件";
        default:
            return "命令行参数有误";
    }
}

SetupExit ExitOfExtraction(const ExtractOutcome& outcome) {
    if (outcome.Complete()) return SetupExit::kInstalled;
    if (outcome.Has(EntryFailure::kDamaged)) return SetupExit::kPackageDamaged;
    if (outcome.stopped) return SetupExit::kCancelled;
    return SetupExit::kFilesFailed;
}

std::string TimeLogLine(const char* label, const LogTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return std::string(label) + "：" + text;
}

std::vector<std::string> PackageLogLines(const PackageInfo& info) {
    return {"名称：" + info.name, "文件名：" + info.programFile, "版本号：" + info.version,
            "日期：" + info.date, "说明：" + info.description};
}

std::vector<std::string> EntryLogLines(const FileList& list, const ExtractOutcome& outcome,
                                       size_t entriesReached) {
    std::vector<std::string> lines;
    size_t nextFailure = 0;
    for (size_t i = 0; i < list.entries.size(); ++i) {
        const PackageEntry& entry = list.entries[i];
        const bool failed =
            nextFailure < outcome.failures.size() && outcome.failures[nextFailure].first == entry.path;
        if (failed) {
            lines.push_back(EntryName(entry) + "：失败（" +
                            EntryFailureReason(outcome.failures[nextFailure++].second) + "）");
        } else if (outcome.stopped && i >= entriesReached) {
            lines.push_back(EntryName(entry) + "：未写入（安装已停止）");
        } else {
            lines.push_back(EntryName(entry) + "：已写入");
        }
    }
    return lines;
}

std::string ResultLogLine(SetupExit exit) {
    return "结果：" + std::to_string(static_cast<int>(exit)) + "（" + ExitMeaning(exit) + "）";
}

std::string LogFailedMessage(const std::string& path) {
    return "无法写入日志文件：\r\n\r\n" + path + "\r\n\r\n请换一个可以写入的位置。";
}
