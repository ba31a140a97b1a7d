#include "clock/services/update_rules.h"

#include <cstdio>

#include "clock/core/clock_data.h"
#include "forms/ini.h"

namespace {

constexpr const char kServiceCaption[] = "澜川_钟伴";
constexpr const char kErrorCaption[] = "发生错误！";
constexpr const char kAidPortOutdated[] =
    "客服组件已经旧了，需要更新！\r\n重新开启主软件后会更新，请重启软件。";
constexpr const char kGuestHallOutdated[] =
    "用户操作组件已经旧了，需要更新！\r\n重新开启主软件后会更新，请重启软件。";
constexpr const char kGuestHallMissing[] = "丢失 GuestHall.dll 文件，请重新安装软件。";
constexpr const char kGuestHallBroken[] = "这个 GuestHall.dll 错误，请重新安装软件。";

}  // namespace

int UpdaterCode(int softwareNumber) {
    switch (softwareNumber) {
        case 99:
        case 186:
        case 67:
        case 24:
        case 25:
            return 99;
        default:
            return softwareNumber;
    }
}

std::string UpdaterParameters(int softwareNumber, int major, int minor, int revision) {
    return "zf" + std::to_string(UpdaterCode(softwareNumber)) + "," + std::to_string(major) + "." +
           std::to_string(minor) + "." + std::to_string(revision);
}

std::string FormatUpdateTime(const DateTime& t) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return buffer;
}

UpdateDecision DecideUpdateCheck(const std::string& storedText, const DateTime& now, uint32_t uptimeMs,
                                 bool updaterExists) {
    UpdateDecision decision;
    DateTime stored;
    if (!ParseDateTime(storedText, &stored)) {
        // Empty or unreadable: the stored time becomes now, which is 0 days old, so nothing else
        // happens on this start.
        decision.writeTime = true;
        decision.timeText = FormatUpdateTime(now);
        return decision;
    }
    if (DaysBetween(ToDateValue(stored), ToDateValue(now)) < kUpdateIntervalDays) return decision;
    if (uptimeMs <= kUpdateMinUptimeMs) return decision;
    decision.writeTime = true;
    decision.timeText = FormatUpdateTime(now);
    if (updaterExists) {
        decision.startUpdater = true;
        decision.parameters =
            UpdaterParameters(kSoftwareNumber, kVersionMajor, kVersionMinor, kVersionRevision);
    }
    return decision;
}

std::string ReadUpdateTime(const std::string& dataFilePath) {
    std::string value;
    if (!ReadKey(LoadIniFile(dataFilePath), kUpdatesSection, kUpdateTimeKey, &value)) return std::string();
    return value;
}

bool WriteUpdateTime(const std::string& dataFilePath, const std::string& text) {
    IniDocument doc;
    // A file that exists but cannot be read must not be replaced by one holding only this key.
    if (!LoadIniFileForUpdate(dataFilePath, &doc)) return false;
    WriteKey(doc, kUpdatesSection, kUpdateTimeKey, text);
    return SaveIniFile(dataFilePath, doc);
}

UpdateDecision RunUpdateCheck(const std::string& dataFilePath, const DateTime& now, uint32_t uptimeMs,
                              bool updaterExists) {
    const UpdateDecision decision =
        DecideUpdateCheck(ReadUpdateTime(dataFilePath), now, uptimeMs, updaterExists);
    // A run that may not write the data file (unreadable at start, another session's) records no time.
    if (decision.writeTime && SavesRefused == DataFileProblem::kNone)
        WriteUpdateTime(dataFilePath, decision.timeText);
    return decision;
}

ComponentFiles FilesOf(Component component) {
    if (component == Component::kGuestHall) return {"GuestHall.dll", "GuestHall.dll.up", "GuestHall"};
    return {"AidPort.dll", "AidPort.dll.up", "AidPort"};
}

Component ComponentOf(ComponentCall call) {
    return call == ComponentCall::kGuestHallRequest ? Component::kGuestHall : Component::kAidPort;
}

const char* ExportOf(ComponentCall call) {
    switch (call) {
        case ComponentCall::kOpenAidPort:
            return "OPENAIDPORT_D";
        case ComponentCall::kBackAidPort:
            return "BACKAIDPORT_D";
        case ComponentCall::kCloseAidPort:
            return "CLOSEAIDPORT_D";
        case ComponentCall::kGuestHallRequest:
            return "INPUTGUESTHALL";
    }
    return "";
}

ComponentPlan PlanComponentCall(ComponentCall call, bool upPending, bool loaded) {
    ComponentPlan plan;
    if (call == ComponentCall::kCloseAidPort) {
        plan.hideWindowFirst = true;
        // Closing must not wait on a swap; a pending replacement means there is nothing to tell.
        if (upPending) return plan;
    } else if (upPending) {
        if (loaded && call != ComponentCall::kBackAidPort) {
            // A loaded library cannot be replaced under the chat or member window that may use it.
            plan.showOutdatedMessage = true;
            return plan;
        }
        plan.unloadFirst = loaded;
        plan.swap = true;
        loaded = false;
    }
    plan.load = !loaded;
    plan.call = true;
    return plan;
}

ServiceMessage OutdatedMessage(Component component) {
    return {component == Component::kGuestHall ? kGuestHallOutdated : kAidPortOutdated, kServiceCaption,
            false};
}

ServiceMessage GuestHallFailureMessage(bool loaded, bool exportFound) {
    if (!loaded) return {kGuestHallMissing, kErrorCaption, true};
    if (!exportFound) return {kGuestHallBroken, kErrorCaption, true};
    return {nullptr, nullptr, false};
}
