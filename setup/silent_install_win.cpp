#include "setup/silent_install_win.h"

#include <string>
#include <vector>

#include "setup/install_steps_win.h"
#include "setup/package_io.h"
#include "setup/running_check_win.h"
#include "setup/wizard_rules.h"

namespace {

// How long ended programs get to exit and let go of their files.
constexpr DWORD kEndingWaitMs = 10000;

struct OwnPackage {
    ViewedFile* file = nullptr;
    PackageSource source;
    PackageInfo info;
    FileList list;

    OwnPackage() = default;
    ~OwnPackage() { CloseViewedFile(file); }
    OwnPackage(const OwnPackage&) = delete;
    OwnPackage& operator=(const OwnPackage&) = delete;
};

// Reads and checks the package before anything is written; false (logged) when it is missing or
// damaged.
bool ReadOwnPackage(OwnPackage* package, InstallLog* log) {
    const std::string path = OwnExecutablePath();
    uint64_t size = 0;
    package->file = OpenViewedFile(path, &size);
    if (package->file == nullptr || !LocatePackage(FileSource(package->file, size), &package->source)) {
        log->Write("安装程序中没有安装数据：" + path);
        return false;
    }
    std::string error;
    if (!ReadPackageInfo(package->source, &package->info, &error) ||
        !CheckPackage(package->source, package->info, &package->list, &error)) {
        log->Write("安装包无法使用：" + error);
        return false;
    }
    log->Write(PackageLogLines(package->info));
    return true;
}

bool AllEndedInTime(const ProcessesToEnd& processes) {
    const DWORD start = GetTickCount();
    while (!processes.AllGone() && GetTickCount() - start < kEndingWaitMs)
        Sleep(50);
    return processes.AllGone();
}

// True when no program runs from the folder, or every one was ended as /CLOSEAPPS allows; the
// programs found and what became of them are logged.
bool NoProgramRunsFrom(const std::string& folder, bool closeApps, InstallLog* log) {
    const std::vector<RunningProcess> found =
        ProcessesInFolder(SnapshotProcesses(), folder, GetCurrentProcessId());
    if (found.empty()) return true;
    for (const RunningProcess& process : found)
        log->Write("运行中的程序：" + process.imagePath);
    if (!closeApps) {
        log->Write("没有 /CLOSEAPPS：不结束这些程序，不安装");
        return false;
    }
    ProcessesToEnd toEnd;
    std::vector<std::string> cannot;
    if (toEnd.Open(found, &cannot)) cannot = toEnd.EndAll();
    for (const std::string& path : cannot)
        log->Write("无法结束：" + path);
    if (!cannot.empty()) return false;
    if (!AllEndedInTime(toEnd)) {
        log->Write("程序结束后仍在运行");
        return false;
    }
    log->Write("已结束这些程序");
    return true;
}

struct SilentObserver : ExtractObserver {
    EntriesReached reached;
    void BeforeEntry(size_t index, const PackageEntry&) override { reached.Reach(index); }
    void Refused(const PackageEntry&) override {}
};

// Unpacks every entry and, for a program that was wholly installed, makes the desktop shortcut.
SetupExit Install(const OwnPackage& package, const std::string& folder, InstallLog* log) {
    SilentObserver observer;
    const ExtractOutcome outcome = ExtractAll(package.source, package.list, folder, &observer);
    log->Write(EntryLogLines(package.list, outcome, observer.reached.count));
    const SetupExit exit = ExitOfExtraction(outcome);
    if (exit != SetupExit::kInstalled || IsDecompressOnly(package.info)) return exit;
    if (!WriteDesktopShortcut(package.info, folder)) {
        log->Write("桌面快捷方式：无法创建");
        return SetupExit::kFilesFailed;
    }
    log->Write("桌面快捷方式：已创建");
    return exit;
}

}  // namespace

SetupExit RunSilentInstall(const SetupArguments& arguments, InstallLog* log) {
    OwnPackage package;
    if (!ReadOwnPackage(&package, log)) return SetupExit::kPackageDamaged;
    std::string folder = arguments.folder;
    if (folder.empty() && CheckTargetFolder(DefaultTargetFolder(DefaultInstallBase(), package.info),
                                            &folder) != FolderCheck::kAccepted) {
        log->Write("无法确定目标文件夹");
        return SetupExit::kFolderNotWritable;
    }
    log->Write("目标文件夹：" + folder);
    if (!NoProgramRunsFrom(folder, arguments.closeApps, log)) return SetupExit::kProgramRunning;
    if (!EnsureFolderPath(folder)) {
        log->Write("无法创建目标文件夹");
        return SetupExit::kFolderNotWritable;
    }
    return Install(package, folder, log);
}
