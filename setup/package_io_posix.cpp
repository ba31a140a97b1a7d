// The package extraction's file system on POSIX: package paths use '\' as separator, which
// becomes '/' here, so the tests and tools run the same extraction as the installer.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "setup/package_io.h"

struct OutputFile {
    int fd = -1;
};

namespace {

// 100-ns intervals from 1601-01-01 to 1970-01-01 (UTC).
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
constexpr uint64_t kIntervalsPerSecond = 10000000ull;

std::string NativePath(const std::string& path) {
    std::string native = path;
    for (char& c : native) {
        if (c == '\\') c = '/';
    }
    return native;
}

// A FILETIME as a Unix time; times before 1970 (FILETIME 0 among them) become the epoch itself,
// as a Unix file time cannot hold them everywhere.
timespec ToTimespec(uint64_t fileTime) {
    timespec time{};
    if (fileTime <= kUnixEpochAsFileTime) return time;
    const uint64_t since = fileTime - kUnixEpochAsFileTime;
    const uint64_t seconds = since / kIntervalsPerSecond;
    const auto most = static_cast<uint64_t>(std::numeric_limits<time_t>::max());
    time.tv_sec = static_cast<time_t>(seconds < most ? seconds : most);
    time.tv_nsec = static_cast<long>(since % kIntervalsPerSecond * 100);
    return time;
}

}  // namespace

PathKind KindOfPath(const std::string& path) {
    struct stat info {};
    if (path.empty() || lstat(NativePath(path).c_str(), &info) != 0) return PathKind::kNone;
    if (S_ISLNK(info.st_mode)) return PathKind::kLink;
    return S_ISDIR(info.st_mode) ? PathKind::kFolder : PathKind::kFile;
}

bool FolderExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateOneFolder(const std::string& path) {
    if (mkdir(NativePath(path).c_str(), 0755) == 0) return true;
    return FolderExists(path);
}

OutputFile* CreateOutputFile(const std::string& path) {
    const int fd = open(NativePath(path).c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    return new OutputFile{fd};
}

bool WriteOutput(OutputFile* file, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(file->fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool TruncateOutput(OutputFile* file) {
    return ftruncate(file->fd, 0) == 0 && lseek(file->fd, 0, SEEK_SET) == 0;
}

bool CloseOutputFile(OutputFile* file, uint64_t lastWriteTime) {
    if (file == nullptr) return false;
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;  // the access time stays
    times[1] = ToTimespec(lastWriteTime);
    const bool timed = futimens(file->fd, times) == 0;
    const bool closed = close(file->fd) == 0;
    delete file;
    return timed && closed;
}

ReplaceResult ReplaceFileWith(const std::string& from, const std::string& to) {
    struct stat info {};
    const std::string target = NativePath(to);
    // rename() ignores the old file's mode; a read-only file is kept as Windows keeps it, so that
    // the tests see the installer's behaviour.
    if (lstat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0)
        return ReplaceResult::kFailed;
    // POSIX has no file held open against replacement: every other failure is kFailed.
    return rename(NativePath(from).c_str(), target.c_str()) == 0 ? ReplaceResult::kDone
                                                                 : ReplaceResult::kFailed;
}

bool SourceFileTime(const std::filesystem::path& file, uint64_t* fileTime) {
    struct stat info {};
    if (stat(file.c_str(), &info) != 0) return false;
    const int64_t units = static_cast<int64_t>(info.st_mtim.tv_sec) * 10000000 + info.st_mtim.tv_nsec / 100;
    // Times before 1601 do not exist as FILETIME: they become its zero.
    *fileTime = units < -static_cast<int64_t>(kUnixEpochAsFileTime) ? 0 : kUnixEpochAsFileTime + units;
    return true;
}

bool RemoveFile(const std::string& path) {
    return unlink(NativePath(path).c_str()) == 0 || errno == ENOENT;
}

struct ViewedFile {
    int fd = -1;
    uint64_t size = 0;
};

ViewedFile* OpenViewedFile(const std::string& path, uint64_t* size) {
    *size = 0;
    const int fd = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    // An empty file has nothing to map (mmap refuses a length of 0).
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
        close(fd);
        return nullptr;
    }
    *size = static_cast<uint64_t>(info.st_size);
    return new ViewedFile{fd, *size};
}

bool MapFileBytes(ViewedFile* file, uint64_t offset, size_t length, FileBytes* bytes) {
    static const auto kPage = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    const uint64_t start = offset - offset % kPage;
    const auto lead = static_cast<size_t>(offset - start);
    if (length == 0 || offset > file->size || length > file->size - offset || length > SIZE_MAX - lead ||
        start > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) {
        return false;
    }
    void* view = mmap(nullptr, lead + length, PROT_READ, MAP_PRIVATE, file->fd, static_cast<off_t>(start));
    if (view == MAP_FAILED) return false;
    bytes->data = static_cast<const uint8_t*>(view) + lead;
    bytes->size = length;
    bytes->handle = view;
    bytes->mapped = lead + length;
    return true;
}

void CloseViewedFile(ViewedFile* file) {
    if (file == nullptr) return;
    close(file->fd);
    delete file;
}

void ReleaseFileBytes(FileBytes* bytes) {
    if (bytes->handle != nullptr) munmap(bytes->handle, bytes->mapped);
    *bytes = FileBytes{};
}
