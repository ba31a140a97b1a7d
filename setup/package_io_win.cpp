// The package extraction's file system on Windows: UTF-8 package paths become UTF-16 for the
// wide-character calls, so Chinese names do not depend on the ANSI code page.
#include <windows.h>

#include <string>

#include "forms/wide_win.h"
#include "setup/package_io.h"

struct OutputFile {
    HANDLE handle = INVALID_HANDLE_VALUE;
};

namespace {

// Writes larger than this go in several calls: WriteFile takes a 32-bit count.
constexpr size_t kMaxWrite = 1u << 30;

}  // namespace

PathKind KindOfPath(const std::string& path) {
    // GetFileAttributesW describes a link or junction itself, not what it points at.
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::kNone;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return PathKind::kLink;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::kFolder : PathKind::kFile;
}

bool FolderExists(const std::string& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateOneFolder(const std::string& path) {
    if (CreateDirectoryW(WideFromUtf8(path).c_str(), nullptr)) return true;
    return FolderExists(path);
}

OutputFile* CreateOutputFile(const std::string& path) {
    const HANDLE handle = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return new OutputFile{handle};
}

bool WriteOutput(OutputFile* file, const uint8_t* data, size_t size) {
    while (size > 0) {
        const DWORD piece = static_cast<DWORD>(size < kMaxWrite ? size : kMaxWrite);
        DWORD written = 0;
        if (!WriteFile(file->handle, data, piece, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

bool TruncateOutput(OutputFile* file) {
    return SetFilePointer(file->handle, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           SetEndOfFile(file->handle);
}

bool CloseOutputFile(OutputFile* file, uint64_t lastWriteTime) {
    if (file == nullptr) return false;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(lastWriteTime);
    time.dwHighDateTime = static_cast<DWORD>(lastWriteTime >> 32);
    // A time of 0 is passed on as it is; Windows takes it as "leave the time unchanged".
    const bool timed = SetFileTime(file->handle, nullptr, nullptr, &time) != FALSE;
    const bool closed = CloseHandle(file->handle) != FALSE;
    delete file;
    return timed && closed;
}

ReplaceResult ReplaceFileWith(const std::string& from, const std::string& to) {
    const std::wstring target = WideFromUtf8(to);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    // MoveFileExW would fail on a read-only file with the same error as on a held one; the user is
    // told a different remedy for each, so read-only is recognised first.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return ReplaceResult::kFailed;
    if (MoveFileExW(WideFromUtf8(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return ReplaceResult::kDone;
    const DWORD error = GetLastError();
    // A running program's image, or a file opened without delete sharing, refuses the rename with
    // one of these.
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                      (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
                       !(attributes & FILE_ATTRIBUTE_DIRECTORY));
    return held ? ReplaceResult::kInUse : ReplaceResult::kFailed;
}

bool SourceFileTime(const std::filesystem::path& file, uint64_t* fileTime) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return false;
    *fileTime = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime;
    return true;
}

bool RemoveFile(const std::string& path) {
    const std::wstring wide = WideFromUtf8(path);
    return DeleteFileW(wide.c_str()) || GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

struct ViewedFile {
    HANDLE mapping = nullptr;
    uint64_t granularity = 0;  // where a view may start
};

ViewedFile* OpenViewedFile(const std::string& path, uint64_t* size) {
    *size = 0;
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER length;
    HANDLE mapping = nullptr;
    // An empty file cannot be mapped.
    if (GetFileSizeEx(file, &length) && length.QuadPart > 0)
        mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    CloseHandle(file);  // the mapping keeps it open
    if (mapping == nullptr) return nullptr;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    *size = static_cast<uint64_t>(length.QuadPart);
    return new ViewedFile{mapping, system.dwAllocationGranularity};
}

bool MapFileBytes(ViewedFile* file, uint64_t offset, size_t length, FileBytes* bytes) {
    const uint64_t start = offset - offset % file->granularity;
    const auto lead = static_cast<size_t>(offset - start);
    if (length == 0 || length > SIZE_MAX - lead) return false;
    void* view = MapViewOfFile(file->mapping, FILE_MAP_READ, static_cast<DWORD>(start >> 32),
                               static_cast<DWORD>(start), lead + length);
    if (view == nullptr) return false;
    bytes->data = static_cast<const uint8_t*>(view) + lead;
    bytes->size = length;
    bytes->handle = view;
    bytes->mapped = lead + length;
    return true;
}

void CloseViewedFile(ViewedFile* file) {
    if (file == nullptr) return;
    CloseHandle(file->mapping);
    delete file;
}

void ReleaseFileBytes(FileBytes* bytes) {
    if (bytes->handle != nullptr) UnmapViewOfFile(bytes->handle);
    *bytes = FileBytes{};
}
