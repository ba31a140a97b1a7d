// The file system as the package extraction needs it: implemented with Win32 (CreateFileW,
// SetFileTime) in package_io_win.cpp and with POSIX calls in package_io_posix.cpp, so that the same
// extraction runs natively in the tests and under Windows. Paths are UTF-8 with '\' separators, as
// the package has them; the POSIX side maps '\' to '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

bool FolderExists(const std::string& path);

// Creates one folder level (its parent must exist). True when it exists afterwards.
bool CreateOneFolder(const std::string& path);

// What lies at a path. A symbolic link or junction is kLink whatever it points at: it is looked at,
// never followed.
enum class PathKind { kNone, kFile, kFolder, kLink };
PathKind KindOfPath(const std::string& path);

// A file open for writing: created or truncated, not shared. Null handle on failure.
struct OutputFile;
OutputFile* CreateOutputFile(const std::string& path);
bool WriteOutput(OutputFile* file, const uint8_t* data, size_t size);
bool TruncateOutput(OutputFile* file);  // back to 0 bytes
// Sets the last-write time (100-ns intervals since 1601-01-01 UTC; creation and access times stay)
// and closes the file. False when either failed (the file is closed all the same).
bool CloseOutputFile(OutputFile* file, uint64_t lastWriteTime);

// Puts the file at from in the place of the one at to (replacing it, or a link there, never what a
// link points at). kInUse when another program holds the old file open; kFailed for any other
// reason, a read-only old file among them. from stays where it was unless kDone.
enum class ReplaceResult { kDone, kInUse, kFailed };
ReplaceResult ReplaceFileWith(const std::string& from, const std::string& to);

// The last-write time of a file as 100-ns intervals since 1601-01-01 UTC, to the full precision the
// file system keeps (MinGW's std::filesystem keeps whole seconds only), for the packer. False when
// the file cannot be examined.
bool SourceFileTime(const std::filesystem::path& file, uint64_t* fileTime);

// Deletes a file; false when it is still there.
bool RemoveFile(const std::string& path);

// A file read through mapped views. The installer maps one window of bounded size at a time
// (OpenViewedFile, MapFileBytes): a 32-bit process seldom finds a gigabyte of address space in one
// piece, so a large installer is never viewed whole. The tools view a file whole (ReadFileBytes).
struct FileBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
    void* handle = nullptr;  // the view as mapped, from its aligned start
    size_t mapped = 0;       // its length from there
};
struct ViewedFile;
// Opens a file for reading, shared for reading. Null when it cannot be opened or mapped (an empty
// file cannot be); *size is its length.
ViewedFile* OpenViewedFile(const std::string& path, uint64_t* size);
// Views bytes [offset, offset + length), which must lie inside the file. False when they cannot be
// mapped (no address space left for them).
bool MapFileBytes(ViewedFile* file, uint64_t offset, size_t length, FileBytes* bytes);
// Views stay valid after the file is closed, until ReleaseFileBytes.
void CloseViewedFile(ViewedFile* file);
void ReleaseFileBytes(FileBytes* bytes);

// The whole content of a file as one view; empty when it cannot be read or is empty.
FileBytes ReadFileBytes(const std::string& path);
