// The installer's result as its exit code, and the lines of the log /LOG= asks for. Portable;
// texts are UTF-8.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "setup/package.h"

// The installer's exit codes, with or without /S.
enum class SetupExit {
    kInstalled = 0,
    kCancelled = 1,
    kPackageDamaged = 2,     // no package, or one that cannot be read or unpacked
    kFilesFailed = 3,        // some files (or the desktop shortcut) could not be written
    kProgramRunning = 4,     // a program from the folder runs and was not (or could not be) ended
    kFolderNotWritable = 5,  // the folder, or the log file, cannot be created or written
    kBadArguments = 87,      // a silent run's command line was not understood
};

// The code's meaning, as the log states it.
const char* ExitMeaning(SetupExit exit);

// An extraction's code: kInstalled when complete, kPackageDamaged when a block could not be
// unpacked, kCancelled when stopped by the user, else kFilesFailed.
SetupExit ExitOfExtraction(const ExtractOutcome& outcome);

struct LogTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "开始时间：2026-12-08 09:05:01" for label "开始时间".
std::string TimeLogLine(const char* label, const LogTime& time);

// The package's five description values, one "key：value" line each.
std::vector<std::string> PackageLogLines(const PackageInfo& info);

// One line per entry of the list, in its order: written, failed with why (from outcome.failures,
// which are in list order), or, for an extraction that stopped, not reached when its index is
// entriesReached or more.
std::vector<std::string> EntryLogLines(const FileList& list, const ExtractOutcome& outcome,
                                       size_t entriesReached);

// "结果：3（有文件没有装好）".
std::string ResultLogLine(SetupExit exit);

// Told when the log /LOG= asks for cannot be created or written (CR LF inside).
std::string LogFailedMessage(const std::string& path);

// How far an extraction came: one past the highest entry index its observer heard of. Raised from
// whichever thread applies the entry.
struct EntriesReached {
    std::atomic<size_t> count{0};
    void Reach(size_t index) {
        size_t seen = count;
        while (seen <= index && !count.compare_exchange_weak(seen, index + 1)) {
        }
    }
};
