// Whole-file reads and crash-safe replacement on POSIX systems (the Linux build: tests and tools).
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "forms/file_io.h"

namespace {

std::atomic<long long> gWriteFault{-1};
std::atomic<bool> gReadFault{false};
std::atomic<FileError> gReplaceFault{FileError::kNone};
std::atomic<unsigned> gTempCounter{0};

// Owns one file descriptor; copying is deleted so it is closed exactly once.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    bool ok() const { return fd_ >= 0; }
    int get() const { return fd_; }
    // Closes now and reports the result: on some file systems a deferred write error shows only here.
    bool Close() {
        if (fd_ < 0) return true;
        const int rc = close(fd_);
        fd_ = -1;
        return rc == 0;
    }

  private:
    int fd_;
};

// Writes all of data, resuming after short writes and signal interruptions.
bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The rename itself lives in the folder's entry table: without this the new name may not survive
// a power cut even though the file's data did. Best effort; the rename has happened either way.
void SyncFolder(const std::string& folder) {
    Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.ok()) fsync(dir.get());
}

// Unique in the folder across processes (pid) and across calls within one (counter), so a
// temporary file left behind by an earlier crash never blocks the next save.
std::string TempPathFor(const std::string& path) {
    return path + ".tmp" + std::to_string(static_cast<long long>(getpid())) + "." +
           std::to_string(gTempCounter.fetch_add(1));
}

enum class TempResult { kWritten, kNameTaken, kOpenFailed, kWriteFailed, kCrashed };

FileError ErrorOf(int code) {
    switch (code) {
        case ENOENT:
        case ENOTDIR:
            return FileError::kMissing;
        case EACCES:
        case EPERM:
        case EROFS:
            return FileError::kAccessDenied;
        case ENOSPC:
        case EDQUOT:
            return FileError::kDiskFull;
        case EFBIG:
            return FileError::kTooLarge;
        default:
            return FileError::kFailed;
    }
}

bool Fail(FileError* error, FileError what) {
    if (error) *error = what;
    return false;
}

// Writes the temporary file completely and flushes it. A simulated crash stops after the
// configured number of bytes and reports kCrashed, as a dying process would do no cleanup.
// keepMode: the file replaces one whose mode must carry over (umask narrowed the mode given to open).
TempResult WriteTemp(const std::string& tempPath, const std::string& bytes, mode_t mode, bool keepMode) {
    Fd fd(open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (!fd.ok()) return errno == EEXIST ? TempResult::kNameTaken : TempResult::kOpenFailed;
    const long long fault = gWriteFault.load();
    if (fault >= 0 && static_cast<unsigned long long>(fault) < bytes.size()) {
        WriteAll(fd.get(), bytes.data(), static_cast<size_t>(fault));
        return TempResult::kCrashed;
    }
    if (keepMode) fchmod(fd.get(), mode);
    if (!WriteAll(fd.get(), bytes.data(), bytes.size())) return TempResult::kWriteFailed;
    if (fsync(fd.get()) != 0) return TempResult::kWriteFailed;
    return fd.Close() ? TempResult::kWritten : TempResult::kWriteFailed;
}

// A temporary name left by a crashed process that happened to have our pid must not stop the
// save: try a few more counter values before giving up.
constexpr int kTempNameAttempts = 16;

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* bytes, FileError* error, size_t maxBytes) {
    bytes->clear();
    if (error) *error = FileError::kNone;
    if (gReadFault.load() && PathExists(path)) return Fail(error, FileError::kInUse);
    Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.ok()) return Fail(error, ErrorOf(errno));
    struct stat info {};
    if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return Fail(error, FileError::kFailed);
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) return Fail(error, FileError::kTooLarge);
    std::string data;
    data.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(error, ErrorOf(errno));
        if (n == 0) break;
        // The file may have grown since fstat.
        if (data.size() + static_cast<size_t>(n) > maxBytes) return Fail(error, FileError::kTooLarge);
        data.append(buffer, static_cast<size_t>(n));
    }
    bytes->swap(data);
    return true;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, FileError* error) {
    if (error) *error = FileError::kNone;
    if (gReplaceFault.load() != FileError::kNone) return Fail(error, gReplaceFault.load());
    struct stat old {};
    const bool existed = stat(path.c_str(), &old) == 0;
    const mode_t mode = existed ? (old.st_mode & 07777) : 0666;
    // A rename replaces a file without write permission all the same: its owner meant it to stay.
    if (existed && (mode & 0222) == 0) return Fail(error, FileError::kReadOnly);

    std::string tempPath;
    TempResult result = TempResult::kNameTaken;
    int code = 0;
    for (int attempt = 0; attempt < kTempNameAttempts && result == TempResult::kNameTaken; ++attempt) {
        tempPath = TempPathFor(path);
        errno = 0;
        result = WriteTemp(tempPath, bytes, mode, existed);
        code = errno;
    }
    if (result == TempResult::kWriteFailed) unlink(tempPath.c_str());
    if (result != TempResult::kWritten) return Fail(error, ErrorOf(code));
    if (rename(tempPath.c_str(), path.c_str()) != 0) {
        code = errno;
        unlink(tempPath.c_str());
        return Fail(error, ErrorOf(code));
    }
    SyncFolder(FolderOf(path));
    return true;
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

void SetWriteFaultForTesting(long long bytesBeforeFault) {
    gWriteFault.store(bytesBeforeFault);
}

void SetReadFaultForTesting(bool fail) {
    gReadFault.store(fail);
}

void SetReplaceFaultForTesting(FileError error) {
    gReplaceFault.store(error);
}
