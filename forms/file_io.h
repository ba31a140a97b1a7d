// Whole-file reads and crash-safe whole-file writes. Paths are UTF-8; the Windows side converts
// them to UTF-16 at the wide-character call, so any file name works.
#pragma once

#include <cstddef>
#include <string>

// Why a read or a replacement failed, in the terms a user can act on.
enum class FileError {
    kNone,
    kMissing,       // no such file (or folder on the way)
    kTooLarge,      // larger than the caller's limit
    kReadOnly,      // the file is marked read-only
    kAccessDenied,  // no right to read it, to replace it or to create files in its folder
    kDiskFull,
    kInUse,   // another program holds it, still after a few tries over about half a second
    kFailed,  // any other failure
};

constexpr size_t kAnyFileSize = static_cast<size_t>(-1);

// Reads the whole file into *bytes. False (and *bytes emptied) when it is missing, unreadable or
// larger than maxBytes; *error (when given) tells which. A file another program holds without
// sharing it is tried again a few times first.
bool ReadWholeFile(const std::string& path, std::string* bytes, FileError* error = nullptr,
                   size_t maxBytes = kAnyFileSize);

// Replaces the file's content with bytes, or creates it: writes a temporary file in the same
// folder, flushes it to the disk and renames it over the old file, so a crash or power cut leaves
// either the old file or the new one, never a half-written or empty file. A read-only file is
// left alone (a rename would replace it all the same), and a folder that refuses new files is a
// failure: the file is never written in place, where a crash would ruin the only copy. A file held
// by another program is tried again a few times. False on any failure, with *error (when given)
// telling which, the old file untouched and the temporary file removed.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, FileError* error = nullptr);

// True when path names an existing file or folder.
bool PathExists(const std::string& path);

// Makes ReadWholeFile fail for every existing file, as a file locked by another program would
// (kInUse). Tests only.
void SetReadFaultForTesting(bool fail);

// Makes ReplaceFileAtomically fail with this error before it touches anything; kNone turns the
// fault off. Tests only.
void SetReplaceFaultForTesting(FileError error);

// Makes ReplaceFileAtomically stop after writing this many bytes of the temporary file, as if the
// process died there (the temporary file is left behind, as a crash would leave it). Tests only;
// a negative value turns the fault off.
void SetWriteFaultForTesting(long long bytesBeforeFault);
