// Whole-file reads and crash-safe replacement on Windows, through the wide-character file API so
// that a Chinese program folder (or any other name) works whatever the ANSI code page is.
#include <windows.h>

#include <atomic>
#include <string>

#include "forms/file_io.h"
#include "forms/wide_win.h"

namespace {

std::atomic<long long> gWriteFault{-1};
std::atomic<bool> gReadFault{false};
std::atomic<FileError> gReplaceFault{FileError::kNone};
std::atomic<unsigned> gTempCounter{0};

// Owns one file handle; copying is deleted so it is closed exactly once.
class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool Close() {
        if (handle_ == INVALID_HANDLE_VALUE) return true;
        const BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

  private:
    HANDLE handle_;
};

// WriteFile takes a DWORD count: large buffers go in slices.
bool WriteAll(HANDLE file, const char* data, size_t size) {
    constexpr size_t kSlice = 1u << 30;
    while (size > 0) {
        const DWORD want = static_cast<DWORD>(size < kSlice ? size : kSlice);
        DWORD written = 0;
        if (!WriteFile(file, data, want, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// Unique in the folder across processes and calls, so a temporary file left by a crash never
// blocks the next save.
std::wstring TempPathFor(const std::wstring& path) {
    return path + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"." +
           std::to_wstring(gTempCounter.fetch_add(1));
}

enum class TempResult { kWritten, kNameTaken, kOpenFailed, kWriteFailed, kCrashed };

FileError ErrorOf(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return FileError::kMissing;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return FileError::kAccessDenied;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileError::kDiskFull;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return FileError::kInUse;
        default:
            return FileError::kFailed;
    }
}

bool Fail(FileError* error, FileError what) {
    if (error) *error = what;
    return false;
}

// An editor, a sync tool or a virus scanner holds a file for a moment: a step that another program
// blocked is tried again a few times over about half a second before it counts as failed.
constexpr int kBusyAttempts = 6;
constexpr DWORD kBusyPauseMs = 100;

template <typename Step>
bool RetryWhileBusy(Step step) {
    for (int attempt = 1;; ++attempt) {
        if (step()) return true;
        const DWORD code = GetLastError();
        if (ErrorOf(code) != FileError::kInUse || attempt == kBusyAttempts) {
            SetLastError(code);
            return false;
        }
        Sleep(kBusyPauseMs);
    }
}

// Writes the temporary file completely and flushes it to the disk. A simulated crash stops after
// the configured number of bytes and reports kCrashed, as a dying process would do no cleanup.
TempResult WriteTemp(const std::wstring& tempPath, const std::string& bytes) {
    FileHandle file(
        CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? TempResult::kNameTaken
                                                                           : TempResult::kOpenFailed;
    }
    const long long fault = gWriteFault.load();
    if (fault >= 0 && static_cast<unsigned long long>(fault) < bytes.size()) {
        WriteAll(file.get(), bytes.data(), static_cast<size_t>(fault));
        return TempResult::kCrashed;
    }
    if (!WriteAll(file.get(), bytes.data(), bytes.size())) return TempResult::kWriteFailed;
    if (!FlushFileBuffers(file.get())) return TempResult::kWriteFailed;
    return file.Close() ? TempResult::kWritten : TempResult::kWriteFailed;
}

constexpr int kTempNameAttempts = 16;

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* bytes, FileError* error, size_t maxBytes) {
    bytes->clear();
    if (error) *error = FileError::kNone;
    if (gReadFault.load() && PathExists(path)) return Fail(error, FileError::kInUse);
    const std::wstring wide = WideFromUtf8(path);
    HANDLE opened = INVALID_HANDLE_VALUE;
    // Share everything: another program (an editor, a virus scanner) may hold the file open.
    const bool ok = RetryWhileBusy([&] {
        opened =
            CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return opened != INVALID_HANDLE_VALUE;
    });
    if (!ok) return Fail(error, ErrorOf(GetLastError()));
    FileHandle file(opened);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return Fail(error, FileError::kFailed);
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return Fail(error, FileError::kTooLarge);
    std::string data;
    data.reserve(static_cast<size_t>(size.QuadPart));
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            return Fail(error, ErrorOf(GetLastError()));
        if (got == 0) break;
        // The file may have grown since its size was taken.
        if (data.size() + got > maxBytes) return Fail(error, FileError::kTooLarge);
        data.append(buffer, got);
    }
    bytes->swap(data);
    return true;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, FileError* error) {
    if (error) *error = FileError::kNone;
    if (gReplaceFault.load() != FileError::kNone) return Fail(error, gReplaceFault.load());
    const std::wstring target = WideFromUtf8(path);
    // MoveFileEx would replace a read-only file all the same: its owner meant it to stay.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return Fail(error, FileError::kReadOnly);
    std::wstring tempPath;
    TempResult result = TempResult::kNameTaken;
    DWORD code = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kTempNameAttempts && result == TempResult::kNameTaken; ++attempt) {
        tempPath = TempPathFor(target);
        SetLastError(ERROR_SUCCESS);
        result = WriteTemp(tempPath, bytes);
        code = GetLastError();
    }
    if (result == TempResult::kWriteFailed) DeleteFileW(tempPath.c_str());
    if (result != TempResult::kWritten) return Fail(error, ErrorOf(code));
    // WRITE_THROUGH: the call returns only once the rename is on the disk, not in the cache.
    const bool moved = RetryWhileBusy([&] {
        return MoveFileExW(tempPath.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    });
    if (!moved) {
        code = GetLastError();
        DeleteFileW(tempPath.c_str());
        return Fail(error, ErrorOf(code));
    }
    return true;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
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
