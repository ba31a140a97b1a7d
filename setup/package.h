// The installer package appended to the installer's own executable file, and the extraction the
// installer performs. Portable: the file system is reached through setup/package_io.h.
//
// Layout: executable image, the 22-byte marker (the GBK text of "澜川软件" + "安装包文件信息"),
// then the package: "lczip", u32 L1 + description block, u32 L2 + file-list block, then for each
// file entry of the list a u32 length and that block (lzma_block.h). Integers are little-endian,
// texts UTF-8 with CR LF line ends. A package holding a block stored as it is starts with "lczi2"
// instead, so that a reader that knows only LZMA blocks refuses it before writing anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "setup/byte_view.h"

struct ViewedFile;

// The marker, joined at run time from two pieces so that the program image never holds it in one
// piece (the first occurrence in the file is taken).
std::string PackageMarker();

constexpr char kPackageMagic[] = "lczip";
constexpr char kStoredPackageMagic[] = "lczi2";  // some blocks are stored as they are
constexpr size_t kPackageMagicSize = sizeof kPackageMagic - 1;
static_assert(sizeof kStoredPackageMagic == sizeof kPackageMagic, "both magics take the same bytes");

// Messages of the failures the installer shows (UTF-8).
constexpr const char kNotAPackageMessage[] = "不是澜川压缩文件";
constexpr const char kNoFileListMessage[] = "无法获取文件列表";
constexpr const char kDamagedPackageMessage[] = "安装包已损坏，请重新下载";

// What a package's file list may cost. The list block may unpack to 64 MiB, and a list of blank
// lines compresses to almost nothing: without caps a few kilobytes of download would ask for more
// entries than a 32-bit address space holds. Past either cap the package is damaged.
struct ListCaps {
    size_t entries = 1000000;
    size_t memory = 96u << 20;  // the entries' records plus every byte of the list's text
};

// The 文件名 of a package that is only unpacked: no program to start, no shortcut.
constexpr const char kDecompressOnlyProgram[] = "解压缩";

// Where a package's bytes are read from: memory someone else owns (the tools' whole-file view, a
// test's bytes), or the installer's file seen one mapped window at a time, so that an installer
// larger than the address space can spare in one piece is read all the same. Positions in the
// package are 64-bit for the same reason.
constexpr size_t kPackageWindowBytes = 16u << 20;
struct PackageSource {
    ByteView memory;             // the package in memory, or
    ViewedFile* file = nullptr;  // the file it lies in (package_io.h), from `start` on
    uint64_t start = 0;
    uint64_t size = 0;
    size_t windowBytes = kPackageWindowBytes;  // what one view of the file covers at least

    PackageSource() = default;
    PackageSource(ByteView bytes) : memory(bytes), size(bytes.size) {}  // NOLINT: a view is a source
};

// A whole file as a source, viewed a window at a time.
PackageSource FileSource(ViewedFile* file, uint64_t size, size_t windowBytes = kPackageWindowBytes);

// The package inside a file's content: the bytes after the first marker. False when there is no
// marker, or the file cannot be viewed.
bool LocatePackage(const PackageSource& file, PackageSource* package);
bool LocatePackage(ByteView file, ByteView* package);

// The five values of the description block (UTF-8); keys no line gives stay empty.
struct PackageInfo {
    std::string name;         // 名称
    std::string programFile;  // 文件名; "解压缩" marks a decompress-only package
    std::string version;      // 版本号
    std::string date;         // 日期
    std::string description;  // 说明
};

// Reads the description block. False with *error = kNotAPackageMessage when the magic is wrong, or
// kDamagedPackageMessage when memory runs out. Each line is cut to its first 99 characters before
// its key is matched. Never throws.
bool ReadPackageInfo(const PackageSource& package, PackageInfo* info, std::string* error);

struct PackageEntry {
    bool folder = false;
    uint64_t fileTime = 0;  // files: last-write time, 100-ns intervals since 1601-01-01 UTC
    std::string path;       // relative to the target folder, '\' separated, UTF-8
};

struct FileList {
    std::vector<PackageEntry> entries;
    uint64_t firstBlock = 0;  // position of the first file block's length field in the package
};

// Reads the file list. False with *error = kNotAPackageMessage (wrong magic), kNoFileListMessage
// (the list block unpacks to nothing) or kDamagedPackageMessage (more entries or memory than the
// caps allow, or memory ran out); *list is then empty. Never throws.
bool ReadFileList(const PackageSource& package, FileList* list, std::string* error, const ListCaps& caps = ListCaps{});

// The check made before anything is written, cheap next to unpacking: the list reads (as
// ReadFileList, into *list), the description's texts are safe (PackageTextsAreSafe), and every file
// entry that names a path has its block's length field, a block lying wholly within the package,
// and a block header the decoder can start from (CheckBlockHeader in lzma_block.h). False with
// *error set to ReadFileList's message or kDamagedPackageMessage. Blocks are not unpacked: a stream
// damaged inside is found while writing.
bool CheckPackage(const PackageSource& package, const PackageInfo& info, FileList* list, std::string* error);

// True when the description's texts may become names on disk: 名称 a single safe name (it names the
// folder and the desktop shortcut), 文件名 a safe relative path (the program started and the
// shortcut's target) unless the package is decompress-only, and for a decompress-only package 说明
// a safe relative path (the folder it unpacks to). Safe as IsSafeRelativePath says.
bool PackageTextsAreSafe(const PackageInfo& info);

// The block of the next file entry at *position (advanced past it): a length field past the end
// reads as 0; a block running past the end is cut to the bytes present (CheckPackage refuses both
// for any entry that names a path).
ByteView NextFileBlock(ByteView package, uint64_t* position);

// True when a relative path from a package may be written under the target folder: not empty for a
// file, not absolute, no drive letter, no UNC prefix, no ".." component, no ':' (alternate data
// streams), no control character. Anything else could write outside the target folder.
bool IsSafeRelativePath(const std::string& path);

// What applying an entry came to.
enum class ApplyResult {
    kDone,
    kRefused,     // an unsafe path: nothing written
    kNotWritten,  // the folder or file could not be made or replaced: read-only, full disk, path too
                  // long, a link or junction in the way; an old file stays as it was
    kDamaged,     // the block could not be unpacked: an old file stays, a new one is left empty
    kInUse,       // another program holds the old file open: it stays as it was
};

// Applies one entry under targetFolder (which ends in '\'): a folder entry creates that folder
// (one level, when missing); a file entry unpacks the block into a new file beside the old one, sets
// its last-write time (also when it is 0) and only then puts it in the old one's place, so that a
// damaged block never costs a working file. With no old file, a block that cannot be unpacked still
// leaves an empty file. A link or junction on the way is never followed (kNotWritten). An empty path
// names the target folder itself: nothing to write.
ApplyResult ApplyEntry(const std::string& targetFolder, const PackageEntry& entry, ByteView block);

// Why an entry of an extraction did not come to be written.
enum class EntryFailure {
    kRefused,     // an unsafe path
    kNotWritten,  // see ApplyResult::kNotWritten
    kDamaged,     // see ApplyResult::kDamaged
    kInUse,       // held open by another program and skipped
};

// What an extraction came to: every entry counts, so a failure is never reported as success.
struct ExtractOutcome {
    size_t filesWritten = 0;
    std::vector<std::pair<std::string, EntryFailure>> failures;  // in list order
    bool stopped = false;  // asked to stop: the entries after the last one tried were not written

    // True when every entry was written and the extraction ran to its end.
    bool Complete() const { return failures.empty() && !stopped; }
    bool Has(EntryFailure kind) const {
        for (const auto& failure : failures) {
            if (failure.second == kind) return true;
        }
        return false;
    }
};

// What to do with a file another program holds open.
enum class InUseAnswer { kRetry, kSkip, kCancel };

// Walks the list as the installer's worker does: every entry in order, each file entry taking the
// next block (also when its path is refused, so the following files keep their blocks). The
// observer, when given, hears of each entry before it is applied and of each refused one, is asked
// what to do with a file held open (without an observer such a file is skipped), and is asked
// before each entry whether to stop. Cancel in that question stops after that file, which counts as
// failed.
struct ExtractObserver {
    virtual ~ExtractObserver() = default;
    virtual void BeforeEntry(size_t index, const PackageEntry& entry) = 0;
    virtual void Refused(const PackageEntry& entry) = 0;
    virtual InUseAnswer FileInUse(const PackageEntry&) { return InUseAnswer::kSkip; }
    virtual bool StopRequested() { return false; }
};
ExtractOutcome ExtractAll(const PackageSource& package, const FileList& list, const std::string& targetFolder,
                          ExtractObserver* observer);

// ExtractAll with `jobs` threads unpacking file blocks ahead (the 4-argument form takes one per
// core, at most kMostExtractJobs). 1 or 0: the entries one after the other on the calling thread.
// With more, the calling thread still creates the folders, writes every file, calls the observer
// and counts the outcome entry by entry in list order, so the result is the serial one: a stop
// writes nothing after the entry in hand, a path listed twice ends with its last content. Workers
// unpack files of up to 32 MiB into memory, at most 40 MiB of content held at once; a larger
// file is unpacked by the calling thread straight into its file.
constexpr unsigned kMostExtractJobs = 4;
ExtractOutcome ExtractAll(const PackageSource& package, const FileList& list, const std::string& targetFolder,
                          ExtractObserver* observer, unsigned jobs);

// Creates every missing folder of a path such as "D:\澜川软件\钟伴\" (one trailing '\' ignored),
// level by level from the drive; true when the whole path exists as a folder afterwards.
bool EnsureFolderPath(const std::string& path);
