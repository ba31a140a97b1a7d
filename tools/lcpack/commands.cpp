#include "tools/lcpack/commands.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <new>

#include "setup/lzma_block.h"
#include "setup/ordered_work.h"
#include "setup/package_io.h"
#include "setup/package_writer.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "用法:\n"
    "  lcpack create [--jobs N] --stub 安装程序.exe --name 名称 --program 文件名 [--version 版本号]\n"
    "                [--date 日期] [--description 说明] 源文件夹 输出.exe\n"
    "      (--program 解压缩 表示只解压、不安装程序的安装包)\n"
    "  lcpack list 安装程序.exe\n"
    "  lcpack extract [--jobs N] 安装程序.exe 目标文件夹\n"
    "  lcpack verify 安装程序.exe\n"
    "  --jobs N: 同时压缩或解压的线程数（默认每个处理器核心一个，最多 4 个；1 即逐个进行）\n"
    "退出码:\n"
    "  0 完成\n"
    "  2 没有安装包、安装包已损坏或无法读取\n"
    "  3 有文件未能写入（extract），或有文件无法打包、输出文件无法写入（create）\n"
    "  5 无法创建目标文件夹\n"
    "  87 参数错误\n";

const char kNoPackageMessage[] = "文件中没有安装包";

int Usage(std::ostream& err, const std::string& problem) {
    err << "lcpack: " << problem << "\n" << kUsage;
    return kExitUsage;
}

// The installer file read once, released when the command ends.
struct InstallerFile {
    explicit InstallerFile(const std::string& path) : bytes(ReadFileBytes(path)) {}
    ~InstallerFile() { ReleaseFileBytes(&bytes); }
    InstallerFile(const InstallerFile&) = delete;
    InstallerFile& operator=(const InstallerFile&) = delete;
    ByteView view() const { return ByteView{bytes.data, bytes.size}; }
    FileBytes bytes;
};

uint32_t ReadU32(ByteView bytes, uint64_t position) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes.data[position + i];
    return value;
}

// The package inside the file, or the installer's message on err.
bool FindPackage(ByteView file, ByteView* package, std::ostream& err) {
    if (LocatePackage(file, package)) return true;
    err << kNoPackageMessage << "\n";
    return false;
}

// The package and its list, or the installer's message on err.
bool OpenPackage(ByteView file, ByteView* package, FileList* list, std::ostream& err) {
    if (!FindPackage(file, package, err)) return false;
    std::string error;
    if (!ReadFileList(*package, list, &error)) {
        err << error << "\n";
        return false;
    }
    return true;
}

// Tells what extraction came to, entry by entry and in sum, on err; false when anything failed.
bool ReportOutcome(const ExtractOutcome& outcome, std::ostream& err) {
    size_t refused = 0;
    for (const auto& failure : outcome.failures) {
        const bool isRefused = failure.second == EntryFailure::kRefused;
        refused += isRefused ? 1 : 0;
        err << (isRefused ? "refused: " : "failed: ") << EscapeControls(failure.first) << "\n";
    }
    if (outcome.Complete()) return true;
    err << outcome.failures.size() - refused << " failed, " << refused << " refused\n";
    return false;
}

void PrintInfo(const PackageInfo& info, std::ostream& out) {
    out << "名称=" << EscapeControls(info.name) << "\n文件名=" << EscapeControls(info.programFile)
        << "\n版本号=" << EscapeControls(info.version) << "\n日期=" << EscapeControls(info.date)
        << "\n说明=" << EscapeControls(info.description) << "\n";
}

// The folder as the extraction takes it: absolute, '\' separated and ending in '\', also on Linux,
// where the file system side maps '\' back to '/' (EnsureFolderPath walks the levels by '\').
std::string TargetFolder(const std::string& folder) {
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::u8path(folder), ec);
    std::string text = (ec ? fs::u8path(folder) : absolute).lexically_normal().u8string();
    for (char& c : text)
        if (c == '/') c = '\\';
    while (!text.empty() && text.back() == '\\')
        text.pop_back();
    return text + "\\";
}

// "--key value" pairs and the positional arguments of create; false on an unknown, repeated or
// valueless option.
bool ParseCreate(const std::vector<std::string>& args, std::map<std::string, std::string>* options,
                 std::vector<std::string>* positional, std::string* problem) {
    static const char* const kKnown[] = {"--stub",    "--name", "--program",
                                         "--version", "--date", "--description"};
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            positional->push_back(arg);
            continue;
        }
        bool known = false;
        for (const char* name : kKnown)
            known = known || arg == name;
        if (!known)
            *problem = "未知的选项 " + arg;
        else if (i + 1 >= args.size())
            *problem = "选项 " + arg + " 缺少值";
        else if (options->count(arg))
            *problem = "选项 " + arg + " 重复";
        if (!problem->empty()) return false;
        (*options)[arg] = args[++i];
    }
    return true;
}

int Create(const std::vector<std::string>& args, unsigned jobs, std::ostream& out, std::ostream& err) {
    std::map<std::string, std::string> options;
    std::vector<std::string> positional;
    std::string problem;
    if (!ParseCreate(args, &options, &positional, &problem)) return Usage(err, problem);
    if (positional.size() != 2) return Usage(err, "create 需要源文件夹和输出文件两个参数");
    for (const char* required : {"--stub", "--name", "--program"})
        if (!options.count(required)) return Usage(err, std::string("create 缺少选项 ") + required);
    PackageInfo info;
    info.name = options["--name"];
    info.programFile = options["--program"];
    info.version = options["--version"];
    info.date = options["--date"];
    info.description = options["--description"];
    std::string error;
    if (!WriteInstaller(fs::u8path(options["--stub"]), info, fs::u8path(positional[0]),
                        fs::u8path(positional[1]), &error, jobs)) {
        err << "lcpack: " << error << "\n";
        return kExitFilesFailed;
    }
    out << positional[1] << "\n";
    return kExitOk;
}

// The installer file seen a window at a time, as the installer sees its own: the extraction's
// memory then does not grow with the installer's size.
struct ViewedInstaller {
    explicit ViewedInstaller(const std::string& path) : file(OpenViewedFile(path, &size)) {}
    ~ViewedInstaller() { CloseViewedFile(file); }
    ViewedInstaller(const ViewedInstaller&) = delete;
    ViewedInstaller& operator=(const ViewedInstaller&) = delete;
    uint64_t size = 0;
    ViewedFile* file;
};

int CannotRead(const std::string& path, std::ostream& err) {
    err << "lcpack: 无法读取文件 " << path << "\n";
    return kExitDamaged;
}

// The package commands of RunLcpack on the installer file's bytes.
int RunOnInstaller(const std::vector<std::string>& args, unsigned jobs, std::ostream& out,
                   std::ostream& err) {
    if (args[1] == "extract") {
        const ViewedInstaller installer(args[2]);
        if (installer.file == nullptr) return CannotRead(args[2], err);
        return ExtractInstaller(FileSource(installer.file, installer.size), args[3], err, jobs);
    }
    const InstallerFile installer(args[2]);
    if (installer.bytes.size == 0) return CannotRead(args[2], err);
    if (args[1] == "list") return ListInstaller(installer.view(), out, err);
    return VerifyInstaller(installer.view(), out, err);
}

// Takes "--jobs N" out of the arguments: *jobs is N (1 to 64), or one per core when not given.
bool TakeJobs(std::vector<std::string>* args, unsigned* jobs, std::string* problem) {
    constexpr unsigned long kMostJobs = 64;
    *jobs = DefaultJobs();
    for (size_t i = 2; i < args->size(); ++i) {
        if ((*args)[i] != "--jobs") continue;
        char* end = nullptr;
        const std::string value = i + 1 < args->size() ? (*args)[i + 1] : std::string();
        const unsigned long n = std::strtoul(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || n < 1 || n > kMostJobs) {
            *problem = "--jobs 需要 1 到 64 之间的数";
            return false;
        }
        *jobs = static_cast<unsigned>(n);
        args->erase(args->begin() + static_cast<std::ptrdiff_t>(i),
                    args->begin() + static_cast<std::ptrdiff_t>(i) + 2);
        return true;
    }
    return true;
}

}  // namespace

std::string EscapeControls(const std::string& text) {
    static const char kCaret[] = "@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_";
    std::string escaped;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        if (byte < 0x20) {
            escaped += '^';
            escaped += kCaret[byte];
        } else if (byte == 0x7F) {
            escaped += "^?";
        } else if (byte == 0xC2 && next >= 0x80 && next < 0xA0) {  // U+0080 to U+009F
            escaped += "M-^";
            escaped += kCaret[next - 0x80];
            ++i;
        } else {
            escaped += text[i];
        }
    }
    return escaped;
}

std::string FormatFileTime(uint64_t fileTime) {
    const uint64_t seconds = fileTime / 10000000;
    const unsigned secondOfDay = static_cast<unsigned>(seconds % 86400);
    // Days since 1600-03-01, the start of a 400-year cycle that begins after a leap day: the
    // civil date then follows from whole cycles, centuries and years.
    int64_t days = static_cast<int64_t>(seconds / 86400) + 306;
    const int64_t era = days / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 = March
    const unsigned day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const unsigned month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const int64_t year = 1600 + era * 400 + yearOfEra + (month <= 2 ? 1 : 0);
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02u:%02u:%02u", static_cast<long long>(year), month,
                  day, secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    return text;
}

int ListInstaller(ByteView file, std::ostream& out, std::ostream& err) {
    ByteView package;
    PackageInfo info;
    FileList list;
    std::string error;
    if (!FindPackage(file, &package, err)) return kExitDamaged;
    if (!ReadPackageInfo(package, &info, &error)) {
        err << error << "\n";
        return kExitDamaged;
    }
    // The description first: it often tells what a package is even when its list is damaged.
    PrintInfo(info, out);
    if (!ReadFileList(package, &list, &error)) {
        err << error << "\n";
        return kExitDamaged;
    }
    uint64_t position = list.firstBlock;
    for (const PackageEntry& entry : list.entries) {
        if (entry.folder) {
            out << "DIR\t" << EscapeControls(entry.path) << "\n";
            continue;
        }
        const ByteView block = NextFileBlock(package, &position);
        uint32_t size = 0;
        unsigned headerBytes = 0;
        if (!BlockDeclaredSize(block.data, block.size, &size, &headerBytes)) size = 0;
        out << "FILE\t" << size << "\t" << FormatFileTime(entry.fileTime) << "\t"
            << EscapeControls(entry.path) << "\n";
    }
    return kExitOk;
}

int ExtractInstaller(const PackageSource& file, const std::string& folder, std::ostream& err, unsigned jobs) {
    PackageSource package;
    PackageInfo info;
    FileList list;
    std::string error;
    if (!LocatePackage(file, &package)) {
        err << kNoPackageMessage << "\n";
        return kExitDamaged;
    }
    // The installer's own check, before the target folder is made.
    if (!ReadPackageInfo(package, &info, &error) || !CheckPackage(package, info, &list, &error)) {
        err << error << "\n";
        return kExitDamaged;
    }
    const std::string target = TargetFolder(folder);
    if (!EnsureFolderPath(target)) {
        err << "无法创建文件夹 " << folder << "\n";
        return kExitFolderFailed;
    }
    return ReportOutcome(ExtractAll(package, list, target, nullptr, jobs), err) ? kExitOk : kExitFilesFailed;
}

int VerifyInstaller(ByteView file, std::ostream& out, std::ostream& err) {
    ByteView package;
    FileList list;
    if (!OpenPackage(file, &package, &list, err)) return kExitDamaged;
    const BlockSink discard = [](const uint8_t*, size_t) { return true; };
    uint64_t position = list.firstBlock;
    size_t files = 0, bad = 0;
    for (const PackageEntry& entry : list.entries) {
        if (entry.folder) continue;
        ++files;
        // NextFileBlock quietly reads a missing length as 0 and cuts a short block, as the
        // installer must; the check wants to know.
        const bool lengthPresent = position <= package.size && package.size - position >= 4;
        const uint32_t stated = lengthPresent ? ReadU32(package, position) : 0;
        const ByteView block = NextFileBlock(package, &position);
        if (!lengthPresent || block.size != stated) {
            err << "truncated: " << EscapeControls(entry.path) << "\n";
            ++bad;
        } else if (UnpackBlockTo(block.data, block.size, discard) == UnpackResult::kFailed) {
            err << "failed: " << EscapeControls(entry.path) << "\n";
            ++bad;
        }
    }
    out << files << " files, " << bad << " failed\n";
    return bad == 0 ? kExitOk : kExitDamaged;
}

int RunLcpack(const std::vector<std::string>& commandLine, std::ostream& out, std::ostream& err) {
    if (commandLine.size() < 2) return Usage(err, "缺少命令");
    std::vector<std::string> args = commandLine;
    const std::string command = args[1];
    unsigned jobs = 1;
    std::string problem;
    if ((command == "create" || command == "extract") && !TakeJobs(&args, &jobs, &problem))
        return Usage(err, problem);
    if (command == "create") {
        try {
            return Create(args, jobs, out, err);
        } catch (const std::bad_alloc&) {
            err << "lcpack: 内存不足，无法打包；请关闭其他程序后再试\n";
            return kExitFilesFailed;
        }
    }
    const size_t operands = command == "extract" ? 2 : 1;
    if (command != "list" && command != "extract" && command != "verify")
        return Usage(err, "未知的命令 " + command);
    if (args.size() != operands + 2) return Usage(err, command + " 的参数个数不对");
    try {
        return RunOnInstaller(args, jobs, out, err);
    } catch (const std::bad_alloc&) {
        // The reader holds hostile lists to its caps; anything still too big for this process is
        // told, never a crash.
        err << "lcpack: " << kDamagedPackageMessage << "（内存不足）\n";
        return kExitDamaged;
    }
}
